#include "setup/installfolder.h"

#include "platform/file.h"

namespace {

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

std::u16string WithBackslashes(std::u16string path) {
  for (char16_t& c : path) {
    if (c == u'/') c = u'\\';
  }
  return path;
}

}  // namespace

std::u16string NormalizeFolderSeparators(const std::u16string& typed) {
  std::u16string folder;
  folder.reserve(typed.size());
  for (char16_t c : typed) {
    if (c == u'/') c = u'\\';
    if (c == u'\\' && !folder.empty() && folder.back() == u'\\') continue;
    folder += c;
  }
  return folder;
}

std::u16string CompleteInstallFolder(const std::u16string& chosen, bool repair_mode) {
  std::u16string folder = NormalizeFolderSeparators(chosen);
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  if (!repair_mode) folder += u"Glimmora\\";
  return folder;
}

FolderProblem CheckInstallFolderText(const std::u16string& completed, size_t longest_relative) {
  const std::u16string folder = WithBackslashes(completed);
  // Only a drive's own root makes a place to install to: a drive-relative
  // "C:Tools" would land wherever that drive's current folder happens to be.
  if (folder.size() < 3 || !IsDriveLetter(folder[0]) || folder[1] != u':' || folder[2] != u'\\')
    return FolderProblem::kNotRooted;
  size_t level_start = 3;
  for (size_t i = 3; i < folder.size(); ++i) {
    const char16_t c = folder[i];
    if (c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' || c == u'*')
      return FolderProblem::kBadName;
    if (c == u'\\') {
      const std::u16string level = folder.substr(level_start, i - level_start);
      if (level == u"." || level == u".." || (i > 3 && level.empty())) return FolderProblem::kBadName;
      level_start = i + 1;
    }
  }
  if (folder.size() + longest_relative > kMaxInstallPath) return FolderProblem::kTooLong;
  return FolderProblem::kNone;
}

FolderProblem CreateInstallFolder(const std::u16string& completed, std::vector<std::u16string>* made) {
  std::u16string folder = WithBackslashes(completed);
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  // Every level from the drive's root down; an existing level is fine.
  for (size_t at = folder.find(u'\\', 3); at != std::u16string::npos; at = folder.find(u'\\', at + 1)) {
    const std::u16string level = folder.substr(0, at);
    if (platform::FolderExists(level)) continue;
    if (platform::CreateFolder(level)) {
      if (made) made->push_back(level);
    } else if (!platform::FolderExists(level)) {
      return FolderProblem::kNotCreated;
    }
  }
  const std::u16string last = folder.substr(0, folder.size() - 1);
  if (!platform::FolderExists(last)) return FolderProblem::kNotCreated;
  // Writable is what matters, whatever the folder's attributes say.
  const std::u16string probe = platform::TempFileName(last, u"gli");
  if (probe.empty()) return FolderProblem::kNotWritable;
  platform::RemoveFile(probe);
  return FolderProblem::kNone;
}
