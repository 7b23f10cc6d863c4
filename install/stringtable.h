// Per-language string and bitmap tables of the author's generic wizard.
#pragma once

#include <cstdint>
#include <string>

#include "install/zipfileindexobject.h"

class CIDString : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CIDString)
 public:
  CIDString() = default;
  CIDString(int32_t id, int32_t second, std::u16string text) : id_(id), second_(second), text_(std::move(text)) {}

  void Serialize(CArchive& ar) override;

  int32_t GetId() const { return id_; }
  void SetId(int32_t id) { id_ = id; }
  int32_t GetSecond() const { return second_; }
  void SetSecond(int32_t value) { second_ = value; }
  const std::u16string& GetText() const { return text_; }
  void SetText(const std::u16string& text) { text_ = text; }

 private:
  int32_t id_ = -1;
  int32_t second_ = 0;
  std::u16string text_;
};

class CStringTable : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CStringTable)
 public:
  CStringTable() = default;

  void Serialize(CArchive& ar) override;

  // Appends the entry when it is complete (an id, a second value, a text);
  // false and nothing kept otherwise.
  bool Add(std::shared_ptr<CIDString> entry);
  // Destroys every entry and sets the count to 0.
  void Clear();
  // The text of the first entry with this id; empty when there is none.
  std::u16string GetText(int32_t id) const;

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  int32_t GetLangId() const { return lang_id_; }
  void SetLangId(int32_t id) { lang_id_ = id; }
  // The author's tool refreshes the count at its own times; readers use the list.
  int32_t GetItemCount() const { return item_count_; }
  void RefreshItemCount() { item_count_ = static_cast<int32_t>(list_.size()); }
  const CObListOf<CIDString>& GetList() const { return list_; }

 private:
  std::u16string name_;
  int32_t lang_id_ = 0;
  int32_t item_count_ = 0;
  CObListOf<CIDString> list_;
};

class CIDBitmap : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CIDBitmap)
 public:
  CIDBitmap() = default;

  void Serialize(CArchive& ar) override;

  int32_t GetId() const { return id_; }
  void SetId(int32_t id) { id_ = id; }
  // The bitmap file: its source path, and where it is packed (offset -1 when not).
  CZipFileIndexObject& GetEntry() { return entry_; }

 private:
  int32_t id_ = 0;
  CZipFileIndexObject entry_;
};

class CBitmapTable : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CBitmapTable)
 public:
  CBitmapTable() = default;

  void Serialize(CArchive& ar) override;

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  int32_t GetValue() const { return value_; }
  void SetValue(int32_t value) { value_ = value; }
  void Add(std::shared_ptr<CIDBitmap> bitmap) { list_.push_back(std::move(bitmap)); }
  void Remove(const CIDBitmap* bitmap);
  const CObListOf<CIDBitmap>& GetList() const { return list_; }

 private:
  std::u16string name_;
  int32_t value_ = 0;
  CObListOf<CIDBitmap> list_;
};
