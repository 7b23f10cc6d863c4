#include "skin/skinscrollwnd.h"

#include <commctrl.h>

#include <memory>
#include <new>

#include "framework/gdi.h"

namespace {

// The hooks on the control and the limit window are subclass procedures of
// their own id, stacked above whatever object the control is bound to (the
// skinned edit), so they see each message first.
constexpr UINT_PTR kHookId = 0x5343'524C;  // "SCRL"

const wchar_t kFrameClass[] = L"GlimmoraSkinScrollFrame";

// One class for the frame and the limit window: no style, cursor, brush or
// icon, so neither paints anything it is not asked to.
bool RegisterFrameClass() {
  static const bool registered = [] {
    WNDCLASSW frame_class{};
    frame_class.lpfnWndProc = ::DefWindowProcW;
    frame_class.hInstance = ::GetModuleHandleW(nullptr);
    frame_class.lpszClassName = kFrameClass;
    return ::RegisterClassW(&frame_class) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

int g_instances = 0;

RECT ToRect(const skin::Box& box) { return {box.left, box.top, box.right, box.bottom}; }
skin::Box ToBox(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

int StripWidth(HBITMAP strip) {
  BITMAP header{};
  return strip && ::GetObjectW(strip, sizeof(header), &header) ? header.bmWidth : 0;
}

bool SameState(const SCROLLINFO& a, const SCROLLINFO& b) {
  return a.nMax == b.nMax && a.nMin == b.nMin && a.nPos == b.nPos && a.nPage == b.nPage;
}

SCROLLINFO InfoAsking(UINT mask) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = mask;
  return info;
}

// Shown by its own flag, whether or not its page is on the screen yet.
bool Shown(HWND window) { return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

bool StillBound(HWND window, const fw::CWnd* object) { return fw::CWnd::FromHandlePermanent(window) == object; }

}  // namespace

CSkinScrollWnd::CSkinScrollWnd() { ++g_instances; }

CSkinScrollWnd::~CSkinScrollWnd() {
  // The control's WM_DESTROY has unhooked it by now; should it still be
  // hooked, its hook must not outlive the frame it points to.
  Unhook();
  --g_instances;
}

int CSkinScrollWnd::GetInstanceCount() { return g_instances; }

CSkinScrollWnd* CSkinScrollWnd::FromControl(HWND control) {
  DWORD_PTR frame = 0;
  if (!control || !::GetWindowSubclass(control, HostedControlProc, kHookId, &frame)) return nullptr;
  return reinterpret_cast<CSkinScrollWnd*>(frame);
}

CSkinScrollWnd* AttachSkinScroll(HWND control, HBITMAP strip) {
  std::unique_ptr<CSkinScrollWnd> frame(new (std::nothrow) CSkinScrollWnd());
  if (!frame || !frame->Attach(control, strip)) return nullptr;
  return frame.release();  // its window owns it now
}

bool CSkinScrollWnd::Attach(HWND control, HBITMAP strip) {
  if (GetSafeHwnd() || !control || !::IsWindow(control) || FromControl(control)) return false;
  HWND parent = ::GetParent(control);
  const int cell = skin::StripCell(StripWidth(strip));
  // A strip that failed to load would give bars of no thickness over a
  // clipped control: better the native bars.
  if (!parent || cell <= 0 || !RegisterFrameClass()) return false;
  cell_ = cell;
  strip_ = strip;

  RECT frame_rect{};
  ::GetWindowRect(control, &frame_rect);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&frame_rect), 2);
  RECT inside{0, 0, frame_rect.right - frame_rect.left - 1, frame_rect.bottom - frame_rect.top};

  const int id = ::GetDlgCtrlID(control);
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_EXSTYLE));
  DWORD frame_style = WS_CHILD | SS_NOTIFY;
  // The control's own flag, not IsWindowVisible: a page is skinned while
  // it is still hidden, and its controls must show with it.
  if (style & WS_VISIBLE) frame_style |= WS_VISIBLE;
  const DWORD frame_ex_style = (ex_style & WS_EX_TOOLWINDOW) ? WS_EX_TOOLWINDOW | WS_EX_TOPMOST : 0;

  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  HWND frame = ::CreateWindowExW(frame_ex_style, kFrameClass, L"SkinScrollWnd", frame_style, frame_rect.left,
                                 frame_rect.top, frame_rect.right - frame_rect.left,
                                 frame_rect.bottom - frame_rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (!frame) return false;
  if (!SubclassWindow(frame)) {
    ::DestroyWindow(frame);
    return false;
  }
  // Where the control was in its siblings' order (tab order, overlap).
  ::SetWindowPos(frame, control, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  // The limit window lies below the bars and clips to them, so neither the
  // control nor its native bars are ever drawn over a skinned bar.
  limit_ = ::CreateWindowExW(0, kFrameClass, L"LIMITEDIT", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                             frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLimitId)), instance, nullptr);
  const RECT none{};
  if (!limit_ || !horizontal_bar_.Create(WS_CHILD | SBS_HORZ, none, frame, kHorizontalBarId) ||
      !vertical_bar_.Create(WS_CHILD | SBS_VERT, none, frame, kVerticalBarId) ||
      !::SetWindowSubclass(limit_, LimitWindowProc, kHookId, reinterpret_cast<DWORD_PTR>(this))) {
    ::DestroyWindow(frame);  // not self-owned yet: the caller deletes the object
    return false;
  }
  horizontal_bar_.SetStrip(strip);
  vertical_bar_.SetStrip(strip);
  ::SetWindowPos(limit_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  if (!::SetWindowSubclass(control, HostedControlProc, kHookId, reinterpret_cast<DWORD_PTR>(this))) {
    ::DestroyWindow(frame);
    return false;
  }
  ::SetParent(control, limit_);
  // The frame draws no border; the control's would show inside the clip.
  if (style & WS_BORDER) ::SetWindowLongPtrW(control, GWL_STYLE, static_cast<LONG_PTR>(style & ~WS_BORDER));
  control_ = control;
  self_owned_ = true;
  ::SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(limit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  // A new size and frame: the control lays out its non-client area again,
  // which places the bars and the clip through its hook.
  ::SetWindowPos(control, nullptr, inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ::SetTimer(frame, kCopyBackTimer, kCopyBackMs, nullptr);
  return true;
}

void CSkinScrollWnd::Unhook() {
  if (!control_) return;
  ::RemoveWindowSubclass(control_, HostedControlProc, kHookId);
  if (::IsWindow(control_)) ::SetWindowLongPtrW(control_, GWLP_USERDATA, 0);
  control_ = nullptr;
}

BOOL DetachSkinScroll(HWND control) {
  CSkinScrollWnd* frame = CSkinScrollWnd::FromControl(control);
  if (!frame) return TRUE;
  frame->Unhook();
  // Within a dialog's teardown the frame is on its way out already and the
  // control goes with it: giving the control back or destroying the frame
  // again would only reach windows in the middle of their destruction.
  if (frame->dying_) return TRUE;
  HWND frame_window = frame->GetSafeHwnd();
  HWND parent = ::GetParent(frame_window);
  const RECT place = frame->GetRectInParent();
  ::SetParent(control, parent);
  ::SetWindowPos(control, frame_window, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ::DestroyWindow(frame_window);  // the frame deletes itself at its WM_NCDESTROY
  return TRUE;
}

void CSkinScrollWnd::PostNcDestroy() {
  if (self_owned_) delete this;
}

// ---- the hosted control --------------------------------------------------------

LRESULT CALLBACK CSkinScrollWnd::HostedControlProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                                   UINT_PTR, DWORD_PTR data) {
  if (message == WM_DESTROY) {
    DetachSkinScroll(window);
    return ::DefSubclassProc(window, message, wparam, lparam);
  }
  if (message == WM_NCDESTROY) {
    // Not reached after a WM_DESTROY; only when a window goes without one.
    if (auto* frame = reinterpret_cast<CSkinScrollWnd*>(data)) frame->Unhook();
    return ::DefSubclassProc(window, message, wparam, lparam);
  }
  const LRESULT result = ::DefSubclassProc(window, message, wparam, lparam);
  // The control's own handling may have destroyed it, and the frame with it.
  CSkinScrollWnd* frame = FromControl(window);
  if (!frame || frame->busy_) return result;
  // After a repaint the control's scroll state is current. Not only after
  // erasing: an edit that scrolls by the wheel or the keys repaints the
  // lines it uncovers without erasing them first.
  if (message == WM_ERASEBKGND || message == WM_PAINT) {
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    if (style & WS_VSCROLL) frame->CopyBack(SB_VERT);
    if (style & WS_HSCROLL) frame->CopyBack(SB_HORZ);
  } else if (message == WM_NCCALCSIZE && wparam) {
    frame->OnHostedNcCalcSize(reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam));
  }
  return result;
}

void CSkinScrollWnd::CopyBack(int which) {
  CSkinScrollBar& bar = BarFor(which);
  if (!control_ || !bar.GetSafeHwnd()) return;
  SCROLLINFO from = InfoAsking(SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS);
  if (!::GetScrollInfo(control_, which, &from)) return;
  SCROLLINFO shown = InfoAsking(SIF_RANGE | SIF_PAGE | SIF_POS);
  bar.SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&shown));
  if (SameState(from, shown)) return;
  from.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  bar.SendMessage(SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&from));
  // Nothing to scroll when the page is larger than the range.
  ::EnableWindow(bar, static_cast<long long>(from.nMax) >= static_cast<long long>(from.nPage));
}

