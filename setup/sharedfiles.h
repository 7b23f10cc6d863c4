// Files shared with other software (the Windows folder, the system folder):
// whether one of ours may replace the file that is there, by the rules
// Windows installers follow, and the machine-wide reference counts that
// tell the last uninstaller when a shared file may go.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The file version of a program or library (its version resource's fixed
// part, major.minor.build.revision in 16 bits each); nothing for a file
// without one, or one that cannot be read.
std::optional<uint64_t> FileVersionOf(const std::u16string& path);

struct ExistingFile {
  std::optional<uint64_t> version;  // nothing: unversioned
  bool ours = false;                // counted for this product before
  bool modified = false;            // written after it was created: someone edited it
};

// What the rules need to know of the file at `path`.
ExistingFile DescribeExistingFile(const std::u16string& path);

// True when the file about to be installed (of `source_version`) may take
// the place of `existing`:
//   - a higher or equal version that is there stays;
//   - a versioned file replaces an unversioned one only when that is ours;
//   - an unversioned file never replaces a versioned one;
//   - an unversioned file replaces an unversioned one only when that was
//     not modified after it was written.
bool MayReplaceSharedFile(std::optional<uint64_t> source_version, const ExistingFile& existing);

// Where the counts live below HKLM; each value is named by a file's full
// path and holds how many installed products use it (a DWORD).
constexpr const char16_t* kSharedDllsKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
