// A dialog from a template of the current resource source, run modal (its
// own message loop, with the pre-translate hook) or modeless.
#pragma once

#include <windows.h>

#include "framework/window.h"

namespace fw {

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT template_id, HWND parent = nullptr) : template_id_(template_id), parent_(parent) {}

  // Runs the dialog until EndDialog; its result, or -1 when the template
  // could not be made into a window.
  INT_PTR DoModal();
  // A modeless dialog; false when it could not be created.
  bool Create(HWND parent = nullptr);
  // Ends a modal run with `result` (the window goes once the loop is
  // left); destroys a modeless dialog.
  void EndDialog(INT_PTR result);
  bool IsModalRunning() const { return running_; }

  HWND GetDlgItem(UINT id) const { return ::GetDlgItem(GetSafeHwnd(), id); }
  // Binds a child control to a member object once; repeating it is harmless.
  void DDX_Control(UINT id, CWnd& member);

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  // TRUE lets the system give the focus to the first control.
  virtual BOOL OnInitDialog();
  // Binds member controls; called from OnInitDialog.
  virtual void DoDataExchange() {}
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Commands other than OK and Cancel; true when handled.
  virtual bool OnCommand(WPARAM wparam, LPARAM lparam);
  void PostNcDestroy() override;

 private:
  static INT_PTR CALLBACK DialogThunk(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  bool PreTranslateChain(MSG* message);

  UINT template_id_;
  HWND parent_;
  bool running_ = false;
  bool ended_ = false;
  bool modeless_ = false;
  INT_PTR result_ = -1;
};

}  // namespace fw
