// The serialisable object base and its runtime class records.
//
// Every object of the install model derives CObject. A CRuntimeClass names
// the class in the archive, says which class it extends for type queries,
// and creates an empty object when the archive introduces one by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

class CArchive;
class CObject;

struct CRuntimeClass {
  const char* className;
  uint16_t schema;
  const CRuntimeClass* baseClass;
  CObject* (*createObject)();  // null for classes that cannot be created by name

  bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
 public:
  // The order of the virtual operations is part of the model's contract:
  // runtime class, destructor, serialise, the two diagnostics.
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;
  virtual void Serialize(CArchive& ar);
  virtual bool AssertValid() const { return true; }
  virtual void Dump() const {}

  bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
  // Model objects are owned through pointers and never copied implicitly.
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

// Finds a class by its archived name; the model supplies one for its classes.
using ClassLookup = const CRuntimeClass* (*)(std::string_view name);

#define GLIMMORA_RUNTIME_CLASS(name) (&name::class##name)

// In the class body: the runtime class record and its accessor.
#define GLIMMORA_DECLARE_SERIAL(name)                         \
 public:                                                      \
  static const CRuntimeClass class##name;                     \
  const CRuntimeClass* GetRuntimeClass() const override;      \
  static CObject* CreateObject();

// In one source file. `base` is the runtime base, which type queries see.
#define GLIMMORA_IMPLEMENT_SERIAL(name, base)                                       \
  CObject* name::CreateObject() { return new name; }                                \
  const CRuntimeClass name::class##name = {#name, 0, GLIMMORA_RUNTIME_CLASS(base),   \
                                           &name::CreateObject};                    \
  const CRuntimeClass* name::GetRuntimeClass() const { return &class##name; }
