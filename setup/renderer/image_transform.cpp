// ILU.dll: resamples pictures for the splash. Both operations sample
// bilinearly on premultiplied pixels, so transparent edges blend without
// dark fringes, and treat everything outside the source as transparent,
// which gives the turning logo soft edges for free.
#include <cmath>
#include <cstdint>

#include "setup/renderer/companion_api.h"

namespace {

bool Valid(const GlimmoraImage* image) {
  return image != nullptr && image->pixels != nullptr && image->width > 0 && image->height > 0 &&
         image->stride >= image->width;
}

uint32_t Texel(const GlimmoraImage& image, int x, int y) {
  if (x < 0 || y < 0 || x >= static_cast<int>(image.width) || y >= static_cast<int>(image.height)) return 0;
  return image.pixels[static_cast<size_t>(y) * image.stride + static_cast<size_t>(x)];
}

// The picture at (x, y) in pixel units, pixel centres at half steps; `shade`
// scales colour (256 keeps it) and leaves alpha alone.
uint32_t Sample(const GlimmoraImage& image, float x, float y, uint32_t shade) {
  // Written so that NaN fails too: nothing non-finite reaches the int casts.
  if (!(x > -0.5f && y > -0.5f && x < image.width + 0.5f && y < image.height + 0.5f)) return 0;
  const float fx = x - 0.5f;
  const float fy = y - 0.5f;
  const float floor_x = std::floor(fx);
  const float floor_y = std::floor(fy);
  const int x0 = static_cast<int>(floor_x);
  const int y0 = static_cast<int>(floor_y);
  const uint32_t wx = static_cast<uint32_t>((fx - floor_x) * 256.0f);
  const uint32_t wy = static_cast<uint32_t>((fy - floor_y) * 256.0f);
  const uint32_t p00 = Texel(image, x0, y0);
  const uint32_t p10 = Texel(image, x0 + 1, y0);
  const uint32_t p01 = Texel(image, x0, y0 + 1);
  const uint32_t p11 = Texel(image, x0 + 1, y0 + 1);
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t top = ((p00 >> shift) & 0xFF) * (256 - wx) + ((p10 >> shift) & 0xFF) * wx;
    const uint32_t bottom = ((p01 >> shift) & 0xFF) * (256 - wx) + ((p11 >> shift) & 0xFF) * wx;
    uint32_t channel = (top * (256 - wy) + bottom * wy) >> 16;
    if (shift < 24) channel = (channel * shade) >> 8;
    if (channel > 255) channel = 255;
    result |= channel << shift;
  }
  return result;
}

}  // namespace

extern "C" {

uint32_t __cdecl GlimmoraCompanionVersion(void) {
  return GLIMMORA_COMPANION_VERSION;
}

int __cdecl GlimmoraImageScale(const GlimmoraImage* source, const GlimmoraImage* target) {
  if (!Valid(source) || !Valid(target)) return 0;
  const float step_x = static_cast<float>(source->width) / static_cast<float>(target->width);
  const float step_y = static_cast<float>(source->height) / static_cast<float>(target->height);
  for (uint32_t y = 0; y < target->height; ++y) {
    uint32_t* out = target->pixels + static_cast<size_t>(y) * target->stride;
    const float sy = (static_cast<float>(y) + 0.5f) * step_y;
    for (uint32_t x = 0; x < target->width; ++x) {
      // Clamped inside the source: scaling keeps the picture's own edges.
      float sx = (static_cast<float>(x) + 0.5f) * step_x;
      sx = std::fmin(std::fmax(sx, 0.5f), source->width - 0.5f);
      out[x] = Sample(*source, sx, std::fmin(std::fmax(sy, 0.5f), source->height - 0.5f), 256);
    }
  }
  return 1;
}

int __cdecl GlimmoraImageWarp(const GlimmoraImage* source, const GlimmoraImage* target,
                              const GlimmoraMatrix3* target_to_source, uint32_t shade) {
  if (!Valid(source) || !Valid(target) || target_to_source == nullptr) return 0;
  if (shade > 256) shade = 256;
  const float (*m)[3] = target_to_source->m;
  for (uint32_t y = 0; y < target->height; ++y) {
    uint32_t* out = target->pixels + static_cast<size_t>(y) * target->stride;
    const float py = static_cast<float>(y) + 0.5f;
    // [x y 1] * m is linear in x along a row: start at the first pixel
    // centre and step by the first row of m.
    float sx = 0.5f * m[0][0] + py * m[1][0] + m[2][0];
    float sy = 0.5f * m[0][1] + py * m[1][1] + m[2][1];
    float sw = 0.5f * m[0][2] + py * m[1][2] + m[2][2];
    for (uint32_t x = 0; x < target->width; ++x) {
      out[x] = sw > 1e-6f ? Sample(*source, sx / sw, sy / sw, shade) : 0;
      sx += m[0][0];
      sy += m[0][1];
      sw += m[0][2];
    }
  }
  return 1;
}

}  // extern "C"
