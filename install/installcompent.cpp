#include "install/installcompent.h"

// Registered with CFileObject as its runtime base although it extends
// CStreamObject; only type queries by runtime class see the difference.
GLIMMORA_IMPLEMENT_SERIAL(CInstallCompent, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CInstallComponentMap, CFileObject)

void CInstallCompent::Serialize(CArchive& ar) {
  CStreamObject::Serialize(ar);
  ar.Io(text1_);
  ar.Io(text2_);
  ar.Io(value_);
  SerializeList(ar, dialog_objects_);
}
