#include "setup/wizard/progresspage.h"

#include <commctrl.h>

#include "framework/resources.h"
#include "setup/glimmorainstall.h"
#include "setup/resultfile.h"
#include "setup/wizard/pagefont.h"
#include "setup/wizard/wizard.h"
#include "setup/wizard/wizardids.h"

namespace {
constexpr UINT kStatus = 1002;
constexpr UINT kProgress = 1013;
constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStopQuestion = 137;
}  // namespace

CGlimmoraInstallDlg::CGlimmoraInstallDlg()
    : CSkinDialog(IDD_PROGRESS_PAGE, L"GlimmoraInstallDlg"), black_(::CreateSolidBrush(RGB(0, 0, 0))) {}

void CGlimmoraInstallDlg::DoDataExchange() { DDX_Control(kStatus, status_); }

BOOL CGlimmoraInstallDlg::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  SetPageFont(status_.GetSafeHwnd(), base, 14, FW_NORMAL, GetSetupApp()->fonts_.text);
  ::ShowWindow(status_.GetSafeHwnd(), SW_HIDE);
  HWND bar = GetDlgItem(kProgress);
  ::SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  ::SendMessageW(bar, PBM_SETSTEP, 1, 0);
  ::SendMessageW(bar, PBM_SETPOS, 0, 0);
  ::SetTimer(GetSafeHwnd(), kStartTimer, 100, nullptr);
  return TRUE;
}

void CGlimmoraInstallDlg::OnStatus(uint32_t status_id) {
  const std::u16string text = fw::LoadString(status_id);
  status_.SetWindowText(std::wstring(text.begin(), text.end()));
  ::ShowWindow(status_.GetSafeHwnd(), SW_SHOW);
  ::UpdateWindow(GetSafeHwnd());
  // The wizard stays answerable between the steps too (a Cancel pressed now
  // is seen before the next step).
  OnEngineEvent();
  // Someone watching the steps from outside (the interactive tests) may ask
  // for each line to stand a moment; the steps are too quick to be seen.
  static const DWORD hold = [] {
    wchar_t value[16] = {};
    return ::GetEnvironmentVariableW(L"GLIMMORA_STATUS_HOLD_MS", value, 16) ? static_cast<DWORD>(_wtoi(value)) : 0;
  }();
  if (hold == 0 || hold > 5000) return;
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < hold) {
    OnEngineEvent();
    ::Sleep(10);
  }
}

void CGlimmoraInstallDlg::OnProgress(int32_t percent) {
  ::SendDlgItemMessageW(GetSafeHwnd(), kProgress, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void CGlimmoraInstallDlg::OnEngineEvent() {
  // Keeps the wizard painted and movable while files are written.
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void CGlimmoraInstallDlg::AskToCancel() {
  if (!working_ || cancel_requested_ || asking_) return;
  asking_ = true;
  const std::u16string text = fw::LoadString(kStopQuestion);
  const std::u16string caption = fw::LoadString(IDS_CAPTION);
  // Owned by the wizard, so the question stays in front of it; the
  // installation waits at its next message pump until it is answered.
  const int answer = ::MessageBoxW(GetParent(), reinterpret_cast<const wchar_t*>(text.c_str()),
                                   reinterpret_cast<const wchar_t*>(caption.c_str()),
                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  asking_ = false;
  if (answer == IDYES) cancel_requested_ = true;
}

void CGlimmoraInstallDlg::OnTimer(UINT_PTR id) {
  if (id != kStartTimer) return;
  ::KillTimer(GetSafeHwnd(), kStartTimer);  // one tick only: no second run
  working_ = true;

  // The package was opened at start-up (a damaged one never gets this far);
  // the wizard settled the folder, with its trailing backslash.
  CGlimmoraInstallApp* app = GetSetupApp();
  InstallationRequest request{app->GetEngine(), app->GetActions(), app->install_folder_, app->product_version_,
                             g_language_index};
  request.folders_made_before = app->folders_made_;
  app->outcome_ = RunInstallation(request, this);
  AppendResultSection(g_result_path, app->outcome_.Succeeded(), ResultStyle::kInteractive);

  working_ = false;
  if (app->outcome_.rolled_back) ::SendDlgItemMessageW(GetSafeHwnd(), kProgress, PBM_SETPOS, 0, 0);
  if (auto* wizard = dynamic_cast<CDialogWizard*>(fw::CWnd::FromHandlePermanent(GetParent()))) wizard->NextPage();
}

LRESULT CGlimmoraInstallDlg::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wparam));
      return CSkinDialog::WindowProc(message, wparam, lparam);
    case WM_CTLCOLORSTATIC: {
      const LRESULT brush = CSkinDialog::WindowProc(message, wparam, lparam);
      ::SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
      // Over the dark page picture only light text can be read.
      ::SetTextColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
      return brush;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORDLG:
      CSkinDialog::WindowProc(message, wparam, lparam);
      return reinterpret_cast<LRESULT>(black_.Get());
    default:
      return CSkinDialog::WindowProc(message, wparam, lparam);
  }
}
