// Files on a POSIX system, behaving as the Win32 backend does: the same
// error codes, and Windows-style sharing emulated with flock(), which is
// held per open file so it also separates two opens in one process.
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/posix_internal.h"

namespace platform {
namespace {

int Fd(intptr_t handle) { return static_cast<int>(handle); }

// While confined only drive paths may be removed, and a link is removed
// itself, never what it points to.
bool ConfinedRemove(const std::u16string& path, bool folder) {
  if (posix::IsDriveRooted(path)) return posix::RemoveConfined(path, folder);
  SetLastError(kErrorAccessDenied);
  return false;
}

// Reading or writing through a descriptor opened the other way fails with
// EBADF on POSIX and "access denied" on Windows.
uint32_t TransferError(int err) {
  return err == EBADF ? kErrorAccessDenied : posix::ErrorFromErrno(err);
}

}  // namespace

File File::Open(const std::u16string& path, OpenMode mode) {
  File file;
  // Without O_NONBLOCK a FIFO put where a file was expected would hang the
  // open until someone writes to it; the flag is cleared once it is known
  // to be a file.
  int flags = O_CLOEXEC | O_NONBLOCK;
  int lock = LOCK_SH;
  switch (mode) {
    case OpenMode::kReadShared: flags |= O_RDONLY; break;
    // No O_TRUNC: a file that someone holds without sharing must survive
    // the refused open, so it is truncated only once the lock is held.
    case OpenMode::kCreateTruncate: flags |= O_WRONLY | O_CREAT; break;
    case OpenMode::kAppendAlways: flags |= O_WRONLY | O_CREAT; lock = LOCK_EX; break;
  }
  const bool writes = mode != OpenMode::kReadShared;
  const bool confined = posix::Confined();
  int fd = -1;
  if (confined && posix::IsDriveRooted(path)) {
    fd = posix::OpenConfined(path, flags);
    if (fd < 0) return file;
  } else if (confined && writes) {
    SetLastError(kErrorAccessDenied);
    return file;
  } else {
    const std::string host = posix::UsablePath(path);
    fd = ::open(host.c_str(), flags, 0666);
    if (fd < 0) {
      SetLastError(posix::OpenErrorFromErrno(errno, host));
      return file;
    }
  }
  file.handle_ = fd;  // closed by file on every early return below

  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    SetLastError(posix::ErrorFromErrno(errno));
    file.Close();
    return file;
  }
  // Windows refuses to open a folder as a file. What is read must be a file:
  // a FIFO or a device in a source's place would block or never end. Output
  // may go to a device (/dev/null), never into a FIFO or a socket; while
  // confined only into a file, and not into one that has a second hard link,
  // which could be the way to a file outside.
  const bool refused = S_ISDIR(info.st_mode) || (!writes && !S_ISREG(info.st_mode)) || S_ISFIFO(info.st_mode) ||
                       S_ISSOCK(info.st_mode) ||
                       (confined && writes && (!S_ISREG(info.st_mode) || info.st_nlink > 1));
  const int status = refused ? -1 : ::fcntl(fd, F_GETFL);
  if (refused || status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
    file.Close();
    SetLastError(kErrorAccessDenied);
    return file;
  }
  if (::flock(fd, lock | LOCK_NB) != 0) {
    const int err = errno;
    file.Close();
    SetLastError(err == EWOULDBLOCK ? kErrorSharingViolation : posix::ErrorFromErrno(err));
    return file;
  }
  off_t position = 0;
  // Devices such as /dev/null have no length to cut, as O_TRUNC ignores. A new
  // or empty file is not truncated: on ext4 a truncate to 0 makes the next
  // close flush the file to disk at once, which slows every extraction.
  if (mode == OpenMode::kCreateTruncate && S_ISREG(info.st_mode) && info.st_size != 0 && ::ftruncate(fd, 0) != 0) {
    position = -1;
  }
  if (mode == OpenMode::kAppendAlways) position = ::lseek(fd, 0, SEEK_END);
  if (position < 0) {
    const int err = errno;
    file.Close();
    SetLastError(posix::ErrorFromErrno(err));
    return file;
  }
  SetLastError(kErrorSuccess);
  return file;
}

