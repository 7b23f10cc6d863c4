// The wizard's third page: the install folder, typed or picked, kept equal
// to the application's setting at every change. Its hidden language list
// re-derives the language index from the system's language.
#pragma once

#include "framework/controls.h"
#include "skin/skindialog.h"
#include "skin/transparentstatic.h"

class CDialogSelLang : public CSkinDialog {
 public:
  CDialogSelLang();
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wparam, LPARAM lparam) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  fw::CComboBox languages_;
  fw::CEdit folder_edit_;
  std::wstring folder_;
  CTransparentStatic2 prompt_;
  fw::ScopedBrush black_;  // made once, handed out for every control-colour request
};
