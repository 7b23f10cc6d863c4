// The arithmetic of the drawn controls, kept apart from drawing so that odd
// ranges and sizes can be checked on any machine.
#pragma once

#include <vector>

namespace skin {

// Fill fraction of a progress bar: position / (upper - lower), clamped to
// 0..1; 0 when the range is empty (equal ends).
double ProgressFraction(int position, int lower, int upper);
// Pixels of `width` covered by `fraction` (truncated, 0..width).
int FillPixels(int width, double fraction);

// Slider: the thumb's pixel coordinate for `position` over `extent` pixels,
// clamped to 0..extent; 0 for an empty range or extent.
int SliderThumbFromPosition(int position, int lower, int upper, int extent);
// And back: lower + thumb / extent * (upper - lower), truncated; lower for
// an empty extent. A thumb outside 0..extent counts as the nearer end.
int SliderPositionFromThumb(int thumb, int lower, int upper, int extent);
// Where the thumb image starts: (client - thumb_size) * thumb / client, with
// integer arithmetic; 0 for an empty client.
int SliderThumbOffset(int client, int thumb_size, int thumb);

struct TileRect {
  int x, y, width, height;
};
// The copies that fill (left, top, right, bottom) with a w x h bitmap, left
// to right and row by row, the last of each row and the last row cut to
// the rectangle. Empty for an empty bitmap or rectangle.
std::vector<TileRect> TileLayout(int bitmap_width, int bitmap_height, int left, int top, int right,
                                 int bottom);

}  // namespace skin
