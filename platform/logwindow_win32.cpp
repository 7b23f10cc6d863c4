#include <windows.h>

#include "platform/logwindow.h"

namespace platform {

void SendLogLine(void* window, const std::u16string& line) {
  SendMessageW(static_cast<HWND>(window), kLogLineMessage, reinterpret_cast<WPARAM>(line.c_str()),
               static_cast<LPARAM>(line.size() * sizeof(char16_t)));
}

}  // namespace platform
