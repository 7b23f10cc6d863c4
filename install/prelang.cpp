#include "install/prelang.h"

GLIMMORA_IMPLEMENT_SERIAL(CPreLang, CFileObject)

void CPreLang::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  ar.Io(id_);
}

namespace {

struct LangRow {
  int32_t id;
  const char16_t* name;
};

// Generated from install/data/prelang.tsv; ends with a row of id 0.
const LangRow kLangRows[] = {
#include "prelang_rows.inc"
    {0, u""},
};

constexpr size_t kMaxLangRows = 200;

}  // namespace

CPreLangTable::CPreLangTable() {
  for (size_t i = 0; i < kMaxLangRows && i < std::size(kLangRows) && kLangRows[i].id != 0; ++i) {
    list_.push_back(std::make_shared<CPreLang>(kLangRows[i].name, kLangRows[i].id));
  }
}

CPreLangTable& CPreLangTable::Instance() {
  static CPreLangTable table;
  return table;
}
