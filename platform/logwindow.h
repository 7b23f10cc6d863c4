// Handing a log line to a window that shows the build log.
#pragma once

#include <string>

namespace platform {

// The message a log window receives: the line's UTF-16 characters (CR LF
// included) as the first parameter, their length in bytes as the second,
// sent synchronously, so the pointer is valid only during the call.
constexpr unsigned kLogLineMessage = 0x0400 + 9;

// Sends `line` to `window` (a window handle). Nothing happens on systems
// without windows.
void SendLogLine(void* window, const std::u16string& line);

}  // namespace platform
