#include "setup/storedlanguage.h"

#include "platform/registry.h"
#include "setup/languagetable.h"

bool ReadStoredLanguage(int32_t* row) {
  platform::RegKey key = platform::RegKey::Open(platform::kLocalMachine, u"SOFTWARE\\Tavrin\\Glimmora");
  if (!key.IsValid()) return false;
  uint32_t type = 0;
  const auto bytes = key.QueryValue(u"Lang", &type);
  if (!bytes || type != platform::kRegDword || bytes->size() != 4) return false;
  const uint32_t value = (*bytes)[0] | ((*bytes)[1] << 8) | ((*bytes)[2] << 16) |
                         (static_cast<uint32_t>((*bytes)[3]) << 24);
  if (value >= LanguageTable().size()) return false;
  *row = static_cast<int32_t>(value);
  return true;
}
