// Display scale: skin coordinates are pixels of a 96-dots-per-inch screen.
#pragma once

namespace skin {

// LOGPIXELSX / 96 and LOGPIXELSY / 96, set once by the skin manager; 1.0
// until then. A dpi of 0 or less reads as 96.
extern double ScaleX;
extern double ScaleY;
void SetScaleFromDpi(int dpi_x, int dpi_y);

// Design pixels to device pixels, truncated toward zero.
int ScaledX(double design);
int ScaledY(double design);
// Device pixels to design pixels at `dpi`, not rounded (0 or less reads as 96).
double ToDesign(double device, int dpi);

}  // namespace skin
