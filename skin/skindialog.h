// A dialog that takes its look from its section of the skin description:
// skinned when it is initialised, and every message goes to the skin
// manager first, so the window record paints the background picture.
#pragma once

#include <string>

#include "framework/dialog.h"

class CSkinDialog : public fw::CDialog {
 public:
  CSkinDialog(UINT template_id, std::wstring section, HWND parent = nullptr)
      : fw::CDialog(template_id, parent), section_(std::move(section)) {}

  bool IsSkinned() const { return skinned_; }
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  // Binds the members (DoDataExchange), then skins the dialog.
  BOOL OnInitDialog() override;
  // Skins the dialog from its section; for pages that must prepare their
  // controls between binding and skinning.
  void SkinNow();

 private:
  std::wstring section_;
  bool skinned_ = false;
};
