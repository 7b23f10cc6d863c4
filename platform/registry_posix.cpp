// An in-memory registry for systems without one. Keys and value names
// compare without regard to case, as on Windows; open keys are numbered
// handles so that a reset leaves stale handles harmlessly invalid.
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace platform {
namespace {

// Upper-cases ASCII and Latin-1 letters; enough for the names installers use.
std::u16string Fold(const std::u16string& name) {
  std::u16string folded = name;
  for (auto& c : folded) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c = static_cast<char16_t>(c - 0x20);
  }
  return folded;
}

struct Value {
  uint32_t type = kRegNone;
  std::vector<uint8_t> data;
};

struct Key {
  std::map<std::u16string, std::shared_ptr<Key>> children;  // by folded name
  std::map<std::u16string, Value> values;                   // by folded name
  bool read_only = false;  // values cannot be set, as in a key closed to the caller
};

struct Registry {
  std::mutex mutex;
  std::map<uint32_t, std::shared_ptr<Key>> roots;
  std::map<intptr_t, std::shared_ptr<Key>> open_keys;
  intptr_t next_handle = 1;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

bool IsRoot(uint32_t root) {
  return root == kClassesRoot || root == kCurrentUser || root == kLocalMachine || root == kUsers;
}

// Walks (and with create, builds) the key path below root. Empty parts, as
// in a trailing backslash, are skipped.
std::shared_ptr<Key> Walk(Registry& registry, uint32_t root, const std::u16string& path, bool create) {
  auto& slot = registry.roots[root];
  if (!slot) slot = std::make_shared<Key>();
  std::shared_ptr<Key> key = slot;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == std::u16string::npos) end = path.size();
    if (end > start) {
      const std::u16string part = Fold(path.substr(start, end - start));
      auto found = key->children.find(part);
      if (found == key->children.end()) {
        if (!create) return nullptr;
        found = key->children.emplace(part, std::make_shared<Key>()).first;
      }
      key = found->second;
    }
    start = end + 1;
  }
  return key;
}

// A new handle for the key, or 0 with the error set.
intptr_t OpenHandle(uint32_t root, const std::u16string& path, bool create) {
  if (!IsRoot(root)) {
    SetLastError(kErrorInvalidHandle);
    return 0;
  }
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  try {
    auto key = Walk(registry, root, path, create);
    if (!key) {
      SetLastError(kErrorFileNotFound);
      return 0;
    }
    const intptr_t handle = registry.next_handle++;
    registry.open_keys[handle] = key;
    return handle;
  } catch (const std::bad_alloc&) {
    SetLastError(kErrorNotEnoughMemory);
    return 0;
  }
}

// The key behind a handle, or null (with the error set) for a stale one.
std::shared_ptr<Key> Lookup(Registry& registry, intptr_t handle) {
  auto found = registry.open_keys.find(handle);
  if (found == registry.open_keys.end()) {
    SetLastError(kErrorInvalidHandle);
    return nullptr;
  }
  return found->second;
}

}  // namespace

RegKey::~RegKey() {
  if (handle_ == 0) return;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.open_keys.erase(handle_);
}

RegKey RegKey::Open(uint32_t root, const std::u16string& path) {
  RegKey key;
  key.handle_ = OpenHandle(root, path, false);
  return key;
}

RegKey RegKey::Create(uint32_t root, const std::u16string& path) {
  RegKey key;
  key.handle_ = OpenHandle(root, path, true);
  return key;
}

bool RegKey::SetValue(const std::u16string& name, uint32_t type, const void* data, uint32_t size) {
  if (data == nullptr && size != 0) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto key = Lookup(registry, handle_);
  if (!key) return false;
  if (key->read_only) {
    SetLastError(kErrorAccessDenied);
    return false;
  }
  try {
    const auto* bytes = static_cast<const uint8_t*>(data);
    Value value;
    value.type = type;
    if (size != 0) value.data.assign(bytes, bytes + size);
    key->values[Fold(name)] = std::move(value);
  } catch (const std::bad_alloc&) {
    SetLastError(kErrorNotEnoughMemory);
    return false;
  }
  return true;
}

bool RegKey::DeleteValue(const std::u16string& name) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto key = Lookup(registry, handle_);
  if (!key) return false;
  if (key->values.erase(Fold(name)) == 0) {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  return true;
}

std::optional<std::vector<uint8_t>> RegKey::QueryValue(const std::u16string& name, uint32_t* type) const {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto key = Lookup(registry, handle_);
  if (!key) return std::nullopt;
  auto found = key->values.find(Fold(name));
  if (found == key->values.end()) {
    SetLastError(kErrorFileNotFound);
    return std::nullopt;
  }
  if (type != nullptr) *type = found->second.type;
  return found->second.data;
}

std::vector<std::u16string> RegKey::ValueNames() const {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  std::vector<std::u16string> names;
  if (auto key = Lookup(registry, handle_)) {
    for (const auto& value : key->values) names.push_back(value.first);
  }
  return names;
}

bool RegKey::DeleteKey(uint32_t root, const std::u16string& path) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const size_t split = path.rfind(u'\\');
  const std::u16string parent_path = split == std::u16string::npos ? u"" : path.substr(0, split);
  const std::u16string leaf = Fold(split == std::u16string::npos ? path : path.substr(split + 1));
  auto parent = IsRoot(root) ? Walk(registry, root, parent_path, false) : nullptr;
  if (!parent || parent->children.count(leaf) == 0) {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  auto found = parent->children.find(leaf);
  if (!found->second->children.empty()) {
    SetLastError(kErrorAccessDenied);
    return false;
  }
  parent->children.erase(found);
  return true;
}

namespace {
void Dump(const std::string& path, const Key& key, std::vector<std::string>& lines) {
  static const char* const kHex = "0123456789abcdef";
  lines.push_back(path);
  for (const auto& [name, value] : key.values) {
    std::string line = path + "|" + ToUtf8(name) + "=" + std::to_string(value.type) + ":";
    for (uint8_t b : value.data) {
      line += kHex[b >> 4];
      line += kHex[b & 15];
    }
    lines.push_back(line);
  }
  for (const auto& [name, child] : key.children) Dump(path + "\\" + ToUtf8(name), *child, lines);
}
}  // namespace

std::vector<std::string> PosixRegistrySnapshot() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  std::vector<std::string> lines;
  for (const auto& [root, key] : registry.roots) Dump(std::to_string(root), *key, lines);
  return lines;
}

void MakePosixKeyReadOnly(uint32_t root, const std::u16string& path) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (auto key = Walk(registry, root, path, true)) key->read_only = true;
}

void ResetPosixRegistry() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.roots.clear();
  registry.open_keys.clear();
}

}  // namespace platform
