#include "install/installproject.h"

GLIMMORA_IMPLEMENT_SERIAL(CInstallProject, CFileObject)

void CInstallProject::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(title_);
  // The records are embedded; the project information comes first.
  project_info_.Serialize(ar);
  author_.Serialize(ar);
  product_.Serialize(ar);
  SerializeList(ar, dialog_objects_);
  SerializeList(ar, components_);
  SerializeList(ar, string_tables_);
  SerializeList(ar, bitmap_tables_);
  // Registry, then shortcuts, then the extract lists the setup program
  // needs: last in the stream, so everything before must be read in full.
  SerializeList(ar, registry_tables_);
  SerializeList(ar, shortcut_tables_);
  SerializeList(ar, extract_lists_);
}

void CInstallProject::Clear() {
  title_.clear();
  author_ = CInstallAuthorInfo();
  product_ = CInstallProductInfo();
  project_info_ = CInsallProjectInfo();
  dialog_objects_.clear();
  components_.clear();
  string_tables_.clear();
  bitmap_tables_.clear();
  extract_lists_.clear();
  shortcut_tables_.clear();
  registry_tables_.clear();
}

CExtractFileList* CInstallProject::FindExtractList(const std::u16string& name) const {
  for (const auto& list : extract_lists_) {
    if (list->GetName() == name) return list.get();
  }
  return nullptr;
}
