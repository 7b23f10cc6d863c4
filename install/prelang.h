// A language of the author's language list: its English name and Windows
// language id.
#pragma once

#include <cstdint>
#include <string>

#include "install/fileobject.h"

class CPreLang : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CPreLang)
 public:
  CPreLang() = default;
  CPreLang(std::u16string name, int32_t id) : name_(std::move(name)), id_(id) {}

  void Serialize(CArchive& ar) override;

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  int32_t GetId() const { return id_; }
  void SetId(int32_t id) { id_ = id; }

 private:
  std::u16string name_;
  int32_t id_ = -1;
};

// The process-wide list of languages the author's tool offers, built on
// first use from the language data table.
class CPreLangTable {
 public:
  static CPreLangTable& Instance();
  const CObListOf<CPreLang>& GetList() const { return list_; }

 private:
  CPreLangTable();
  CObListOf<CPreLang> list_;
};
