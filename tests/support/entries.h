// Building extract-list trees in tests: folders, predefined folders and
// packed files, and the one-file project several tests build a package from.
#pragma once

#include <memory>
#include <string>

#include "install/installproject.h"

namespace testing_support {

inline std::shared_ptr<CZipFileIndexObject> FolderEntry(const std::u16string& name, bool destination_root = false) {
  auto e = std::make_shared<CZipFileIndexObject>();
  e->SetName(name);
  e->SetFolder(true);
  e->SetDestinationRoot(destination_root);
  return e;
}

inline std::shared_ptr<CZipFileIndexObject> PredefinedEntry(const std::u16string& token) {
  auto e = std::make_shared<CZipFileIndexObject>();
  e->SetFolder(true);
  e->SetPredefined(true);
  e->SetFolderToken(*CPreDefineFolderTable::Instance().FindByToken(token));
  return e;
}

// A file packed from `source_path` and installed as `name`.
inline std::shared_ptr<CZipFileIndexObject> FileEntry(const std::u16string& source_path, const std::u16string& name) {
  auto e = std::make_shared<CZipFileIndexObject>();
  e->SetSourcePath(source_path);
  e->SetName(name);
  return e;
}

// A project whose "Common" list holds one file in a destination-root folder
// "Glimmora", built from the engine image `engine`.
inline void MakeOneFileProject(CInstallProject& project, const std::u16string& engine, const std::u16string& source,
                               const std::u16string& name) {
  project.GetProductInfo().SetEngineFile(engine);
  auto list = std::make_shared<CExtractFileList>(u"Common");
  CNode* root = list->GetTree().GetRoot();
  root->SetData(MakeDestinationComputerEntry());
  root->AddChild(FolderEntry(u"Glimmora", true))->AddChild(FileEntry(source, name));
  project.GetExtractLists().push_back(list);
}

}  // namespace testing_support
