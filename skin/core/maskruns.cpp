#include "skin/core/maskruns.h"

#include <algorithm>

namespace skin {
namespace {

// One colour channel's transparent range, from the COLORREF byte at `shift`.
struct Band {
  uint32_t low, high;
};

Band ChannelBand(uint32_t colour, uint32_t tolerance, int shift) {
  const uint32_t low = (colour >> shift) & 0xFF;
  return {low, std::min<uint32_t>(low + ((tolerance >> shift) & 0xFF), 0xFF)};
}

bool Inside(uint32_t value, Band band) { return value >= band.low && value <= band.high; }

}  // namespace

std::vector<std::vector<RunRect>> MaskRuns(const uint32_t* pixels, int width, int height, int stride,
                                           uint32_t colour, uint32_t tolerance, size_t batch) {
  std::vector<std::vector<RunRect>> batches(1);
  // Rows closer together than a row is wide would read past the picture.
  if (pixels == nullptr || width <= 0 || height <= 0 || stride < width) return batches;
  const size_t limit = std::max<size_t>(batch, 1);

  // A COLORREF keeps red in its lowest byte, a DIB pixel keeps blue there.
  const Band red = ChannelBand(colour, tolerance, 0);
  const Band green = ChannelBand(colour, tolerance, 8);
  const Band blue = ChannelBand(colour, tolerance, 16);
  auto transparent = [&](uint32_t pixel) {
    return Inside((pixel >> 16) & 0xFF, red) && Inside((pixel >> 8) & 0xFF, green) && Inside(pixel & 0xFF, blue);
  };

  for (int y = 0; y < height; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
    int x = 0;
    while (x < width) {
      while (x < width && transparent(row[x])) ++x;
      if (x == width) break;
      const int start = x;
      while (x < width && !transparent(row[x])) ++x;
      if (batches.back().size() == limit) batches.emplace_back();
      batches.back().push_back({start, y, x, y + 1});
    }
  }
  return batches;
}

}  // namespace skin
