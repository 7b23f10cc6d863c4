// The skinned scroll bar's arithmetic: strip cells, where the arrows, pages
// and thumb lie, what a point hits, where a dragged thumb lands, how the
// thumb is cut from its cell, and where the frame puts the bars and the clip
// around a hosted control. Degenerate states (no range, a page larger than
// the range, no strip) must neither divide by zero nor draw a thumb.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "skin/core/scrollmath.h"

namespace {

using skin::AxisCopy;
using skin::Box;
using skin::ScrollState;

// The shipped strip is 189 x 63: 21-pixel cells, so 21-pixel bars.
constexpr int kCell = 21;

ScrollState State(int min, int max, unsigned page, int pos, int track = -1) {
  ScrollState state;
  state.min = min;
  state.max = max;
  state.page = page;
  state.pos = pos;
  state.track_pos = track;
  return state;
}

std::string Describe(const ScrollState& s) {
  return "min " + std::to_string(s.min) + " max " + std::to_string(s.max) + " page " + std::to_string(s.page) +
         " pos " + std::to_string(s.pos) + " track " + std::to_string(s.track_pos);
}

TEST(SkinScrollMath, StripCellIsANinthOfTheWidth) {
  const struct {
    int width;
    int cell;
  } cases[] = {{189, 21}, {190, 21}, {9, 1}, {8, 0}, {0, 0}, {-189, 0}};
  for (const auto& c : cases) EXPECT_EQ(skin::StripCell(c.width), c.cell) << c.width;
}

TEST(SkinScrollMath, PartsTakeTheirStripColumns) {
  const struct {
    int part;
    int vertical;
    int horizontal;
  } cases[] = {
      {skin::kScrollLineUp, 0, 4},   {skin::kScrollLineDown, 1, 5}, {skin::kScrollThumb, 2, 6},
      {skin::kScrollPageUp, 3, 7},   {skin::kScrollPageDown, 3, 7}, {skin::kScrollNoPart, -1, -1},
      {4 /* SB_THUMBPOSITION */, -1, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(skin::StripColumn(c.part, false), c.vertical) << c.part;
    EXPECT_EQ(skin::StripColumn(c.part, true), c.horizontal) << c.part;
  }
}

TEST(SkinScrollMath, LayoutAlongTheBar) {
  const struct {
    ScrollState state;
    int length;
    int cell;
    int interval, arrow, thumb_start, thumb_length;
  } cases[] = {
      // 10 of 100 lines on a 210-pixel bar: 16 pixels of the 168 between the arrows.
      {State(0, 99, 10, 0), 210, kCell, 168, 21, 21, 16},
      {State(0, 99, 10, 90), 210, kCell, 168, 21, 173, 16},  // ends at 189, where the second arrow begins
      {State(0, 99, 10, 45), 210, kCell, 168, 21, 97, 16},
      {State(0, 99, 10, 0, 90), 210, kCell, 168, 21, 173, 16},  // a dragged thumb follows the track position
      {State(0, 9999, 1, 0), 210, kCell, 168, 21, 21, 3},       // never thinner than 3 pixels
      // The page covers the whole range: no thumb, its empty slot centred.
      {State(0, 99, 100, 0), 210, kCell, 168, 21, 105, 0},
      // Degenerate states: no thumb and nothing divided by zero.
      {State(0, 99, 250, 40), 210, kCell, 168, 21, 105, 0},    // the page is larger than the range
      {State(5, 4, 0, 5), 210, kCell, 168, 21, 105, 0},        // a range of zero values
      {State(10, 0, 3, 2), 210, kCell, 168, 21, 105, 0},       // a range below zero
      {State(0, 99, 10, 500), 210, kCell, 168, 21, 173, 16},   // a position beyond the range stays on the bar
      {State(0, 99, 10, -40), 210, kCell, 168, 21, 21, 16},
      {State(INT_MIN, INT_MAX, UINT_MAX, INT_MAX), 210, kCell, 168, 21, 22, 167},
      {State(0, 99, 10, 0), 30, kCell, 0, 15, 15, 0},  // shorter than two arrows: they share the bar
      {State(0, 99, 10, 0), 44, kCell, 2, 21, 21, 0},  // no room for a thumb
      {State(0, 99, 10, 0), 0, kCell, 0, 0, 0, 0},
      {State(0, 99, 10, 0), -5, kCell, 0, 0, 0, 0},
      {State(0, 99, 10, 0), 210, 0, 210, 0, 0, 21},  // a strip that failed to load (cell 0)
  };
  for (const auto& c : cases) {
    const skin::ScrollLayout layout = skin::LayoutScrollBar(c.state, c.length, c.cell);
    SCOPED_TRACE(Describe(c.state) + " length " + std::to_string(c.length) + " cell " + std::to_string(c.cell));
    EXPECT_EQ(layout.interval, c.interval);
    EXPECT_EQ(layout.arrow_length, c.arrow);
    EXPECT_EQ(layout.thumb_start, c.thumb_start);
    EXPECT_EQ(layout.thumb_length, c.thumb_length);
    // The five parts follow one another and cover the bar.
    const int length = c.length > 0 ? c.length : 0;
    EXPECT_EQ(layout.first_arrow.begin, 0);
    EXPECT_EQ(layout.first_arrow.end, layout.page_up.begin);
    EXPECT_EQ(layout.page_up.end, layout.thumb.begin);
    EXPECT_EQ(layout.thumb.end, layout.page_down.begin);
    EXPECT_EQ(layout.page_down.end, layout.second_arrow.begin);
    EXPECT_EQ(layout.second_arrow.end, length);
    EXPECT_EQ(layout.second_arrow.length(), layout.arrow_length);
    EXPECT_LE(layout.thumb.end, layout.second_arrow.begin);
  }
}

TEST(SkinScrollMath, HitTestFindsThePartUnderAPoint) {
  const ScrollState top = State(0, 99, 10, 0);
  const ScrollState bottom = State(0, 99, 10, 90);
  const ScrollState no_range = State(5, 4, 0, 5);
  const struct {
    ScrollState state;
    int coordinate;
    int part;
  } cases[] = {
      {top, -1, skin::kScrollNoPart},         {top, 0, skin::kScrollLineUp},
      {top, 20, skin::kScrollLineUp},         {top, 21, skin::kScrollThumb},
      {top, 36, skin::kScrollThumb},          {top, 37, skin::kScrollPageDown},
      {top, 188, skin::kScrollPageDown},      {top, 189, skin::kScrollLineDown},
      {top, 209, skin::kScrollLineDown},      {top, 210, skin::kScrollNoPart},
      {bottom, 100, skin::kScrollPageUp},     {bottom, 172, skin::kScrollPageUp},
      {bottom, 173, skin::kScrollThumb},      {bottom, 189, skin::kScrollLineDown},
      // Nothing to scroll: the hit test still keeps a 3-pixel thumb in the middle.
      {no_range, 102, skin::kScrollPageUp},   {no_range, 103, skin::kScrollThumb},
      {no_range, 105, skin::kScrollThumb},    {no_range, 106, skin::kScrollPageDown},
      {State(0, 99, 100, 0), 30, skin::kScrollThumb},  // a page covering the range fills the slot
  };
  for (const auto& c : cases) {
    EXPECT_EQ(skin::HitTestScrollBar(c.state, 210, kCell, c.coordinate), c.part)
        << Describe(c.state) << " at " << c.coordinate;
  }
}

TEST(SkinScrollMath, DraggedThumbMovesByTheScrollableShareAndClamps) {
  const struct {
    ScrollState state;
    int length;
    int cell;
    int drag_position;
    int delta;
    int position;
  } cases[] = {
      {State(0, 99, 10, 0), 210, kCell, 0, 76, 45},     // half of the 152 pixels the thumb can slide
      {State(0, 99, 10, 0), 210, kCell, 0, 152, 90},
      {State(0, 99, 10, 0), 210, kCell, 0, 1000, 90},   // beyond the end: max - min - page + 1
      {State(0, 99, 10, 45), 210, kCell, 45, -1000, 0},
      {State(0, 99, 10, 45), 210, kCell, 45, 0, 45},
      // The upper end subtracts the lower one once more, as the clamp is written.
      {State(5, 104, 10, 5), 210, kCell, 5, 1000, 90},
      {State(5, 104, 10, 5), 210, kCell, 5, -1000, 5},
      // Degenerate: nothing to scroll, or no room to slide; the lower end wins.
      {State(0, 99, 100, 0), 210, kCell, 0, 80, 0},
      {State(0, 99, 250, 0), 210, kCell, 0, 80, 0},
      {State(5, 4, 0, 5), 210, kCell, 5, 80, 5},
      {State(10, 0, 3, 2), 210, kCell, 2, -80, 10},
      {State(0, 99, 10, 0), 42, kCell, 7, 30, 7},  // no interval: the slide is 0
      {State(0, 99, 10, 0), 0, 0, 7, 30, 7},
      {State(0, 99, 10, 0), 210, 0, 0, 30, 14},    // no strip: the whole bar is the interval
      {State(INT_MIN, INT_MAX, 0, 0), 210, kCell, INT_MAX, 30000, INT_MAX},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(skin::DragPosition(c.state, c.length, c.cell, c.drag_position, c.delta), c.position)
        << Describe(c.state) << " length " << c.length << " from " << c.drag_position << " by " << c.delta;
  }
}

TEST(SkinScrollMath, LastPositionIsWhereThePageReachesTheEnd) {
  const struct {
    ScrollState state;
    int last;
  } cases[] = {
      {State(0, 99, 10, 0), 90},   {State(0, 99, 1, 0), 99},  {State(0, 99, 0, 0), 99},
      {State(0, 99, 250, 0), 0},   {State(5, 4, 0, 5), 5},    {State(INT_MIN, INT_MAX, UINT_MAX, 0), INT_MIN + 1},
  };
  for (const auto& c : cases) EXPECT_EQ(skin::LastScrollPosition(c.state), c.last) << Describe(c.state);
}

// Copies as (dest, source, length) triples, which gtest compares and prints.
using Copies = std::vector<std::tuple<int, int, int>>;
Copies Flat(const std::vector<AxisCopy>& copies) {
  Copies flat;
  for (const AxisCopy& copy : copies) flat.emplace_back(copy.dest, copy.source, copy.length);
  return flat;
}

TEST(SkinScrollMath, ThumbIsCutFromItsCellEndsAndTiledMiddle) {
  const struct {
    int start, length, cell;
    Copies copies;
  } cases[] = {
      {21, 16, 21, {{21, 0, 3}, {34, 18, 3}, {24, 3, 10}}},
      {21, 40, 21, {{21, 0, 3}, {58, 18, 3}, {24, 3, 15}, {39, 3, 15}, {54, 3, 4}}},
      {21, 6, 21, {{21, 0, 3}, {24, 18, 3}}},
      {21, 4, 21, {{21, 0, 3}, {22, 18, 3}}},  // the ends overlap, nothing overruns the thumb
      {21, 3, 21, {{21, 0, 3}, {21, 18, 3}}},
      {21, 2, 21, {}},  // too short to draw
      {21, 0, 21, {}},
      {21, 16, 6, {}},  // a cell without a middle
      {21, 16, 0, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Flat(skin::ThumbCopies(c.start, c.length, c.cell)), c.copies)
        << c.start << "+" << c.length << " cell " << c.cell;
  }
}

TEST(SkinScrollMath, HostedBarsReplaceTheNativeOnesByCellSizedOnes) {
  // A 250 x 300 control whose native bars are 16 pixels thick: its client
  // area as the system proposes it, then as the frame makes it.
  const struct {
    const char* what;
    Box proposed;
    bool vertical, horizontal, left;
    Box client, vertical_bar, horizontal_bar;
    int corner;
  } cases[] = {
      {"vertical on the right", {0, 0, 234, 300}, true, false, false,
       {0, 0, 228, 300}, {228, 0, 249, 300}, {0, 300, 228, 321}, skin::kNoCorner},
      {"both on the right", {0, 0, 234, 284}, true, true, false,
       {0, 0, 228, 279}, {228, 0, 249, 279}, {0, 279, 228, 300}, skin::kCornerBottomRight},
      {"vertical on the left", {16, 0, 250, 300}, true, false, true,
       {26, 0, 250, 300}, {5, 0, 26, 300}, {26, 300, 250, 321}, skin::kNoCorner},
      {"both on the left", {16, 0, 250, 284}, true, true, true,
       {26, 0, 250, 279}, {5, 0, 26, 279}, {26, 279, 250, 300}, skin::kCornerBottomLeft},
      {"horizontal only", {0, 0, 250, 284}, false, true, false,
       {0, 0, 250, 279}, {250, 0, 271, 279}, {0, 279, 250, 300}, skin::kNoCorner},
      {"none", {0, 0, 250, 300}, false, false, false,
       {0, 0, 250, 300}, {250, 0, 271, 300}, {0, 300, 250, 321}, skin::kNoCorner},
  };
  for (const auto& c : cases) {
    const skin::HostedBars bars = skin::LayoutHostedBars(c.proposed, c.vertical, c.horizontal, c.left, 16, kCell);
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(bars.client == c.client);
    EXPECT_TRUE(bars.vertical == c.vertical_bar);
    EXPECT_TRUE(bars.horizontal == c.horizontal_bar);
    EXPECT_EQ(bars.corner, c.corner);
  }
}

TEST(SkinScrollMath, LimitCutsAwayWhereTheNativeBarsAreDrawn) {
  const struct {
    const char* what;
    bool horizontal_shown, vertical, left;
    Box limit;
    int control_x;
  } cases[] = {
      // A 251-pixel frame: the clip ends at 228, where the skinned bar of
      // the case above begins and the native one is drawn.
      {"vertical on the right", false, true, false, {0, 0, 228, 300}, 0},
      {"both on the right", true, true, false, {0, 0, 228, 279}, 0},
      {"vertical on the left", false, true, true, {21, 0, 251, 300}, -21},
      {"horizontal only", true, false, false, {0, 0, 251, 279}, 0},
      {"none", false, false, false, {0, 0, 251, 300}, 0},
  };
  for (const auto& c : cases) {
    const skin::LimitPlacement placement = skin::LayoutLimit(251, 300, c.horizontal_shown, c.vertical, c.left, kCell);
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(placement.limit == c.limit);
    EXPECT_EQ(placement.control_x, c.control_x);
  }
}

TEST(SkinScrollMath, CornerSquareSitsWhereBothBarsMeet) {
  EXPECT_TRUE(skin::CornerBox(251, 300, skin::kCornerBottomRight, kCell) == (Box{230, 279, 251, 300}));
  EXPECT_EQ(skin::CornerRow(skin::kCornerBottomRight), 0);
  EXPECT_TRUE(skin::CornerBox(251, 300, skin::kCornerBottomLeft, kCell) == (Box{0, 279, 21, 300}));
  EXPECT_EQ(skin::CornerRow(skin::kCornerBottomLeft), 1);
  EXPECT_TRUE(skin::CornerBox(251, 300, skin::kNoCorner, kCell) == Box{});
}

}  // namespace
