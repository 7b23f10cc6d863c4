// One file or folder of an extract list: where its zlib stream lies in the
// package, and how it is named and placed on the target machine.
#pragma once

#include <cstdint>
#include <string>

#include "install/predefinefolder.h"

class CZipFileIndexObject : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CZipFileIndexObject)
 public:
  CZipFileIndexObject() = default;
  // Copies every member except the folder token, as the author's tool does:
  // a copy is a plain entry until a token is assigned again.
  CZipFileIndexObject(const CZipFileIndexObject& other);
  CZipFileIndexObject& operator=(const CZipFileIndexObject& other);

  void Serialize(CArchive& ar) override;

  const std::u16string& GetSourcePath() const { return source_path_; }
  void SetSourcePath(const std::u16string& path) { source_path_ = path; }
  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  int32_t GetOffset() const { return offset_; }
  void SetOffset(int32_t offset) { offset_ = offset; }
  int32_t GetPackedSize() const { return packed_size_; }
  void SetPackedSize(int32_t size) { packed_size_ = size; }
  bool IsFolder() const { return folder_ != 0; }
  void SetFolder(bool folder) { folder_ = folder ? 1 : 0; }
  int32_t GetReserved() const { return reserved_; }
  void SetReserved(int32_t value) { reserved_ = value; }
  bool IsPredefined() const { return predefined_ != 0; }
  void SetPredefined(bool predefined) { predefined_ = predefined ? 1 : 0; }
  bool IsDestinationRoot() const { return destination_root_ != 0; }
  void SetDestinationRoot(bool root) { destination_root_ = root ? 1 : 0; }
  const CPreDefineFolder& GetFolderToken() const { return token_; }

  // Copies the token and id into the entry and names the entry after it.
  void SetFolderToken(const CPreDefineFolder& folder);
  // The resolved folder path for a predefined entry, the name otherwise.
  std::u16string GetDisplayName() const;

 private:
  std::u16string source_path_;
  std::u16string name_;
  int32_t offset_ = -1;
  int32_t packed_size_ = 0;
  int32_t folder_ = 0;
  int32_t reserved_ = 0;
  int32_t predefined_ = 0;
  int32_t destination_root_ = 0;
  CPreDefineFolder token_;
};
