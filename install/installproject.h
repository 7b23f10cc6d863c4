// The root of the install project: the object a package's index stream holds.
#pragma once

#include <cstdint>
#include <string>

#include "install/extractfilelist.h"
#include "install/installcompent.h"
#include "install/projectinfo.h"
#include "install/registrytable.h"
#include "install/shortcuttable.h"
#include "install/stringtable.h"

class CInstallProject : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CInstallProject)
 public:
  CInstallProject() = default;

  // Loading appends to the lists; the records are overwritten.
  void Serialize(CArchive& ar) override;
  // The project's own sixth operation; always 0.
  virtual int32_t GetProjectKind() const { return 0; }

  // Empties every list and resets the records.
  void Clear();

  const std::u16string& GetTitle() const { return title_; }
  void SetTitle(const std::u16string& title) { title_ = title; }
  CInstallAuthorInfo& GetAuthorInfo() { return author_; }
  CInstallProductInfo& GetProductInfo() { return product_; }
  const CInstallProductInfo& GetProductInfo() const { return product_; }
  CInsallProjectInfo& GetProjectInfo() { return project_info_; }
  CObListOf<CStreamObject>& GetDialogObjects() { return dialog_objects_; }
  CObListOf<CInstallCompent>& GetComponents() { return components_; }
  CObListOf<CStringTable>& GetStringTables() { return string_tables_; }
  CObListOf<CBitmapTable>& GetBitmapTables() { return bitmap_tables_; }
  CObListOf<CExtractFileList>& GetExtractLists() { return extract_lists_; }
  const CObListOf<CExtractFileList>& GetExtractLists() const { return extract_lists_; }
  CObListOf<CShortCutTable>& GetShortcutTables() { return shortcut_tables_; }
  CObListOf<CRegistryTable>& GetRegistryTables() { return registry_tables_; }

  // The extract list of that name, or null.
  CExtractFileList* FindExtractList(const std::u16string& name) const;

 private:
  std::u16string title_;
  CInstallAuthorInfo author_;
  CInstallProductInfo product_;
  CInsallProjectInfo project_info_;
  CInstallComponentMap component_map_;
  CObListOf<CStreamObject> dialog_objects_;
  CObListOf<CInstallCompent> components_;
  CObListOf<CStringTable> string_tables_;
  CObListOf<CBitmapTable> bitmap_tables_;
  CObListOf<CExtractFileList> extract_lists_;
  CObListOf<CShortCutTable> shortcut_tables_;
  CObListOf<CRegistryTable> registry_tables_;
};
