// The selector dialog objects: checks of the running system that decide
// whether a page of the author's generic wizard applies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "install/installcondition.h"
#include "install/streamobject.h"

// Requires administrator rights when its flag is set.
class CAdminSelect : public CStreamObject {
  GLIMMORA_DECLARE_SERIAL(CAdminSelect)
 public:
  CAdminSelect() = default;
  void Serialize(CArchive& ar) override;
  int32_t Evaluate() override;

  int32_t GetRequired() const { return required_; }
  void SetRequired(int32_t required) { required_ = required; }
  const std::u16string& GetText() const { return text_; }
  void SetText(const std::u16string& text) { text_ = text; }
  const std::u16string& GetCaption() const { return caption_; }
  void SetCaption(const std::u16string& caption) { caption_ = caption; }

 private:
  int32_t required_ = 0;
  std::u16string text_;
  std::u16string caption_;
};

// Holds when the install conditions select a condition for this system.
class CAutoSelect : public CStreamObject {
  GLIMMORA_DECLARE_SERIAL(CAutoSelect)
 public:
  CAutoSelect() = default;
  void Serialize(CArchive& ar) override;
  int32_t Evaluate() override;

  CInstallConditionTable& GetConditions() { return conditions_; }

 private:
  CInstallConditionTable conditions_;
};

// A list of language ids; always holds.
class CLangSelect : public CStreamObject {
  GLIMMORA_DECLARE_SERIAL(CLangSelect)
 public:
  CLangSelect() = default;
  void Serialize(CArchive& ar) override;
  int32_t Evaluate() override { return 0; }

  const std::vector<uint32_t>& GetLanguages() const { return languages_; }
  void AddLanguage(uint32_t id);

 private:
  uint32_t count_ = 0;
  std::vector<uint32_t> languages_;
};

// Holds on the operating systems in its list.
class COSSelect : public CStreamObject {
  GLIMMORA_DECLARE_SERIAL(COSSelect)
 public:
  COSSelect() = default;
  void Serialize(CArchive& ar) override;
  int32_t Evaluate() override;

  const std::vector<uint32_t>& GetSystems() const { return systems_; }
  void AddSystem(uint32_t code);
  const std::u16string& GetText() const { return text_; }
  void SetText(const std::u16string& text) { text_ = text; }
  const std::u16string& GetCaption() const { return caption_; }
  void SetCaption(const std::u16string& caption) { caption_ = caption; }

 private:
  uint32_t count_ = 0;
  std::vector<uint32_t> systems_;
  std::u16string text_;
  std::u16string caption_;
};