int64_t File::Read(void* buffer, size_t size) {
  if (!IsOpen()) {
    SetLastError(kErrorInvalidHandle);
    return -1;
  }
  // A file read stops short only at its end, as ReadFile does.
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(Fd(handle_), out + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      SetLastError(TransferError(errno));
      return -1;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

bool File::Write(const void* data, size_t size) {
  if (!IsOpen()) {
    SetLastError(kErrorInvalidHandle);
    return false;
  }
  const auto* in = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t put = ::write(Fd(handle_), in + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) {
      SetLastError(TransferError(errno));
      return false;
    }
    done += static_cast<size_t>(put);
  }
  return true;
}

int64_t File::Seek(int64_t offset, SeekOrigin origin) {
  if (!IsOpen()) {
    SetLastError(kErrorInvalidHandle);
    return -1;
  }
  int whence = SEEK_SET;
  if (origin == SeekOrigin::kCurrent) whence = SEEK_CUR;
  if (origin == SeekOrigin::kEnd) whence = SEEK_END;
  const off_t position = ::lseek(Fd(handle_), static_cast<off_t>(offset), whence);
  if (position < 0) {
    // A target before the start is the only EINVAL lseek gives a file.
    SetLastError(errno == EINVAL ? kErrorNegativeSeek : posix::ErrorFromErrno(errno));
    return -1;
  }
  return position;
}

int64_t File::Size() {
  if (!IsOpen()) {
    SetLastError(kErrorInvalidHandle);
    return -1;
  }
  struct stat info {};
  if (::fstat(Fd(handle_), &info) != 0) {
    SetLastError(posix::ErrorFromErrno(errno));
    return -1;
  }
  return info.st_size;
}

void File::Close() {
  if (IsOpen()) ::close(Fd(handle_));  // also drops the flock
  handle_ = -1;
}

bool CreateFolder(const std::u16string& path) {
  if (posix::Confined()) {
    if (posix::IsDriveRooted(path)) return posix::MakeConfinedFolder(path);
    SetLastError(kErrorAccessDenied);
    return false;
  }
  const std::string host = posix::UsablePath(path);
  if (::mkdir(host.c_str(), 0777) == 0) return true;
  // A missing parent is "path not found" for folders, never "file not found".
  const uint32_t code = posix::ErrorFromErrno(errno);
  SetLastError(code == kErrorFileNotFound ? kErrorPathNotFound : code);
  return false;
}

bool FolderExists(const std::u16string& path) {
  struct stat info {};
  if (posix::Confined() && posix::IsDriveRooted(path)) return posix::StatConfined(path, info) && S_ISDIR(info.st_mode);
  return ::stat(posix::UsablePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::u16string& path) {
  struct stat info {};
  if (posix::Confined() && posix::IsDriveRooted(path)) return posix::StatConfined(path, info) && !S_ISDIR(info.st_mode);
  return ::stat(posix::UsablePath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool RemoveFile(const std::u16string& path) {
  if (posix::Confined()) return ConfinedRemove(path, false);
  if (::unlink(posix::UsablePath(path).c_str()) == 0) return true;
  SetLastError(posix::ErrorFromErrno(errno));
  return false;
}

bool FileModifiedAfterCreation(const std::u16string& path) {
  struct statx info {};
  if (::statx(AT_FDCWD, posix::UsablePath(path).c_str(), 0, STATX_BTIME | STATX_MTIME, &info) != 0) return false;
  if (!(info.stx_mask & STATX_BTIME)) return false;
  return info.stx_mtime.tv_sec > info.stx_btime.tv_sec + 2;
}

bool RemoveFolder(const std::u16string& path) {
  if (posix::Confined()) return ConfinedRemove(path, true);
  if (::rmdir(posix::UsablePath(path).c_str()) == 0) return true;
  SetLastError(posix::ErrorFromErrno(errno));
  return false;
}

bool MoveFileOver(const std::u16string& from, const std::u16string& to) {
  if (posix::Confined()) {
    if (posix::IsDriveRooted(from) && posix::IsDriveRooted(to)) return posix::RenameConfined(from, to);
    SetLastError(kErrorAccessDenied);
    return false;
  }
  if (::rename(posix::UsablePath(from).c_str(), posix::UsablePath(to).c_str()) == 0) return true;
  SetLastError(posix::ErrorFromErrno(errno));
  return false;
}

std::vector<std::u16string>& PosixRemovalsAtRestart() {
  static std::vector<std::u16string> paths;
  return paths;
}

bool RemoveFileAtRestart(const std::u16string& path) {
  PosixRemovalsAtRestart().push_back(path);
  return true;
}

}  // namespace platform
