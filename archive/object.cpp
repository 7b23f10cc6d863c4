#include "archive/object.h"

const CRuntimeClass CObject::classCObject = {"CObject", 0xFFFF, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* cls = this; cls != nullptr; cls = cls->baseClass) {
    if (cls == base) return true;
  }
  return false;
}
