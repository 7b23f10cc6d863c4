// DevIL.dll: decodes the splash logo. A small PNG reader over zlib: 8-bit
// grey, grey with alpha, truecolour, truecolour with alpha and palette
// pictures, not interlaced; every chunk's length and checksum are checked
// before it is used. That covers the pictures our build paints; anything
// else is refused rather than guessed at.
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "setup/renderer/companion_api.h"

namespace {

// Large enough for any splash picture; bounds the memory a bad file can ask for.
constexpr uint32_t kMaxSide = 4096;
constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

enum ColourType : uint8_t { kGrey = 0, kTruecolour = 2, kPalette = 3, kGreyAlpha = 4, kTruecolourAlpha = 6 };

struct Png {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t colour = 0;
  uint32_t channels = 0;
  std::vector<uint8_t> palette;       // red, green, blue per entry
  std::vector<uint8_t> transparency;  // tRNS: alpha per palette entry
  std::vector<uint8_t> compressed;    // all IDAT data in order
};

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

uint32_t ChannelsOf(uint8_t colour) {
  switch (colour) {
    case kGrey: return 1;
    case kTruecolour: return 3;
    case kPalette: return 1;
    case kGreyAlpha: return 2;
    case kTruecolourAlpha: return 4;
    default: return 0;
  }
}

bool ReadHeader(const uint8_t* body, uint32_t length, Png& png) {
  if (length != 13) return false;
  png.width = BigEndian32(body);
  png.height = BigEndian32(body + 4);
  const uint8_t depth = body[8];
  png.colour = body[9];
  png.channels = ChannelsOf(png.colour);
  const bool plain = body[10] == 0 && body[11] == 0 && body[12] == 0;  // deflate, filter set 0, not interlaced
  return png.width > 0 && png.height > 0 && png.width <= kMaxSide && png.height <= kMaxSide && depth == 8 &&
         png.channels != 0 && plain;
}

// Walks the chunks. With `header_only` it stops after IHDR.
bool Parse(const uint8_t* data, size_t size, Png& png, bool header_only) {
  if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0) return false;
  size_t at = sizeof kSignature;
  bool have_header = false;
  for (;;) {
    if (size - at < 12) return false;
    const uint32_t length = BigEndian32(data + at);
    if (length > size - at - 12) return false;
    const uint8_t* type = data + at + 4;
    const uint8_t* body = data + at + 8;
    const uint32_t crc = BigEndian32(body + length);
    if (crc32(crc32(0L, Z_NULL, 0), type, length + 4) != crc) return false;
    at += size_t{length} + 12;

    if (std::memcmp(type, "IHDR", 4) == 0) {
      if (have_header || !ReadHeader(body, length, png)) return false;
      have_header = true;
      if (header_only) return true;
    } else if (!have_header) {
      return false;  // IHDR must come first
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
      if (length % 3 != 0 || length == 0 || length > 256 * 3) return false;
      png.palette.assign(body, body + length);
    } else if (std::memcmp(type, "tRNS", 4) == 0) {
      if (png.colour == kPalette && length <= 256) png.transparency.assign(body, body + length);
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      png.compressed.insert(png.compressed.end(), body, body + length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      return !png.compressed.empty() && (png.colour != kPalette || !png.palette.empty());
    } else if ((type[0] & 0x20) == 0) {
      return false;  // an unknown chunk the picture cannot be shown without
    }
  }
}

uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = p > a ? p - a : a - p;
  const int pb = p > b ? p - b : b - p;
  const int pc = p > c ? p - c : c - p;
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes the per-row filters in place. Each row is one filter byte followed
// by the row's bytes; `previous` is the row above (zeros for the first).
bool Unfilter(std::vector<uint8_t>& raw, uint32_t height, size_t row_bytes, uint32_t pixel_bytes) {
  const std::vector<uint8_t> zeros(row_bytes, 0);
  const uint8_t* previous = zeros.data();
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = raw.data() + y * (row_bytes + 1);
    const uint8_t filter = row[0];
    uint8_t* line = row + 1;
    for (size_t i = 0; i < row_bytes; ++i) {
      const int left = i >= pixel_bytes ? line[i - pixel_bytes] : 0;
      const int up = previous[i];
      const int up_left = i >= pixel_bytes ? previous[i - pixel_bytes] : 0;
      switch (filter) {
        case 0: break;
        case 1: line[i] = static_cast<uint8_t>(line[i] + left); break;
        case 2: line[i] = static_cast<uint8_t>(line[i] + up); break;
        case 3: line[i] = static_cast<uint8_t>(line[i] + ((left + up) >> 1)); break;
        case 4: line[i] = static_cast<uint8_t>(line[i] + Paeth(left, up, up_left)); break;
        default: return false;
      }
    }
    previous = line;
  }
  return true;
}

