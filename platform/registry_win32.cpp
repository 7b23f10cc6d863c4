// The registry through the classic key calls. No view flag is passed: a
// 32-bit program keeps seeing the 32-bit view on a 64-bit system.
#include "platform/registry.h"

#include "platform/win32_internal.h"

namespace platform {
namespace {

HKEY Key(intptr_t handle) { return reinterpret_cast<HKEY>(handle); }

// Root handle values are sign-extended, as the system headers define them.
HKEY RootKeyHandle(uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(root)));
}

// Predefined handles come back from an open with an empty path; they are
// not ours to close.
bool IsPredefined(HKEY key) {
  const auto value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key));
  return value >= 0x80000000u && value <= 0x80000006u;
}

// The registry calls return their error instead of setting it.
bool Check(LONG result) {
  if (result == ERROR_SUCCESS) return true;
  ::SetLastError(static_cast<DWORD>(result));
  return false;
}

}  // namespace

RegKey::~RegKey() {
  if (handle_ != 0 && !IsPredefined(Key(handle_))) ::RegCloseKey(Key(handle_));
}

RegKey RegKey::Open(uint32_t root, const std::u16string& path) {
  RegKey key;
  HKEY opened = nullptr;
  if (Check(::RegOpenKeyW(RootKeyHandle(root), win32::Wide(path), &opened))) {
    key.handle_ = reinterpret_cast<intptr_t>(opened);
  }
  return key;
}

RegKey RegKey::Create(uint32_t root, const std::u16string& path) {
  RegKey key;
  HKEY created = nullptr;
  if (Check(::RegCreateKeyW(RootKeyHandle(root), win32::Wide(path), &created))) {
    key.handle_ = reinterpret_cast<intptr_t>(created);
  }
  return key;
}

bool RegKey::SetValue(const std::u16string& name, uint32_t type, const void* data, uint32_t size) {
  if (!IsValid()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return Check(::RegSetValueExW(Key(handle_), win32::Wide(name), 0, type, static_cast<const BYTE*>(data), size));
}

bool RegKey::DeleteValue(const std::u16string& name) {
  if (!IsValid()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return Check(::RegDeleteValueW(Key(handle_), win32::Wide(name)));
}

std::vector<std::u16string> RegKey::ValueNames() const {
  std::vector<std::u16string> names;
  if (!IsValid()) return names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];  // the longest value name the registry allows
    DWORD length = 16384;
    if (::RegEnumValueW(Key(handle_), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(reinterpret_cast<const char16_t*>(name), length);
  }
  return names;
}

bool RegKey::DeleteKey(uint32_t root, const std::u16string& path) {
  return Check(::RegDeleteKeyW(RootKeyHandle(root), win32::Wide(path)));
}

std::optional<std::vector<uint8_t>> RegKey::QueryValue(const std::u16string& name, uint32_t* type) const {
  if (!IsValid()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return std::nullopt;
  }
  std::vector<uint8_t> data;
  // The value may grow between asking its size and reading it; ask again.
  for (;;) {
    DWORD value_type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result =
        ::RegQueryValueExW(Key(handle_), win32::Wide(name), nullptr, &value_type, data.empty() ? nullptr : data.data(), &size);
    if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && data.empty() && size != 0)) {
      data.resize(size);
      continue;
    }
    if (!Check(result)) return std::nullopt;
    data.resize(size);
    if (type != nullptr) *type = value_type;
    return data;
  }
}

// Only the POSIX backend keeps a registry of its own.
void ResetPosixRegistry() {}

}  // namespace platform
