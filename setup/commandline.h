// The setup program's command line: the result-file path after "-f2" and the
// silent switch. Both are plain, case-sensitive substring searches over the
// argument text (without the program's own path), as administrators' scripts
// have always relied on.
#pragma once

#include <optional>
#include <string>

// Everything after the first "-f2" up to the end of the line; nothing when the
// line has no "-f2".
std::optional<std::u16string> ResultPathFromCommandLine(const std::u16string& arguments);

// True when any of "\s", "/s", "\S", "/S", "-S" or "-s" occurs anywhere.
bool IsSilentCommandLine(const std::u16string& arguments);

// The result-file path as the ANSI bytes the result file is opened with. A
// path too long for the system is kept whole rather than cut to some other
// file's name: opening it then fails and the result is not written.
std::string ResultPathBytes(const std::u16string& path);

// The result file used when the command line names none.
constexpr const char* kDefaultResultPath = "C:\\Glimmora.log";
