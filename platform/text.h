// Text conversions at the edges of the portable core.
//
// Every string the core keeps is UTF-16 (std::u16string), as on disk and in
// the archive. UTF-8 is what Linux tools and test output speak; the "ANSI"
// code page is what the result file, the log file and 8-bit archive strings
// use (the system code page on Windows, Latin-1 on other systems).
#pragma once

#include <string>

namespace platform {

std::string ToUtf8(const std::u16string& text);
std::u16string FromUtf8(const std::string& text);  // invalid bytes become U+FFFD

std::string ToAnsi(const std::u16string& text);     // unmappable characters become '?'
std::u16string FromAnsi(const std::string& text);

}  // namespace platform
