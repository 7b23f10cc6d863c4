#include "libs/morrow.h"

#include <windows.h>

#include <algorithm>

void MorrowVirtualScreen(MorrowRegion* region) {
  if (!region) return;
  region->left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  region->top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  region->width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  region->height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (region->width <= 0 || region->height <= 0) {  // systems before multiple monitors
    region->left = 0;
    region->top = 0;
    region->width = GetSystemMetrics(SM_CXSCREEN);
    region->height = GetSystemMetrics(SM_CYSCREEN);
  }
}

int MorrowClip(MorrowRegion* region, const MorrowRegion* bounds) {
  if (!region || !bounds) return 0;
  const int left = std::max(region->left, bounds->left);
  const int top = std::max(region->top, bounds->top);
  const int right = std::min(region->left + region->width, bounds->left + bounds->width);
  const int bottom = std::min(region->top + region->height, bounds->top + bounds->height);
  if (right <= left || bottom <= top) {
    *region = MorrowRegion{left, top, 0, 0};
    return 0;
  }
  *region = MorrowRegion{left, top, right - left, bottom - top};
  return 1;
}
