#include "skin/skindialog.h"

#include "skin/skinmanager.h"

BOOL CSkinDialog::OnInitDialog() {
  const BOOL result = fw::CDialog::OnInitDialog();
  SkinNow();
  return result;
}

void CSkinDialog::SkinNow() {
  skinned_ = CSkinManager::GetInstance()->SkinDialog(GetSafeHwnd(), section_, nullptr, nullptr) == 0;
}

LRESULT CSkinDialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  const LRESULT skin = CSkinManager::OnSkinWindowMessage(GetSafeHwnd(), message, wparam, lparam);
  // The record has painted the whole window from its picture; the dialog's
  // own painting and erasing would only draw the plain face over it.
  if (skinned_ && skin != -1 && (message == WM_PAINT || message == WM_ERASEBKGND)) return skin;
  return fw::CDialog::WindowProc(message, wparam, lparam);
}
