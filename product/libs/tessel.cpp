#include "libs/tessel.h"

#include <shlwapi.h>

#include <cwchar>
#include <string>

namespace {

int CopyOut(const std::wstring& text, wchar_t* out, int capacity) {
  if (!out || capacity <= 0 || text.size() + 1 > static_cast<size_t>(capacity)) return 0;
  wmemcpy(out, text.c_str(), text.size() + 1);
  return static_cast<int>(text.size());
}

}  // namespace

int TesselCaptureName(const SYSTEMTIME* when, wchar_t* out, int capacity) {
  if (!when) return 0;
  wchar_t name[64];
  swprintf(name, 64, L"Glimmora %04u-%02u-%02u %02u.%02u.%02u.png", when->wYear, when->wMonth, when->wDay,
           when->wHour, when->wMinute, when->wSecond);
  return CopyOut(name, out, capacity);
}

int TesselUniquePath(const wchar_t* folder, const wchar_t* name, wchar_t* out, int capacity) {
  if (!folder || !name || !*name) return 0;
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  const std::wstring file = name;
  const size_t dot = file.rfind(L'.');
  const std::wstring stem = dot == std::wstring::npos ? file : file.substr(0, dot);
  const std::wstring extension = dot == std::wstring::npos ? std::wstring() : file.substr(dot);

  std::wstring path = base + file;
  for (int n = 2; PathFileExistsW(path.c_str()); ++n) {
    if (n > 9999) return 0;  // a folder full of one second's captures: give up
    path = base + stem + L" (" + std::to_wstring(n) + L")" + extension;
  }
  return CopyOut(path, out, capacity);
}
