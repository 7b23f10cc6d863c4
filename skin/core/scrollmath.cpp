#include "skin/core/scrollmath.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace skin {
namespace {

// Ranges and pages come from other windows' scroll state and may be
// anything: the arithmetic runs in 64 bits and comes back clamped.
int ToInt(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX)); }

// Values in a range: max + 1 - min; 0 or less is no range at all.
int64_t RangeOf(const ScrollState& state) { return int64_t{state.max} + 1 - state.min; }
// How far the page can travel: the range less the page; 0 or less means it
// cannot travel at all.
int64_t ScrollableOf(const ScrollState& state) { return RangeOf(state) - int64_t{state.page}; }

int64_t IntervalOf(int length, int cell) { return std::max<int64_t>(int64_t{length} - 2 * int64_t{cell}, 0); }

// The page's share of the interval, never more than the interval.
int64_t ProportionalThumb(const ScrollState& state, int64_t interval) {
  const int64_t range = RangeOf(state);
  if (range <= 0) return 0;
  return std::min<int64_t>(static_cast<int64_t>(uint64_t{state.page} * static_cast<uint64_t>(interval) /
                                                static_cast<uint64_t>(range)),
                           interval);
}

}  // namespace

int StripCell(int strip_width) { return strip_width > 0 ? strip_width / kStripColumns : 0; }

int StripColumn(int part, bool horizontal) {
  int column = -1;
  switch (part) {
    case kScrollLineUp: column = 0; break;
    case kScrollLineDown: column = 1; break;
    case kScrollThumb: column = 2; break;
    case kScrollPageUp:
    case kScrollPageDown: column = 3; break;
    default: return -1;
  }
  return horizontal ? column + 4 : column;
}

AxisSpan ScrollLayout::Of(int part) const {
  switch (part) {
    case kScrollLineUp: return first_arrow;
    case kScrollLineDown: return second_arrow;
    case kScrollPageUp: return page_up;
    case kScrollPageDown: return page_down;
    case kScrollThumb: return thumb;
    default: return {};
  }
}

ScrollLayout LayoutScrollBar(const ScrollState& state, int length, int cell, LayoutUse use) {
  const int64_t bar = std::max(length, 0);
  const int64_t side = std::max(cell, 0);
  const int64_t interval = IntervalOf(static_cast<int>(bar), static_cast<int>(side));
  const int64_t scrollable = ScrollableOf(state);

  int64_t thumb = ProportionalThumb(state, interval);
  const bool has_room = interval > 2;
  // A thumb is drawn only when the page can travel; the hit test keeps a
  // slot for it all the same.
  const bool has_thumb = use == LayoutUse::kHitTest ? has_room : has_room && scrollable > 0;
  thumb = has_thumb ? std::max<int64_t>(thumb, 3) : 0;

  const int64_t arrow = interval == 0 ? bar / 2 : side;
  const int64_t slide = interval - thumb;
  int64_t start = arrow + slide / 2;
  if (scrollable > 0) {
    const int64_t at = state.track_pos != -1 ? state.track_pos : state.pos;
    start = arrow + at * slide / scrollable;
  }
  // A position outside the range (or a range not starting at 0) must not
  // push the thumb over an arrow or off the bar.
  start = std::clamp<int64_t>(start, arrow, arrow + slide);

  ScrollLayout layout;
  layout.interval = ToInt(interval);
  layout.arrow_length = ToInt(arrow);
  layout.thumb_start = ToInt(start);
  layout.thumb_length = ToInt(thumb);
  const int first_end = layout.arrow_length;
  const int second_begin = ToInt(bar - arrow);
  const int thumb_end = ToInt(start + thumb);
  layout.first_arrow = {0, first_end};
  layout.page_up = {first_end, layout.thumb_start};
  layout.thumb = {layout.thumb_start, thumb_end};
  layout.page_down = {thumb_end, second_begin};
  layout.second_arrow = {second_begin, ToInt(bar)};
  return layout;
}

