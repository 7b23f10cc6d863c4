// The geometry of the skinned combo box and up-down control, kept apart from
// drawing so that odd sizes and scales can be checked on any machine.
#pragma once

namespace skin {

struct Piece {
  int x, y, width, height;
};

// The closed combo box is three pictures: a left end e wide, a right end
// 2e wide and a stretched middle between them, where e is 12 design pixels
// at `scale_x`, truncated. The middle never gets a negative width (a box
// narrower than 3e lets the ends overlap instead).
struct ComboPieces {
  Piece left, middle, right;
};
int ComboEndWidth(double scale_x);
ComboPieces ComboPieceLayout(int width, int height, double scale_x);

// Width of a box placed by its skin line: 65 design pixels (truncated) plus
// the widest text; of a box that grows for a new widest text: six ends plus
// that text. Both saturate at the int range instead of overflowing.
int ComboPlacedWidth(double scale_x, int widest_text);
int ComboGrownWidth(double scale_x, int text_width);

// The two halves of an up-down control: the first is the upper one (the
// left one of a horizontal control), the second takes the odd pixel.
enum class SpinPart { kNone = -1, kFirst = 0, kSecond = 1 };
SpinPart SpinPartAt(int x, int y, int width, int height, bool horizontal);
Piece SpinPartRect(SpinPart part, int width, int height, bool horizontal);
// The skin-line column of the picture a half shows: 0..2 are the first
// half normal, under the pointer, pressed; 3..5 the second half the same.
// Pressed wins over the pointer; kNone has no picture (-1).
int SpinImageColumn(SpinPart part, bool pressed, bool hot);

}  // namespace skin
