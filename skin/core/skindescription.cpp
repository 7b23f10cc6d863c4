#include "skin/core/skindescription.h"

#include "platform/profile.h"
#include "skin/core/skinline.h"

namespace {

// 5 is what the records answer for a value they refuse.
constexpr int kRefused = 5;
constexpr int kNotRead = 1;

// The section buffer the description is read into, in characters, and the
// key buffer of a line (50 with its terminator).
constexpr size_t kSectionCapacity = 4096;
constexpr size_t kMaxKey = 49;

int SetIfGiven(std::u16string* field, const std::u16string& value) {
  if (value.empty()) return kRefused;
  *field = value;
  return 0;
}

}  // namespace

int CCtrSkin::SetKey(const std::u16string& key) { return SetIfGiven(&key_, key); }
int CCtrSkin::SetValue(const std::u16string& value) { return SetIfGiven(&value_, value); }
int CCtrSkin::SetExtra(const std::u16string& extra) { return SetIfGiven(&extra_, extra); }

const CCtrSkin* CSkin::GetEntry(size_t index) const {
  return index < entries_.size() ? &entries_[index] : nullptr;
}

int CIniFile::SetPath(const std::u16string& path) { return SetIfGiven(&path_, path); }

int CIniFile::ReadSection(const std::u16string& section, CSkin* target) const {
  if (target == nullptr) return kRefused;
  if (path_.empty() || path_.size() > skin::kMaxSkinPath) return kNotRead;
  const platform::ProfileSection read = platform::ReadProfileSection(path_, section, kSectionCapacity);
  if (!read.found || read.lines.empty()) return kNotRead;

  target->SetName(section);
  for (const std::u16string& line : read.lines) {
    const size_t equals = line.find(u'=');
    // A line without "=" names nothing; a key too long for its buffer is
    // treated as not given, and an empty one could never be looked up.
    if (equals == std::u16string::npos || equals == 0 || equals > kMaxKey) continue;
    CCtrSkin entry;
    entry.SetKey(line.substr(0, equals));
    entry.SetValue(line.substr(equals + 1));  // an empty value stays empty
    target->Append(std::move(entry));
  }
  return 0;
}

int CFullSkin::SetSkinPath(const std::u16string& path) {
  if (path.empty()) return kRefused;
  skin_path_ = path;
  return SetPath(path);
}
