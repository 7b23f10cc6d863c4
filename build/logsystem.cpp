#include "build/logsystem.h"

#include <string>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/logwindow.h"

namespace {

std::u16string Format(const std::u16string& format, const std::u16string* text, const int32_t* number) {
  std::u16string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != u'%' || i + 1 == format.size()) {
      out += format[i];
      continue;
    }
    const char16_t conversion = format[++i];
    if (conversion == u's' && text) {
      out += *text;
    } else if ((conversion == u'd' || conversion == u'D') && number) {
      for (char c : std::to_string(*number)) out += static_cast<char16_t>(c);
    } else if (conversion == u'%') {
      out += u'%';
    } else {
      out += u'%';
      out += conversion;
    }
  }
  return out;
}

}  // namespace

std::u16string FormatText(const std::u16string& format, const std::u16string& text) {
  return Format(format, &text, nullptr);
}

std::u16string FormatInt(const std::u16string& format, int32_t value) { return Format(format, nullptr, &value); }

void CMyLogSystem::WriteLine(const std::u16string& text) {
  SendToWindow(text);
  if (path_.empty() || text.empty()) return;
  // Opened per line without sharing: a second writer meeting the open file
  // loses its line rather than interleaving with this one.
  platform::File file = platform::File::Open(path_, platform::OpenMode::kAppendAlways);
  if (!file.IsOpen()) return;
  std::u16string line = text + u"\r\n";
  std::string bytes;
  bytes.reserve(line.size() * 2);
  for (char16_t c : line) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  file.Write(bytes.data(), bytes.size());
}

void CMyLogSystem::WriteFormatInt(const std::u16string& format, int32_t value) {
  if (!format.empty()) WriteLine(FormatInt(format, value));
}

void CMyLogSystem::WriteFormatText(const std::u16string& format, const std::u16string& text) {
  if (!format.empty() && !text.empty()) WriteLine(FormatText(format, text));
}

void CMyLogSystem::WriteLastError(const std::u16string& format) {
  WriteLine(FormatText(format, platform::ErrorText(platform::LastError())));
}

void CMyLogSystem::SendToWindow(const std::u16string& text) {
  if (text.empty()) return;
  const std::u16string line = text + u"\r\n";
  if (window_ != nullptr) platform::SendLogLine(window_, line);
}
