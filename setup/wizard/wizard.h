// The installation wizard: a skinned, captionless frame with its own
// buttons, a step panel at the left and one page at a time at the right.
// In repair mode it shows only the progress and finish pages.
#pragma once

#include "framework/gdi.h"
#include "setup/wizard/destinationpage.h"
#include "setup/wizard/finishpage.h"
#include "setup/wizard/licencepage.h"
#include "setup/wizard/progresspage.h"
#include "setup/wizard/steppanel.h"
#include "setup/wizard/welcomepage.h"
#include "skin/skindialog.h"

class CAboutDlg : public fw::CDialog {
 public:
  explicit CAboutDlg(HWND parent);
};

class CDialogWizard : public CSkinDialog {
 public:
  explicit CDialogWizard(HWND parent = nullptr);

  void SetRepairMode() { repair_mode_ = 1; }
  void NextPage();
  void PrevPage();
  void ShowPage();
  int GetCurrentPage() const { return current_page_; }
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wparam, LPARAM lparam) override;
  void OnOK() override {}
  void OnCancel() override { Cancel(); }

 private:
  void StartSequence();
  void Cancel();
  void OnNextAcceptFinish(UINT id);
  void FinishAction();
  // False when the folder cannot take the installation (the user has been told).
  bool SettleInstallFolder();
  // Creates a page or panel on first use and places it.
  void Place(fw::CDialog& page, int x, int y, int width, int height);
  void ShowControl(UINT id, bool show);
  void EnableControl(UINT id, bool enable);
  void SetControlText(UINT id, UINT string_id);
  void FocusControl(UINT id);

  CDialogLeftWiz step_panel_;
  CDilaogFirst welcome_;
  CDialogSecond licence_;
  CDialogSelLang destination_;
  CGlimmoraInstallDlg progress_;
  CDialogOK finish_;
  CDialogLeftWizRepair repair_panel_;
  int repair_mode_ = 0;
  HICON icon_ = nullptr;
  int current_page_ = 0;
  fw::ScopedBrush child_brush_;  // made once, handed out for every control-colour request
};
