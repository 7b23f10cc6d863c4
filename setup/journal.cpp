#include "setup/journal.h"

#include <algorithm>
#include <cstdio>

#include "build/fileplace.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace {

// ---- the store: one REG_BINARY value per change, named by its number

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutText(std::vector<uint8_t>& out, const std::u16string& text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
}

std::vector<uint8_t> Encode(const InstallJournal::Change& c) {
  std::vector<uint8_t> out;
  PutU32(out, static_cast<uint32_t>(c.kind));
  PutU32(out, c.root);
  PutU32(out, c.native_view ? 1 : 0);
  PutText(out, c.path);
  PutText(out, c.aside);
  PutText(out, c.name);
  PutU32(out, c.previous ? 1 : 0);
  if (c.previous) {
    PutU32(out, c.previous->type);
    PutU32(out, static_cast<uint32_t>(c.previous->data.size()));
    out.insert(out.end(), c.previous->data.begin(), c.previous->data.end());
  }
  return out;
}

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool U32(uint32_t* v) {
    if (bytes_.size() - at_ < 4) return false;
    *v = 0;
    for (int i = 0; i < 4; ++i) *v |= static_cast<uint32_t>(bytes_[at_++]) << (8 * i);
    return true;
  }
  bool Text(std::u16string* text) {
    uint32_t n = 0;
    if (!U32(&n) || (bytes_.size() - at_) / 2 < n) return false;
    text->clear();
    for (uint32_t i = 0; i < n; ++i, at_ += 2) text->push_back(static_cast<char16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8)));
    return true;
  }
  bool Bytes(std::vector<uint8_t>* data) {
    uint32_t n = 0;
    if (!U32(&n) || bytes_.size() - at_ < n) return false;
    data->assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return true;
  }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t at_ = 0;
};

std::optional<InstallJournal::Change> Decode(const std::vector<uint8_t>& bytes) {
  Reader r(bytes);
  InstallJournal::Change c;
  uint32_t kind = 0, native = 0, has_previous = 0;
  if (!r.U32(&kind) || kind < 1 || kind > 6 || !r.U32(&c.root) || !r.U32(&native) || !r.Text(&c.path) ||
      !r.Text(&c.aside) || !r.Text(&c.name) || !r.U32(&has_previous)) {
    return std::nullopt;
  }
  c.kind = static_cast<InstallJournal::Kind>(kind);
  c.native_view = native != 0;
  if (has_previous) {
    InstallJournal::Value value;
    if (!r.U32(&value.type) || !r.Bytes(&value.data)) return std::nullopt;
    c.previous = std::move(value);
  }
  return c;
}

std::u16string ValueNameFor(size_t index) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%08zu", index);
  return std::u16string(digits, digits + 8);
}

// ---- undoing one change

void PutBack(const std::u16string& aside, const std::u16string& path) {
  if (platform::MoveFileOver(aside, path)) return;
  // The file there is in use: it can be renamed though not removed, so it
  // makes room and goes at the next restart.
  const std::u16string busy = MoveAside(path);
  if (!busy.empty()) platform::RemoveFileAtRestart(busy);
  platform::MoveFileOver(aside, path);
}

void Undo(const InstallJournal::Change& c) {
  using Kind = InstallJournal::Kind;
  std::optional<platform::ScopedNativeSystemFolder> native;
  if (c.native_view) native.emplace();
  switch (c.kind) {
    case Kind::kFolderCreated:
      platform::RemoveFolder(c.path);  // one that others filled meanwhile stays
      break;
    case Kind::kFileCreated:
      RemoveNowOrAtRestart(c.path);
      break;
    case Kind::kFileReplaced:
      PutBack(c.aside, c.path);
      break;
    case Kind::kKeyCreated:
      platform::RegKey::DeleteKey(c.root, c.path);
      break;
    case Kind::kValueSet: {
      platform::RegKey key = platform::RegKey::Open(c.root, c.path);
      if (!key.IsValid()) break;
      if (c.previous) {
        key.SetValue(c.name, c.previous->type, c.previous->data.data(), static_cast<uint32_t>(c.previous->data.size()));
      } else {
        key.DeleteValue(c.name);
      }
      break;
    }
    case Kind::kComRegistered:
      // By full path, never by name from this program's folder.
      platform::StartProgram(platform::SpecialFolderPath(0x25) + u"\\RegSvr32.exe", u"/u /s \"" + c.path + u"\"");
      break;
  }
}

