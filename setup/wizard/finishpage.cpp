#include "setup/wizard/finishpage.h"

#include "framework/handles.h"
#include "setup/glimmorainstall.h"
#include "setup/wizard/pagefont.h"
#include "setup/wizard/wizardids.h"

namespace {
constexpr UINT kSuccess = 1020;
constexpr UINT kRestartNow = 1004;
constexpr UINT kRestartLater = 1005;
}  // namespace

CDialogOK::CDialogOK() : CSkinDialog(IDD_FINISH_PAGE, L"DialogOK"), black_(::CreateSolidBrush(RGB(0, 0, 0))) {}

void CDialogOK::DoDataExchange() { DDX_Control(kSuccess, success_); }

BOOL CDialogOK::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  SetPageFont(success_.GetSafeHwnd(), base, 14, FW_NORMAL, GetSetupApp()->fonts_.caption);
  // Two-line captions need the room.
  for (UINT id : {kRestartNow, kRestartLater}) {
    HWND button = GetDlgItem(id);
    RECT rect{};
    ::GetWindowRect(button, &rect);
    rect.bottom += 15;
    ::MapWindowPoints(HWND_DESKTOP, GetSafeHwnd(), reinterpret_cast<POINT*>(&rect), 2);
    ::MoveWindow(button, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
  }
  ::SendDlgItemMessageW(GetSafeHwnd(), kRestartNow, BM_SETCHECK, BST_CHECKED, 0);
  choice_ = 0;
  return TRUE;
}

bool CDialogOK::OnCommand(WPARAM wparam, LPARAM) {
  if (HIWORD(wparam) != BN_CLICKED) return false;
  const UINT id = LOWORD(wparam);
  if (id == kRestartNow && ::SendDlgItemMessageW(GetSafeHwnd(), kRestartNow, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    choice_ = 0;
    return true;
  }
  if (id == kRestartLater && ::SendDlgItemMessageW(GetSafeHwnd(), kRestartLater, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    choice_ = 1;
    return true;
  }
  return false;
}

LRESULT CDialogOK::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLORSTATIC) {
    const LRESULT brush = CSkinDialog::WindowProc(message, wparam, lparam);
    ::SetTextColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
    return brush;
  }
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSCROLLBAR) {
    CSkinDialog::WindowProc(message, wparam, lparam);
    return reinterpret_cast<LRESULT>(black_.Get());
  }
  return CSkinDialog::WindowProc(message, wparam, lparam);
}

bool RequestRestart() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return false;
  fw::ScopedHandle token(raw);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return false;
  ::SetLastError(ERROR_SUCCESS);
  ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
  if (::GetLastError() != ERROR_SUCCESS) return false;
  // Programs are asked to close and may save their work first.
  return ::ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                         SHTDN_REASON_FLAG_PLANNED) != FALSE;
}