void CSkinScrollWnd::OnHostedNcCalcSize(NCCALCSIZE_PARAMS* sizes) {
  if (!sizes || !control_) return;
  const LONG_PTR style = ::GetWindowLongPtrW(control_, GWL_STYLE);
  const LONG_PTR ex_style = ::GetWindowLongPtrW(control_, GWL_EXSTYLE);
  const bool vertical = (style & WS_VSCROLL) != 0;
  const bool horizontal = (style & WS_HSCROLL) != 0;
  const bool left = (ex_style & WS_EX_LEFTSCROLLBAR) != 0;
  const skin::HostedBars bars = skin::LayoutHostedBars(ToBox(sizes->rgrc[0]), vertical, horizontal, left,
                                                       ::GetSystemMetrics(SM_CXVSCROLL), cell_);
  sizes->rgrc[0] = ToRect(bars.client);
  if (corner_ != bars.corner) {
    corner_ = bars.corner;
    Invalidate(false);
  }
  const struct {
    CSkinScrollBar& bar;
    bool shown;
    skin::Box box;
  } placements[] = {{vertical_bar_, vertical, bars.vertical}, {horizontal_bar_, horizontal, bars.horizontal}};
  for (const auto& placement : placements) {
    if (placement.shown) {
      const RECT rect = ToRect(placement.box);
      ::SetWindowPos(placement.bar, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
      ::ShowWindow(placement.bar, SW_HIDE);
    }
  }
  ::PostMessageW(GetSafeHwnd(), UM_LAYOUT_LIMIT, vertical, left);
}

LRESULT CALLBACK CSkinScrollWnd::LimitWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                                 DWORD_PTR data) {
  auto* frame = reinterpret_cast<CSkinScrollWnd*>(data);
  if ((message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) && frame && frame->control_ &&
      reinterpret_cast<HWND>(lparam) == frame->control_) {
    HDC dc = reinterpret_cast<HDC>(wparam);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::SetBkColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH));
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, LimitWindowProc, kHookId);
  return ::DefSubclassProc(window, message, wparam, lparam);
}

