// Building and reading archive bytes in tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "install/fileobject.h"

namespace testing_support {

// The archive bytes of one object reference.
inline std::vector<uint8_t> StoreObject(const CObject* object) {
  std::vector<uint8_t> bytes;
  CArchive ar(bytes);
  ar.WriteObject(object);
  return bytes;
}

// Reads one object reference that must use up all of `bytes`.
inline std::shared_ptr<CObject> LoadObject(const std::vector<uint8_t>& bytes) {
  CArchive ar(bytes.data(), bytes.size(), &FindInstallClass);
  std::shared_ptr<CObject> object = ar.ReadObject();
  if (ar.Remaining() != 0) ar.Fail(CArchiveException::kBadLength, "bytes left over");
  return object;
}

// Concatenates byte pieces.
inline std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// The stored form of a UTF-16 string (ASCII text only, for readable tables).
inline std::vector<uint8_t> Str(const std::string& ascii) {
  std::vector<uint8_t> b = {0xFF, 0xFE, 0xFF};
  if (ascii.size() < 0xFF) {
    b.push_back(static_cast<uint8_t>(ascii.size()));
  } else {
    b.push_back(0xFF);
    b.push_back(static_cast<uint8_t>(ascii.size()));
    b.push_back(static_cast<uint8_t>(ascii.size() >> 8));
  }
  for (char c : ascii) {
    b.push_back(static_cast<uint8_t>(c));
    b.push_back(0);
  }
  return b;
}

inline std::vector<uint8_t> U32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}
inline std::vector<uint8_t> U16(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }

// A new-class record: FFFF, schema 0, name length, name.
inline std::vector<uint8_t> NewClass(const std::string& name) {
  std::vector<uint8_t> b = {0xFF, 0xFF, 0x00, 0x00};
  auto len = U16(static_cast<uint16_t>(name.size()));
  b.insert(b.end(), len.begin(), len.end());
  b.insert(b.end(), name.begin(), name.end());
  return b;
}

}  // namespace testing_support
