#include "install/oscode.h"

namespace {
constexpr uint32_t kPlatform9x = 1;
constexpr uint32_t kPlatformNt = 2;
}  // namespace

uint32_t OsCodeFromVersion(const platform::OsVersion& v) {
  if (v.platform_id == kPlatform9x && v.major == 4) {
    switch (v.minor) {
      case 0: return 0x4000;
      case 10: return 0x4010;
      case 90: return 0x4090;
      default: return 0;
    }
  }
  if (v.platform_id == kPlatformNt) {
    if (v.major <= 4) return 0x14000;
    if (v.major == 5 && v.minor <= 2) return 0x15001 + v.minor;
  }
  return 0;
}

uint32_t CurrentOsCode() { return OsCodeFromVersion(platform::GetOsVersion()); }
