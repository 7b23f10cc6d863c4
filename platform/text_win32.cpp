// Text conversions through the system's code pages.
#include "platform/text.h"

#include <climits>

#include "platform/win32_internal.h"

namespace platform {
namespace {

std::string ToCodePage(const std::u16string& text, UINT code_page, DWORD flags, const char* default_char) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int size =
      ::WideCharToMultiByte(code_page, flags, win32::Wide(text), length, nullptr, 0, default_char, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(code_page, flags, win32::Wide(text), length, &out[0], size, default_char, nullptr);
  return out;
}

std::u16string FromCodePage(const std::string& text, UINT code_page) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int length = static_cast<int>(text.size());
  const int size = ::MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::u16string out(static_cast<size_t>(size), u'\0');
  ::MultiByteToWideChar(code_page, 0, text.data(), length, reinterpret_cast<wchar_t*>(&out[0]), size);
  return out;
}

}  // namespace

std::string ToUtf8(const std::u16string& text) { return ToCodePage(text, CP_UTF8, 0, nullptr); }

std::u16string FromUtf8(const std::string& text) { return FromCodePage(text, CP_UTF8); }

std::string ToAnsi(const std::u16string& text) {
  // No best fit: a character the code page lacks becomes '?' rather than a
  // look-alike ("A" for "A with macron") that names a different file.
  std::string out = ToCodePage(text, CP_ACP, WC_NO_BEST_FIT_CHARS, "?");
  // Code pages such as UTF-8 take neither flags nor a default character.
  if (out.empty() && !text.empty()) out = ToCodePage(text, CP_ACP, 0, nullptr);
  return out;
}

std::u16string FromAnsi(const std::string& text) { return FromCodePage(text, CP_ACP); }

}  // namespace platform
