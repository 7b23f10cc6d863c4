// Helpers shared by the Win32 backend's files; not part of the interface.
#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

// wchar_t and char16_t are both UTF-16 code units on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be 16-bit here");

inline const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(const wchar_t* text, size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string FromWide(const wchar_t* text) {
  return FromWide(text, ::wcslen(text));
}

}  // namespace platform::win32
