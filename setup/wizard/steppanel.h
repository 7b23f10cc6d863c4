// The step indicators at the wizard's left: a ball and a caption per step,
// the current one lit. Five steps for an installation, two for a repair.
#pragma once

#include <windows.h>

#include <vector>

#include "skin/pngstatic2.h"
#include "skin/skindialog.h"
#include "skin/skinimage.h"
#include "skin/transparentstatic.h"

class CStepPanel : public CSkinDialog {
 public:
  // Balls and captions by control id, step 1 first.
  CStepPanel(UINT template_id, const wchar_t* section, std::vector<UINT> balls, std::vector<UINT> captions);

  // Steps before `step` done, `step` current, the rest to come.
  void SetStep(int step);
  UINT GetCurrentCaption() const { return current_caption_; }
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  // Enter and Esc inside the panel do nothing.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  std::vector<UINT> ball_ids_, caption_ids_;
  std::vector<CPngStatic2> balls_;
  std::vector<CTransparentStatic2> captions_;
  UINT current_caption_;
  skin::ImagePtr done_, current_, to_come_;
};

class CDialogLeftWiz : public CStepPanel {
 public:
  CDialogLeftWiz();
};

class CDialogLeftWizRepair : public CStepPanel {
 public:
  CDialogLeftWizRepair();
};
