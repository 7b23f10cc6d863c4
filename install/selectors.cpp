#include "install/selectors.h"

#include <algorithm>

#include "install/oscode.h"
#include "platform/system.h"

GLIMMORA_IMPLEMENT_SERIAL(CAdminSelect, CStreamObject)
GLIMMORA_IMPLEMENT_SERIAL(CAutoSelect, CStreamObject)
GLIMMORA_IMPLEMENT_SERIAL(CLangSelect, CStreamObject)
GLIMMORA_IMPLEMENT_SERIAL(COSSelect, CStreamObject)

namespace {
constexpr int32_t kHolds = 0;
constexpr int32_t kFails = 2;
}  // namespace

void CAdminSelect::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  ar.Io(required_);
  ar.Io(caption_);
  ar.Io(text_);
}

int32_t CAdminSelect::Evaluate() {
  if (required_ == 0 || platform::IsAdministrator()) return kHolds;
  platform::ShowInformation(text_, caption_);
  return kFails;
}

void CAutoSelect::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  conditions_.Serialize(ar);  // embedded: only its list is stored
}

int32_t CAutoSelect::Evaluate() {
  const std::u16string chosen =
      conditions_.SelectCondition(CurrentOsCode(), platform::SystemDefaultLangId());
  return chosen.empty() ? kFails : kHolds;
}

void CLangSelect::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  SerializeNumbers(ar, count_, languages_);
}

void CLangSelect::AddLanguage(uint32_t id) {
  languages_.push_back(id);
  count_ = static_cast<uint32_t>(languages_.size());
}

void COSSelect::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  ar.Io(text_);
  ar.Io(caption_);
  SerializeNumbers(ar, count_, systems_);
}

void COSSelect::AddSystem(uint32_t code) {
  systems_.push_back(code);
  count_ = static_cast<uint32_t>(systems_.size());
}

int32_t COSSelect::Evaluate() {
  const uint32_t current = CurrentOsCode();
  if (std::find(systems_.begin(), systems_.end(), current) != systems_.end()) return kHolds;
  platform::ShowInformation(text_, caption_);
  return kFails;
}
