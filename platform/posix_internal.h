// Helpers shared by the POSIX backend's files; not part of the interface.
#pragma once

#include <sys/stat.h>

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

// The folder that stands for the machine's drives.
std::string Root();
bool IsSeparator(char16_t c);
// "X:\" or "X:/" at the start (or a bare "X:"): a path rooted in a drive.
bool IsDriveRooted(const std::u16string& path);
// The drive's letter in upper case.
char DriveLetter(const std::u16string& path);

// mkdir -p of a drive path, walking without links while confined.
bool MakeDriveFolders(const std::u16string& path);

// While confined (see confine_posix.h), every drive path goes through the
// functions below, which walk it from the root without following links.
bool Confined();
// Opens the drive path `path` with open(2) `flags`; the descriptor, or -1
// with the Windows error set.
int OpenConfined(const std::u16string& path, int flags);
bool MakeConfinedFolder(const std::u16string& path);
bool MakeConfinedFolders(const std::u16string& path);
// The entry itself, a link included; false when it is not there or cannot
// be reached.
bool StatConfined(const std::u16string& path, struct stat& info);
// unlink(2), or rmdir(2) with `folder`.
bool RemoveConfined(const std::u16string& path, bool folder);
bool RenameConfined(const std::u16string& from, const std::u16string& to);

}  // namespace platform::posix
