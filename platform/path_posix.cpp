// Windows paths on a POSIX system: drives live below a root folder.
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/confine_posix.h"
#include "platform/file.h"
#include "platform/posix_internal.h"
#include "platform/text.h"

namespace platform {
namespace {

std::mutex root_mutex;
std::string root_folder;  // empty until set or first used
std::atomic<bool> confined{false};

std::string DefaultRoot() {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/glimmora-root-" + std::to_string(::getuid());
}

}  // namespace

namespace posix {

std::string Root() {
  std::lock_guard<std::mutex> lock(root_mutex);
  if (root_folder.empty()) root_folder = DefaultRoot();
  return root_folder;
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// A bare "X:" counts too: strictly it is the current folder of that drive,
// but it turns up as the first level when callers walk down a path creating
// each folder, and the drive's root is what they mean.
bool IsDriveRooted(const std::u16string& path) {
  if (path.size() < 2 || path[1] != u':') return false;
  if (path.size() > 2 && !IsSeparator(path[2])) return false;
  const char16_t letter = path[0];
  return (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
}

char DriveLetter(const std::u16string& path) {
  const char16_t letter = path[0];
  return static_cast<char>(letter >= u'a' ? letter - u'a' + u'A' : letter);
}

bool Confined() { return confined.load(); }

}  // namespace posix

using posix::DriveLetter;
using posix::IsDriveRooted;
using posix::Root;

void SetPosixConfinement(bool on) { confined.store(on); }

void SetPosixRoot(const std::string& root) {
  std::string cleaned = root;
  while (cleaned.size() > 1 && cleaned.back() == '/') cleaned.pop_back();
  std::lock_guard<std::mutex> lock(root_mutex);
  root_folder = cleaned;
}

std::string HostPath(const std::u16string& path) {
  std::string mapped;
  std::u16string rest = path;
  if (IsDriveRooted(path)) {
    mapped = Root() + "/" + DriveLetter(path);
    if (path.size() == 2) return mapped;
    mapped += "/";
    rest = path.substr(3);
  }
  // Anything else ("x\y", "C:x", "\\server\share", a Linux path) is taken
  // as it is, relative to the current folder unless it starts with a
  // separator; that is how host tools hand in their own files.
  for (auto& c : rest) {
    if (c == u'\\') c = u'/';
  }
  return mapped + ToUtf8(rest);
}

namespace posix {

bool MakeFolders(const std::string& host_path) {
  std::string partial;
  size_t pos = 0;
  while (pos != std::string::npos) {
    pos = host_path.find('/', pos + 1);
    partial = host_path.substr(0, pos);
    if (partial.empty()) continue;
    if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  struct stat info {};
  return ::stat(host_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string UsablePath(const std::u16string& path) {
  if (IsDriveRooted(path)) MakeFolders(Root() + "/" + DriveLetter(path));
  return HostPath(path);
}

bool MakeDriveFolders(const std::u16string& path) {
  if (Confined() && IsDriveRooted(path)) return MakeConfinedFolders(path);
  return MakeFolders(UsablePath(path));
}

}  // namespace posix
}  // namespace platform
