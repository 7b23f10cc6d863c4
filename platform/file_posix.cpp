// Files on a POSIX system, behaving as the Win32 backend does: the same
// error codes, and Windows-style sharing emulated with flock(), which is
// held per open file so it also separates two opens in one process.
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/posix_internal.h"

namespace platform {
namespace {

int Fd(intptr_t handle) { return static_cast<int>(handle); }

// Reading or writing through a descriptor opened the other way fails with
// EBADF on POSIX and "access denied" on Windows.
uint32_t TransferError(int err) {
  return err == EBADF ? kErrorAccessDenied : posix::ErrorFromErrno(err);
}

}  // namespace

File File::Open(const std::u16string& path, OpenMode mode) {
  File file;
  const std::string host = posix::UsablePath(path);
  int flags = O_CLOEXEC;
  int lock = LOCK_SH;
  switch (mode) {
    case OpenMode::kReadShared: flags |= O_RDONLY; break;
    // No O_TRUNC: a file that someone holds without sharing must survive
    // the refused open, so it is truncated only once the lock is held.
    case OpenMode::kCreateTruncate: flags |= O_WRONLY | O_CREAT; break;
    case OpenMode::kAppendAlways: flags |= O_WRONLY | O_CREAT; lock = LOCK_EX; break;
  }
  const int fd = ::open(host.c_str(), flags, 0666);
  if (fd < 0) {
    SetLastError(posix::OpenErrorFromErrno(errno, host));
    return file;
  }
  file.handle_ = fd;  // closed by file on every early return below

  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    SetLastError(posix::ErrorFromErrno(errno));
    file.Close();
    return file;
  }
  if (S_ISDIR(info.st_mode)) {  // Windows refuses to open a folder as a file
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
  const std::string host = posix::UsablePath(path);
  if (::mkdir(host.c_str(), 0777) == 0) return true;
  // A missing parent is "path not found" for folders, never "file not found".
  const uint32_t code = posix::ErrorFromErrno(errno);
  SetLastError(code == kErrorFileNotFound ? kErrorPathNotFound : code);
  return false;
}

bool FolderExists(const std::u16string& path) {
  struct stat info {};
  return ::stat(posix::UsablePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::u16string& path) {
  struct stat info {};
  return ::stat(posix::UsablePath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool RemoveFile(const std::u16string& path) {
  if (::unlink(posix::UsablePath(path).c_str()) == 0) return true;
  SetLastError(posix::ErrorFromErrno(errno));
  return false;
}

}  // namespace platform
