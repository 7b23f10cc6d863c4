// The setup program's command line: the result-file path after "-f2" and the
// silent switch. "-f2" is found anywhere (administrators' scripts write it
// glued to the path); a silent switch counts only as a word of its own, so
// that a path such as "C:\setup\r.log" or "D:\my-stuff" does not select it.
#pragma once

#include <optional>
#include <string>

// The text after the first "-f2", up to a silent switch that follows it as a
// word of its own (the blanks before that switch are not part of the path),
// or up to the end of the line. Nothing when the line has no "-f2". A path
// with blanks ("-f2C:\My Results\r.log") is kept whole.
std::optional<std::u16string> ResultPathFromCommandLine(const std::u16string& arguments);

// True when one of "\s", "/s", "\S", "/S", "-S" or "-s" stands as a word of
// its own: at the start or after a blank, followed by a blank or the end.
bool IsSilentCommandLine(const std::u16string& arguments);

// The result-file path as the ANSI bytes the result file is opened with. A
// path too long for the system is kept whole rather than cut to some other
// file's name: opening it then fails and the result is not written.
std::string ResultPathBytes(const std::u16string& path);

// The result file used when the command line names none.
constexpr const char* kDefaultResultPath = "C:\\Glimmora.log";
