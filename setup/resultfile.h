// The result file: plain ANSI text to which every run that reaches the
// package appends a two-line section, one open-append-close per line.
#pragma once

#include <string>

constexpr const char* kResultHeader = "[ResponseResult]";
constexpr const char* kResultSilentOk = "ResultCode=0";
constexpr const char* kResultInteractiveOk = "ResultCode = 0";
constexpr const char* kResultFailed = "ResultCode = -1";

// Appends `text` and CR LF to the file at `path` (ANSI bytes), creating it
// when missing. A file that cannot be opened (held by another program, bad
// path) loses the line; nothing is reported.
void AppendResultLine(const std::string& path, const std::string& text);
