// A window shape from a picture: every pixel that is not of the transparent
// colour, as one-pixel-high rectangles per run, in batches as a region is
// built from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace skin {

struct RunRect {
  int left, top, right, bottom;
};

// Pixels are 32-bit words with blue in the lowest byte (a DIB), rows given
// top row first, `stride` words apart. `colour` is a COLORREF (red in the
// lowest byte) and `tolerance` likewise; a pixel is transparent when its
// red, green and blue each lie in colour..colour+tolerance (capped at 255),
// compared channel for channel. Runs are gathered row by row from the top,
// in batches of at most `batch` rectangles (at least one batch, possibly
// empty, so an all-transparent picture still gives an empty region). No
// pixels, an empty size or a stride shorter than a row give that one empty
// batch; a batch size of 0 reads as 1.
std::vector<std::vector<RunRect>> MaskRuns(const uint32_t* pixels, int width, int height, int stride,
                                           uint32_t colour, uint32_t tolerance, size_t batch = 2000);

}  // namespace skin
