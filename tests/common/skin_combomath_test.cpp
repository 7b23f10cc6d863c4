// The geometry of the skinned combo box and up-down control: the closed
// box's three pieces, its two width rules at the display scales in use, and
// the halves of an up-down control with the picture each state shows.
#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "skin/core/combomath.h"

namespace {

using skin::Piece;
using skin::SpinPart;

bool Same(const Piece& a, const Piece& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(SkinComboMath, PiecesAreEndsAroundAStretchedMiddle) {
  const struct {
    int width, height;
    double scale;
    Piece left, middle, right;
  } cases[] = {
      // 96 dpi: ends 12 and 24 wide.
      {100, 21, 1.0, {0, 0, 12, 21}, {12, 0, 64, 21}, {76, 0, 24, 21}},
      // 120 dpi: 12 x 1.25 = 15.
      {100, 30, 1.25, {0, 0, 15, 30}, {15, 0, 55, 30}, {70, 0, 30, 30}},
      // 144 dpi: 18.
      {54, 30, 1.5, {0, 0, 18, 30}, {18, 0, 0, 30}, {18, 0, 36, 30}},
      // Narrower than three ends: the middle is empty, never negative.
      {20, 10, 1.0, {0, 0, 12, 10}, {12, 0, 0, 10}, {-4, 0, 24, 10}},
      {0, 0, 1.0, {0, 0, 12, 0}, {12, 0, 0, 0}, {-24, 0, 24, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " at " << c.scale);
    const skin::ComboPieces pieces = skin::ComboPieceLayout(c.width, c.height, c.scale);
    EXPECT_TRUE(Same(pieces.left, c.left));
    EXPECT_TRUE(Same(pieces.middle, c.middle));
    EXPECT_TRUE(Same(pieces.right, c.right));
  }
}

TEST(SkinComboMath, WidthRulesTruncateTheScaledRoomAndAddTheText) {
  const struct {
    double scale;
    int text;
    int placed, grown;
  } cases[] = {
      {1.0, 20, 85, 92},      // the initial widest text
      {1.25, 100, 181, 190},  // 65 x 1.25 = 81.25; 6 x 15
      {1.5, 0, 97, 108},      // 6 x 18
      {1.0, -5, 60, 67},      // nothing measured is ever negative, but it adds up
      {1.0, INT_MAX, INT_MAX, INT_MAX},
      {1e12, 1, INT_MAX, INT_MAX},
      {std::numeric_limits<double>::quiet_NaN(), 7, 7, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.scale << " + " << c.text);
    EXPECT_EQ(skin::ComboPlacedWidth(c.scale, c.text), c.placed);
    EXPECT_EQ(skin::ComboGrownWidth(c.scale, c.text), c.grown);
  }
}

TEST(SkinComboMath, SpinHalvesSplitAlongTheControl) {
  const struct {
    int x, y, width, height;
    bool horizontal;
    SpinPart part;
  } cases[] = {
      {5, 0, 16, 31, false, SpinPart::kFirst},   {5, 14, 16, 31, false, SpinPart::kFirst},
      {5, 15, 16, 31, false, SpinPart::kSecond}, {5, 30, 16, 31, false, SpinPart::kSecond},
      {7, 5, 16, 10, true, SpinPart::kFirst},    {8, 5, 16, 10, true, SpinPart::kSecond},
      {5, 31, 16, 31, false, SpinPart::kNone},   {-1, 5, 16, 31, false, SpinPart::kNone},
      {0, 0, 0, 0, false, SpinPart::kNone},      {0, 0, 1, 1, false, SpinPart::kSecond},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " of " << c.width << "x" << c.height);
    EXPECT_EQ(skin::SpinPartAt(c.x, c.y, c.width, c.height, c.horizontal), c.part);
  }
  // The rectangles cover the control once; the second takes the odd pixel.
  EXPECT_TRUE(Same(skin::SpinPartRect(SpinPart::kFirst, 16, 31, false), {0, 0, 16, 15}));
  EXPECT_TRUE(Same(skin::SpinPartRect(SpinPart::kSecond, 16, 31, false), {0, 15, 16, 16}));
  EXPECT_TRUE(Same(skin::SpinPartRect(SpinPart::kSecond, 31, 10, true), {15, 0, 16, 10}));
  EXPECT_TRUE(Same(skin::SpinPartRect(SpinPart::kNone, 16, 31, false), {0, 0, 0, 0}));
  EXPECT_TRUE(Same(skin::SpinPartRect(SpinPart::kFirst, 0, 31, false), {0, 0, 0, 0}));
}

TEST(SkinComboMath, SpinPictureFollowsThePressThenThePointer) {
  const struct {
    SpinPart part;
    bool pressed, hot;
    int column;
  } cases[] = {
      {SpinPart::kFirst, false, false, 0},  {SpinPart::kFirst, false, true, 1},
      {SpinPart::kFirst, true, true, 2},    {SpinPart::kSecond, false, false, 3},
      {SpinPart::kSecond, false, true, 4},  {SpinPart::kSecond, true, false, 5},
      {SpinPart::kNone, true, true, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(skin::SpinImageColumn(c.part, c.pressed, c.hot), c.column)
        << static_cast<int>(c.part) << c.pressed << c.hot;
  }
}

}  // namespace
