// Files and folders, the only way the portable core touches the disk.
//
// Paths are Windows paths in UTF-16 ("C:\Program Files\x.txt") on every
// system. The Win32 backend hands them to the real calls; the POSIX backend
// maps them below a root folder chosen with SetPosixRoot, so that host tests
// and the Linux packer see the same path arithmetic the setup program does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Windows error codes, kept on every system so callers compare one set of
// numbers ("already exists" is 183 on Linux too).
enum ErrorCode : uint32_t {
  kErrorSuccess = 0,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorWriteFault = 29,
  kErrorReadFault = 30,
  kErrorSharingViolation = 32,
  kErrorHandleEof = 38,
  kErrorFileExists = 80,
  kErrorInvalidParameter = 87,
  kErrorDiskFull = 112,
  kErrorInvalidName = 123,
  kErrorDirNotEmpty = 145,
  kErrorAlreadyExists = 183,
  kErrorFilenameTooLong = 206,
  kErrorStoppedOnSymlink = 681,
  // Also produced by the POSIX backend (for EMFILE, errors without a closer
  // match, and seeks before the start), so they have names here too.
  kErrorTooManyOpenFiles = 4,
  kErrorGenFailure = 31,
  kErrorNegativeSeek = 131,
};

enum class OpenMode {
  kReadShared,      // existing file, read only, others may read, write and delete
  kCreateTruncate,  // create or truncate, write only
  kAppendAlways,    // open or create, write at the end, no sharing
};

enum class SeekOrigin { kBegin, kCurrent, kEnd };

// An open file. Move-only; closes itself.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // On failure the result is not open and LastError() tells why.
  static File Open(const std::u16string& path, OpenMode mode);

  bool IsOpen() const;
  // Bytes read (0 at the end), or -1 on error.
  int64_t Read(void* buffer, size_t size);
  // True when every byte was written.
  bool Write(const void* data, size_t size);
  // New position from the start, or -1 on error.
  int64_t Seek(int64_t offset, SeekOrigin origin);
  // Size in bytes, or -1 on error.
  int64_t Size();
  void Close();

 private:
  intptr_t handle_ = -1;
};

// Creates one folder level; the parent must exist. Fails with
// kErrorAlreadyExists when the name is taken (by a folder or a file).
bool CreateFolder(const std::u16string& path);
bool FolderExists(const std::u16string& path);
bool FileExists(const std::u16string& path);
// Removes a file; false when it could not (LastError tells why).
bool RemoveFile(const std::u16string& path);
// True when the file was written to after it was created (two seconds of
// slack for file systems that keep coarse times): someone changed it since
// it was put there. False when the system keeps no creation time.
bool FileModifiedAfterCreation(const std::u16string& path);
// Removes an empty folder; false when it could not (not empty, missing).
bool RemoveFolder(const std::u16string& path);
// Renames `from` to `to` within one volume, replacing a file of that name.
// A program that is running can be renamed, though not removed.
bool MoveFileOver(const std::u16string& from, const std::u16string& to);
// Asks the system to remove `path` at the next start (a file in use cannot
// be removed now). False when the request could not be recorded.
bool RemoveFileAtRestart(const std::u16string& path);

// The user's temporary folder, ending in a backslash.
std::u16string TempFolder();
// Creates a new empty file with a unique name "<prefix>XXXX.tmp" in folder
// and returns its path; empty on failure. As on Windows, only the first
// three characters of prefix are used and XXXX is up to four hex digits.
std::u16string TempFileName(const std::u16string& folder, const std::u16string& prefix);

// The path of a shell special folder by its CSIDL number, without a trailing
// backslash; empty when the system has no such folder.
std::u16string SpecialFolderPath(int csidl);

// The full path of the running program.
std::u16string ModulePath();

// POSIX backend only: the paths RemoveFileAtRestart was asked for.
std::vector<std::u16string>& PosixRemovalsAtRestart();

// POSIX backend only: the folder that stands for the machine's drives.
// "C:\x\y" is "<root>/C/x/y". Ignored by the Win32 backend.
void SetPosixRoot(const std::string& root);
// The host path a Windows path maps to (identity on Windows, as UTF-8).
std::string HostPath(const std::u16string& path);

}  // namespace platform
