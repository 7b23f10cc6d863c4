#include "archive/archive.h"

#include <cstring>
#include <string>

#include "platform/text.h"

namespace {

constexpr uint16_t kNullTag = 0x0000;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr size_t kMaxClassNameLength = 64;

}  // namespace

CArchiveException::CArchiveException(Cause cause, const std::string& what, size_t offset)
    : std::runtime_error(what + " at offset " + std::to_string(offset)), cause_(cause), offset_(offset) {}

CArchive::CArchive(std::vector<uint8_t>& out) : out_(&out) {}

CArchive::CArchive(const uint8_t* data, size_t size, ClassLookup lookup)
    : data_(data), size_(size), lookup_(lookup), objects_left_(kFreeObjects + size / kBytesPerObject) {
  loaded_.emplace_back();  // index 0: the null object
}

void CArchive::CountObject() {
  if (objects_left_ == 0) {
    Fail(CArchiveException::kBadLength, "more objects than " + std::to_string(size_) + " bytes of input may hold");
  }
  --objects_left_;
}

void CArchive::Fail(CArchiveException::Cause cause, const std::string& what) const {
  throw CArchiveException(cause, what, pos_);
}

CArchive::DepthGuard::DepthGuard(CArchive& ar) : ar_(ar) {
  if (++ar_.depth_ > kMaxDepth) {
    --ar_.depth_;
    ar_.Fail(CArchiveException::kTooDeep, "objects nested too deeply");
  }
}

// ---- primitives -----------------------------------------------------------

void CArchive::Io(int32_t& value) {
  if (IsStoring()) {
    WriteU32(static_cast<uint32_t>(value));
  } else {
    value = static_cast<int32_t>(ReadU32());
  }
}

void CArchive::Io(uint32_t& value) {
  if (IsStoring()) {
    WriteU32(value);
  } else {
    value = ReadU32();
  }
}

void CArchive::Io(std::u16string& text) {
  if (IsStoring()) {
    WriteString(text);
  } else {
    text = ReadString();
  }
}

void CArchive::WriteU8(uint8_t value) { out_->push_back(value); }

void CArchive::WriteU16(uint16_t value) {
  WriteU8(static_cast<uint8_t>(value));
  WriteU8(static_cast<uint8_t>(value >> 8));
}

void CArchive::WriteU32(uint32_t value) {
  WriteU16(static_cast<uint16_t>(value));
  WriteU16(static_cast<uint16_t>(value >> 16));
}

void CArchive::WriteBytes(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  out_->insert(out_->end(), bytes, bytes + size);
}

void CArchive::RequireAvailable(uint64_t count, uint64_t item_size) {
  // Written as a division so that a huge count cannot overflow the product.
  if (item_size != 0 && count > Remaining() / item_size) {
    Fail(count <= 1 ? CArchiveException::kEndOfFile : CArchiveException::kBadLength,
         "data shorter than its stored length (" + std::to_string(count) + " x " +
             std::to_string(item_size) + " bytes, " + std::to_string(Remaining()) + " left)");
  }
}

void CArchive::ReadBytes(void* data, size_t size) {
  RequireAvailable(1, size);
  if (size != 0) std::memcpy(data, data_ + pos_, size);
  pos_ += size;
}

uint8_t CArchive::ReadU8() {
  uint8_t value;
  ReadBytes(&value, 1);
  return value;
}

