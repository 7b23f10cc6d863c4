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

enum class ResultStyle { kSilent, kInteractive };

// The section of one finished run: "[ResponseResult]", then the success
// line of its style ("ResultCode=0" silent, "ResultCode = 0" interactive,
// spaced as callers have always parsed them) or "ResultCode = -1".
void AppendResultSection(const std::string& path, bool succeeded, ResultStyle style);
