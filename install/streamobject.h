// A named model object with an enabled flag and an order number: the base of
// the dialog objects, the selectors and the components.
#pragma once

#include <cstdint>
#include <string>

#include "install/fileobject.h"

class CStreamObject : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CStreamObject)
 public:
  CStreamObject() = default;
  CStreamObject(std::u16string name, int32_t enabled, int32_t order)
      : name_(std::move(name)), enabled_(enabled), order_(order) {}

  void Serialize(CArchive& ar) override;
  // 0: the object's condition holds; 2: it does not (or the object is no
  // selector). Selectors override it.
  virtual int32_t Evaluate();

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  int32_t GetEnabled() const { return enabled_; }
  void SetEnabled(int32_t enabled) { enabled_ = enabled; }
  int32_t GetOrder() const { return order_; }
  void SetOrder(int32_t order) { order_ = order; }
  // Two values the author's tool keeps at run time (a component's links to
  // its string and bitmap tables); never stored.
  intptr_t GetRuntimeValue(int which) const { return runtime_[which & 1]; }
  void SetRuntimeValue(int which, intptr_t value) { runtime_[which & 1] = value; }

 private:
  std::u16string name_;
  intptr_t runtime_[2] = {0, 0};
  int32_t enabled_ = 1;
  int32_t order_ = 0;
};
