// An extract list: a named tree of CZipFileIndexObject entries mirroring the
// target machine's folders ("Common" holds every file; one list per language).
#pragma once

#include <cstdint>
#include <string>

#include "datastruct/obtree.h"
#include "install/zipfileindexobject.h"

class CExtractFileList : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CExtractFileList)
 public:
  CExtractFileList();
  explicit CExtractFileList(std::u16string name);

  void Serialize(CArchive& ar) override;

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  int32_t GetValue() const { return value_; }
  void SetValue(int32_t value) { value_ = value; }
  CObTree& GetTree() { return tree_; }
  const CObTree& GetTree() const { return tree_; }

  // The author's flat list of the files, kept beside the tree; not stored.
  void AddEntry(std::shared_ptr<CZipFileIndexObject> entry) { flat_.push_back(std::move(entry)); }
  void RemoveEntry(const std::u16string& source_path);
  const CObListOf<CZipFileIndexObject>& GetEntries() const { return flat_; }

 private:
  std::u16string name_;
  int32_t value_ = 0;
  CObListOf<CZipFileIndexObject> flat_;
  CObTree tree_;
};

// The root entry every extract list's tree starts from.
std::shared_ptr<CZipFileIndexObject> MakeDestinationComputerEntry();

// The folder a node's entry goes to: its ancestors' display names joined with
// backslashes, starting at the nearest destination-root folder, which stands
// for `destination` (inserted as it is, normally with a trailing backslash).
// Folders above that root contribute nothing; without one the path starts at
// the nearest predefined folder, or is relative. Each name added is followed
// by a backslash; an empty result means no folder at all.
std::u16string TargetFolder(const CNode& node, const std::u16string& destination);
