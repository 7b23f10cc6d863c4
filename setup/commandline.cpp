#include "setup/commandline.h"

#include "platform/text.h"

std::optional<std::u16string> ResultPathFromCommandLine(const std::u16string& arguments) {
  const size_t at = arguments.find(u"-f2");
  if (at == std::u16string::npos) return std::nullopt;
  return arguments.substr(at + 3);
}

bool IsSilentCommandLine(const std::u16string& arguments) {
  for (const char16_t* sw : {u"\\s", u"/s", u"\\S", u"/S", u"-S", u"-s"}) {
    if (arguments.find(sw) != std::u16string::npos) return true;
  }
  return false;
}

std::string ResultPathBytes(const std::u16string& path) {
  return platform::ToAnsi(path);
}
