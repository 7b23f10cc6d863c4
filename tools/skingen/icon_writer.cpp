#include "icon_writer.h"

namespace skingen {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// One image: BITMAPINFOHEADER (height doubled for the mask), BGRA rows
// bottom-up, then the 1-bit AND mask, rows padded to 4 bytes.
std::vector<uint8_t> EncodeImage(const Canvas& canvas) {
  const int w = canvas.width();
  const int h = canvas.height();
  const std::vector<uint8_t> rgba = canvas.Rgba8();
  std::vector<uint8_t> out;
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(w));
  Put32(out, static_cast<uint32_t>(h * 2));
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
      out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
  }
  const int mask_row = ((w + 31) / 32) * 4;
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(mask_row), 0);
    for (int x = 0; x < w; ++x) {
      // Transparent pixels are set in the mask, for systems that ignore alpha.
      if (rgba[(static_cast<size_t>(y) * w + x) * 4 + 3] < 128) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& sizes) {
  std::vector<std::vector<uint8_t>> images;
  for (const Canvas& canvas : sizes) images.push_back(EncodeImage(canvas));
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // an icon, not a cursor
  Put16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<uint8_t>(sizes[i].width() >= 256 ? 0 : sizes[i].width()));
    out.push_back(static_cast<uint8_t>(sizes[i].height() >= 256 ? 0 : sizes[i].height()));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<uint32_t>(images[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace skingen
