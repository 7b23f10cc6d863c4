// Shown instead of the wizard when the product is installed: repair it
// (the wizard in repair mode, into the installed folder) or remove it (the
// product's own uninstaller).
#pragma once

#include <string>

#include "skin/skindialog.h"

class CDialogRepair : public CSkinDialog {
 public:
  explicit CDialogRepair(HWND parent = nullptr);
  void SetInstalledFolder(const std::wstring& folder) { installed_folder_ = folder; }
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wparam, LPARAM lparam) override;
  void OnOK() override { Next(); }

 private:
  void Next();
  std::wstring installed_folder_;
  HICON icon_ = nullptr;
};

