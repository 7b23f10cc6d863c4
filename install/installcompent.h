// A component of the author's wizard: a named group of dialog objects.
// The setup program only carries components along.
#pragma once

#include <cstdint>
#include <string>

#include "install/streamobject.h"

class CInstallCompent : public CStreamObject {
  GLIMMORA_DECLARE_SERIAL(CInstallCompent)
 public:
  CInstallCompent() = default;

  void Serialize(CArchive& ar) override;

  const std::u16string& GetText1() const { return text1_; }
  void SetText1(const std::u16string& text) { text1_ = text; }
  const std::u16string& GetText2() const { return text2_; }
  void SetText2(const std::u16string& text) { text2_ = text; }
  int32_t GetValue() const { return value_; }
  void SetValue(int32_t value) { value_ = value; }
  CObListOf<CStreamObject>& GetDialogObjects() { return dialog_objects_; }

 private:
  std::u16string text1_;
  std::u16string text2_;
  int32_t value_ = 0;
  CObListOf<CStreamObject> dialog_objects_;
};

class CInstallComponentMap : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CInstallComponentMap)
 public:
  CInstallComponentMap() = default;
};
