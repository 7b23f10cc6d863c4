// Morrow.dll: the screen areas Glimmora captures and the saver covers.
#pragma once

#include "libs/export.h"

struct MorrowRegion {
  int left;
  int top;
  int width;
  int height;
};

// The virtual screen: all monitors together, in screen coordinates.
GLIMMORA_LIB_API void MorrowVirtualScreen(MorrowRegion* region);

// Cuts `region` down to its part inside `bounds`; returns 1 when something
// is left, 0 when the region is empty (it is then set to zero size).
GLIMMORA_LIB_API int MorrowClip(MorrowRegion* region, const MorrowRegion* bounds);
