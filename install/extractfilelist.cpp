#include "install/extractfilelist.h"

#include <algorithm>

GLIMMORA_IMPLEMENT_SERIAL(CExtractFileList, CFileObject)

CExtractFileList::CExtractFileList() : tree_(GLIMMORA_RUNTIME_CLASS(CZipFileIndexObject)) {}

CExtractFileList::CExtractFileList(std::u16string name) : CExtractFileList() { name_ = std::move(name); }

void CExtractFileList::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  ar.Io(value_);
  tree_.Serialize(ar);
}

void CExtractFileList::RemoveEntry(const std::u16string& source_path) {
  flat_.erase(std::remove_if(flat_.begin(), flat_.end(),
                             [&](const auto& e) { return e->GetSourcePath() == source_path; }),
              flat_.end());
}

std::shared_ptr<CZipFileIndexObject> MakeDestinationComputerEntry() {
  auto root = std::make_shared<CZipFileIndexObject>();
  root->SetFolder(true);
  root->SetPredefined(true);
  root->SetFolderToken(CPreDefineFolder(u"", -1));
  root->SetName(u"Destination Computer");
  return root;
}

std::u16string TargetFolder(const CNode& node, const std::u16string& destination) {
  std::u16string path;
  for (const CNode* ancestor = node.GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
    const auto* entry = dynamic_cast<const CZipFileIndexObject*>(ancestor->GetData());
    if (entry == nullptr) continue;
    if (entry->IsDestinationRoot()) return destination + path;
    const std::u16string name = entry->GetDisplayName();
    if (!name.empty()) path = name + u"\\" + path;
  }
  return path;
}
