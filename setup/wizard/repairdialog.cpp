#include "setup/wizard/repairdialog.h"

#include <shellapi.h>

#include "framework/resources.h"
#include "setup/glimmorainstall.h"
#include "setup/storedlanguage.h"
#include "setup/wizard/wizard.h"
#include "setup/wizard/wizardids.h"

namespace {
constexpr UINT kRepair = 1004;
constexpr UINT kRemove = 1005;
}  // namespace

CDialogRepair::CDialogRepair(HWND parent)
    : CSkinDialog(IDD_REPAIR, L"DialogRepair", parent),
      icon_(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128))) {}

BOOL CDialogRepair::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  const std::u16string caption = fw::LoadString(IDS_CAPTION);
  ::SetWindowTextW(GetSafeHwnd(), reinterpret_cast<const wchar_t*>(caption.c_str()));
  int32_t row = 0;
  if (ReadStoredLanguage(&row)) g_language_index = row;
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  ::SendDlgItemMessageW(GetSafeHwnd(), kRepair, BM_SETCHECK, BST_CHECKED, 0);
  return TRUE;
}

void CDialogRepair::Next() {
  const bool repair = ::SendDlgItemMessageW(GetSafeHwnd(), kRepair, BM_GETCHECK, 0, 0) == BST_CHECKED;
  const bool remove = ::SendDlgItemMessageW(GetSafeHwnd(), kRemove, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (repair) {
    EndDialog(IDOK);
    ::ShowWindow(GetSafeHwnd(), SW_HIDE);
    CDialogWizard wizard;
    wizard.SetRepairMode();
    wizard.DoModal();
  }
  if (remove) {
    // The folder is kept with its trailing backslash; one separator only.
    std::wstring path = installed_folder_;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += L"remove.exe";
    EndDialog(IDOK);
    ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
}

bool CDialogRepair::OnCommand(WPARAM wparam, LPARAM) {
  if (HIWORD(wparam) != BN_CLICKED) return false;
  switch (LOWORD(wparam)) {
    case IDC_NEXT:
      Next();
      return true;
    case IDC_CANCEL_BUTTON:
    case IDC_CLOSE:
      EndDialog(IDCANCEL);
      return true;
    case IDC_MINIMIZE:
      ::ShowWindow(GetSafeHwnd(), SW_MINIMIZE);
      return true;
    default:
      return false;
  }
}

LRESULT CDialogRepair::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_LBUTTONDOWN) {
    CSkinDialog::WindowProc(message, wparam, lparam);
    SendMessage(WM_SYSCOMMAND, kMoveByCaption, 0);
    return 0;
  }
  if (message == WM_HELP) return TRUE;
  return CSkinDialog::WindowProc(message, wparam, lparam);
}
