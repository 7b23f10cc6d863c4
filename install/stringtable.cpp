#include "install/stringtable.h"

#include <algorithm>

GLIMMORA_IMPLEMENT_SERIAL(CIDString, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CStringTable, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CIDBitmap, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CBitmapTable, CFileObject)

void CIDString::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(id_);
  ar.Io(second_);
  ar.Io(text_);
}

void CStringTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  ar.Io(lang_id_);
  ar.Io(item_count_);
  SerializeList(ar, list_);
}

bool CStringTable::Add(std::shared_ptr<CIDString> entry) {
  if (!entry || entry->GetId() == -1 || entry->GetSecond() == 0 || entry->GetText().empty()) return false;
  list_.push_back(std::move(entry));
  return true;
}

void CStringTable::Clear() {
  list_.clear();
  item_count_ = 0;
}

std::u16string CStringTable::GetText(int32_t id) const {
  for (const auto& entry : list_) {
    if (entry->GetId() == id) return entry->GetText();
  }
  return {};
}

void CIDBitmap::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(id_);
  entry_.Serialize(ar);
}

void CBitmapTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  ar.Io(value_);
  SerializeList(ar, list_);
}

void CBitmapTable::Remove(const CIDBitmap* bitmap) {
  list_.erase(std::remove_if(list_.begin(), list_.end(),
                             [bitmap](const auto& item) { return item.get() == bitmap; }),
              list_.end());
}
