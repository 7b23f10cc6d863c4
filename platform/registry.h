// The registry, as far as the install model and the setup program use it:
// keys below a predefined root, string, number and binary values.
//
// 32-bit programs see the 32-bit view of HKEY_LOCAL_MACHINE\SOFTWARE on a
// 64-bit system; no view flag is passed, so that stays so. The POSIX backend
// keeps an in-memory registry that tests inspect.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Root keys by their Windows handle values.
enum RootKey : uint32_t {
  kClassesRoot = 0x80000000u,
  kCurrentUser = 0x80000001u,
  kLocalMachine = 0x80000002u,
  kUsers = 0x80000003u,
};

enum ValueType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

// An open key. Move-only; closes itself.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey();
  RegKey(RegKey&& other) noexcept;
  RegKey& operator=(RegKey&& other) noexcept;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  // Opens an existing key; not valid on failure.
  static RegKey Open(uint32_t root, const std::u16string& path);
  // Opens the key, creating it and its missing parents.
  static RegKey Create(uint32_t root, const std::u16string& path);

  bool IsValid() const;
  bool SetValue(const std::u16string& name, uint32_t type, const void* data, uint32_t size);
  bool SetString(const std::u16string& name, const std::u16string& text);
  bool SetDword(const std::u16string& name, uint32_t value);
  bool DeleteValue(const std::u16string& name);
  // The value's bytes and type; nothing when it does not exist.
  std::optional<std::vector<uint8_t>> QueryValue(const std::u16string& name, uint32_t* type = nullptr) const;
  std::optional<std::u16string> QueryString(const std::u16string& name) const;
  // The names of the key's values, in no particular order.
  std::vector<std::u16string> ValueNames() const;

  // Removes the key `path` below `root`, with its values, when it has no
  // subkeys; false otherwise.
  static bool DeleteKey(uint32_t root, const std::u16string& path);

 private:
  intptr_t handle_ = 0;
};

// POSIX backend only: forget every key (tests start from an empty registry).
void ResetPosixRegistry();
// POSIX backend only: every key and value as "ROOT\\PATH" (upper-cased) to
// "NAME=type:hex bytes" lines, for comparing the whole registry in tests.
std::vector<std::string> PosixRegistrySnapshot();
// POSIX backend only: the key (created when missing) refuses every value
// written to it with kErrorAccessDenied, as a key closed to the caller does.
void MakePosixKeyReadOnly(uint32_t root, const std::u16string& path);

}  // namespace platform