uint16_t CArchive::ReadU16() {
  uint8_t b[2];
  ReadBytes(b, 2);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t CArchive::ReadU32() {
  uint8_t b[4];
  ReadBytes(b, 4);
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
         (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

// ---- strings ----------------------------------------------------------------

void CArchive::WriteString(const std::u16string& text) {
  // Always UTF-16: the marker byte FF and the 16-bit value FFFE come first.
  WriteU8(0xFF);
  WriteU16(0xFFFE);
  const size_t length = text.size();
  if (length < 0xFF) {
    WriteU8(static_cast<uint8_t>(length));
  } else if (length < 0xFFFE) {
    WriteU8(0xFF);
    WriteU16(static_cast<uint16_t>(length));
  } else {
    WriteU8(0xFF);
    WriteU16(0xFFFF);
    WriteU32(static_cast<uint32_t>(length));
  }
  for (char16_t c : text) WriteU16(static_cast<uint16_t>(c));
}

std::u16string CArchive::ReadString() {
  bool wide = false;
  uint32_t length = ReadU8();
  if (length == 0xFF) {
    uint16_t word = ReadU16();
    if (word == 0xFFFE) {
      // A UTF-16 string: its length starts over at one byte.
      wide = true;
      length = ReadU8();
      if (length == 0xFF) word = ReadU16();
    }
    if (length == 0xFF) length = word < 0xFFFF ? word : ReadU32();
  }

  RequireAvailable(length, wide ? 2 : 1);
  if (wide) {
    std::u16string text(length, u'\0');
    for (uint32_t i = 0; i < length; ++i) text[i] = static_cast<char16_t>(ReadU16());
    return text;
  }
  std::string bytes(length, '\0');
  ReadBytes(bytes.data(), length);
  return platform::FromAnsi(bytes);
}

// ---- counts -------------------------------------------------------------------

void CArchive::WriteCount(uint32_t count) {
  if (count < 0xFFFF) {
    WriteU16(static_cast<uint16_t>(count));
  } else {
    WriteU16(0xFFFF);
    WriteU32(count);
  }
}

uint32_t CArchive::ReadCount(size_t min_item_size) {
  uint32_t count = ReadU16();
  if (count == 0xFFFF) count = ReadU32();
  RequireAvailable(count, min_item_size);
  return count;
}

// ---- object references ----------------------------------------------------------

void CArchive::WriteIndexTag(uint32_t index, bool is_class) {
  if (index < kBigObjectTag) {
    WriteU16(static_cast<uint16_t>(is_class ? (kClassTag | index) : index));
  } else {
    WriteU16(kBigObjectTag);
    WriteU32(is_class ? (kBigClassTag | index) : index);
  }
}

void CArchive::WriteObject(const CObject* object) {
  if (object == nullptr) {
    WriteU16(kNullTag);
    return;
  }
  auto seen = stored_objects_.find(object);
  if (seen != stored_objects_.end()) {
    WriteIndexTag(seen->second, false);
    return;
  }

  const CRuntimeClass* cls = object->GetRuntimeClass();
  auto known = stored_classes_.find(cls);
  if (known != stored_classes_.end()) {
    WriteIndexTag(known->second, true);
  } else {
    WriteU16(kNewClassTag);
    WriteU16(cls->schema);
    const size_t name_length = std::strlen(cls->className);
    WriteU16(static_cast<uint16_t>(name_length));
    WriteBytes(cls->className, name_length);
    stored_classes_.emplace(cls, next_index_++);
  }
  // The object takes its index before its fields, so references inside its
  // fields count from after it.
  stored_objects_.emplace(object, next_index_++);
  const_cast<CObject*>(object)->Serialize(*this);
}

const CRuntimeClass* CArchive::ReadClassRecord() {
  const uint16_t schema = ReadU16();
  const uint16_t name_length = ReadU16();
  if (name_length == 0 || name_length > kMaxClassNameLength) {
    Fail(CArchiveException::kBadClass, "bad class name length " + std::to_string(name_length));
  }
  std::string name(name_length, '\0');
  ReadBytes(name.data(), name_length);

  const CRuntimeClass* cls = lookup_ ? lookup_(name) : nullptr;
  if (cls == nullptr || cls->createObject == nullptr) {
    Fail(CArchiveException::kBadClass, "unknown class \"" + name + "\"");
  }
  if (schema != cls->schema) {
    Fail(CArchiveException::kBadSchema,
         "class " + name + " stored with schema " + std::to_string(schema));
  }
  return cls;
}

std::shared_ptr<CObject> CArchive::ReadObject() {
  const uint16_t tag = ReadU16();
  uint32_t value = tag == kBigObjectTag
                       ? ReadU32()
                       : (static_cast<uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag & 0xFFFF);

  const CRuntimeClass* cls = nullptr;
  if (tag == kNewClassTag) {
    cls = ReadClassRecord();
    LoadEntry entry;
    entry.cls = cls;
    loaded_.push_back(entry);
  } else if (value & kBigClassTag) {
    const uint32_t index = value & ~kBigClassTag;
    if (index == 0 || index >= loaded_.size() || loaded_[index].cls == nullptr) {
      Fail(CArchiveException::kBadIndex, "class index " + std::to_string(index) + " names no class");
    }
    cls = loaded_[index].cls;
  } else {
    if (value == 0) return nullptr;
    if (value >= loaded_.size() || !loaded_[value].object) {
      Fail(CArchiveException::kBadIndex, "object index " + std::to_string(value) + " names no object");
    }
    if (!loaded_[value].complete) {
      Fail(CArchiveException::kBadIndex, "object " + std::to_string(value) + " refers to itself");
    }
    // A reference costs two bytes and a reference in memory: many of them
    // count like objects.
    CountObject();
    return loaded_[value].object;
  }

  CountObject();
  DepthGuard guard(*this);
  std::shared_ptr<CObject> object(cls->createObject());
  const size_t index = loaded_.size();
  LoadEntry entry;
  entry.object = object;
  loaded_.push_back(entry);
  object->Serialize(*this);
  loaded_[index].complete = true;
  return object;
}

// ---- number lists -------------------------------------------------------------------

void SerializeNumbers(CArchive& ar, uint32_t& count, std::vector<uint32_t>& values) {
  if (ar.IsStoring()) {
    count = static_cast<uint32_t>(values.size());
    ar.WriteU32(count);
    for (uint32_t v : values) ar.WriteU32(v);
  } else {
    count = ar.ReadU32();
    ar.RequireAvailable(count, 4);
    for (uint32_t i = 0; i < count; ++i) values.push_back(ar.ReadU32());
  }
}
