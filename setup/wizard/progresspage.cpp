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
}  // namespace

CGlimmoraInstallDlg::CGlimmoraInstallDlg()
    : CSkinDialog(IDD_PROGRESS_PAGE, L"GlimmoraInstallDlg"),
      actions_([](uint32_t id) { return fw::LoadString(id); }),
      black_(::CreateSolidBrush(RGB(0, 0, 0))) {}

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
  install_folder_ = GetSetupApp()->install_folder_;
  ::SetTimer(GetSafeHwnd(), kStartTimer, 100, nullptr);
  return TRUE;
}

void CGlimmoraInstallDlg::SetStatus(UINT string_id) {
  const std::u16string text = fw::LoadString(string_id);
  status_.SetWindowText(std::wstring(text.begin(), text.end()));
  // Someone watching the steps from outside (the interactive tests) may ask
  // for each line to stand a moment; the steps are too quick to be seen.
  static const DWORD hold = [] {
    wchar_t value[16] = {};
    return ::GetEnvironmentVariableW(L"GLIMMORA_STATUS_HOLD_MS", value, 16) ? static_cast<DWORD>(_wtoi(value)) : 0;
  }();
  if (hold > 0 && hold <= 5000) ::Sleep(hold);
}

void CGlimmoraInstallDlg::OnTimer(UINT_PTR id) {
  if (id != kStartTimer) return;
  ::KillTimer(GetSafeHwnd(), kStartTimer);  // one tick only: no second run
  working_ = true;
  // The template's own text is never seen: the first line shown is the copying one.
  SetStatus(IDS_STATUS_COPYING);
  ::ShowWindow(status_.GetSafeHwnd(), SW_SHOW);
  ::UpdateWindow(GetSafeHwnd());

  wchar_t own_path[MAX_PATH] = {};
  ::GetModuleFileNameW(::GetModuleHandleW(nullptr), own_path, MAX_PATH);
  const std::u16string package(reinterpret_cast<const char16_t*>(own_path));
  engine_.SetPackagePath(package);
  if (engine_.OpenPackage(package) != EXTRACT_OK) {
    const std::u16string text = fw::LoadString(IDS_DAMAGED_PACKAGE);
    const std::u16string caption = fw::LoadString(IDS_CAPTION);
    ::MessageBoxW(GetSafeHwnd(), reinterpret_cast<const wchar_t*>(text.c_str()),
                  reinterpret_cast<const wchar_t*>(caption.c_str()), MB_OK | MB_ICONINFORMATION);
    AppendResultLine(g_result_path, kResultHeader);
    AppendResultLine(g_result_path, kResultFailed);
    ::ExitProcess(0);
  }

  // The folder the wizard settled on, with exactly one trailing backslash.
  install_folder_ = GetSetupApp()->install_folder_;
  if (install_folder_.empty() || install_folder_.back() != u'\\') install_folder_ += u'\\';
  engine_.SetDestDir(install_folder_);
  engine_.ExtractListTo(install_folder_, u"Common", &CGlimmoraInstallDlg::ProgressCallback, this);

  const std::u16string& version = GetSetupApp()->product_version_;
  actions_.SetInstallFolder(install_folder_);
  SetStatus(IDS_STATUS_SHORTCUTS);
  actions_.CreateShortcuts(0);
  SetStatus(IDS_STATUS_DRIVERS);
  actions_.InstallDriver();
  SetStatus(IDS_STATUS_UNINSTALL);
  actions_.RegisterUninstallEntry(version, kProductName, install_folder_);
  SetStatus(IDS_STATUS_SOFTWARE);
  actions_.RegisterProductInfo(kProductName, install_folder_ + u"Glimmora.exe", install_folder_, version,
                               kCompanyName, g_language_index);
  SetStatus(IDS_STATUS_SOFTWARE);
  actions_.DeploySharedFiles();

  AppendResultLine(g_result_path, kResultHeader);
  AppendResultLine(g_result_path, kResultInteractiveOk);
  working_ = false;
  if (auto* wizard = dynamic_cast<CDialogWizard*>(fw::CWnd::FromHandlePermanent(GetParent()))) wizard->NextPage();
}

void CGlimmoraInstallDlg::ProgressCallback(int32_t code, int32_t*, void* user_data) {
  // Keeps the wizard painted and movable while files are written.
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  auto* page = static_cast<CGlimmoraInstallDlg*>(user_data);
  if (code == PROGRESS_FILE_END && page) ::SendDlgItemMessageW(page->GetSafeHwnd(), kProgress, PBM_STEPIT, 0, 0);
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
