#include "skin/core/scale.h"

#include <climits>
#include <cmath>

namespace skin {

double ScaleX = 1.0;
double ScaleY = 1.0;

namespace {

constexpr double kDesignDpi = 96.0;

double Dpi(int dpi) { return dpi > 0 ? dpi : kDesignDpi; }

// Truncation toward zero; a value no int can hold would be undefined to
// convert, so it stops at the int range (and "not a number" reads 0).
int Truncated(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

void SetScaleFromDpi(int dpi_x, int dpi_y) {
  ScaleX = Dpi(dpi_x) / kDesignDpi;
  ScaleY = Dpi(dpi_y) / kDesignDpi;
}

int ScaledX(double design) { return Truncated(design * ScaleX); }
int ScaledY(double design) { return Truncated(design * ScaleY); }

double ToDesign(double device, int dpi) { return device * kDesignDpi / Dpi(dpi); }

}  // namespace skin
