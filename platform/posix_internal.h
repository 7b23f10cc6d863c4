// Helpers shared by the POSIX backend's files; not part of the interface.
#pragma once

#include <cstdint>
#include <string>

namespace platform::posix {

// The Windows error code that stands for an errno value.
uint32_t ErrorFromErrno(int err);

// Like ErrorFromErrno, but tells "file not found" (2) from "path not found"
// (3) for ENOENT by looking at the folder the host path names its file in.
uint32_t OpenErrorFromErrno(int err, const std::string& host_path);

// The host path of a Windows path, with the drive folder below the root
// created first when the path is rooted in a drive, since on Windows the
// drive always exists.
std::string UsablePath(const std::u16string& path);

// mkdir -p; true when the folder exists afterwards.
bool MakeFolders(const std::string& host_path);

}  // namespace platform::posix
