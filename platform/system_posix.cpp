// System questions on a POSIX system, answered from a description tests set.
#include "platform/system.h"

namespace platform {

FakeSystem& PosixSystem() {
  static FakeSystem system;
  return system;
}

OsVersion GetOsVersion() { return PosixSystem().version; }

bool IsAdministrator() { return PosixSystem().administrator; }

uint16_t SystemDefaultLangId() { return PosixSystem().default_lang; }

void ShowInformation(const std::u16string& text, const std::u16string& caption) {
  FakeSystem& system = PosixSystem();
  ++system.messages_shown;
  system.last_text = text;
  system.last_caption = caption;
}

}  // namespace platform
