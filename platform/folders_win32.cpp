// Well-known folders and path helpers through the shell and kernel calls.
#include "platform/file.h"

#include <shlobj.h>

#include <vector>

#include "platform/text.h"
#include "platform/win32_internal.h"

namespace platform {

std::u16string TempFolder() {
  const DWORD needed = ::GetTempPathW(0, nullptr);
  if (needed == 0) return {};
  std::vector<wchar_t> buffer(needed + 1);
  const DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return {};
  return win32::FromWide(buffer.data(), length);
}

std::u16string TempFileName(const std::u16string& folder, const std::u16string& prefix) {
  wchar_t buffer[MAX_PATH + 1] = {};
  if (::GetTempFileNameW(win32::Wide(folder), win32::Wide(prefix), 0, buffer) == 0) return {};
  return win32::FromWide(buffer);
}

std::u16string SpecialFolderPath(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) return {};
  return win32::FromWide(buffer);
}

std::u16string ModulePath() {
  // Long paths do not fit MAX_PATH; the call truncates, so grow and retry.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return win32::FromWide(buffer.data(), length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

void SetPosixRoot(const std::string&) {}

std::string HostPath(const std::u16string& path) { return ToUtf8(path); }

}  // namespace platform
