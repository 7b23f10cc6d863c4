// errno values translated to the Windows error codes callers compare.
#include <cerrno>
#include <sys/stat.h>

#include "platform/file.h"
#include "platform/posix_internal.h"

namespace platform::posix {

uint32_t ErrorFromErrno(int err) {
  switch (err) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: case ELOOP: return kErrorPathNotFound;
    case EACCES: case EPERM: case EISDIR: case EROFS: return kErrorAccessDenied;
    case EBADF: return kErrorInvalidHandle;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EMFILE: case ENFILE: return kErrorTooManyOpenFiles;
    case EIO: return kErrorWriteFault;
    case EWOULDBLOCK: case ETXTBSY: case EBUSY: return kErrorSharingViolation;
    case EEXIST: return kErrorAlreadyExists;
    case EINVAL: return kErrorInvalidParameter;
    case ENOSPC: case EDQUOT: case EFBIG: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorFilenameTooLong;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    default: return kErrorGenFailure;
  }
}

uint32_t OpenErrorFromErrno(int err, const std::string& host_path) {
  if (err != ENOENT) return ErrorFromErrno(err);
  const auto slash = host_path.find_last_of('/');
  std::string parent = slash == std::string::npos ? "." : host_path.substr(0, slash);
  if (parent.empty()) parent = "/";
  struct stat info {};
  const bool parent_is_folder = ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  return parent_is_folder ? kErrorFileNotFound : kErrorPathNotFound;
}

}  // namespace platform::posix
