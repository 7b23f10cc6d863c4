// What only the Win32 backend does: real system answers, the real registry,
// the ANSI code page, and paths handed through unchanged.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text.h"
#include "setup/installactions.h"

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

namespace {

// The access entries of a descriptor made from SDDL by the system itself:
// (SID as text, access mask) for each allowing entry.
std::vector<std::pair<std::wstring, ACCESS_MASK>> AllowedEntries(const std::u16string& sddl) {
  std::vector<std::pair<std::wstring, ACCESS_MASK>> entries;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(reinterpret_cast<const wchar_t*>(sddl.c_str()),
                                                              SDDL_REVISION_1, &descriptor, nullptr)) {
    return entries;
  }
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  if (::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present && dacl) {
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      void* ace = nullptr;
      if (!::GetAce(dacl, i, &ace) || static_cast<ACE_HEADER*>(ace)->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
      auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
      wchar_t* sid = nullptr;
      if (::ConvertSidToStringSidW(&allowed->SidStart, &sid)) {
        entries.emplace_back(sid, allowed->Mask);
        ::LocalFree(sid);
      }
    }
  }
  ::LocalFree(descriptor);
  return entries;
}

// The shared data folder's rights as the system reads them: nothing for
// anonymous logons or guests, users who may change the data but not the
// rights or the owner, full control for administrators and the system.
// (Wine keeps no rights on its files, so the descriptor is checked as the
// system builds it from the text, not read back from the folder.)
TEST(PlatformWin32, SharedDataFolderIsClosedToAnonymousAndGuests) {
  const auto entries = AllowedEntries(kSharedFolderAccess);
  ASSERT_FALSE(entries.empty()) << "the text does not parse";
  std::optional<ACCESS_MASK> users, admins, system;
  for (const auto& [sid, mask] : entries) {
    EXPECT_NE(sid, L"S-1-5-7") << "anonymous logon";
    EXPECT_NE(sid, L"S-1-5-32-546") << "guests";
    if (sid == L"S-1-5-32-545") users = mask;
    if (sid == L"S-1-5-32-544") admins = mask;
    if (sid == L"S-1-5-18") system = mask;
  }
  ASSERT_TRUE(users.has_value());
  EXPECT_EQ(*users & (WRITE_DAC | WRITE_OWNER), 0u);
  EXPECT_EQ(*users & (FILE_GENERIC_READ | FILE_GENERIC_WRITE | DELETE), FILE_GENERIC_READ | FILE_GENERIC_WRITE | DELETE)
      << "users read, write and delete the product's data";
  EXPECT_EQ(admins, FILE_ALL_ACCESS);
  EXPECT_EQ(system, FILE_ALL_ACCESS);
  // The folder really is made with it.
  const std::u16string folder = platform::TempFolder() + u"glimmora-shared-access";
  ::RemoveDirectoryW(reinterpret_cast<const wchar_t*>(folder.c_str()));
  EXPECT_TRUE(platform::CreateFolderWithAccess(folder, kSharedFolderAccess));
  ::RemoveDirectoryW(reinterpret_cast<const wchar_t*>(folder.c_str()));
}

}  // namespace
