// Text conversions of the POSIX backend: Latin-1 as the ANSI code page, and
// exactly one U+FFFD per maximal broken piece of UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace {

TEST(PlatformTextHost, AnsiIsLatin1) {
  std::string all_bytes;
  for (int b = 0; b < 256; ++b) all_bytes += static_cast<char>(b);
  const std::u16string wide = platform::FromAnsi(all_bytes);
  ASSERT_EQ(wide.size(), 256u);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(wide[b], static_cast<char16_t>(b));
  EXPECT_EQ(platform::ToAnsi(wide), all_bytes);
}

TEST(PlatformTextHost, AnsiReplacesEachUnitAboveLatin1) {
  const struct {
    std::u16string text;
    std::string ansi;
  } cases[] = {
      {u"\u00FF\u0100", "\xFF?"},
      {u"a\u4E2Db", "a?b"},
      {u"\u20AC", "?"},
      {u"\U0001F600", "??"},  // a pair is two units
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ToAnsi(c.text), c.ansi) << c.ansi;
}

TEST(PlatformTextHost, BrokenUtf8PiecesCountOnce) {
  const std::u16string r = u"\uFFFD";
  const struct {
    std::string utf8;
    std::u16string text;
  } cases[] = {
      {"\xED\xA0\x80", r + r + r},          // an encoded surrogate: ED cannot lead to A0
      {"\xED\xBF\xBF", r + r + r},
      {"\xF4\x90\x80\x80", r + r + r + r},  // above U+10FFFF
      {"\xE0\x80\xAF", r + r + r},          // overlong
      {"\xF0\x80\x80\x80", r + r + r + r},
      {"\xF5\x80", r + r},
      {"\xE0\xA0", r},                      // a good start cut short is one piece
      {"\xF1\x80\x80", r},
      {"\xC2", r},
      {"\xC2\xC2\xA9", r + u"\u00A9"},
      {"\xE2\x82\xE2\x82\xAC", r + u"\u20AC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::FromUtf8(c.utf8), c.text) << testing::PrintToString(c.utf8);
  }
}

}  // namespace
