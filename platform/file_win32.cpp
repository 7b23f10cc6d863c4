// Files through the Win32 file calls.
#include "platform/file.h"

#include <algorithm>

#include "platform/win32_internal.h"

namespace platform {
namespace {

HANDLE Handle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// The largest piece one ReadFile or WriteFile call moves.
constexpr size_t kChunk = 1u << 30;

}  // namespace

File File::Open(const std::u16string& path, OpenMode mode) {
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case OpenMode::kReadShared: break;
    // Readers and other writers may share a file being written, but no one
    // may hold it exclusively, the same rules the POSIX backend keeps.
    case OpenMode::kCreateTruncate:
      access = GENERIC_WRITE;
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      disposition = CREATE_ALWAYS;
      break;
    case OpenMode::kAppendAlways:
      access = GENERIC_WRITE;
      share = 0;
      disposition = OPEN_ALWAYS;
      break;
  }
  File file;
  const HANDLE handle =
      ::CreateFileW(win32::Wide(path), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return file;
  file.handle_ = reinterpret_cast<intptr_t>(handle);
  if (mode == OpenMode::kAppendAlways) {
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(handle, zero, nullptr, FILE_END)) {
      const DWORD error = ::GetLastError();
      file.Close();
      ::SetLastError(error);
      return file;
    }
  }
  // CREATE_ALWAYS and OPEN_ALWAYS report an existing file as an error code
  // even on success; callers should not mistake that for a failure.
  ::SetLastError(ERROR_SUCCESS);
  return file;
}

int64_t File::Read(void* buffer, size_t size) {
  if (!IsOpen()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    DWORD got = 0;
    const auto want = static_cast<DWORD>(std::min(size - done, kChunk));
    if (!::ReadFile(Handle(handle_), out + done, want, &got, nullptr)) return -1;
    if (got == 0) break;
    done += got;
  }
  return static_cast<int64_t>(done);
}

bool File::Write(const void* data, size_t size) {
  if (!IsOpen()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const auto* in = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    DWORD put = 0;
    const auto want = static_cast<DWORD>(std::min(size - done, kChunk));
    if (!::WriteFile(Handle(handle_), in + done, want, &put, nullptr)) return false;
    if (put == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    done += put;
  }
  return true;
}

int64_t File::Seek(int64_t offset, SeekOrigin origin) {
  if (!IsOpen()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  DWORD method = FILE_BEGIN;
  if (origin == SeekOrigin::kCurrent) method = FILE_CURRENT;
  if (origin == SeekOrigin::kEnd) method = FILE_END;
  LARGE_INTEGER distance{};
  distance.QuadPart = offset;
  LARGE_INTEGER position{};
  if (!::SetFilePointerEx(Handle(handle_), distance, &position, method)) return -1;
  return position.QuadPart;
}

int64_t File::Size() {
  if (!IsOpen()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(Handle(handle_), &size)) return -1;
  return size.QuadPart;
}

void File::Close() {
  if (IsOpen()) ::CloseHandle(Handle(handle_));
  handle_ = -1;
}

bool CreateFolder(const std::u16string& path) { return ::CreateDirectoryW(win32::Wide(path), nullptr) != FALSE; }

bool FolderExists(const std::u16string& path) {
  const DWORD attributes = ::GetFileAttributesW(win32::Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::u16string& path) {
  const DWORD attributes = ::GetFileAttributesW(win32::Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool RemoveFile(const std::u16string& path) { return ::DeleteFileW(win32::Wide(path)) != FALSE; }

bool FileModifiedAfterCreation(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(win32::Wide(path), GetFileExInfoStandard, &data)) return false;
  const auto ticks = [](FILETIME t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  constexpr uint64_t kSlack = 2ull * 10000000;  // two seconds in 100 ns units
  return ticks(data.ftLastWriteTime) > ticks(data.ftCreationTime) + kSlack;
}

bool RemoveFolder(const std::u16string& path) { return ::RemoveDirectoryW(win32::Wide(path)) != FALSE; }

bool MoveFileOver(const std::u16string& from, const std::u16string& to) {
  return ::MoveFileExW(win32::Wide(from), win32::Wide(to), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool RemoveFileAtRestart(const std::u16string& path) {
  return ::MoveFileExW(win32::Wide(path), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

}  // namespace platform
