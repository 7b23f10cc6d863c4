// Diagnostics and error texts.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Short fixed texts for a debugger. The POSIX backend writes them to stderr
// only when GLIMMORA_DEBUG is set, so host tests stay quiet.
void DebugOutput(const std::u16string& text);

// The calling thread's last error code (a Windows code on every system).
uint32_t LastError();
void SetLastError(uint32_t code);
// The system's own text for an error code, without a trailing line break.
// Empty when the system has no text for the code.
std::u16string ErrorText(uint32_t code);

}  // namespace platform
