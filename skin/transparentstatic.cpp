#include "skin/transparentstatic.h"

#include <string>

namespace {

// The stock hollow brush: shared by the system, so it is neither made per
// message nor deleted.
LRESULT HollowBrush() { return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)); }

bool HollowControlColour(UINT message, WPARAM wparam, LRESULT* result) {
  if (message != WM_CTLCOLORSTATIC) return false;
  ::SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
  *result = HollowBrush();
  return true;
}

}  // namespace

UINT TransparentStaticTextFlags(DWORD style) {
  UINT flags = 0;
  if (style & SS_RIGHT) flags |= DT_RIGHT;
  if (style & SS_CENTER) flags |= DT_CENTER;
  if (style & SS_CENTERIMAGE) flags |= DT_VCENTER | DT_SINGLELINE;
  if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
  if (style & SS_ELLIPSISMASK) flags |= DT_WORD_ELLIPSIS;
  if (style & SS_ENDELLIPSIS) flags |= DT_END_ELLIPSIS;
  if (style & SS_PATHELLIPSIS) flags |= DT_PATH_ELLIPSIS;
  if (!(style & (SS_ELLIPSISMASK | SS_CENTERIMAGE | 0x000C))) flags |= DT_WORDBREAK;
  return flags;
}

LRESULT CTransparentStatic2::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      if (background_.IsValid()) {
        Restore(reinterpret_cast<HDC>(wparam));
      } else {
        Capture();
      }
      return TRUE;
    case WM_SETTEXT: {
      // The native static draws the new text over the old one at once; the
      // erase puts the parent's pixels back before it is drawn again.
      const LRESULT result = Default();
      Invalidate(true);
      ::UpdateWindow(GetSafeHwnd());
      return result;
    }
    default:
      return CStatic::WindowProc(message, wparam, lparam);
  }
}

bool CTransparentStatic2::OnChildNotify(UINT message, WPARAM wparam, LPARAM, LRESULT* result) {
  return HollowControlColour(message, wparam, result);
}

void CTransparentStatic2::Capture() {
  HWND parent = GetParent();
  if (!parent) return;
  const RECT rect = GetRectInParent();
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  // Our first erase may come before the parent has painted, or over pixels
  // an earlier text left there: the parent paints that rectangle now (its
  // children left out, this one being in the middle of its own paint), so
  // what is copied is the parent's own background.
  ::RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_NOCHILDREN);
  fw::ScopedWindowDC parent_dc(parent);
  if (!parent_dc.Get()) return;
  fw::ScopedMemoryDC memory(::CreateCompatibleDC(parent_dc.Get()));
  fw::ScopedBitmap copy(::CreateCompatibleBitmap(parent_dc.Get(), width, height));
  if (!memory.IsValid() || !copy.IsValid()) return;
  {
    fw::ScopedSelect select(memory.Get(), copy.Get());
    if (!::BitBlt(memory.Get(), 0, 0, width, height, parent_dc.Get(), rect.left, rect.top, SRCCOPY)) return;
  }
  background_ = std::move(copy);
}

void CTransparentStatic2::Restore(HDC dc) {
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  fw::ScopedMemoryDC memory(::CreateCompatibleDC(dc));
  if (!memory.IsValid()) return;
  fw::ScopedSelect select(memory.Get(), background_.Get());
  ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

LRESULT CTransparentStatic::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      fw::ScopedPaint paint(GetSafeHwnd());
      if (paint.Get()) Draw(paint.Get());
      return 0;
    }
    case WM_PRINTCLIENT:
      if (!wparam) return -1;
      Draw(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_ERASEBKGND:
      ::SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
      return TRUE;  // nothing is erased: the parent's picture stays
    default:
      return CStatic::WindowProc(message, wparam, lparam);
  }
}

bool CTransparentStatic::OnChildNotify(UINT message, WPARAM wparam, LPARAM, LRESULT* result) {
  return HollowControlColour(message, wparam, result);
}

void CTransparentStatic::Draw(HDC dc) {
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  const std::wstring text = GetWindowText();
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  fw::ScopedSelect select(dc, font);  // the system font when none was set
  const int mode = ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextW(dc, text.c_str(), -1, &client, TransparentStaticTextFlags(GetStyle()));
  if (mode) ::SetBkMode(dc, mode);
}
