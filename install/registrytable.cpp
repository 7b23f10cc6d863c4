#include "install/registrytable.h"

#include <algorithm>

#include "platform/registry.h"

GLIMMORA_IMPLEMENT_SERIAL(CRegistryValue, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CRegistryTable, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CRegistryFile, CFileObject)

void CRegistryValue::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(key_path_);
  ar.Io(value_name_);
  uint32_t size = static_cast<uint32_t>(data_.size());
  ar.Io(size);
  ar.Io(type_);
  ar.Io(delete_);
  ar.Io(extra_);
  if (ar.IsStoring()) {
    ar.WriteBytes(data_.data(), data_.size());
  } else {
    // The stored size must fit the input before it sizes the buffer.
    ar.RequireAvailable(size, 1);
    data_.assign(size, 0);
    ar.ReadBytes(data_.data(), size);
  }
}

bool CRegistryValue::Apply() const {
  if (data_.empty() || key_path_.empty() || value_name_.empty() || root_key_ == 0) return false;
  platform::RegKey key = platform::RegKey::Open(root_key_, key_path_);
  if (!key.IsValid()) key = platform::RegKey::Create(root_key_, key_path_);
  if (!key.IsValid()) return false;
  if (delete_ != 0) return key.DeleteValue(value_name_);
  return key.SetValue(value_name_, type_, data_.data(), static_cast<uint32_t>(data_.size()));
}

void CRegistryTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  // The name comes first in the archive although the list is declared first.
  ar.Io(name_);
  SerializeList(ar, values_);
}

void CRegistryTable::Remove(const CRegistryValue* value) {
  values_.erase(std::remove_if(values_.begin(), values_.end(),
                               [value](const auto& item) { return item.get() == value; }),
                values_.end());
}

void CRegistryFile::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  entry_.Serialize(ar);
}
