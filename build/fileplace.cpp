#include "build/fileplace.h"

#include "platform/file.h"

std::u16string MoveAside(const std::u16string& target) {
  const size_t slash = target.rfind(u'\\');
  const std::u16string folder = slash == std::u16string::npos ? std::u16string() : target.substr(0, slash + 1);
  const std::u16string aside = platform::TempFileName(folder, u"gl~");
  if (aside.empty()) return {};
  if (platform::MoveFileOver(target, aside)) return aside;
  platform::RemoveFile(aside);
  return {};
}

bool RemoveNowOrAtRestart(const std::u16string& path) {
  if (platform::RemoveFile(path) || !platform::FileExists(path)) return false;
  return platform::RemoveFileAtRestart(path);
}
