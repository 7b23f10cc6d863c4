#include "platform/logwindow.h"

namespace platform {

// There are no windows here; the log file is the only sink.
void SendLogLine(void*, const std::u16string&) {}

}  // namespace platform
