#include "install/installcondition.h"

#include <algorithm>
#include <vector>

GLIMMORA_IMPLEMENT_SERIAL(CInstallCondition, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CInstallConditionTable, CFileObject)

void CInstallCondition::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  ar.Io(os_code_);
  language_.Serialize(ar);  // embedded: its name and id, no tag
}

void CInstallConditionTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  SerializeList(ar, list_);
}

void CInstallConditionTable::Remove(const CInstallCondition* condition) {
  list_.erase(std::remove_if(list_.begin(), list_.end(),
                             [condition](const auto& item) { return item.get() == condition; }),
              list_.end());
}

namespace {
// The primary language is the low 10 bits of a language id.
bool SamePrimaryLanguage(uint32_t a, uint32_t b) { return (a & 0x3FF) == (b & 0x3FF); }
}  // namespace

std::u16string CInstallConditionTable::SelectCondition(uint32_t os_code, uint16_t lang) const {
  std::vector<const CInstallCondition*> kept;
  for (const auto& condition : list_) {
    if (condition->GetOsCode() != os_code && condition->GetOsCode() != 0) continue;
    const uint32_t id = static_cast<uint32_t>(condition->GetLanguage().GetId());
    if (id == lang || id == 0 || SamePrimaryLanguage(id, lang)) kept.push_back(condition.get());
  }

  using Rule = bool (*)(uint32_t id, uint16_t lang);
  const Rule rules[] = {
      [](uint32_t id, uint16_t l) { return id == l; },
      [](uint32_t id, uint16_t l) { return SamePrimaryLanguage(id, l); },
      [](uint32_t id, uint16_t) { return id == 0; },
  };
  for (Rule rule : rules) {
    for (const CInstallCondition* c : kept) {
      if (rule(static_cast<uint32_t>(c->GetLanguage().GetId()), lang)) return c->GetName();
    }
  }
  return {};
}
