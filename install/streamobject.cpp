#include "install/streamobject.h"

GLIMMORA_IMPLEMENT_SERIAL(CFileObject, CObject)
GLIMMORA_IMPLEMENT_SERIAL(CStreamObject, CFileObject)

void CStreamObject::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  ar.Io(enabled_);
  ar.Io(order_);
}

int32_t CStreamObject::Evaluate() { return 2; }
