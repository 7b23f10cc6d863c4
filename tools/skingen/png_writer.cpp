#include "png_writer.h"

#include <zlib.h>

#include <stdexcept>
#include <string>

namespace skingen {
namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Length, type, data, and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  PutU32(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + start, static_cast<uInt>(out.size() - start));
  PutU32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> EncodePng(const Canvas& canvas) {
  const uint32_t width = static_cast<uint32_t>(canvas.width());
  const uint32_t height = static_cast<uint32_t>(canvas.height());

  std::vector<uint8_t> header;
  PutU32(header, width);
  PutU32(header, height);
  header.push_back(8);  // bits per channel
  header.push_back(6);  // colour type: RGB with alpha
  header.push_back(0);  // deflate
  header.push_back(0);  // adaptive filtering
  header.push_back(0);  // not interlaced

  // Every row is stored unfiltered (filter byte 0): the pictures are small,
  // and the simplest stream is the easiest to check.
  std::vector<uint8_t> pixels = canvas.Rgba8();
  std::vector<uint8_t> rows;
  rows.reserve(pixels.size() + height);
  const size_t stride = static_cast<size_t>(width) * 4;
  for (uint32_t y = 0; y < height; ++y) {
    rows.push_back(0);
    rows.insert(rows.end(), pixels.begin() + y * stride, pixels.begin() + (y + 1) * stride);
  }

  uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
  std::vector<uint8_t> packed(packed_size);
  int rc = compress2(packed.data(), &packed_size, rows.data(), static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION);
  if (rc != Z_OK) throw std::runtime_error("zlib could not compress the picture (" + std::to_string(rc) + ")");
  packed.resize(packed_size);

  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> out(kSignature, kSignature + 8);
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace skingen
