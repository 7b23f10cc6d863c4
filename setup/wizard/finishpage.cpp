#include "setup/wizard/finishpage.h"

#include "framework/handles.h"
#include "framework/resources.h"
#include "setup/failurereport.h"
#include "setup/glimmorainstall.h"
#include "setup/wizard/pagefont.h"
#include "setup/wizard/wizardids.h"

namespace {
constexpr UINT kSuccess = 1020;
constexpr UINT kRestartNow = 1004;
constexpr UINT kRestartLater = 1005;
constexpr UINT kPicture = 1023;
constexpr int kFailurePoints = 10;  // the report holds paths: smaller than the success line

RECT ChildRect(HWND page, UINT id) {
  RECT rect{};
  ::GetWindowRect(::GetDlgItem(page, id), &rect);
  ::MapWindowPoints(HWND_DESKTOP, page, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}
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
  const CGlimmoraInstallApp* app = GetSetupApp();
  if (!app->outcome_.Succeeded()) ShowFailure(app->outcome_, app->named_result_path_, base);
  return TRUE;
}

void CDialogOK::ShowFailure(const InstallOutcome& outcome, const std::u16string& result_path, HFONT base) {
  const std::u16string report =
      DescribeFailedInstallation(outcome, result_path, [](uint32_t id) { return fw::LoadString(id); });
  std::wstring text;
  for (char16_t c : report) {
    if (c == u'\n') text += L'\r';
    text += static_cast<wchar_t>(c);
  }
  HWND page = GetSafeHwnd();
  // Restarting activates the driver; without it a restart does nothing for
  // the product, so only "later" remains and the report takes the room.
  const bool offer_restart = outcome.driver_installed;
  if (!offer_restart) {
    for (UINT id : {kRestartNow, kRestartLater}) ::ShowWindow(GetDlgItem(id), SW_HIDE);
    ::SendDlgItemMessageW(page, kRestartNow, BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendDlgItemMessageW(page, kRestartLater, BM_SETCHECK, BST_CHECKED, 0);
    choice_ = 1;
  }
  // Placed before the first paint: the static keeps the picture under it
  // from its first erase on.
  RECT area = ChildRect(page, kSuccess);
  area.top = ChildRect(page, kPicture).bottom + 4;
  area.bottom = offer_restart ? ChildRect(page, kRestartNow).top - 2 : ChildRect(page, kRestartLater).bottom;
  ::MoveWindow(success_.GetSafeHwnd(), area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
  SetPageFont(success_.GetSafeHwnd(), base, kFailurePoints, FW_NORMAL, failure_font_);
  success_.SetWindowText(text);
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
