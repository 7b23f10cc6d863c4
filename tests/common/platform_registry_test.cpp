// Registry round trips. On Windows they run in a scratch key of the current
// user, removed afterwards; the POSIX backend starts from an empty registry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/registry.h"

namespace {

using platform::RegKey;

const std::u16string kScratch = u"Software\\GlimmoraTest\\PlatformScratch";

#ifdef _WIN32
void DeleteTree(HKEY parent, const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  wchar_t child[256];
  while (RegEnumKeyW(key, 0, child, 256) == ERROR_SUCCESS) {
    const std::wstring before = child;
    DeleteTree(key, child);
    if (RegEnumKeyW(key, 0, child, 256) == ERROR_SUCCESS && before == child) break;  // could not delete
  }
  RegCloseKey(key);
  RegDeleteKeyW(parent, name.c_str());
}
#endif

void RemoveScratch() {
#ifdef _WIN32
  DeleteTree(HKEY_CURRENT_USER, L"Software\\GlimmoraTest\\PlatformScratch");
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\GlimmoraTest");  // only when nothing else is in it
#else
  platform::ResetPosixRegistry();
#endif
}

class PlatformRegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    RemoveScratch();
    key_ = RegKey::Create(platform::kCurrentUser, kScratch);
    ASSERT_TRUE(key_.IsValid()) << platform::LastError();
  }
  void TearDown() override {
    key_ = RegKey();
    RemoveScratch();
  }

  RegKey key_;
};

std::vector<uint8_t> Utf16Bytes(const std::u16string& text) {
  std::vector<uint8_t> bytes((text.size() + 1) * 2);
  std::memcpy(bytes.data(), text.c_str(), bytes.size());
  return bytes;
}

TEST_F(PlatformRegistryTest, StringsRoundTrip) {
  const struct {
    const char16_t* name;
    const char16_t* text;
  } cases[] = {
      {u"DisplayName", u"Glimmora 1.0"},
      {u"", u"the default value"},
      {u"Empty", u""},
      {u"Unicode", u"\u00E9\u20AC\U0001F600"},
  };
  for (const auto& c : cases) ASSERT_TRUE(key_.SetString(c.name, c.text)) << platform::LastError();
  for (const auto& c : cases) {
    EXPECT_EQ(key_.QueryString(c.name), std::u16string(c.text));
    uint32_t type = 0;
    EXPECT_EQ(key_.QueryValue(c.name, &type), Utf16Bytes(c.text));
    EXPECT_EQ(type, platform::kRegSz);
  }
}