uint32_t Premultiplied(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) {
  const auto scale = [alpha](uint32_t c) { return (c * alpha + 127) / 255; };
  return (alpha << 24) | (scale(red) << 16) | (scale(green) << 8) | scale(blue);
}

bool Decode(const uint8_t* data, size_t size, const GlimmoraImage& target) {
  Png png;
  if (!Parse(data, size, png, false)) return false;
  if (target.pixels == nullptr || target.width != png.width || target.height != png.height ||
      target.stride < target.width) {
    return false;
  }
  const size_t row_bytes = size_t{png.width} * png.channels;
  std::vector<uint8_t> raw((row_bytes + 1) * png.height);
  uLongf inflated = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &inflated, png.compressed.data(), static_cast<uLong>(png.compressed.size())) != Z_OK ||
      inflated != raw.size()) {
    return false;
  }
  if (!Unfilter(raw, png.height, row_bytes, png.channels)) return false;

  const size_t palette_entries = png.palette.size() / 3;
  for (uint32_t y = 0; y < png.height; ++y) {
    const uint8_t* in = raw.data() + y * (row_bytes + 1) + 1;
    uint32_t* out = target.pixels + size_t{y} * target.stride;
    for (uint32_t x = 0; x < png.width; ++x, in += png.channels) {
      switch (png.colour) {
        case kGrey: out[x] = Premultiplied(in[0], in[0], in[0], 255); break;
        case kGreyAlpha: out[x] = Premultiplied(in[0], in[0], in[0], in[1]); break;
        case kTruecolour: out[x] = Premultiplied(in[0], in[1], in[2], 255); break;
        case kTruecolourAlpha: out[x] = Premultiplied(in[0], in[1], in[2], in[3]); break;
        case kPalette: {
          if (in[0] >= palette_entries) return false;
          const uint8_t* entry = png.palette.data() + size_t{in[0]} * 3;
          const uint32_t alpha = in[0] < png.transparency.size() ? png.transparency[in[0]] : 255;
          out[x] = Premultiplied(entry[0], entry[1], entry[2], alpha);
          break;
        }
      }
    }
  }
  return true;
}

}  // namespace

extern "C" {

uint32_t __cdecl GlimmoraCompanionVersion(void) {
  return GLIMMORA_COMPANION_VERSION;
}

int __cdecl GlimmoraImageInfo(const void* data, size_t size, uint32_t* width, uint32_t* height) {
  if (data == nullptr || width == nullptr || height == nullptr) return 0;
  try {
    Png png;
    if (!Parse(static_cast<const uint8_t*>(data), size, png, true)) return 0;
    *width = png.width;
    *height = png.height;
    return 1;
  } catch (...) {  // out of memory: a failure like any other
    return 0;
  }
}

int __cdecl GlimmoraImageDecode(const void* data, size_t size, const GlimmoraImage* target) {
  if (data == nullptr || target == nullptr) return 0;
  try {
    return Decode(static_cast<const uint8_t*>(data), size, *target) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

}  // extern "C"
