// The wizard's fourth page: performs the interactive installation inside
// its first timer tick, keeping the wizard alive through the extraction's
// progress callback, one status line per action.
#pragma once

#include <string>

#include "build/extract.h"
#include "framework/gdi.h"
#include "setup/installactions.h"
#include "skin/skindialog.h"
#include "skin/transparentstatic.h"

class CGlimmoraInstallDlg : public CSkinDialog {
 public:
  CGlimmoraInstallDlg();
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  // True from the first tick until the installation has finished.
  bool IsWorking() const { return working_; }

  static void ProgressCallback(int32_t code, int32_t* percent, void* user_data);

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void OnTimer(UINT_PTR id);
  void SetStatus(UINT string_id);

  CInstallActions actions_;
  CMyExtract engine_;
  CTransparentStatic2 status_;
  std::u16string install_folder_;
  bool working_ = false;
  fw::ScopedBrush black_;  // made once, handed out for every control-colour request
};
