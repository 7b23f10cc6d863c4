// Skinned scroll bars for a native control that draws its own. The system
// paints a control's scroll bars in its non-client area, out of reach of
// any painting of ours, so the control is wrapped instead: a frame window
// takes its place, size and id in the parent; the control moves into a
// clipping child of the frame (the "limit" window) that cuts off the strip
// where its native bars are drawn, while it keeps its full size; two
// CSkinScrollBar children of the frame sit where the native bars showed.
// Clicks on the skinned bars reach the control as ordinary WM_VSCROLL /
// WM_HSCROLL, and the control's own scroll state is copied back to them
// after it repaints and every half second.
//
// Lifetime: the frame is made by AttachSkinScroll and deletes itself at its
// own WM_NCDESTROY, never anywhere else. The control's WM_DESTROY only
// unhooks it (and, when the control goes alone, gives it back to the
// parent and destroys the frame window), so tearing down a whole dialog,
// where the frame's WM_DESTROY comes before the control's, frees it once.
#pragma once

#include <windows.h>

#include "framework/window.h"
#include "skin/core/scrollmath.h"
#include "skin/skinscrollbar.h"

// Posted by the control's hook to its frame after a new non-client layout:
// wParam is whether the control has WS_VSCROLL, lParam whether its bar is on
// the left (WS_EX_LEFTSCROLLBAR).
constexpr UINT UM_LAYOUT_LIMIT = WM_USER + 100;

class CSkinScrollWnd;

// Wraps `control` (a child window) in a new frame drawing its bars from
// `strip`, which must outlive the frame. Null, with the control left as it
// was, when the control has no parent or is wrapped already, or when the
// strip gives no cell (no strip, or one narrower than 9 pixels).
CSkinScrollWnd* AttachSkinScroll(HWND control, HBITMAP strip);
// Undoes the wrapping: the control gets its procedure back and returns to
// the frame's parent at the frame's place, and the frame window goes. A
// control that is not wrapped is left alone. TRUE in both cases.
BOOL DetachSkinScroll(HWND control);

class CSkinScrollWnd : public fw::CWnd {
 public:
  static constexpr UINT kHorizontalBarId = 100;
  static constexpr UINT kVerticalBarId = 101;
  static constexpr UINT kLimitId = 200;
  // Copies the control's scroll state to the bars.
  static constexpr UINT_PTR kCopyBackTimer = 100;
  static constexpr UINT kCopyBackMs = 500;

  ~CSkinScrollWnd() override;

  // The frame wrapping `control`, or null.
  static CSkinScrollWnd* FromControl(HWND control);
  // Frames alive in this process: each is deleted exactly once, when its
  // window is gone.
  static int GetInstanceCount();

  // Wraps `control`; see AttachSkinScroll. The frame must not have a
  // window yet.
  bool Attach(HWND control, HBITMAP strip);

  HWND GetControl() const { return control_; }
  HWND GetLimitWindow() const { return limit_; }
  CSkinScrollBar& GetVerticalBar() { return vertical_bar_; }
  CSkinScrollBar& GetHorizontalBar() { return horizontal_bar_; }
  int GetCell() const { return cell_; }
  int GetCorner() const { return corner_; }

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void PostNcDestroy() override;

 private:
  friend CSkinScrollWnd* AttachSkinScroll(HWND control, HBITMAP strip);
  friend BOOL DetachSkinScroll(HWND control);

  CSkinScrollWnd();

  // The hook on the hosted control: copies its scroll state after it
  // repaints, lays the bars out after its non-client layout, unhooks on
  // WM_DESTROY.
  static LRESULT CALLBACK HostedControlProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                            DWORD_PTR data);
  // The hook on the limit window: the hosted text shows white on black.
  static LRESULT CALLBACK LimitWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                          DWORD_PTR data);

  CSkinScrollBar& BarFor(int which) { return which == SB_VERT ? vertical_bar_ : horizontal_bar_; }
  // The control's state for one bar onto the skinned bar, when they differ.
  void CopyBack(int which);
  void OnHostedNcCalcSize(NCCALCSIZE_PARAMS* sizes);
  void LayoutLimitWindow(bool vertical, bool left_scroll);
  void OnScroll(UINT message, WPARAM wparam, HWND bar);
  void PaintCorner();
  // Releases the hooks on the control; the control keeps its place.
  void Unhook();

  int cell_ = 0;
  CSkinScrollBar horizontal_bar_;
  CSkinScrollBar vertical_bar_;
  HWND limit_ = nullptr;
  HBITMAP strip_ = nullptr;
  int busy_ = 0;
  int corner_ = skin::kNoCorner;
  HWND control_ = nullptr;
  bool dying_ = false;       // its WM_DESTROY has come: the window is going
  bool self_owned_ = false;  // attached: deleted by its own WM_NCDESTROY
};