int HitTestScrollBar(const ScrollState& state, int length, int cell, int coordinate) {
  if (coordinate < 0) return kScrollNoPart;
  const ScrollLayout layout = LayoutScrollBar(state, length, cell, LayoutUse::kHitTest);
  const int order[] = {kScrollLineUp, kScrollPageUp, kScrollThumb, kScrollPageDown, kScrollLineDown};
  for (int part : order) {
    if (layout.Of(part).contains(coordinate)) return part;
  }
  return kScrollNoPart;
}

int DragPosition(const ScrollState& state, int length, int cell, int drag_position, int delta) {
  const int64_t interval = IntervalOf(length, std::max(cell, 0));
  const int64_t thumb = interval < 3 ? 0 : std::max<int64_t>(ProportionalThumb(state, interval), 3);
  const int64_t slide = interval - thumb;
  int64_t position = drag_position;
  if (slide != 0) position += ScrollableOf(state) * delta / slide;
  const int64_t upper = int64_t{state.max} - state.min - int64_t{state.page} + 1;
  position = std::min(position, upper);
  position = std::max<int64_t>(position, state.min);
  return ToInt(position);
}

int LastScrollPosition(const ScrollState& state) {
  const int64_t last = state.page > 0 ? int64_t{state.max} - int64_t{state.page} + 1 : int64_t{state.max};
  return ToInt(std::max<int64_t>(last, state.min));
}

std::vector<AxisCopy> ThumbCopies(int thumb_start, int thumb_length, int cell) {
  constexpr int kEnd = 3;
  std::vector<AxisCopy> copies;
  const int middle = cell - 2 * kEnd;
  if (thumb_length < kEnd || middle <= 0) return copies;
  const int64_t end = int64_t{thumb_start} + thumb_length;
  copies.push_back({thumb_start, 0, kEnd});
  copies.push_back({ToInt(end - kEnd), cell - kEnd, kEnd});
  for (int64_t at = int64_t{thumb_start} + kEnd; at < end - kEnd; at += middle) {
    copies.push_back({ToInt(at), kEnd, ToInt(std::min<int64_t>(middle, end - kEnd - at))});
  }
  return copies;
}

HostedBars LayoutHostedBars(const Box& client, bool vertical, bool horizontal, bool left_scroll, int system_bar,
                            int cell) {
  HostedBars bars;
  Box r = client;
  // The client area grows or shrinks by the difference between the native
  // bar and the cell, so the text ends where the skinned bar begins and the
  // native bar, drawn next to the client area, falls under the clip.
  if (vertical) {
    if (left_scroll) {
      r.left += cell - system_bar + 5;
    } else {
      r.right += system_bar - cell - 1;
    }
  }
  if (horizontal) r.bottom += system_bar - cell;
  bars.client = r;
  bars.vertical = left_scroll ? Box{r.left - cell, 0, r.left, r.bottom} : Box{r.right, 0, r.right + cell, r.bottom};
  bars.horizontal =
      left_scroll ? Box{r.left, r.bottom, r.right, r.bottom + cell} : Box{0, r.bottom, r.right, r.bottom + cell};
  bars.corner = vertical && horizontal ? (left_scroll ? kCornerBottomLeft : kCornerBottomRight) : kNoCorner;
  return bars;
}

LimitPlacement LayoutLimit(int width, int height, bool horizontal_bar_shown, bool vertical, bool left_scroll,
                           int cell) {
  LimitPlacement placement;
  placement.limit = {0, 0, width, height};
  if (horizontal_bar_shown) placement.limit.bottom -= cell;
  if (vertical) {
    if (left_scroll) {
      placement.limit.left += cell;
      placement.control_x -= cell;
    } else {
      placement.limit.right -= cell + 2;
    }
  }
  return placement;
}

Box CornerBox(int width, int height, int corner, int cell) {
  switch (corner) {
    case kCornerBottomLeft: return {0, height - cell, cell, height};
    case kCornerBottomRight: return {width - cell, height - cell, width, height};
    default: return {};
  }
}

int CornerRow(int corner) { return corner == kCornerBottomLeft ? 1 : 0; }

}  // namespace skin
