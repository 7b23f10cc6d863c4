#include "skin/skinscrollbar.h"

#include <vector>

#include "skin/core/controlmath.h"
#include "skin/core/skinline.h"
#include "skin/skinbitmap.h"

namespace {

bool IsArrow(int part) { return part == skin::kScrollLineUp || part == skin::kScrollLineDown; }

// Client coordinates are signed 16-bit values: a captured pointer left or
// above the bar is negative.
POINT PointOf(LPARAM lparam) {
  return {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

// Where the pointer is now, in the window's client coordinates: what the
// bar goes by when it loses the capture without a button message.
POINT CursorIn(HWND window) {
  POINT cursor{-1, -1};
  if (::GetCursorPos(&cursor)) ::ScreenToClient(window, &cursor);
  return cursor;
}

// The object is still bound to its window: the parent's handling of a
// notification may destroy the frame that holds this bar, and with it the
// bar object itself.
bool StillBound(HWND window, const fw::CWnd* object) { return fw::CWnd::FromHandlePermanent(window) == object; }

}  // namespace

bool CSkinScrollBar::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
  if (GetSafeHwnd()) return false;
  HWND window = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                  nullptr);
  if (!window) return false;
  if (!SubclassWindow(window)) {
    ::DestroyWindow(window);
    return false;
  }
  return true;
}

void CSkinScrollBar::PreSubclassWindow() {
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  length_ = IsVertical() ? client.bottom : client.right;
}

void CSkinScrollBar::SetStrip(HBITMAP strip) {
  strip_ = strip;
  cell_ = skin::StripCell(GetBitmapWidth(strip));
  HWND window = GetSafeHwnd();
  if (!window) return;
  RECT rect = GetRectInParent();
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  if (IsVertical()) {
    width = cell_;
  } else {
    height = cell_;
  }
  ::MoveWindow(window, rect.left, rect.top, width, height, TRUE);
}

int CSkinScrollBar::LoadSkin(const std::wstring* line, const std::wstring* folder) {
  if (!line || !folder) return 5;
  const std::vector<std::u16string> columns = skin::SplitColumns(std::u16string(line->begin(), line->end()));
  if (columns.empty() || columns[0].empty()) return 0;
  std::u16string path;
  if (!skin::JoinPicturePath(std::u16string(folder->begin(), folder->end()), columns[0], &path)) return 0;
  CSkinBitmap loader;
  fw::ScopedBitmap strip(loader.LoadFromFile(std::wstring(path.begin(), path.end()), RGB(0, 0, 0)));
  // The new strip is in place before the old one goes.
  SetStrip(strip.Get());
  owned_strip_ = std::move(strip);
  Invalidate(false);
  return 0;
}

// ---- geometry ----------------------------------------------------------------

int CSkinScrollBar::HitTest(POINT point) const { return skin::HitTestScrollBar(state_, length_, cell_, Along(point)); }

RECT CSkinScrollBar::SpanRect(const skin::AxisSpan& span) const {
  if (span.length() == 0) return RECT{};
  return IsVertical() ? RECT{0, span.begin, cell_, span.end} : RECT{span.begin, 0, span.end, cell_};
}

RECT CSkinScrollBar::PartRect(int part) const {
  // The mouse goes by the hit-test layout, so a held part's rectangle is
  // the one the press found.
  return SpanRect(skin::LayoutScrollBar(state_, length_, cell_, skin::LayoutUse::kHitTest).Of(part));
}

RECT CSkinScrollBar::IntervalRect() const {
  const skin::ScrollLayout layout = skin::LayoutScrollBar(state_, length_, cell_);
  return SpanRect({layout.first_arrow.end, layout.second_arrow.begin});
}

// ---- state -------------------------------------------------------------------

BOOL CSkinScrollBar::SetInfo(BOOL redraw, const SCROLLINFO* info) {
  if (!info) return FALSE;
  if (info->fMask & SIF_PAGE) state_.page = info->nPage;
  if (info->fMask & SIF_POS) state_.pos = info->nPos;
  if (info->fMask & SIF_RANGE) {
    state_.min = info->nMin;
    state_.max = info->nMax;
  }
  if (redraw) Redraw(IntervalRect());
  return TRUE;
}

