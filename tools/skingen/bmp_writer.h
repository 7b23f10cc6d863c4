// Windows bitmap files as the platform's plain file loader reads them:
// 24 bits a pixel, no compression, rows bottom-up, each padded to 4 bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace skingen {

// A bitmap has no alpha: any pixel that is not opaque is laid over black.
std::vector<uint8_t> EncodeBmp(const Canvas& canvas);

}  // namespace skingen
