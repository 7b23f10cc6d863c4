// The language row an installation stored as "Lang".
#pragma once

#include <cstdint>

// True with the row when the product key holds one: a REG_DWORD of four
// bytes naming a row of the language table. Anything else stored there
// (another type, a short value, a row the table does not have) is not
// used, since it would select no language resources at all.
bool ReadStoredLanguage(int32_t* row);
