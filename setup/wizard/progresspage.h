// The wizard's fourth page: runs the installation inside its first timer
// tick and shows it: the status line, the bar over the bytes of every list,
// and a message pump that keeps the wizard painted. The work itself is the
// installation routine that the silent run uses too.
#pragma once

#include <string>

#include "framework/gdi.h"
#include "setup/installation.h"
#include "skin/skindialog.h"
#include "skin/transparentstatic.h"

class CGlimmoraInstallDlg : public CSkinDialog, private InstallationObserver {
 public:
  CGlimmoraInstallDlg();
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  // True from the first tick until the installation has finished.
  bool IsWorking() const { return working_; }
  // Asks the user whether to stop the running installation; a yes stops it
  // at the next file, and everything it did is undone.
  void AskToCancel();

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void OnTimer(UINT_PTR id);

  // What the installation reports.
  void OnStatus(uint32_t status_id) override;
  void OnProgress(int32_t percent) override;
  void OnEngineEvent() override;
  bool CancelRequested() override { return cancel_requested_; }

  CTransparentStatic2 status_;
  bool working_ = false;
  bool cancel_requested_ = false;
  bool asking_ = false;  // the question is on screen
  fw::ScopedBrush black_;  // made once, handed out for every control-colour request
};
