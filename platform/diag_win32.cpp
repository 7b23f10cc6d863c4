// Diagnostics through the system's own error state and message tables.
#include <cstdlib>

#include "platform/diag.h"
#include "platform/win32_internal.h"

namespace platform {

namespace {
// Debugger output is raised as an exception that the system dispatches.
// Under Wine on an emulated 32-bit CPU that dispatch now and then brings the
// process down, so the test harness turns the traces off with this variable.
bool DebugOutputWanted() {
  static const bool wanted = std::getenv("GLIMMORA_NO_DEBUG_OUTPUT") == nullptr;
  return wanted;
}
}  // namespace

void DebugOutput(const std::u16string& text) {
  if (DebugOutputWanted()) ::OutputDebugStringW(win32::Wide(text));
}

uint32_t LastError() { return ::GetLastError(); }

void SetLastError(uint32_t code) { ::SetLastError(code); }

std::u16string ErrorText(uint32_t code) {
  wchar_t buffer[1024];
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buffer, sizeof buffer / sizeof buffer[0], nullptr);
  std::u16string text = win32::FromWide(buffer, length);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n')) text.pop_back();
  return text;
}

}  // namespace platform
