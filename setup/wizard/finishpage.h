// The wizard's last page: done, and restart now or later; or, after an
// installation that did not complete, what failed.
#pragma once

#include <string>

#include "framework/gdi.h"
#include "setup/installation.h"
#include "skin/skindialog.h"
#include "skin/transparentstatic.h"

class CDialogOK : public CSkinDialog {
 public:
  CDialogOK();
  // 0 restart now, 1 restart later.
  int GetChoice() const { return choice_; }
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wparam, LPARAM lparam) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  // Replaces the success line with the report of what failed.
  void ShowFailure(const InstallOutcome& outcome, const std::u16string& result_path, HFONT base);

  int choice_ = 0;
  fw::ScopedFont failure_font_;
  CTransparentStatic2 success_;
  fw::ScopedBrush black_;  // made once, handed out for every control-colour request
};

// Asks the system to restart, letting every program save its work (no
// forced close). False when the privilege or the request is refused.
bool RequestRestart();