TEST_F(PlatformRegistryTest, TypedValuesRoundTrip) {
  const std::vector<uint8_t> blob = {0, 1, 0, 255, 0};
  const std::u16string path = u"%ProgramFiles%\\x";
  const struct {
    const char16_t* name;
    uint32_t type;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {u"Blob", platform::kRegBinary, blob},
      {u"NoBytes", platform::kRegBinary, {}},
      {u"Path", platform::kRegExpandSz, Utf16Bytes(path)},
      {u"Raw", platform::kRegDword, {0x78, 0x56, 0x34, 0x12}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(key_.SetValue(c.name, c.type, c.bytes.empty() ? nullptr : c.bytes.data(),
                              static_cast<uint32_t>(c.bytes.size())))
        << platform::LastError();
  }
  for (const auto& c : cases) {
    uint32_t type = 0;
    EXPECT_EQ(key_.QueryValue(c.name, &type), c.bytes);
    EXPECT_EQ(type, c.type);
  }
  ASSERT_TRUE(key_.SetDword(u"Count", 0x12345678));
  EXPECT_EQ(key_.QueryValue(u"Count"), key_.QueryValue(u"Raw"));
  EXPECT_EQ(key_.QueryString(u"Path"), path);
  EXPECT_EQ(key_.QueryString(u"Count"), std::nullopt);  // not a string
  EXPECT_EQ(key_.QueryString(u"Blob"), std::nullopt);
}

TEST_F(PlatformRegistryTest, StringEndsAtFirstNulOrAtEnd) {
  const char16_t two_texts[] = u"ab\0cd";  // with the final NUL: 6 units
  const char16_t unterminated[] = {u'x', u'y'};
  ASSERT_TRUE(key_.SetValue(u"Two", platform::kRegSz, two_texts, sizeof two_texts));
  ASSERT_TRUE(key_.SetValue(u"Bare", platform::kRegSz, unterminated, sizeof unterminated));
  EXPECT_EQ(key_.QueryString(u"Two"), u"ab");
  EXPECT_EQ(key_.QueryString(u"Bare"), u"xy");
}

TEST_F(PlatformRegistryTest, LaterSetReplacesValueAndType) {
  ASSERT_TRUE(key_.SetString(u"Version", u"1"));
  ASSERT_TRUE(key_.SetDword(u"Version", 2));
  uint32_t type = 0;
  EXPECT_EQ(key_.QueryValue(u"Version", &type), (std::vector<uint8_t>{2, 0, 0, 0}));
  EXPECT_EQ(type, platform::kRegDword);
}

TEST_F(PlatformRegistryTest, NamesIgnoreCase) {
  RegKey sub = RegKey::Create(platform::kCurrentUser, kScratch + u"\\Sub\\Leaf");
  ASSERT_TRUE(sub.IsValid());
  ASSERT_TRUE(sub.SetString(u"InstallDir", u"C:\\x"));
  RegKey again = RegKey::Open(platform::kCurrentUser, u"SOFTWARE\\glimmoratest\\PLATFORMSCRATCH\\sub\\LEAF");
  ASSERT_TRUE(again.IsValid()) << platform::LastError();
  EXPECT_EQ(again.QueryString(u"INSTALLDIR"), u"C:\\x");
  ASSERT_TRUE(again.SetString(u"installdir", u"D:\\y"));
  EXPECT_EQ(sub.QueryString(u"InstallDir"), u"D:\\y");
}

TEST_F(PlatformRegistryTest, CreateMakesParentsAndOpenFindsThem) {
  EXPECT_FALSE(RegKey::Open(platform::kCurrentUser, kScratch + u"\\A").IsValid());
  EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
  ASSERT_TRUE(RegKey::Create(platform::kCurrentUser, kScratch + u"\\A\\B\\C").IsValid());
  for (const char16_t* path : {u"\\A", u"\\A\\B", u"\\A\\B\\C"}) {
    EXPECT_TRUE(RegKey::Open(platform::kCurrentUser, kScratch + path).IsValid());
  }
  EXPECT_FALSE(RegKey::Open(platform::kLocalMachine, kScratch + u"\\A").IsValid());
}

TEST_F(PlatformRegistryTest, DeleteValue) {
  ASSERT_TRUE(key_.SetString(u"Gone", u"soon"));
  ASSERT_TRUE(key_.SetString(u"Stays", u"here"));
  EXPECT_TRUE(key_.DeleteValue(u"GONE"));
  EXPECT_EQ(key_.QueryValue(u"Gone"), std::nullopt);
  EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
  EXPECT_FALSE(key_.DeleteValue(u"Gone"));
  EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
  EXPECT_EQ(key_.QueryString(u"Stays"), u"here");
}

TEST_F(PlatformRegistryTest, InvalidKeyRefusesEverything) {
  RegKey moved = std::move(key_);
  EXPECT_TRUE(moved.IsValid());
  EXPECT_TRUE(moved.SetDword(u"Still", 1));
  RegKey never;
  for (RegKey* key : {&key_, &never}) {  // key_ was moved from
    EXPECT_FALSE(key->IsValid());
    EXPECT_FALSE(key->SetString(u"x", u"y"));
    EXPECT_EQ(platform::LastError(), platform::kErrorInvalidHandle);
    EXPECT_FALSE(key->DeleteValue(u"x"));
    EXPECT_EQ(key->QueryValue(u"Still"), std::nullopt);
    EXPECT_EQ(key->QueryString(u"Still"), std::nullopt);
  }
}

}  // namespace
