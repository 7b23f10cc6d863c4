#include "libs/nuvel.h"

#include <cstdint>

int NuvelStride24(int width) {
  if (width <= 0) return 0;
  return ((width * 3) + 3) & ~3;
}

int NuvelBgrxToBgr(const void* source, int source_stride, void* target, int target_stride, int width,
                   int height) {
  if (!source || !target || width <= 0 || height <= 0 || source_stride < width * 4 ||
      target_stride < width * 3)
    return 0;
  const auto* from_row = static_cast<const uint8_t*>(source);
  auto* to_row = static_cast<uint8_t*>(target);
  for (int y = 0; y < height; ++y) {
    const uint8_t* from = from_row;
    uint8_t* to = to_row;
    for (int x = 0; x < width; ++x) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
      from += 4;
      to += 3;
    }
    from_row += source_stride;
    to_row += target_stride;
  }
  return 1;
}
