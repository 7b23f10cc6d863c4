// The wizard's second page: the licence agreement in a language of the
// user's choice, accepted or declined with the frame's buttons.
#pragma once

#include <string>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/skindialog.h"
#include "skin/transparentstatic.h"

class CDialogSecond : public CSkinDialog {
 public:
  CDialogSecond();

  // The text of the language chosen in the list; a missing resource keeps
  // the previous text.
  void LoadLicenceText();
  const std::wstring& GetLicenceText() const { return licence_text_; }
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wparam, LPARAM lparam) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  HWND edit_ = nullptr;
  std::wstring licence_text_;
  CTransparentStatic2 note_;
};

// Prints `text` on the printer the user picks (ask) or the default one;
// false when there is none or the user cancelled.
bool PrintText(HWND owner, const std::wstring& text, bool ask);