std::vector<InstallJournal::Change> LoadStore(const std::u16string& store_key) {
  std::vector<InstallJournal::Change> changes;
  platform::RegKey key = platform::RegKey::Open(platform::kLocalMachine, store_key);
  if (!key.IsValid()) return changes;
  std::vector<std::u16string> names = key.ValueNames();
  std::sort(names.begin(), names.end());
  for (const std::u16string& name : names) {
    uint32_t type = 0;
    auto bytes = key.QueryValue(name, &type);
    if (!bytes || type != platform::kRegBinary) continue;
    if (auto change = Decode(*bytes)) changes.push_back(std::move(*change));
  }
  return changes;
}

}  // namespace


InstallJournal::InstallJournal(std::u16string store_key) : store_key_(std::move(store_key)) {}

void InstallJournal::Record(Change change) {
  // Written through before the next change is made: a run killed at any
  // point leaves a journal that covers what it did. (A change made between
  // its own step and this line is the one thing a kill can leave behind.)
  const std::vector<uint8_t> bytes = Encode(change);
  platform::RegKey store = platform::RegKey::Create(platform::kLocalMachine, store_key_);
  if (store.IsValid()) {
    store.SetValue(ValueNameFor(changes_.size()), platform::kRegBinary, bytes.data(),
                   static_cast<uint32_t>(bytes.size()));
  }
  changes_.push_back(std::move(change));
}

void InstallJournal::FolderCreated(const std::u16string& path) {
  Change c;
  c.kind = Kind::kFolderCreated;
  c.path = path;
  Record(std::move(c));
}

void InstallJournal::FileCreated(const std::u16string& path, bool native_view) {
  Change c;
  c.kind = Kind::kFileCreated;
  c.path = path;
  c.native_view = native_view;
  Record(std::move(c));
}

void InstallJournal::FileReplaced(const std::u16string& path, const std::u16string& aside, bool native_view) {
  Change c;
  c.kind = Kind::kFileReplaced;
  c.path = path;
  c.aside = aside;
  c.native_view = native_view;
  Record(std::move(c));
}

void InstallJournal::KeyCreated(uint32_t root, const std::u16string& path) {
  Change c;
  c.kind = Kind::kKeyCreated;
  c.root = root;
  c.path = path;
  Record(std::move(c));
}

void InstallJournal::ValueSet(uint32_t root, const std::u16string& key, const std::u16string& name,
                              std::optional<Value> previous) {
  Change c;
  c.kind = Kind::kValueSet;
  c.root = root;
  c.path = key;
  c.name = name;
  c.previous = std::move(previous);
  Record(std::move(c));
}

void InstallJournal::ComRegistered(const std::u16string& server) {
  Change c;
  c.kind = Kind::kComRegistered;
  c.path = server;
  Record(std::move(c));
}

void InstallJournal::RollBack() {
  for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) Undo(*it);
  changes_.clear();
  ForgetStore();
}

void InstallJournal::Commit() {
  for (const Change& c : changes_) {
    if (c.kind != Kind::kFileReplaced) continue;
    std::optional<platform::ScopedNativeSystemFolder> native;
    if (c.native_view) native.emplace();
    if (RemoveNowOrAtRestart(c.aside)) restart_needed_ = true;
  }
  changes_.clear();
  ForgetStore();
}

void InstallJournal::ForgetStore() { platform::RegKey::DeleteKey(platform::kLocalMachine, store_key_); }

bool InstallJournal::RollBackInterrupted(const std::u16string& store_key) {
  if (!platform::RegKey::Open(platform::kLocalMachine, store_key).IsValid()) return false;
  InstallJournal journal(store_key);
  journal.changes_ = LoadStore(store_key);
  journal.RollBack();
  return true;
}

bool WriteFileJournaled(InstallJournal* journal, const std::u16string& target, bool native_view,
                        const std::function<bool()>& write) {
  std::u16string aside;
  if (platform::FileExists(target)) {
    aside = MoveAside(target);
    if (aside.empty()) return false;
  }
  if (!write()) {
    platform::RemoveFile(target);  // whatever part of it was written
    if (!aside.empty()) platform::MoveFileOver(aside, target);
    return false;
  }
  if (journal == nullptr) {
    if (!aside.empty()) RemoveNowOrAtRestart(aside);
  } else if (aside.empty()) {
    journal->FileCreated(target, native_view);
  } else {
    journal->FileReplaced(target, aside, native_view);
  }
  return true;
}
