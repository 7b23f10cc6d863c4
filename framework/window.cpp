#include "framework/window.h"

#include <commctrl.h>

#include <unordered_map>
#include <vector>

namespace fw {
namespace {

constexpr UINT_PTR kSubclassId = 0x47'4C'4D;  // one id for every bound window

// Windows live on the user-interface thread only, so the map is not locked.
std::unordered_map<HWND, CWnd*>& Bound() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

// The child a parent's message is about, or null.
HWND ChildOf(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<HWND>(lparam);
    case WM_DRAWITEM:
      return wparam ? reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)->hwndItem : nullptr;
    case WM_COMMAND:
      return reinterpret_cast<HWND>(lparam);  // null for menus and accelerators
    case WM_NOTIFY:
      return reinterpret_cast<const NMHDR*>(lparam)->hwndFrom;
    case WM_HSCROLL:
    case WM_VSCROLL:
      return reinterpret_cast<HWND>(lparam);
    default:
      return nullptr;
  }
}

}  // namespace

CWnd::~CWnd() {
  // An object that goes before its window leaves the window to its own
  // procedure instead of a dangling pointer.
  if (hwnd_) UnsubclassWindow();
}

bool CWnd::SubclassWindow(HWND window) {
  if (hwnd_ || !window || !::IsWindow(window) || FromHandlePermanent(window)) return false;
  if (!::SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
    return false;
  hwnd_ = window;
  Bound()[window] = this;
  PreSubclassWindow();
  return true;
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }

HWND CWnd::UnsubclassWindow() {
  HWND window = hwnd_;
  if (window) {
    ::RemoveWindowSubclass(window, SubclassProc, kSubclassId);
    Unbind();
  }
  return window;
}

void CWnd::Unbind() {
  Bound().erase(hwnd_);
  hwnd_ = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
  auto found = Bound().find(window);
  return found == Bound().end() ? nullptr : found->second;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                    DWORD_PTR data) {
  CWnd* self = reinterpret_cast<CWnd*>(data);
  const Current saved = self->current_;
  self->current_ = {message, wparam, lparam};
  LRESULT result = 0;
  try {
    result = self->WindowProc(message, wparam, lparam);
  } catch (...) {
    // Nothing unwinds through the system's dispatcher: the window gets its
    // own processing for the message instead.
    result = ::DefSubclassProc(window, message, wparam, lparam);
  }
  self->current_ = saved;
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(window, SubclassProc, kSubclassId);
    if (self->hwnd_ == window) {
      self->Unbind();
      try {
        self->PostNcDestroy();
      } catch (...) {
      }
    }
  }
  return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  if (ReflectToChild(message, wparam, lparam, &result)) return result;
  return Default();
}

bool CWnd::ReflectToChild(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  HWND child = ChildOf(message, wparam, lparam);
  if (!child) return false;
  CWnd* object = FromHandlePermanent(child);
  return object && object->OnChildNotify(message, wparam, lparam, result);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT CWnd::Default() { return ::DefSubclassProc(hwnd_, current_.message, current_.wparam, current_.lparam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefSubclassProc(hwnd_, message, wparam, lparam);
}

std::wstring CWnd::GetWindowText() const {
  const int length = ::GetWindowTextLengthW(hwnd_);
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  ::GetWindowTextW(hwnd_, text.data(), length + 1);
  return text.data();
}

void CWnd::ModifyStyle(DWORD remove, DWORD add) {
  const DWORD style = (GetStyle() & ~remove) | add;
  ::SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
}

RECT CWnd::GetRectInParent() const {
  RECT rect{};
  ::GetWindowRect(hwnd_, &rect);
  ::MapWindowPoints(HWND_DESKTOP, GetParent(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace fw
