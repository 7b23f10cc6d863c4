#include "skin/core/controlmath.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace skin {
namespace {

// Range ends and sizes come from the controls' messages and may be any int;
// their differences and products are taken in 64 bits so none overflows.
int Clamped(int64_t value, int64_t low, int64_t high) {
  return static_cast<int>(std::min(std::max(value, low), high));
}

}  // namespace

double ProgressFraction(int position, int lower, int upper) {
  const int64_t span = static_cast<int64_t>(upper) - lower;
  if (span == 0) return 0.0;
  const double fraction = static_cast<double>(position) / static_cast<double>(span);
  return std::min(std::max(fraction, 0.0), 1.0);
}

int FillPixels(int width, double fraction) {
  if (width <= 0 || !(fraction > 0.0)) return 0;  // also "not a number"
  if (fraction >= 1.0) return width;
  return static_cast<int>(width * fraction);
}

int SliderThumbFromPosition(int position, int lower, int upper, int extent) {
  const int64_t span = static_cast<int64_t>(upper) - lower;
  if (span == 0 || extent <= 0) return 0;
  const int64_t thumb = (static_cast<int64_t>(position) - lower) * extent / span;
  return Clamped(thumb, 0, extent);
}

int SliderPositionFromThumb(int thumb, int lower, int upper, int extent) {
  if (extent <= 0) return lower;
  // A thumb dragged past either end of the track stands at that end.
  const int64_t along = Clamped(thumb, 0, extent);
  const int64_t span = static_cast<int64_t>(upper) - lower;
  return Clamped(lower + along * span / extent, INT_MIN, INT_MAX);
}

int SliderThumbOffset(int client, int thumb_size, int thumb) {
  if (client <= 0) return 0;
  const int64_t offset = (static_cast<int64_t>(client) - thumb_size) * thumb / client;
  return Clamped(offset, INT_MIN, INT_MAX);
}

std::vector<TileRect> TileLayout(int bitmap_width, int bitmap_height, int left, int top, int right,
                                 int bottom) {
  std::vector<TileRect> tiles;
  if (bitmap_width <= 0 || bitmap_height <= 0 || right <= left || bottom <= top) return tiles;
  // 64-bit steps: a copy starting near INT_MAX must not wrap around to a
  // start left of the rectangle and go on forever.
  for (int64_t y = top; y < bottom; y += bitmap_height) {
    const int height = static_cast<int>(std::min<int64_t>(bitmap_height, bottom - y));
    for (int64_t x = left; x < right; x += bitmap_width) {
      const int width = static_cast<int>(std::min<int64_t>(bitmap_width, right - x));
      tiles.push_back({static_cast<int>(x), static_cast<int>(y), width, height});
    }
  }
  return tiles;
}

}  // namespace skin
