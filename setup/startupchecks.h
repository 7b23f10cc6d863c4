// Start-up decisions that need no window: which Windows versions the
// program runs on.
#pragma once

#include "platform/system.h"

// Windows XP (5.1) and every 6.x; 2000 (5.0) and 5.2 are refused. A version
// that could not be read is refused too.
inline bool IsSupportedWindowsVersion(const platform::OsVersion& v) {
  return (v.major == 5 && v.minor == 1) || v.major == 6;
}