BOOL CSkinScrollBar::GetInfo(SCROLLINFO* info) const {
  if (!info) return FALSE;
  if (info->fMask & SIF_PAGE) info->nPage = state_.page;
  if (info->fMask & SIF_POS) info->nPos = state_.pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = state_.track_pos;
  if (info->fMask & SIF_RANGE) {
    info->nMin = state_.min;
    info->nMax = state_.max;
  }
  return TRUE;
}

// ---- messages ----------------------------------------------------------------

LRESULT CSkinScrollBar::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND self = GetSafeHwnd();
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // every pixel is painted from the off-screen copy
    case SBM_SETSCROLLINFO:
      return SetInfo(static_cast<BOOL>(wparam), reinterpret_cast<const SCROLLINFO*>(lparam));
    case SBM_GETSCROLLINFO:
      return GetInfo(reinterpret_cast<SCROLLINFO*>(lparam));
    // The older scroll-bar messages work on the same state: the native
    // bar's would paint it over the skin.
    case SBM_SETPOS: {
      const int old = state_.pos;
      state_.pos = static_cast<int>(wparam);
      if (lparam) Redraw(IntervalRect());
      return old;
    }
    case SBM_GETPOS:
      return state_.pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
      state_.min = static_cast<int>(wparam);
      state_.max = static_cast<int>(lparam);
      if (message == SBM_SETRANGEREDRAW) Redraw(IntervalRect());
      return state_.pos;
    case SBM_GETRANGE:
      if (wparam) *reinterpret_cast<INT*>(wparam) = state_.min;
      if (lparam) *reinterpret_cast<INT*>(lparam) = state_.max;
      return 0;
    case SBM_ENABLE_ARROWS:
      return TRUE;
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_KEYDOWN:
    case WM_KEYUP:
      return 0;  // the native bar would draw its own look or caret here
    case WM_LBUTTONDOWN:
      OnLButtonDown(PointOf(lparam));
      return 0;
    case WM_LBUTTONDBLCLK:
      return 1;
    case WM_LBUTTONUP:
      EndPress(PointOf(lparam));
      if (StillBound(self, this) && ::GetCapture() == self) ::ReleaseCapture();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(PointOf(lparam), true);
      return 0;
    case WM_MOUSELEAVE:
      tracking_leave_ = 0;
      if (!dragging_ && clicked_part_ == skin::kScrollNoPart) OnMouseMove({-1, -1}, false);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != self) EndPress(CursorIn(self));
      return 0;
    case WM_CANCELMODE:
      EndPress(CursorIn(self));
      if (StillBound(self, this) && ::GetCapture() == self) ::ReleaseCapture();
      return 0;
    case WM_TIMER:
      if (wparam == kDelayTimer || wparam == kRepeatTimer) {
        OnTimer(wparam);
        return 0;
      }
      break;
    case WM_SIZE:
      length_ = IsVertical() ? HIWORD(lparam) : LOWORD(lparam);
      break;
    default:
      break;
  }
  return fw::CWnd::WindowProc(message, wparam, lparam);
}

bool CSkinScrollBar::Notify(int code, int position) {
  HWND self = GetSafeHwnd();
  ::SendMessageW(::GetParent(self), IsVertical() ? WM_VSCROLL : WM_HSCROLL,
                 MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(position)), reinterpret_cast<LPARAM>(self));
  return StillBound(self, this);
}

void CSkinScrollBar::OnLButtonDown(POINT point) {
  HWND self = GetSafeHwnd();
  ::SetCapture(self);
  const int part = HitTest(point);
  if (part == skin::kScrollThumb) {
    dragging_ = 1;
    drag_point_ = point;
    state_.track_pos = state_.pos;
    drag_position_ = state_.pos;
    Redraw(IntervalRect());
    return;
  }
  if (part == skin::kScrollNoPart) return;
  clicked_part_ = part;
  paused_ = 0;
  if (!Notify(part, 0)) return;
  ::SetTimer(self, kDelayTimer, kDelayMs, nullptr);
  if (IsArrow(part)) Redraw(PartRect(part));
}

