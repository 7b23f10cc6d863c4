// The object archive: the byte encoding of the install project.
//
// One class serves both directions. A store archive appends to a byte
// vector; a load archive reads from a byte range and is strict: every read
// checks the bytes left first, every count and length is checked against what
// the remaining input could hold before anything is allocated, and any
// inconsistency raises CArchiveException. The exception never leaves the
// model: the project loader turns it into a failure result.
//
// Encoding, all little-endian:
//   integers   4 bytes (16 for tags and counts, see below)
//   strings    FF FE FF <length> <UTF-16LE characters>; the length is one byte
//              below FF, else FF + 16 bits below FFFE, else FF FFFF + 32 bits.
//              A reader also takes 8-bit strings (no FF FE FF prefix).
//   counts     16 bits, or FFFF + 32 bits
//   objects    a 16-bit tag: 0000 null, FFFF new class record + fields,
//              8000+n object of class n + fields, n an object already read,
//              7FFF + 32 bits for indexes that do not fit in 15 bits.
//              Classes and objects share one numbering from 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/object.h"

class CArchiveException : public std::runtime_error {
 public:
  enum Cause { kEndOfFile, kBadClass, kBadSchema, kBadIndex, kBadLength, kTooDeep };
  CArchiveException(Cause cause, const std::string& what, size_t offset);
  Cause GetCause() const { return cause_; }
  size_t GetOffset() const { return offset_; }

 private:
  Cause cause_;
  size_t offset_;
};

class CArchive {
 public:
  // Store mode: bytes are appended to `out`.
  explicit CArchive(std::vector<uint8_t>& out);
  // Load mode: reads `size` bytes at `data`; classes are found by `lookup`.
  CArchive(const uint8_t* data, size_t size, ClassLookup lookup);
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsStoring() const { return out_ != nullptr; }
  bool IsLoading() const { return out_ == nullptr; }
  size_t Position() const { return pos_; }
  size_t Remaining() const { return size_ - pos_; }

  // Primitive fields, read or written according to the mode.
  void Io(int32_t& value);
  void Io(uint32_t& value);
  void Io(std::u16string& text);

  void WriteU8(uint8_t value);
  void WriteU16(uint16_t value);
  void WriteU32(uint32_t value);
  void WriteBytes(const void* data, size_t size);
  void WriteString(const std::u16string& text);
  void WriteCount(uint32_t count);
  void WriteObject(const CObject* object);

  uint8_t ReadU8();
  uint16_t ReadU16();
  uint32_t ReadU32();
  void ReadBytes(void* data, size_t size);
  std::u16string ReadString();
  // A count of items each at least `min_item_size` bytes long: a count the
  // remaining input could not hold is an error, so it never sizes a buffer.
  uint32_t ReadCount(size_t min_item_size);
  std::shared_ptr<CObject> ReadObject();

  // Checks that `count` items of `item_size` bytes could still follow.
  void RequireAvailable(uint64_t count, uint64_t item_size);
  // Takes one from the objects this input may make (objects read, tree
  // nodes): their number is bounded in proportion to the input's size, so a
  // small index of empty nodes or repeated references cannot turn into
  // gigabytes of objects.
  void CountObject();
  [[noreturn]] void Fail(CArchiveException::Cause cause, const std::string& what) const;

  // Nested objects and tree levels: deep nesting is refused before it can
  // exhaust the stack.
  class DepthGuard {
   public:
    explicit DepthGuard(CArchive& ar);
    ~DepthGuard() { --ar_.depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

   private:
    CArchive& ar_;
  };
  static constexpr int kMaxDepth = 256;
  // Any input may make this many objects, and one more per this many bytes.
  // Real objects are far larger (a file entry and its node take some fifty
  // bytes); the smallest thing that makes one, an empty tree node, is six.
  static constexpr size_t kFreeObjects = 4096;
  static constexpr size_t kBytesPerObject = 16;

 private:
  void WriteIndexTag(uint32_t index, bool is_class);
  const CRuntimeClass* ReadClassRecord();

  // Store mode.
  std::vector<uint8_t>* out_ = nullptr;
  std::unordered_map<const CObject*, uint32_t> stored_objects_;
  std::unordered_map<const CRuntimeClass*, uint32_t> stored_classes_;

  // Load mode. Entry i of the load map is a class or an object; an object
  // whose fields are still being read is not complete, and a reference to it
  // would make the model own itself.
  struct LoadEntry {
    const CRuntimeClass* cls = nullptr;
    std::shared_ptr<CObject> object;
    bool complete = false;
  };
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  ClassLookup lookup_ = nullptr;
  std::vector<LoadEntry> loaded_;

  size_t pos_ = 0;
  size_t objects_left_ = 0;
  uint32_t next_index_ = 1;  // 0 is the null object
  int depth_ = 0;
};

// Reads an object reference that must be of type T (or null).
template <class T>
std::shared_ptr<T> ReadObjectOf(CArchive& ar) {
  std::shared_ptr<CObject> object = ar.ReadObject();
  if (!object) return nullptr;
  std::shared_ptr<T> typed = std::dynamic_pointer_cast<T>(object);
  if (!typed) {
    ar.Fail(CArchiveException::kBadClass,
            std::string("unexpected object of class ") + object->GetRuntimeClass()->className);
  }
  return typed;
}

// An owned, ordered list of model objects; stored as a count and references.
template <class T>
using CObListOf = std::vector<std::shared_ptr<T>>;

template <class T>
void SerializeList(CArchive& ar, CObListOf<T>& list) {
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<uint32_t>(list.size()));
    for (const auto& item : list) ar.WriteObject(item.get());
  } else {
    uint32_t count = ar.ReadCount(2);  // every reference is at least a tag
    for (uint32_t i = 0; i < count; ++i) {
      std::shared_ptr<T> item = ReadObjectOf<T>(ar);
      // Lists never hold null; everyone who walks one relies on that.
      if (!item) ar.Fail(CArchiveException::kBadIndex, "null object in a list");
      list.push_back(std::move(item));
    }
  }
}

// An ordered list of 32-bit numbers stored as a 32-bit count and the values.
void SerializeNumbers(CArchive& ar, uint32_t& count, std::vector<uint32_t>& values);
