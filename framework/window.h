// A window object bound to a native window. One subclass procedure serves
// every bound window: it finds the object, routes the message to its
// WindowProc and unbinds the object when the window is gone. The parent's
// control-colour, owner-draw, command and notify messages are handed back
// to the child's own object first (reflection), so a skinned control keeps
// its drawing to itself.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  // Binds this object to an existing window until the window is destroyed.
  // False when this object is bound already or the window has an object.
  bool SubclassWindow(HWND window);
  bool SubclassDlgItem(UINT id, HWND parent);
  // Gives the window back its own procedure; returns it.
  HWND UnsubclassWindow();

  // The object bound to a window, or null: how "already bound" is asked.
  static CWnd* FromHandlePermanent(HWND window);

  // Every message of the bound window. Unhandled ones go to Default().
  virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
  // Called by the modal loop for messages on the way to this window or one
  // of its children; true consumes the message.
  virtual BOOL PreTranslateMessage(MSG* message);
  // A message the parent received about this child (WM_CTLCOLOR*,
  // WM_DRAWITEM, WM_COMMAND, WM_NOTIFY). True when handled; *result is then
  // the parent's answer.
  virtual bool OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

  // The window's own processing of the message being handled.
  LRESULT Default();
  LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam);

  // Small conveniences over the native calls.
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(hwnd_); }
  HWND GetParent() const { return ::GetParent(hwnd_); }
  std::wstring GetWindowText() const;
  void SetWindowText(const std::wstring& text) { ::SetWindowTextW(hwnd_, text.c_str()); }
  void Invalidate(bool erase = true) { ::InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE); }
  LRESULT SendMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return ::SendMessageW(hwnd_, message, wparam, lparam);
  }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
  void ModifyStyle(DWORD remove, DWORD add);
  // The window rectangle in its parent's client coordinates.
  RECT GetRectInParent() const;

 protected:
  // Just after binding, before any message arrives through the object.
  virtual void PreSubclassWindow() {}
  // After the last message of the window (the object is unbound).
  virtual void PostNcDestroy() {}
  // Hands a parent's message about a child to the child's object.
  static bool ReflectToChild(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR data);
  void Unbind();

  HWND hwnd_ = nullptr;
  struct Current {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  } current_{};
};

}  // namespace fw
