#include "build/indexstream.h"

#include <zlib.h>

#include <algorithm>

namespace {

constexpr size_t kChunk = 65536;

// Ends the inflate state on every way out.
class Inflater {
 public:
  Inflater() { ok_ = inflateInit(&stream_) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool ok() const { return ok_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

int32_t Damaged(std::vector<uint8_t>& index, std::string& error, std::string what) {
  index.clear();
  index.shrink_to_fit();
  error = std::move(what);
  return EXTRACT_ERR_SIGNATURE;
}

}  // namespace

int32_t ReadIndexStream(platform::File& package, const PackageTableEntry& row, std::vector<uint8_t>& index,
                        std::string& error) {
  index.clear();
  error.clear();
  if (row.unpackedSize > kMaxIndexBytes) {
    return Damaged(index, error,
                   "the table gives the index " + std::to_string(row.unpackedSize) + " bytes, more than the " +
                       std::to_string(kMaxIndexBytes) + " an index may have");
  }
  const int64_t size = package.Size();
  if (size < 0 || row.offset >= static_cast<uint64_t>(size) || row.packedSize > static_cast<uint64_t>(size) - row.offset) {
    return Damaged(index, error, "the index stream lies beyond the end of the file");
  }
  if (package.Seek(row.offset, platform::SeekOrigin::kBegin) != static_cast<int64_t>(row.offset)) {
    return Damaged(index, error, "cannot seek to the index stream");
  }

  Inflater inflater;
  if (!inflater.ok()) return Damaged(index, error, "zlib cannot start");
  z_stream& z = inflater.stream();
  std::vector<uint8_t> in(kChunk), out(kChunk);
  uint32_t left = row.packedSize;
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    if (z.avail_in == 0) {
      if (left == 0) break;
      const int64_t n = package.Read(in.data(), std::min<size_t>(left, in.size()));
      if (n <= 0) return Damaged(index, error, "the index stream cannot be read");
      left -= static_cast<uint32_t>(n);
      z.next_in = in.data();
      z.avail_in = static_cast<uInt>(n);
    }
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
      return Damaged(index, error, std::string("the index stream is damaged: ") + (z.msg ? z.msg : "zlib error"));
    }
    const size_t produced = out.size() - z.avail_out;
    // Checked before the bytes are kept, so the vector never grows past the bound.
    if (index.size() + produced > row.unpackedSize) {
      return Damaged(index, error,
                     "the index inflates to more than the " + std::to_string(row.unpackedSize) +
                         " bytes its table row gives");
    }
    index.insert(index.end(), out.data(), out.data() + produced);
  }
  if (rc != Z_STREAM_END) return Damaged(index, error, "the index stream does not reach its end");
  return EXTRACT_OK;
}