void CSkinScrollBar::OnMouseMove(POINT point, bool arm_leave) {
  if (dragging_) {
    const int position =
        skin::DragPosition(state_, length_, cell_, drag_position_, Along(point) - Along(drag_point_));
    if (position == state_.track_pos) return;
    state_.track_pos = position;
    Redraw(IntervalRect());
    Notify(SB_THUMBTRACK, position);
    return;
  }
  if (clicked_part_ != skin::kScrollNoPart) {
    const RECT held = PartRect(clicked_part_);
    const int was = paused_;
    paused_ = ::PtInRect(&held, point) ? 0 : 1;
    if (IsArrow(clicked_part_) && was != paused_) Redraw(held);
    return;
  }
  if (arm_leave && !tracking_leave_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, GetSafeHwnd(), 1};
    if (::TrackMouseEvent(&track)) tracking_leave_ = 1;
  }
  const int part = point.x < 0 || point.y < 0 ? skin::kScrollNoPart : HitTest(point);
  if (part == hot_part_) return;
  const int old = hot_part_;
  hot_part_ = part;
  // Page areas look the same hot or not; arrows and the thumb change.
  for (int changed : {old, part}) {
    if (IsArrow(changed)) Redraw(PartRect(changed));
    if (changed == skin::kScrollThumb) Redraw(IntervalRect());
  }
}

void CSkinScrollBar::OnTimer(UINT_PTR id) {
  HWND self = GetSafeHwnd();
  if (id == kDelayTimer) {
    repeating_ = 1;
    ::KillTimer(self, kDelayTimer);
    ::SetTimer(self, kRepeatTimer, kRepeatMs, nullptr);
  }
  if (clicked_part_ == skin::kScrollNoPart) {
    // A tick that was already due when the press ended.
    ::KillTimer(self, kRepeatTimer);
    return;
  }
  if (paused_) return;
  switch (clicked_part_) {
    case skin::kScrollLineUp:
      if (state_.pos <= state_.min) {
        ::KillTimer(self, kRepeatTimer);
      } else {
        Notify(SB_LINEUP, 0);
      }
      break;
    case skin::kScrollLineDown:
      // The end is where the page reaches the last value; a control keeps
      // its position there, so waiting for nMax itself would repeat forever.
      if (state_.pos >= skin::LastScrollPosition(state_)) {
        ::KillTimer(self, kRepeatTimer);
      } else {
        Notify(SB_LINEDOWN, 0);
      }
      break;
    case skin::kScrollPageUp:
    case skin::kScrollPageDown: {
      const RECT thumb = PartRect(skin::kScrollThumb);
      const POINT cursor = CursorIn(self);
      if (::PtInRect(&thumb, cursor)) {
        ::KillTimer(self, kRepeatTimer);
      } else {
        Notify(clicked_part_, 0);
      }
      break;
    }
    default:
      break;
  }
}

void CSkinScrollBar::EndPress(POINT point) {
  HWND self = GetSafeHwnd();
  if (dragging_) {
    dragging_ = 0;
    if (!Notify(SB_THUMBPOSITION, state_.track_pos)) return;
    state_.track_pos = -1;
    const RECT thumb = PartRect(skin::kScrollThumb);
    hot_part_ = ::PtInRect(&thumb, point) ? skin::kScrollThumb : skin::kScrollNoPart;
    Redraw(IntervalRect());
    return;
  }
  if (clicked_part_ == skin::kScrollNoPart) return;
  ::KillTimer(self, kRepeatTimer);
  ::KillTimer(self, kDelayTimer);
  repeating_ = 0;
  paused_ = 0;
  const int part = clicked_part_;
  clicked_part_ = skin::kScrollNoPart;
  if (IsArrow(part)) {
    // Normal until the pointer moves again, as after any press.
    hot_part_ = skin::kScrollNoPart;
    Redraw(PartRect(part));
  }
}

// ---- drawing -----------------------------------------------------------------

void CSkinScrollBar::Redraw(const RECT& area) {
  HWND window = GetSafeHwnd();
  if (!window || ::IsRectEmpty(&area)) return;
  ::InvalidateRect(window, &area, FALSE);
  ::UpdateWindow(window);
}

