// Windows icon files: several sizes of one picture, each stored as a 32-bit
// bitmap with alpha and an AND mask, the form every Windows version reads
// (icons holding PNG images need Vista or later).
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace skingen {

std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& sizes);

}  // namespace skingen
