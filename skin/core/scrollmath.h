// The geometry of the skinned scroll bar and of the frame that gives a
// native control such bars: where each part lies along a bar, which part a
// point hits, where a dragged thumb puts the position, which cell of the
// strip a part is drawn from, and where the bars and the clipping window go.
// Kept apart from drawing so that odd ranges, pages and sizes can be checked
// on any machine; none of it divides by zero or reads outside the strip.
#pragma once

#include <vector>

namespace skin {

// A bar's own scroll state, as a SCROLLINFO holds it. track_pos is -1 while
// no thumb is dragged.
struct ScrollState {
  int min = 0;
  int max = 0;
  unsigned page = 0;
  int pos = 0;
  int track_pos = -1;
};

// The parts of a bar, named by the scroll code each one sends.
enum ScrollPart : int {
  kScrollNoPart = -1,
  kScrollLineUp = 0,    // the first arrow
  kScrollLineDown = 1,  // the second arrow
  kScrollPageUp = 2,    // the track before the thumb
  kScrollPageDown = 3,  // the track after it
  kScrollThumb = 5,
};

// The strip: 9 columns by 3 rows of square cells. Columns 0..3 are a
// vertical bar's arrows, thumb and track, 4..7 the same for a horizontal
// bar, 8 the corner square; rows are the normal, hot and pressed looks.
constexpr int kStripColumns = 9;
constexpr int kStripRows = 3;
constexpr int kCornerColumn = 8;
enum StripRow : int { kRowNormal = 0, kRowHot = 1, kRowPressed = 2 };

// The side of one cell of a strip `strip_width` pixels wide; 0 (nothing can
// be drawn from it) for a strip narrower than 9 pixels or none at all.
int StripCell(int strip_width);
// The strip column a part is drawn from: the arrows their own, the thumb its
// own, both page areas the track; -1 for no part.
int StripColumn(int part, bool horizontal);

// A stretch along a bar's axis, begin included, end excluded.
struct AxisSpan {
  int begin = 0;
  int end = 0;
  int length() const { return end > begin ? end - begin : 0; }
  bool contains(int coordinate) const { return coordinate >= begin && coordinate < end; }
};

struct ScrollLayout {
  int interval = 0;      // room between the arrows
  int arrow_length = 0;  // each arrow along the axis
  int thumb_start = 0;
  int thumb_length = 0;  // 0: no thumb
  AxisSpan first_arrow, page_up, thumb, page_down, second_arrow;

  // The span of a part; empty for no part.
  AxisSpan Of(int part) const;
};

// Painting draws no thumb when the page covers the whole range or more;
// hit-testing keeps a 3-pixel thumb slot in the middle then, so a click
// there is taken for the thumb, not for a page.
enum class LayoutUse { kPaint, kHitTest };

// The parts of a bar `length` pixels long with arrows of `cell` pixels, in
// order along the axis. The thumb is proportional to the page (at least 3
// pixels where the room allows), placed by the track position while one is
// set, else by the position, and always kept between the arrows. A range of
// one value or less, or a page larger than the range, gives no thumb.
ScrollLayout LayoutScrollBar(const ScrollState& state, int length, int cell, LayoutUse use = LayoutUse::kPaint);

// The part under `coordinate` along the axis; no part for a negative
// coordinate or one beyond the bar.
int HitTestScrollBar(const ScrollState& state, int length, int cell, int coordinate);

// The position a thumb dragged by `delta` pixels from where it was grabbed
// at `drag_position` stands for, clamped to [min, max - min - page + 1]
// (the lower end wins when the range is smaller than the page).
int DragPosition(const ScrollState& state, int length, int cell, int drag_position, int delta);

// The last position the page can scroll to: max - page + 1 (max for no
// page), never below min. Holding the second arrow stops there.
int LastScrollPosition(const ScrollState& state);

// One copy along the axis: `length` pixels of the cell from `source` (along
// the cell) to `dest` (along the bar).
struct AxisCopy {
  int dest;
  int source;
  int length;
};
// The thumb drawn from its cell: the cell's first 3 pixels at the thumb's
// start, its last 3 at the thumb's end, and the cell's middle tiled over the
// rest. Nothing for a thumb shorter than 3 pixels or a cell too small to
// have a middle (under 7 pixels).
std::vector<AxisCopy> ThumbCopies(int thumb_start, int thumb_length, int cell);

// Rectangles of the hosted control's parent or of the frame.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Box& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

// Corner square: none, bottom-left (a left-hand vertical bar), bottom-right.
enum CornerKind : int { kNoCorner = 0, kCornerBottomLeft = 1, kCornerBottomRight = 2 };

// What the hosted control's client area becomes once its native bars
// (`system_bar` pixels thick) make room for cell-sized skinned ones, and
// where those go, from the client rectangle the control proposed.
struct HostedBars {
  Box client;
  Box vertical;
  Box horizontal;
  int corner = kNoCorner;
};
HostedBars LayoutHostedBars(const Box& client, bool vertical, bool horizontal, bool left_scroll, int system_bar,
                            int cell);

// The clipping window's rectangle in a frame of `width` x `height`, and the
// hosted control's x inside it: the clip cuts away the strip where the
// native bars are drawn, while the control keeps its full size.
struct LimitPlacement {
  Box limit;
  int control_x = 0;
};
LimitPlacement LayoutLimit(int width, int height, bool horizontal_bar_shown, bool vertical, bool left_scroll,
                           int cell);

// The frame's corner square, and the strip row it is copied from.
Box CornerBox(int width, int height, int corner, int cell);
int CornerRow(int corner);

}  // namespace skin