int CSkinScrollBar::ArrowRow(int part) const {
  if (clicked_part_ == part) return paused_ ? skin::kRowNormal : skin::kRowPressed;
  if (hot_part_ == part && clicked_part_ == skin::kScrollNoPart && !dragging_) return skin::kRowHot;
  return skin::kRowNormal;
}

void CSkinScrollBar::DrawCell(HDC target, HDC strip, const RECT& area, int column, int row) const {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0 || column < 0) return;
  if (width == cell_ && height == cell_) {
    ::BitBlt(target, area.left, area.top, width, height, strip, column * cell_, row * cell_, SRCCOPY);
  } else {
    // Arrows of a bar shorter than two cells are squeezed into it.
    ::SetStretchBltMode(target, COLORONCOLOR);
    ::StretchBlt(target, area.left, area.top, width, height, strip, column * cell_, row * cell_, cell_, cell_,
                 SRCCOPY);
  }
}

void CSkinScrollBar::TileCell(HDC target, HDC strip, const RECT& area, int column, int row) const {
  if (column < 0) return;
  for (const skin::TileRect& copy : skin::TileLayout(cell_, cell_, area.left, area.top, area.right, area.bottom)) {
    ::BitBlt(target, copy.x, copy.y, copy.width, copy.height, strip, column * cell_, row * cell_, SRCCOPY);
  }
}

void CSkinScrollBar::DrawThumb(HDC target, HDC strip, const skin::ScrollLayout& layout, int row) const {
  const bool vertical = IsVertical();
  const int x = skin::StripColumn(skin::kScrollThumb, !vertical) * cell_;
  const int y = row * cell_;
  for (const skin::AxisCopy& copy : skin::ThumbCopies(layout.thumb_start, layout.thumb_length, cell_)) {
    if (vertical) {
      ::BitBlt(target, 0, copy.dest, cell_, copy.length, strip, x, y + copy.source, SRCCOPY);
    } else {
      ::BitBlt(target, copy.dest, 0, copy.length, cell_, strip, x + copy.source, y, SRCCOPY);
    }
  }
}

void CSkinScrollBar::Paint() {
  HWND window = GetSafeHwnd();
  fw::ScopedPaint paint(window);
  if (!strip_ || cell_ <= 0) return;  // without a strip the bar shows nothing
  RECT client{};
  ::GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  fw::OffscreenBuffer buffer(paint.Get(), client.right, client.bottom);
  fw::ScopedMemoryDC strip_dc(::CreateCompatibleDC(paint.Get()));
  if (!buffer.IsValid() || !strip_dc.IsValid()) return;
  fw::ScopedSelect select(strip_dc.Get(), strip_);

  const bool horizontal = !IsVertical();
  const skin::ScrollLayout layout = skin::LayoutScrollBar(state_, length_, cell_);
  HDC target = buffer.Get();
  DrawCell(target, strip_dc.Get(), SpanRect(layout.first_arrow), skin::StripColumn(skin::kScrollLineUp, horizontal),
           ArrowRow(skin::kScrollLineUp));
  DrawCell(target, strip_dc.Get(), SpanRect(layout.second_arrow),
           skin::StripColumn(skin::kScrollLineDown, horizontal), ArrowRow(skin::kScrollLineDown));
  const int thumb_row = dragging_ ? skin::kRowPressed
                        : hot_part_ == skin::kScrollThumb && clicked_part_ == skin::kScrollNoPart ? skin::kRowHot
                                                                                                   : skin::kRowNormal;
  DrawThumb(target, strip_dc.Get(), layout, thumb_row);
  const int track = skin::StripColumn(skin::kScrollPageUp, horizontal);
  TileCell(target, strip_dc.Get(), SpanRect(layout.page_up), track, skin::kRowNormal);
  TileCell(target, strip_dc.Get(), SpanRect(layout.page_down), track, skin::kRowNormal);
  ::BitBlt(paint.Get(), 0, 0, client.right, client.bottom, target, 0, 0, SRCCOPY);
}