// ---- the frame's own messages ----------------------------------------------------

LRESULT CSkinScrollWnd::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case UM_LAYOUT_LIMIT:
      LayoutLimitWindow(wparam != 0, lparam != 0);
      return 0;
    case WM_SIZE: {
      const int width = LOWORD(lparam);
      const int height = HIWORD(lparam);
      if (control_ && width && height) {
        ::SetWindowPos(control_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
      HWND bar = reinterpret_cast<HWND>(lparam);
      if (bar && (bar == vertical_bar_.GetSafeHwnd() || bar == horizontal_bar_.GetSafeHwnd())) {
        OnScroll(message, wparam, bar);
        return 0;
      }
      break;
    }
    case WM_TIMER:
      if (wparam == kCopyBackTimer) {
        if (!busy_ && Shown(vertical_bar_)) CopyBack(SB_VERT);
        if (!busy_ && Shown(horizontal_bar_)) CopyBack(SB_HORZ);
        return 0;
      }
      break;
    case WM_PAINT:
      PaintCorner();
      return 0;
    case WM_DESTROY:
      dying_ = true;
      ::KillTimer(GetSafeHwnd(), kCopyBackTimer);
      break;
    default:
      break;
  }
  return fw::CWnd::WindowProc(message, wparam, lparam);
}

void CSkinScrollWnd::LayoutLimitWindow(bool vertical, bool left_scroll) {
  if (!limit_) return;
  busy_ = 1;
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  const skin::LimitPlacement placement =
      skin::LayoutLimit(client.right, client.bottom, Shown(horizontal_bar_), vertical, left_scroll, cell_);
  const RECT limit = ToRect(placement.limit);
  ::SetWindowPos(limit_, nullptr, limit.left, limit.top, limit.right - limit.left, limit.bottom - limit.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (control_) {
    ::SetWindowPos(control_, nullptr, placement.control_x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  busy_ = 0;
}

void CSkinScrollWnd::OnScroll(UINT message, WPARAM wparam, HWND bar) {
  if (!control_) return;
  HWND self = GetSafeHwnd();
  const int code = LOWORD(wparam);
  busy_ = 1;
  ::SendMessageW(control_, message, MAKEWPARAM(code, HIWORD(wparam)), 0);
  // The control may have been destroyed by its handling, and this frame too.
  if (!StillBound(self, this)) return;
  busy_ = 0;
  if (code == SB_THUMBTRACK || !control_) return;
  SCROLLINFO info = InfoAsking(SIF_RANGE | SIF_PAGE | SIF_POS);
  if (::GetScrollInfo(control_, message == WM_VSCROLL ? SB_VERT : SB_HORZ, &info)) {
    ::SendMessageW(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
  }
}

void CSkinScrollWnd::PaintCorner() {
  HWND window = GetSafeHwnd();
  fw::ScopedPaint paint(window);
  if (corner_ == skin::kNoCorner || !strip_ || cell_ <= 0) return;
  RECT client{};
  ::GetClientRect(window, &client);
  const RECT corner = ToRect(skin::CornerBox(client.right, client.bottom, corner_, cell_));
  fw::ScopedMemoryDC strip_dc(::CreateCompatibleDC(paint.Get()));
  if (!strip_dc.IsValid()) return;
  fw::ScopedSelect select(strip_dc.Get(), strip_);
  ::BitBlt(paint.Get(), corner.left, corner.top, cell_, cell_, strip_dc.Get(), skin::kCornerColumn * cell_,
           skin::CornerRow(corner_) * cell_, SRCCOPY);
}
