// Drive paths walked one name at a time from the root, never through a
// link: what SetPosixConfinement promises.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/posix_internal.h"
#include "platform/text.h"

namespace platform::posix {
namespace {

// An open folder, closed when it goes.
class FolderFd {
 public:
  FolderFd() = default;
  explicit FolderFd(int fd) : fd_(fd) {}
  ~FolderFd() { Reset(-1); }
  FolderFd(FolderFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FolderFd& operator=(FolderFd&& other) noexcept {
    Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  FolderFd(const FolderFd&) = delete;
  FolderFd& operator=(const FolderFd&) = delete;

  int get() const { return fd_; }

 private:
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int fd_ = -1;
};

// The folder that holds the last name of a path, and that name.
struct Place {
  FolderFd folder;
  std::string name;
};

bool IsLink(int folder, const std::string& name) {
  struct stat info {};
  return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode);
}

// Why `name` in `folder` could not be used, as the Windows error: a link
// in its place is named as such, whatever open(2) said about it.
void SetErrorFor(int folder, const std::string& name, int err, bool last) {
  if (IsLink(folder, name)) {
    SetLastError(kErrorStoppedOnSymlink);
  } else if (err == ENOENT) {
    SetLastError(last ? kErrorFileNotFound : kErrorPathNotFound);
  } else {
    SetLastError(ErrorFromErrno(err));
  }
}

// The drive's letter, then every name of the path. A trailing separator
// adds no name; any other empty name, "." and ".." are refused, so a walk
// never leaves the folder it went into, and so is a NUL, which would end
// the name early for the system ("..\0x" is "..").
bool SplitDrivePath(const std::u16string& path, std::vector<std::string>& names) {
  names.assign(1, std::string(1, DriveLetter(path)));
  if (path.size() <= 3) return true;
  size_t start = 3;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::u16string name = path.substr(start, end - start);
    if (name.empty() && end == path.size()) break;
    if (name.empty() || name == u"." || name == u".." || name.find(u'\0') != std::u16string::npos) {
      SetLastError(kErrorInvalidName);
      return false;
    }
    names.push_back(ToUtf8(name));
    start = end + 1;
  }
  return true;
}

// Walks to the folder holding the path's last name. With `make`, missing
// levels are made on the way (the drive itself always is: on Windows it
// exists).
bool Walk(const std::u16string& path, bool make, Place& place) {
  std::vector<std::string> names;
  if (!SplitDrivePath(path, names)) return false;
  const std::string root = Root();
  if (!MakeFolders(root)) {
    SetLastError(kErrorPathNotFound);
    return false;
  }
  FolderFd at(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (at.get() < 0) {
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  for (size_t i = 0; i + 1 < names.size(); ++i) {
    if (i == 0 || make) ::mkdirat(at.get(), names[i].c_str(), 0777);  // an existing level is fine
    const int next = ::openat(at.get(), names[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0) {
      SetErrorFor(at.get(), names[i], errno, false);
      return false;
    }
    at = FolderFd(next);
  }
  place.folder = std::move(at);
  place.name = names.back();
  return true;
}

}  // namespace

int OpenConfined(const std::u16string& path, int flags) {
  Place place;
  if (!Walk(path, false, place)) return -1;
  const int fd = ::openat(place.folder.get(), place.name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) SetErrorFor(place.folder.get(), place.name, errno, true);
  return fd;
}

bool MakeConfinedFolder(const std::u16string& path) {
  Place place;
  if (!Walk(path, false, place)) {
    // A missing parent is "path not found" for folders, as CreateFolder says.
    if (LastError() == kErrorFileNotFound) SetLastError(kErrorPathNotFound);
    return false;
  }
  if (::mkdirat(place.folder.get(), place.name.c_str(), 0777) == 0) return true;
  SetErrorFor(place.folder.get(), place.name, errno, false);
  // A link where the folder should be takes the name as much as a file does.
  if (LastError() == kErrorStoppedOnSymlink) SetLastError(kErrorAlreadyExists);
  return false;
}

bool MakeConfinedFolders(const std::u16string& path) {
  Place place;
  if (!Walk(path, true, place)) return false;
  ::mkdirat(place.folder.get(), place.name.c_str(), 0777);
  struct stat info {};
  return ::fstatat(place.folder.get(), place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

bool StatConfined(const std::u16string& path, struct stat& info) {
  Place place;
  return Walk(path, false, place) &&
         ::fstatat(place.folder.get(), place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool RemoveConfined(const std::u16string& path, bool folder) {
  Place place;
  if (!Walk(path, false, place)) return false;
  if (::unlinkat(place.folder.get(), place.name.c_str(), folder ? AT_REMOVEDIR : 0) == 0) return true;
  SetLastError(ErrorFromErrno(errno));
  return false;
}

bool RenameConfined(const std::u16string& from, const std::u16string& to) {
  Place source, target;
  if (!Walk(from, false, source) || !Walk(to, false, target)) return false;
  if (::renameat(source.folder.get(), source.name.c_str(), target.folder.get(), target.name.c_str()) == 0) return true;
  SetLastError(ErrorFromErrno(errno));
  return false;
}

}  // namespace platform::posix
