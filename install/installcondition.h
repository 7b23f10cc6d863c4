// Install conditions: a named pair of operating-system code and language,
// and the table that picks the condition matching the running system.
#pragma once

#include <cstdint>
#include <string>

#include "install/prelang.h"

class CInstallCondition : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CInstallCondition)
 public:
  CInstallCondition() = default;
  CInstallCondition(std::u16string name, uint32_t os_code, std::u16string lang_name, int32_t lang_id)
      : name_(std::move(name)), language_(std::move(lang_name), lang_id), os_code_(os_code) {}

  void Serialize(CArchive& ar) override;

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  CPreLang& GetLanguage() { return language_; }
  const CPreLang& GetLanguage() const { return language_; }
  uint32_t GetOsCode() const { return os_code_; }
  void SetOsCode(uint32_t code) { os_code_ = code; }

 private:
  std::u16string name_;
  CPreLang language_;
  uint32_t os_code_ = 0;  // 0: any system
};

class CInstallConditionTable : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CInstallConditionTable)
 public:
  CInstallConditionTable() = default;

  void Serialize(CArchive& ar) override;

  void Add(std::shared_ptr<CInstallCondition> condition) { list_.push_back(std::move(condition)); }
  void Remove(const CInstallCondition* condition);
  CObListOf<CInstallCondition>& GetList() { return list_; }
  const CObListOf<CInstallCondition>& GetList() const { return list_; }

  // The name of the condition that fits a system with operating-system code
  // `os_code` and default language `lang`: an exact language first, then the
  // same primary language, then a condition for any language. Empty when
  // none fits.
  std::u16string SelectCondition(uint32_t os_code, uint16_t lang) const;

 private:
  CObListOf<CInstallCondition> list_;
};
