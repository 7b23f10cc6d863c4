// PNG files with alpha: 8-bit RGBA, not interlaced, one zlib stream.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace skingen {

std::vector<uint8_t> EncodePng(const Canvas& canvas);

}  // namespace skingen
