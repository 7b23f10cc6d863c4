// The plain base of the install model. It stores nothing itself.
#pragma once

#include <string_view>
#include <vector>

#include "archive/archive.h"

class CFileObject : public CObject {
  GLIMMORA_DECLARE_SERIAL(CFileObject)
 public:
  CFileObject() = default;
};

// The model's class lookup for load archives: every class that can occur in
// an index stream, by its archived name.
const CRuntimeClass* FindInstallClass(std::string_view name);
// All of them, in one list.
std::vector<const CRuntimeClass*> AllInstallClasses();
