// System questions answered by the running Windows.
#include "platform/system.h"

#include "platform/win32_internal.h"

namespace platform {

OsVersion GetOsVersion() {
  OsVersion version;
  OSVERSIONINFOEXW extended{};
  extended.dwOSVersionInfoSize = sizeof extended;
  if (::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended))) {
    version.platform_id = extended.dwPlatformId;
    version.major = extended.dwMajorVersion;
    version.minor = extended.dwMinorVersion;
    return version;
  }
  // Systems before the extended record reject its size.
  OSVERSIONINFOW basic{};
  basic.dwOSVersionInfoSize = sizeof basic;
  if (::GetVersionExW(&basic)) {
    version.platform_id = basic.dwPlatformId;
    version.major = basic.dwMajorVersion;
    version.minor = basic.dwMinorVersion;
  }
  return version;
}

bool IsAdministrator() {
  const HANDLE disk = ::CreateFileW(L"\\\\.\\PHYSICALDRIVE0", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (disk == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(disk);
  return true;
}

uint16_t SystemDefaultLangId() { return ::GetSystemDefaultLangID(); }

void ShowInformation(const std::u16string& text, const std::u16string& caption) {
  ::MessageBoxW(nullptr, win32::Wide(text), win32::Wide(caption), MB_OK | MB_ICONINFORMATION);
}

// Only the POSIX backend answers from this; it exists here so that code
// naming it links on both systems.
FakeSystem& PosixSystem() {
  static FakeSystem system;
  return system;
}

}  // namespace platform
