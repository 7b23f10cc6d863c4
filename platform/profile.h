// Sections of an INI file, read as the Win32 profile calls read them.
//
// The Win32 backend asks the system; the POSIX backend reads the file below
// the root folder (see file.h) the way the system would: UTF-16LE with a
// byte-order mark (a file without one is taken as UTF-8), section names
// compared without regard to (ASCII) case, blank lines and lines starting
// with ";" carry nothing, and blanks around a line and around its first "="
// are dropped.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

struct ProfileSection {
  // The section exists and holds at least one line; the system call cannot
  // tell an empty section from a missing one, so neither can this.
  bool found = false;
  // The section's text did not fit the capacity: `lines` holds only the
  // whole lines that fit, the rest is gone.
  bool truncated = false;
  // "key=value" (or the bare text of a line without "="), in file order.
  std::vector<std::u16string> lines;
};

// The lines of [section] in the file at `path`. They must fit
// `capacity_chars` as the system call hands them over: every line with its
// terminator, plus one terminator closing the list. A line that does not
// fit is dropped together with all after it, never handed over cut.
ProfileSection ReadProfileSection(const std::u16string& path, const std::u16string& section,
                                  size_t capacity_chars);

}  // namespace platform
