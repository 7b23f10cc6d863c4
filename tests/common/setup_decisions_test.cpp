// The setup program's decisions: which language row, which result file,
// silent or not.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "setup/commandline.h"
#include "setup/languagetable.h"

namespace {

TEST(LanguageTable, TwentyTwoRowsInOrderWithTheirStoredSpellings) {
  const auto& table = LanguageTable();
  ASSERT_EQ(table.size(), 22u);
  for (size_t i = 0; i < table.size(); ++i) EXPECT_EQ(table[i].row, static_cast<int32_t>(i));
  EXPECT_EQ(table[5].list_name, u"Tranditional");
  EXPECT_EQ(table[19].shown_name, u"Portugu\u00EAs (Brasileiro) ");
  EXPECT_EQ(table[0].dll_id, 135);
  EXPECT_EQ(table[19].ini_id, 284);
  EXPECT_EQ(table[21].text_id, 176);
}

TEST(LanguageTable, UiLanguageSelectsARowWithEnglishAsFallback) {
  struct Case {
    uint16_t ui;
    int32_t row;
  } cases[] = {{0x0409, 1}, {0x1004, 1}, {0x0C04, 5}, {0x0804, 0}, {0x0816, 8}, {0x0416, 19},
               {0x2C0A, 10}, {0x500A, 10}, {0x040A, 10}, {0x540A, 1}, {0x140C, 2}, {0x0411, 7},
               {0x081D, 20}, {0x041F, 21}, {0x0000, 1}};
  for (const Case& c : cases) EXPECT_EQ(RowForUiLanguage(c.ui), c.row) << std::hex << c.ui;
}

TEST(LanguageTable, SystemLanguageSelectsByPrimaryAndSubLanguage) {
  struct Case {
    uint16_t lang;
    std::optional<int32_t> row;
  } cases[] = {{0x0804, 0}, {0x0404, 5}, {0x0C04, 5}, {0x1004, 5}, {0x0409, 1}, {0x040D, 1},
               {0x0401, 1}, {0x0416, 19}, {0x0816, 8}, {0x0407, 3}, {0x0427, std::nullopt},
               {0x0000, std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(RowForSystemLanguage(c.lang), c.row) << std::hex << c.lang;
}

TEST(LanguageTable, InstallationListsPutKoreanBeforeTranditional) {
  const auto& lists = InstallationLists();
  ASSERT_EQ(lists.size(), 23u);
  EXPECT_EQ(lists[0], u"Common");
  EXPECT_EQ(lists[5], u"Russia");
  EXPECT_EQ(lists[6], u"Korean");
  EXPECT_EQ(lists[7], u"Tranditional");
  EXPECT_EQ(lists[8], u"Japan");
  EXPECT_EQ(lists[22], u"Turkish");
}

TEST(CommandLine, ResultPathAfterF2AndTheSilentSwitchAsAWordOfItsOwn) {
  struct Case {
    const char16_t* line;
    std::optional<std::u16string> path;
    bool silent;
  } cases[] = {
      {u"/S", std::nullopt, true},
      {u"", std::nullopt, false},
      {u"-f2D:\\r.log /S", u"D:\\r.log", true},           // the switch ends the path
      {u"-f2D:\\r.log   -s  ", u"D:\\r.log", true},
      {u"-f2 D:\\r.log", u" D:\\r.log", false},
      {u"-f2C:\\setup\\r.log", u"C:\\setup\\r.log", false},  // "\s" inside a path is no switch
      {u"-f2C:\\my-stuff\\r.log", u"C:\\my-stuff\\r.log", false},
      {u"-f2C:\\My Results\\r.log", u"C:\\My Results\\r.log", false},
      {u"-f2C:\\My Results\\r.log /s", u"C:\\My Results\\r.log", true},
      {u"/S -f2C:\\out.txt", u"C:\\out.txt", true},
      {u"/S -f2C:\\My Results\\s", u"C:\\My Results\\s", true},
      {u"-f2", u"", false},
      {u"/S -f2", u"", true},
      {u"-f2a-f2b", u"a-f2b", false},
      {u"-F2x", std::nullopt, false},
      {u"-s", std::nullopt, true},
      {u"\\S", std::nullopt, true},
      {u"\ts", std::nullopt, false},
      {u"/x", std::nullopt, false},
      {u"/Sx", std::nullopt, false},
      {u"x/S", std::nullopt, false},
      {u"/q\t-S", std::nullopt, true},  // a tab separates words too
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResultPathFromCommandLine(c.line), c.path) << platform::ToUtf8(c.line);
    EXPECT_EQ(IsSilentCommandLine(c.line), c.silent) << platform::ToUtf8(c.line);
  }
}

}  // namespace

#include "setup/startupchecks.h"

namespace {

// Administrator refusal cannot be produced under Wine (its processes always
// open the raw disk); the start-up decision is the version table below plus
// platform::IsAdministrator, whose answer the POSIX platform lets tests set.
TEST(StartupChecks, SupportedWindowsVersions) {
  struct Case {
    platform::OsVersion v;
    bool supported;
  } cases[] = {{{2, 5, 1}, true}, {{2, 5, 0}, false}, {{2, 5, 2}, false}, {{2, 6, 0}, true},
               {{2, 6, 1}, true}, {{2, 6, 3}, true}, {{2, 10, 0}, false}, {{2, 4, 0}, false},
               {{0, 0, 0}, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsSupportedWindowsVersion(c.v), c.supported) << c.v.major << "." << c.v.minor;
  }
}

}  // namespace
