// The skinned scroll bar: a native SCROLLBAR window whose drawing and mouse
// handling are all done here. It keeps its own range, page and position
// (set through the scroll-bar messages; the native bar's state is never
// used), draws itself from a strip of 9 x 3 square cells, and tells its
// parent about clicks, held buttons and drags with the ordinary WM_VSCROLL /
// WM_HSCROLL notifications, so any parent that scrolls on those works with it.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gdi.h"
#include "framework/window.h"
#include "skin/core/scrollmath.h"
#include "skin/skinctr.h"

class CSkinScrollBar : public fw::CWnd, public CSkinCtr {
 public:
  // The held-button timers: the delay before repeating, then the repeat.
  static constexpr UINT_PTR kDelayTimer = 200;
  static constexpr UINT kDelayMs = 500;
  static constexpr UINT_PTR kRepeatTimer = 100;
  static constexpr UINT kRepeatMs = 100;

  CSkinScrollBar() = default;
  ~CSkinScrollBar() override = default;

  // A new bar window (SCROLLBAR class; SBS_VERT in `style` for a vertical
  // one) bound to this object. False when it cannot be made.
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

  // The strip to draw from; not owned, it must outlive the bar's drawing.
  // The bar keeps its left or top edge and its length, and becomes as thick
  // as one cell of the strip.
  void SetStrip(HBITMAP strip);
  HBITMAP GetStrip() const { return strip_; }
  int GetCell() const { return cell_; }
  bool IsVertical() const { return (GetStyle() & SBS_VERT) != 0; }

  // A stand-alone bar's skin line: column 0 names a strip, which the bar
  // then owns. 5 when the line or the folder is missing, else 0 (a strip
  // that does not load leaves the bar without one: it draws nothing).
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  // What the bar shows and is doing, for its owner and for tests.
  const skin::ScrollState& GetState() const { return state_; }
  int GetLength() const { return length_; }
  int GetHotPart() const { return hot_part_; }
  int GetClickedPart() const { return clicked_part_; }
  bool IsDragging() const { return dragging_ != 0; }
  bool IsRepeating() const { return repeating_ != 0; }
  // The part's rectangle in client coordinates (empty for no part).
  RECT PartRect(int part) const;

 protected:
  void PreSubclassWindow() override;

 private:
  int Along(POINT point) const { return IsVertical() ? point.y : point.x; }
  int HitTest(POINT point) const;
  RECT SpanRect(const skin::AxisSpan& span) const;
  RECT IntervalRect() const;

  BOOL SetInfo(BOOL redraw, const SCROLLINFO* info);
  BOOL GetInfo(SCROLLINFO* info) const;

  void OnLButtonDown(POINT point);
  void OnMouseMove(POINT point, bool arm_leave);
  void OnTimer(UINT_PTR id);
  // Ends a press or a drag: on release, and when the capture is lost
  // (another window took it, or the system cancelled the mode), so a held
  // arrow never keeps repeating without the button. Nothing when idle.
  void EndPress(POINT point);
  // Sends WM_VSCROLL / WM_HSCROLL to the parent. False when the parent's
  // handling destroyed this bar (the object may be gone then).
  bool Notify(int code, int position);

  void Redraw(const RECT& area);
  void Paint();
  void DrawCell(HDC target, HDC strip, const RECT& area, int column, int row) const;
  void TileCell(HDC target, HDC strip, const RECT& area, int column, int row) const;
  void DrawThumb(HDC target, HDC strip, const skin::ScrollLayout& layout, int row) const;
  int ArrowRow(int part) const;

  HBITMAP strip_ = nullptr;
  int cell_ = 0;
  int length_ = 0;
  skin::ScrollState state_;
  int dragging_ = 0;
  POINT drag_point_{};
  int drag_position_ = 0;
  int clicked_part_ = skin::kScrollNoPart;
  int repeating_ = 0;
  int hot_part_ = skin::kScrollNoPart;
  int paused_ = 0;
  int tracking_leave_ = 0;
  fw::ScopedBitmap owned_strip_;  // only a strip loaded by LoadSkin
};
