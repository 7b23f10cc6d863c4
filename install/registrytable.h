// Registry tables of the author's generic installer: values to set or
// delete, and packed .reg-style files. The setup program reads them with the
// project and does its own registry work.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "install/zipfileindexobject.h"

class CRegistryValue : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CRegistryValue)
 public:
  CRegistryValue() = default;

  void Serialize(CArchive& ar) override;

  // Sets or deletes the value below the root key. False when the value is
  // incomplete (no data, no key path, no name, no root) or the registry
  // refuses.
  bool Apply() const;

  uint32_t GetRootKey() const { return root_key_; }
  void SetRootKey(uint32_t root) { root_key_ = root; }
  uint32_t GetType() const { return type_; }
  void SetType(uint32_t type) { type_ = type; }
  const std::u16string& GetKeyPath() const { return key_path_; }
  void SetKeyPath(const std::u16string& path) { key_path_ = path; }
  const std::u16string& GetValueName() const { return value_name_; }
  void SetValueName(const std::u16string& name) { value_name_ = name; }
  // Data and size travel together.
  const std::vector<uint8_t>& GetData() const { return data_; }
  void SetData(std::vector<uint8_t> data) { data_ = std::move(data); }
  bool GetDelete() const { return delete_ != 0; }
  void SetDelete(bool del) { delete_ = del ? 1 : 0; }
  int32_t GetExtra() const { return extra_; }
  void SetExtra(int32_t extra) { extra_ = extra; }

 private:
  uint32_t root_key_ = 0;  // not stored: whoever applies a loaded value sets it
  uint32_t type_ = 0;
  std::u16string key_path_;
  std::u16string value_name_;
  std::vector<uint8_t> data_;
  int32_t delete_ = 0;
  int32_t extra_ = 0;
};

class CRegistryTable : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CRegistryTable)
 public:
  CRegistryTable() = default;

  void Serialize(CArchive& ar) override;

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  void Add(std::shared_ptr<CRegistryValue> value) { values_.push_back(std::move(value)); }
  void Remove(const CRegistryValue* value);
  const CObListOf<CRegistryValue>& GetValues() const { return values_; }

 private:
  CObListOf<CRegistryValue> values_;
  std::u16string name_;
};

class CRegistryFile : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CRegistryFile)
 public:
  CRegistryFile() = default;

  void Serialize(CArchive& ar) override;

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  CZipFileIndexObject& GetEntry() { return entry_; }

 private:
  std::u16string name_;
  CZipFileIndexObject entry_;
};
