// The records of a skin description: the description file, one section as
// read, one key=value entry of it.
#pragma once

#include <memory>
#include <string>
#include <vector>

// One entry of a section: key, value and a third string nothing fills.
class CCtrSkin {
 public:
  // Each setter refuses an empty string with 5 and keeps the old value.
  int SetKey(const std::u16string& key);
  int SetValue(const std::u16string& value);
  int SetExtra(const std::u16string& extra);
  std::u16string GetKey() const { return key_; }
  std::u16string GetValue() const { return value_; }
  std::u16string GetExtra() const { return extra_; }

 private:
  std::u16string key_, value_, extra_;
};

// One section as read: its name and its entries in file order.
class CSkin {
 public:
  void SetName(const std::u16string& name) { name_ = name; }
  const std::u16string& GetName() const { return name_; }
  size_t GetCount() const { return entries_.size(); }
  // Null for an index outside the list.
  const CCtrSkin* GetEntry(size_t index) const;
  void Append(CCtrSkin entry) { entries_.push_back(std::move(entry)); }

 private:
  std::u16string name_;
  std::vector<CCtrSkin> entries_;
};

// The description file.
class CIniFile {
 public:
  virtual ~CIniFile() = default;
  // 5 for an empty path (kept as it was), else 0.
  int SetPath(const std::u16string& path);
  std::u16string GetPath() const { return path_; }

  // 0 when the section was found and read into *target (name set to
  // `section` as given, one entry per line appended in file order); 1 when
  // it is missing, empty or the path is empty or longer than kMaxSkinPath;
  // 5 when no target is given. Section names match without regard to case.
  // Lines without "=" or with an empty key or a key over 49 characters are
  // skipped. The section must fit 4096 characters as the system hands it
  // over; of a longer one only the whole lines that fit are read.
  int ReadSection(const std::u16string& section, CSkin* target) const;

 private:
  std::u16string path_;
};

// The description as the skin manager holds it, with a second copy of the path.
class CFullSkin : public CIniFile {
 public:
  int SetSkinPath(const std::u16string& path);
  std::u16string GetSkinPath() const { return skin_path_; }

 private:
  std::u16string skin_path_;
};
