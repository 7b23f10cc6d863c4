// What only the Win32 backend does: real system answers, the real registry,
// the ANSI code page, and paths handed through unchanged.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/text.h"

namespace {

TEST(PlatformWin32, VersionIsTheNtLine) {
  const platform::OsVersion version = platform::GetOsVersion();
  EXPECT_EQ(version.platform_id, 2u);
  EXPECT_GE(version.major, 5u);
}

TEST(PlatformWin32, LanguageIsTheSystems) {
  EXPECT_NE(platform::SystemDefaultLangId(), 0);
  EXPECT_EQ(platform::SystemDefaultLangId(), GetSystemDefaultLangID());
}

TEST(PlatformWin32, PathsPassThrough) {
  platform::SetPosixRoot("/ignored");
  EXPECT_EQ(platform::HostPath(u"C:\\x\\\u00E9"), "C:\\x\\\xC3\xA9");
  EXPECT_EQ(platform::HostPath(u"relative\\y"), "relative\\y");
}

TEST(PlatformWin32, AnsiWithoutBestFit) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs the Western European code page, have " << GetACP();
  EXPECT_EQ(platform::ToAnsi(u"\u00E9\u20AC\u0100\u4E2D"), "\xE9\x80??");
  EXPECT_EQ(platform::FromAnsi("\xE9\x80"), u"\u00E9\u20AC");
}

TEST(PlatformWin32, RegistryWritesReachTheSystem) {
  const wchar_t* scratch = L"Software\\GlimmoraTest\\Win32Scratch";
  {
    platform::RegKey key = platform::RegKey::Create(platform::kCurrentUser, u"Software\\GlimmoraTest\\Win32Scratch");
    ASSERT_TRUE(key.IsValid()) << platform::LastError();
    ASSERT_TRUE(key.SetString(u"Seen", u"yes"));
  }
  wchar_t value[16] = {};
  DWORD size = sizeof value;
  DWORD type = 0;
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, scratch, 0, KEY_READ, &raw), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(raw, L"Seen", nullptr, &type, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
  RegCloseKey(raw);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(value), L"yes");
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, scratch), ERROR_SUCCESS);
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\GlimmoraTest");  // only when nothing else is in it
}

TEST(PlatformWin32, ErrorTextIsTheSystemsWithoutLineBreak) {
  wchar_t buffer[512] = {};
  ASSERT_NE(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND,
                           0, buffer, 512, nullptr),
            0u);
  std::u16string expected(reinterpret_cast<const char16_t*>(buffer));
  while (!expected.empty() && (expected.back() == u'\n' || expected.back() == u'\r')) expected.pop_back();
  EXPECT_EQ(platform::ErrorText(platform::kErrorFileNotFound), expected);
}

}  // namespace
