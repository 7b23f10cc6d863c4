#include "install/zipfileindexobject.h"

GLIMMORA_IMPLEMENT_SERIAL(CZipFileIndexObject, CFileObject)

CZipFileIndexObject::CZipFileIndexObject(const CZipFileIndexObject& other) : CFileObject() {
  *this = other;
}

CZipFileIndexObject& CZipFileIndexObject::operator=(const CZipFileIndexObject& other) {
  source_path_ = other.source_path_;
  name_ = other.name_;
  offset_ = other.offset_;
  packed_size_ = other.packed_size_;
  folder_ = other.folder_;
  reserved_ = other.reserved_;
  predefined_ = other.predefined_;
  destination_root_ = other.destination_root_;
  return *this;
}

void CZipFileIndexObject::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(source_path_);
  ar.Io(name_);
  ar.Io(packed_size_);
  ar.Io(offset_);
  ar.Io(reserved_);
  ar.Io(folder_);
  ar.Io(predefined_);
  ar.Io(destination_root_);
  // The token is in the archive only for predefined entries.
  if (predefined_ != 0) token_.Serialize(ar);
}

void CZipFileIndexObject::SetFolderToken(const CPreDefineFolder& folder) {
  token_.SetToken(folder.GetToken());
  token_.SetId(folder.GetId());
  name_ = folder.GetToken();
}

std::u16string CZipFileIndexObject::GetDisplayName() const {
  return predefined_ != 0 ? token_.Resolve() : name_;
}
