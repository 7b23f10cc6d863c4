// ILUT.dll: hands a picture to GDI as a 32-bit top-down DIB section, the form
// UpdateLayeredWindow takes for per-pixel alpha.
#include <cstdint>
#include <cstring>

#include "setup/renderer/companion_api.h"

extern "C" {

uint32_t __cdecl GlimmoraCompanionVersion(void) {
  return GLIMMORA_COMPANION_VERSION;
}

HBITMAP __cdecl GlimmoraBitmapFromImage(const GlimmoraImage* source, GlimmoraImage* view) {
  if (source == nullptr || source->width == 0 || source->height == 0 || source->width > 0x7FFF ||
      source->height > 0x7FFF) {
    return nullptr;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(source->width);
  info.bmiHeader.biHeight = -static_cast<LONG>(source->height);  // negative: rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    return nullptr;
  }
  auto* pixels = static_cast<uint32_t*>(bits);
  if (source->pixels != nullptr && source->stride >= source->width) {
    for (uint32_t y = 0; y < source->height; ++y) {
      std::memcpy(pixels + static_cast<size_t>(y) * source->width,
                  source->pixels + static_cast<size_t>(y) * source->stride, source->width * sizeof(uint32_t));
    }
  } else {
    std::memset(pixels, 0, static_cast<size_t>(source->width) * source->height * sizeof(uint32_t));
  }
  if (view != nullptr) *view = GlimmoraImage{source->width, source->height, source->width, pixels};
  return bitmap;
}

}  // extern "C"
