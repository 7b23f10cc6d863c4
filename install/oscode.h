// Operating-system codes of the selectors: one number per Windows release
// the author's tool knows. Releases after 5.2 have no code and answer 0.
#pragma once

#include <cstdint>

#include "platform/system.h"

uint32_t OsCodeFromVersion(const platform::OsVersion& version);
// The code of the running system.
uint32_t CurrentOsCode();
