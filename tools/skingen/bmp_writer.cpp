#include "bmp_writer.h"

namespace skingen {
namespace {

void PutU16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch, the design resolution of the skin

}  // namespace

std::vector<uint8_t> EncodeBmp(const Canvas& canvas) {
  const uint32_t width = static_cast<uint32_t>(canvas.width());
  const uint32_t height = static_cast<uint32_t>(canvas.height());
  const uint32_t stride = (width * 3 + 3) & ~3u;
  const uint32_t image_size = stride * height;
  const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;

  std::vector<uint8_t> out;
  out.reserve(offset + image_size);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, offset + image_size);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU32(out, offset);

  PutU32(out, kInfoHeaderSize);
  PutU32(out, width);
  PutU32(out, height);  // positive: bottom-up
  PutU16(out, 1);       // planes
  PutU16(out, 24);      // bits per pixel
  PutU32(out, 0);       // BI_RGB
  PutU32(out, image_size);
  PutU32(out, kPixelsPerMetre);
  PutU32(out, kPixelsPerMetre);
  PutU32(out, 0);  // colours used
  PutU32(out, 0);  // important colours

  const std::vector<uint8_t> pixels = canvas.Rgba8();
  for (uint32_t row = 0; row < height; ++row) {
    const uint8_t* p = pixels.data() + static_cast<size_t>(height - 1 - row) * width * 4;
    for (uint32_t x = 0; x < width; ++x, p += 4) {
      // Over black: each channel scaled by the alpha.
      for (int channel = 2; channel >= 0; --channel) {
        out.push_back(static_cast<uint8_t>((p[channel] * p[3] + 127) / 255));
      }
    }
    for (uint32_t pad = width * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace skingen
