// Questions the install model asks the running system, and the one message
// box it shows. On Windows these are the real calls; the POSIX backend
// answers from a settable description so that decisions can be tested.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct OsVersion {
  uint32_t platform_id = 0;  // 1: the 9x line, 2: the NT line, 0: unknown
  uint32_t major = 0;
  uint32_t minor = 0;
};

// Extended version record first, basic one if that fails; all zero if both fail.
OsVersion GetOsVersion();

// Raw-disk access test: true when "\\.\PHYSICALDRIVE0" opens for reading.
bool IsAdministrator();

// The system's default language id (LANGID).
uint16_t SystemDefaultLangId();

// An information message without owner window.
void ShowInformation(const std::u16string& text, const std::u16string& caption);

// POSIX backend: what the functions above answer, and the messages shown.
struct FakeSystem {
  OsVersion version{2, 5, 1};
  bool administrator = true;
  uint16_t default_lang = 0x0409;
  int messages_shown = 0;
  std::u16string last_text, last_caption;
};
FakeSystem& PosixSystem();

}  // namespace platform
