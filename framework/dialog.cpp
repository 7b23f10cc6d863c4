#include "framework/dialog.h"

#include "framework/resources.h"

namespace fw {

INT_PTR CALLBACK CDialog::DialogThunk(HWND window, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_INITDIALOG) return FALSE;
  // The object binds itself here; from now on every message reaches it
  // through the common subclass procedure, and the dialog procedure only
  // answers "not handled" so the dialog manager's defaults apply.
  CDialog* self = reinterpret_cast<CDialog*>(lparam);
  if (!self || !self->SubclassWindow(window)) return TRUE;
  try {
    return self->OnInitDialog();
  } catch (...) {
    return TRUE;
  }
}

INT_PTR CDialog::DoModal() {
  ended_ = false;
  result_ = -1;
  modeless_ = false;
  HWND window = ::CreateDialogParamW(GetResourceHandle(), MAKEINTRESOURCEW(template_id_), parent_, DialogThunk,
                                     reinterpret_cast<LPARAM>(this));
  if (!window) return -1;
  if (ended_) {  // ended from OnInitDialog
    ::DestroyWindow(window);
    return result_;
  }
  const bool disable_owner = parent_ && ::IsWindowEnabled(parent_);
  if (disable_owner) ::EnableWindow(parent_, FALSE);
  ::ShowWindow(window, SW_SHOW);

  running_ = true;
  MSG message;
  while (!ended_) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {  // the quit request belongs to an outer loop
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    if (PreTranslateChain(&message)) continue;
    if (GetSafeHwnd() && ::IsDialogMessageW(GetSafeHwnd(), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  running_ = false;

  if (disable_owner) ::EnableWindow(parent_, TRUE);
  if (GetSafeHwnd()) ::DestroyWindow(GetSafeHwnd());
  if (parent_) ::SetActiveWindow(parent_);
  return result_;
}

bool CDialog::Create(HWND parent) {
  parent_ = parent;
  modeless_ = true;
  ended_ = false;
  return ::CreateDialogParamW(GetResourceHandle(), MAKEINTRESOURCEW(template_id_), parent_, DialogThunk,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (modeless_) {
    if (GetSafeHwnd()) ::DestroyWindow(GetSafeHwnd());
    return;
  }
  // Wakes the loop if it is waiting for a message.
  if (GetSafeHwnd()) ::PostMessageW(GetSafeHwnd(), WM_NULL, 0, 0);
}

bool CDialog::PreTranslateChain(MSG* message) {
  // From the window the message is for up to this dialog: the innermost
  // object that wants the message gets it first.
  for (HWND window = message->hwnd; window; window = ::GetParent(window)) {
    if (CWnd* object = FromHandlePermanent(window)) {
      if (object->PreTranslateMessage(message)) return true;
    }
    if (window == GetSafeHwnd()) break;
  }
  return false;
}

void CDialog::DDX_Control(UINT id, CWnd& member) {
  HWND child = GetDlgItem(id);
  if (!child || member.GetSafeHwnd() == child) return;
  member.SubclassWindow(child);
}

BOOL CDialog::OnInitDialog() {
  DoDataExchange();
  return TRUE;
}

bool CDialog::OnCommand(WPARAM, LPARAM) { return false; }

LRESULT CDialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  if (ReflectToChild(message, wparam, lparam, &result)) return result;
  if (message == WM_COMMAND) {
    if (OnCommand(wparam, lparam)) return 0;
    // Buttons, Enter and Escape; menu and accelerator commands alike.
    switch (LOWORD(wparam)) {
      case IDOK:
        OnOK();
        return 0;
      case IDCANCEL:
        OnCancel();
        return 0;
    }
  }
  return Default();
}

void CDialog::PostNcDestroy() {
  // A dialog destroyed behind the loop's back still ends the loop.
  ended_ = true;
}

}  // namespace fw
