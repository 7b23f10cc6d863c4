#include "skin/core/combomath.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace skin {

namespace {

constexpr int kEndDesignWidth = 12;
constexpr int kPlacedRoom = 65;
constexpr int kGrownEnds = 6;

int Truncated(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

int Saturated(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace

int ComboEndWidth(double scale_x) { return Truncated(kEndDesignWidth * scale_x); }

ComboPieces ComboPieceLayout(int width, int height, double scale_x) {
  const int end = ComboEndWidth(scale_x);
  const int middle = Saturated(static_cast<int64_t>(width) - 3 * static_cast<int64_t>(end));
  return {{0, 0, end, height},
          {end, 0, std::max(0, middle), height},
          {Saturated(static_cast<int64_t>(width) - 2 * static_cast<int64_t>(end)), 0,
           Saturated(2 * static_cast<int64_t>(end)), height}};
}

int ComboPlacedWidth(double scale_x, int widest_text) {
  return Saturated(static_cast<int64_t>(Truncated(kPlacedRoom * scale_x)) + widest_text);
}

int ComboGrownWidth(double scale_x, int text_width) {
  return Saturated(kGrownEnds * static_cast<int64_t>(ComboEndWidth(scale_x)) + text_width);
}

SpinPart SpinPartAt(int x, int y, int width, int height, bool horizontal) {
  if (x < 0 || y < 0 || x >= width || y >= height) return SpinPart::kNone;
  const int along = horizontal ? x : y;
  const int extent = horizontal ? width : height;
  return along < extent / 2 ? SpinPart::kFirst : SpinPart::kSecond;
}

Piece SpinPartRect(SpinPart part, int width, int height, bool horizontal) {
  if (part == SpinPart::kNone || width <= 0 || height <= 0) return {0, 0, 0, 0};
  const int extent = horizontal ? width : height;
  const int first = extent / 2;
  const int start = part == SpinPart::kFirst ? 0 : first;
  const int length = part == SpinPart::kFirst ? first : extent - first;
  return horizontal ? Piece{start, 0, length, height} : Piece{0, start, width, length};
}

int SpinImageColumn(SpinPart part, bool pressed, bool hot) {
  if (part == SpinPart::kNone) return -1;
  const int state = pressed ? 2 : hot ? 1 : 0;
  return (part == SpinPart::kFirst ? 0 : 3) + state;
}

}  // namespace skin
