#include "build/packageformat.h"

#include <cstring>

namespace {

// Each character of the texts below is stored shifted by this key and
// restored when first needed.
constexpr uint8_t kKey = 0x5A;
constexpr uint8_t kMagicShifted[] = {'@' ^ kKey, 'T' ^ kKey, 'O' ^ kKey, 'R' ^ kKey, 'V' ^ kKey, 'A' ^ kKey,
                                     'N' ^ kKey, 'E' ^ kKey, 'K' ^ kKey, '&' ^ kKey, '@' ^ kKey};
constexpr uint8_t kVersionShifted[] = {'2' ^ kKey, '.' ^ kKey, '0' ^ kKey, '0' ^ kKey};

template <size_t N>
std::array<uint8_t, N * 2> Widen(const uint8_t (&shifted)[N]) {
  volatile uint8_t key = kKey;  // keeps the compiler from folding the text back together
  std::array<uint8_t, N * 2> wide{};
  for (size_t i = 0; i < N; ++i) wide[2 * i] = static_cast<uint8_t>(shifted[i] ^ key);
  return wide;
}

uint32_t ToU32(const uint8_t* b) {
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
         (static_cast<uint32_t>(b[3]) << 24);
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Reads exactly `size` bytes at `offset` from the start.
bool ReadAt(platform::File& file, int64_t offset, void* data, size_t size) {
  if (offset < 0 || file.Seek(offset, platform::SeekOrigin::kBegin) != offset) return false;
  auto* p = static_cast<uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    const int64_t n = file.Read(p + done, size - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Walks the trailer backwards from the end of the file, keeping the running
// distance R and refusing any field that would lie before the first byte.
class BackwardReader {
 public:
  BackwardReader(platform::File& file, int64_t file_size, uint32_t distance)
      : file_(file), size_(file_size), distance_(distance) {}

  bool Read(void* data, uint32_t bytes) {
    distance_ += bytes;
    return distance_ <= static_cast<uint64_t>(size_) && ReadAt(file_, size_ - static_cast<int64_t>(distance_), data, bytes);
  }
  bool ReadU32(uint32_t& value) {
    uint8_t b[4];
    if (!Read(b, 4)) return false;
    value = ToU32(b);
    return true;
  }

 private:
  platform::File& file_;
  int64_t size_;
  uint64_t distance_;
};

}  // namespace

const std::array<uint8_t, kPackageMagicBytes>& PackageMagic() {
  static const std::array<uint8_t, kPackageMagicBytes> magic = Widen(kMagicShifted);
  return magic;
}

const std::array<uint8_t, kPackageVersionBytes>& PackageFormatVersion() {
  static const std::array<uint8_t, kPackageVersionBytes> version = Widen(kVersionShifted);
  return version;
}

std::optional<uint32_t> LocatePackageMagic(platform::File& file) {
  const int64_t size = file.Size();
  const auto& magic = PackageMagic();
  if (size < static_cast<int64_t>(kPackageMagicBytes)) return std::nullopt;

  uint8_t tail[kPackageMagicBytes];
  if (ReadAt(file, size - static_cast<int64_t>(kPackageMagicBytes), tail, sizeof tail) &&
      std::memcmp(tail, magic.data(), kPackageMagicBytes) == 0) {
    return 0;
  }

  std::vector<uint8_t> block(kSearchBlockBytes);
  for (uint32_t k = 1; k <= kSearchBlocks; ++k) {
    // Block k nominally starts 8000*k bytes before the end; near the start
    // of a short file only the bytes that exist are read, at their offsets
    // within the nominal block.
    const int64_t start = size - static_cast<int64_t>(kSearchBlockBytes) * k;
    const int64_t end = start + kSearchBlockBytes;
    if (end <= 0) break;
    const int64_t first = start < 0 ? -start : 0;  // first existing offset in the block
    if (!ReadAt(file, start + first, block.data() + first, static_cast<size_t>(kSearchBlockBytes - first))) {
      return std::nullopt;
    }
    for (int parity = 0; parity < 2; ++parity) {
      for (int64_t o = parity; o + static_cast<int64_t>(kPackageMagicBytes) <= kSearchBlockBytes; o += 2) {
        if (o < first) continue;
        if (std::memcmp(block.data() + o, magic.data(), kPackageMagicBytes) == 0) {
          return static_cast<uint32_t>(static_cast<int64_t>(kSearchBlockBytes) * k - o -
                                       static_cast<int64_t>(kPackageMagicBytes));
        }
      }
    }
  }
  return std::nullopt;
}

int32_t ReadPackageTable(platform::File& file, uint32_t distance, PackageTable* table, uint32_t* count_out) {
  const int64_t size = file.Size();
  if (size < 0) return EXTRACT_ERR_SIGNATURE;
  BackwardReader reader(file, size, distance + static_cast<uint32_t>(kPackageMagicBytes));

  uint8_t version[kPackageVersionBytes];
  if (!reader.Read(version, sizeof version) ||
      std::memcmp(version, PackageFormatVersion().data(), sizeof version) != 0) {
    return EXTRACT_ERR_SIGNATURE;
  }
  uint32_t count = 0;
  if (!reader.ReadU32(count)) return EXTRACT_ERR_SIGNATURE;
  if (count == 0) return EXTRACT_ERR_EMPTY;
  if (count > kPackageTableRows) return EXTRACT_ERR_SIGNATURE;
  if (count_out) *count_out = count;
  if (table == nullptr) return EXTRACT_OK;

  table->count = 0;
  std::vector<uint8_t> name(kMaxEntryNameBytes);
  for (uint32_t i = count; i-- > 0;) {
    PackageTableEntry& row = table->rows[i];
    uint32_t length = 0;
    if (!reader.ReadU32(length) || length > kMaxEntryNameBytes || length % 2 != 0) return EXTRACT_ERR_SIGNATURE;
    if (!reader.Read(name.data(), length)) return EXTRACT_ERR_SIGNATURE;
    row.name.resize(length / 2);
    for (uint32_t c = 0; c < length / 2; ++c) {
      row.name[c] = static_cast<char16_t>(name[2 * c] | (name[2 * c + 1] << 8));
    }
    if (!reader.ReadU32(row.packedSize) || !reader.ReadU32(row.unpackedSize) || !reader.ReadU32(row.offset)) {
      return EXTRACT_ERR_SIGNATURE;
    }
  }
  table->count = count;
  return EXTRACT_OK;
}

int32_t ReadPackageTrailer(platform::File& file, PackageTable* table, uint32_t* count) {
  const std::optional<uint32_t> distance = LocatePackageMagic(file);
  if (!distance) return EXTRACT_ERR_SIGNATURE;
  return ReadPackageTable(file, *distance, table, count);
}

std::vector<uint8_t> EncodePackageTrailer(const PackageTable& table) {
  std::vector<uint8_t> out;
  for (uint32_t i = 0; i < table.count; ++i) {
    const PackageTableEntry& row = table.rows[i];
    PutU32(out, row.offset);
    PutU32(out, row.unpackedSize);
    PutU32(out, row.packedSize);
    for (char16_t c : row.name) {
      out.push_back(static_cast<uint8_t>(c));
      out.push_back(static_cast<uint8_t>(c >> 8));
    }
    PutU32(out, static_cast<uint32_t>(row.name.size() * 2));
  }
  PutU32(out, table.count);
  out.insert(out.end(), PackageFormatVersion().begin(), PackageFormatVersion().end());
  out.insert(out.end(), PackageMagic().begin(), PackageMagic().end());
  return out;
}

namespace {

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// Windows opens a device for these names in any folder, whatever follows
// the first dot and whatever blanks precede it: "nul.txt" and "COM1 .log"
// are the devices NUL and COM1, never files.
bool NamesDevice(const std::u16string& name) {
  std::u16string base = name.substr(0, name.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.pop_back();
  for (char16_t& c : base) c = AsciiUpper(c);
  for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
    if (base == device) return true;
  }
  // COM1-COM9 and LPT1-LPT9; Windows counts the superscript digits one to
  // three as digits here too.
  if (base.size() != 4 || (base.compare(0, 3, u"COM") != 0 && base.compare(0, 3, u"LPT") != 0)) return false;
  const char16_t digit = base[3];
  return (digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
}

}  // namespace

bool IsSafeEntryName(const std::u16string& name) {
  if (name.empty() || name.size() > kMaxFileNameUnits) return false;
  // Windows drops a trailing dot or blank, so the file would get another
  // name than the package gives it ("." and ".." end in a dot as well).
  if (name.back() == u'.' || name.back() == u' ') return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (c < 0x20 || c == 0x7F) return false;
    if (c == u'\\' || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>' ||
        c == u'|') {
      return false;
    }
    // Half a surrogate pair has no UTF-8 form: on a host it would turn into
    // U+FFFD and could meet another name.
    if (IsSurrogate(c)) {
      if (!IsHighSurrogate(c) || i + 1 == name.size() || !IsLowSurrogate(name[i + 1])) return false;
      ++i;
    }
  }
  return !NamesDevice(name);
}
