#include "setup/commandline.h"

#include "platform/text.h"

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool IsSwitchAt(const std::u16string& text, size_t at) {
  if (at + 2 > text.size()) return false;
  const char16_t lead = text[at], letter = text[at + 1];
  if (lead != u'/' && lead != u'\\' && lead != u'-') return false;
  if (letter != u's' && letter != u'S') return false;
  const bool starts_word = at == 0 || IsBlank(text[at - 1]);
  const bool ends_word = at + 2 == text.size() || IsBlank(text[at + 2]);
  return starts_word && ends_word;
}

// Where the first silent switch word at or after `from` begins; npos if none.
size_t FindSwitch(const std::u16string& text, size_t from) {
  for (size_t at = from; at + 2 <= text.size(); ++at) {
    if (IsSwitchAt(text, at)) return at;
  }
  return std::u16string::npos;
}

}  // namespace

std::optional<std::u16string> ResultPathFromCommandLine(const std::u16string& arguments) {
  const size_t at = arguments.find(u"-f2");
  if (at == std::u16string::npos) return std::nullopt;
  const size_t start = at + 3;
  size_t end = FindSwitch(arguments, start);
  if (end == std::u16string::npos) return arguments.substr(start);
  while (end > start && IsBlank(arguments[end - 1])) --end;
  return arguments.substr(start, end - start);
}

bool IsSilentCommandLine(const std::u16string& arguments) {
  return FindSwitch(arguments, 0) != std::u16string::npos;
}

std::string ResultPathBytes(const std::u16string& path) {
  return platform::ToAnsi(path);
}
