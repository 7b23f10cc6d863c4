#include "install/predefinefolder.h"

#include "platform/file.h"

GLIMMORA_IMPLEMENT_SERIAL(CPreDefineFolder, CFileObject)

void CPreDefineFolder::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(token_);
  ar.Io(id_);
}

std::u16string CPreDefineFolder::Resolve() const {
  if (id_ == kQuickLaunchId || id_ < 0) return {};
  return platform::SpecialFolderPath(id_);
}

namespace {

struct FolderRow {
  const char16_t* token;
  int32_t id;
};

// Generated from install/data/predefined_folders.tsv.
const FolderRow kFolderRows[] = {
#include "predefined_folder_rows.inc"
};

}  // namespace

CPreDefineFolderTable::CPreDefineFolderTable() {
  for (const FolderRow& row : kFolderRows) {
    list_.push_back(std::make_shared<CPreDefineFolder>(row.token, row.id));
  }
}

CPreDefineFolderTable& CPreDefineFolderTable::Instance() {
  static CPreDefineFolderTable table;
  return table;
}

const CPreDefineFolder* CPreDefineFolderTable::FindById(int32_t id) const {
  for (const auto& row : list_) {
    if (row->GetId() == id) return row.get();
  }
  return nullptr;
}

const CPreDefineFolder* CPreDefineFolderTable::FindByToken(const std::u16string& token) const {
  for (const auto& row : list_) {
    if (row->GetToken() == token) return row.get();
  }
  return nullptr;
}
