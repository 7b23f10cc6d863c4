#include "setup/wizard/wizard.h"

#include "framework/resources.h"
#include "setup/glimmorainstall.h"
#include "setup/installfolder.h"
#include "setup/wizard/wizardids.h"
#include "skin/core/scale.h"

namespace {

std::wstring Text(UINT id) {
  const std::u16string text = fw::LoadString(id);
  return std::wstring(text.begin(), text.end());
}

void ShowInvalidFolder(HWND owner) {
  ::MessageBoxW(owner, Text(IDS_INVALID_FOLDER).c_str(), Text(IDS_CAPTION).c_str(), MB_OK);
}

}  // namespace

CAboutDlg::CAboutDlg(HWND parent) : fw::CDialog(IDD_ABOUTBOX, parent) {}

CDialogWizard::CDialogWizard(HWND parent)
    : CSkinDialog(IDD_WIZARD, L"DialogWizard", parent),
      icon_(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128))),
      child_brush_(::CreateSolidBrush(RGB(15, 15, 15))) {}

BOOL CDialogWizard::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  ::SetWindowTextW(GetSafeHwnd(), Text(IDS_CAPTION).c_str());
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  if (repair_mode_) {
    Place(repair_panel_, 0, 60, 145, 310);
    repair_panel_.ModifyStyle(0, WS_TABSTOP);
    current_page_ = 4;
    ShowControl(IDC_FINISH, false);
    ShowPage();
  } else {
    for (UINT id : {IDC_BACK, IDC_NEXT, IDC_CANCEL_BUTTON, IDC_ACCEPT, IDC_DECLINE, IDC_FINISH}) ShowControl(id, false);
    StartSequence();
  }
  // Centred on the screen.
  RECT window{};
  ::GetWindowRect(GetSafeHwnd(), &window);
  const int width = window.right - window.left, height = window.bottom - window.top;
  ::SetWindowPos(GetSafeHwnd(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  return FALSE;  // the pages set the focus
}

void CDialogWizard::StartSequence() {
  for (UINT id : {IDC_BACK, IDC_NEXT, IDC_CANCEL_BUTTON}) ShowControl(id, true);
  Place(step_panel_, 0, 60, 145, 310);
  NextPage();
}

void CDialogWizard::Place(fw::CDialog& page, int x, int y, int width, int height) {
  if (!page.GetSafeHwnd() && !page.Create(GetSafeHwnd())) return;  // the area stays empty
  ::SetWindowPos(page.GetSafeHwnd(), nullptr, skin::ScaledX(x), skin::ScaledY(y), skin::ScaledX(width),
                 skin::ScaledY(height), SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(page.GetSafeHwnd(), SW_SHOW);
}

void CDialogWizard::ShowControl(UINT id, bool show) { ::ShowWindow(GetDlgItem(id), show ? SW_SHOW : SW_HIDE); }
void CDialogWizard::EnableControl(UINT id, bool enable) { ::EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE); }
void CDialogWizard::SetControlText(UINT id, UINT string_id) { ::SetWindowTextW(GetDlgItem(id), Text(string_id).c_str()); }
void CDialogWizard::FocusControl(UINT id) { ::SetFocus(GetDlgItem(id)); }

void CDialogWizard::NextPage() {
  ++current_page_;
  ShowPage();
}

void CDialogWizard::PrevPage() {
  if (current_page_ <= 1) return;
  --current_page_;
  ShowPage();
}

namespace {
void Hide(fw::CDialog& page) {
  if (page.GetSafeHwnd()) ::ShowWindow(page.GetSafeHwnd(), SW_HIDE);
}
}  // namespace

void CDialogWizard::ShowPage() {
  switch (current_page_) {
    case 1:
      Place(welcome_, 150, 60, 288, 395);
      Hide(licence_);
      for (UINT id : {IDC_PRINT, IDC_ACCEPT, IDC_DECLINE}) ShowControl(id, false);
      ShowControl(IDC_NEXT, true);
      ShowControl(IDC_CANCEL_BUTTON, true);
      EnableControl(IDC_BACK, false);
      SetControlText(IDC_NEXT, IDS_NEXT);
      SetControlText(IDC_CANCEL_BUTTON, IDS_CANCEL);
      FocusControl(IDC_NEXT);
      step_panel_.SetStep(1);
      break;
    case 2:
      Place(licence_, 150, 60, 288, 395);
      Hide(welcome_);
      Hide(destination_);
      EnableControl(IDC_BACK, true);
      for (UINT id : {IDC_PRINT, IDC_ACCEPT, IDC_DECLINE}) ShowControl(id, true);
      ShowControl(IDC_NEXT, false);
      ShowControl(IDC_CANCEL_BUTTON, false);
      // The reader starts in the text; accepting takes a deliberate press.
      if (HWND text = ::GetDlgItem(licence_.GetSafeHwnd(), 1003)) ::SetFocus(text);
      step_panel_.SetStep(2);
      break;
    case 3:
      Place(destination_, 150, 60, 288, 395);
      Hide(welcome_);
      Hide(licence_);
      for (UINT id : {IDC_PRINT, IDC_ACCEPT, IDC_DECLINE}) ShowControl(id, false);
      ShowControl(IDC_NEXT, true);
      ShowControl(IDC_CANCEL_BUTTON, true);
      SetControlText(IDC_NEXT, IDS_NEXT);
      SetControlText(IDC_CANCEL_BUTTON, IDS_CANCEL);
      FocusControl(IDC_NEXT);
      step_panel_.SetStep(3);
      break;
    case 4:
      if (!SettleInstallFolder()) return;
      Hide(destination_);
      Hide(licence_);
      for (UINT id : {IDC_BACK, IDC_PRINT, IDC_NEXT}) EnableControl(id, false);
      EnableControl(IDC_CANCEL_BUTTON, true);  // stops the installation, which then undoes itself
      if (repair_mode_) {
        repair_panel_.SetStep(1);
      } else {
        step_panel_.SetStep(4);
      }
      Place(progress_, 150, 60, 288, 395);  // starts the installation on its own
      break;
    case 5:
      Place(finish_, 150, 60, 288, 395);
      Hide(progress_);
      EnableControl(IDC_BACK, false);
      EnableControl(IDC_CANCEL_BUTTON, false);
      for (UINT id : {IDC_BACK, IDC_CANCEL_BUTTON, IDC_NEXT}) ShowControl(id, false);
      ShowControl(IDC_FINISH, true);
      EnableControl(IDC_NEXT, true);
      SetControlText(IDC_NEXT, IDS_FINISH);
      FocusControl(IDC_FINISH);
      if (repair_mode_) {
        repair_panel_.SetStep(2);
      } else {
        step_panel_.SetStep(5);
      }
      break;
    default:
      break;
  }
}

bool CDialogWizard::SettleInstallFolder() {
  CGlimmoraInstallApp* app = GetSetupApp();
  // Separators are normalised first, so the folder checked is the folder used.
  const std::u16string completed = CompleteInstallFolder(app->install_folder_, repair_mode_ != 0);
  const bool usable = app->install_folder_.size() > 1 &&
                      CheckInstallFolderText(completed, kReservedForInstalledFiles) == FolderProblem::kNone &&
                      CreateInstallFolder(completed, &app->folders_made_) == FolderProblem::kNone;
  if (usable) {
    app->install_folder_ = completed;
    return true;
  }
  ShowInvalidFolder(GetSafeHwnd());
  if (repair_mode_) {
    // A repair has no destination page to go back to.
    EndDialog(IDCANCEL);
  } else {
    current_page_ = 3;
  }
  return false;
}

void CDialogWizard::Cancel() {
  // While files are written the wizard stays; the installation itself is
  // asked to stop, and undoes what it did before the finish page comes.
  if (current_page_ == 4) {
    progress_.AskToCancel();
    return;
  }
  EndDialog(IDCANCEL);
}

void CDialogWizard::OnNextAcceptFinish(UINT id) {
  // Only a button the user can see moves on. On the licence page Next is
  // hidden but still the default button, so Enter arrives as its command;
  // the licence is accepted by Accept alone.
  HWND button = GetDlgItem(id);
  if (!::IsWindowVisible(button) || !::IsWindowEnabled(button)) return;
  if (current_page_ == 2 && id != IDC_ACCEPT) return;
  if (current_page_ == 4) return;
  // Button 1 carries the Finish caption on the last page only.
  wchar_t text[128] = {};
  ::GetWindowTextW(GetDlgItem(IDC_NEXT), text, 128);
  if (Text(IDS_FINISH) != text) {
    NextPage();
  } else {
    FinishAction();
  }
}

void CDialogWizard::FinishAction() {
  if (finish_.GetSafeHwnd() && finish_.GetChoice() == 1) {
    EndDialog(IDCANCEL);
    return;
  }
  RequestRestart();  // on refusal the wizard stays open on the finish page
}

bool CDialogWizard::OnCommand(WPARAM wparam, LPARAM) {
  const UINT id = LOWORD(wparam);
  if (HIWORD(wparam) != BN_CLICKED && HIWORD(wparam) != 0) return false;
  switch (id) {
    case IDC_NEXT:
    case IDC_ACCEPT:
    case IDC_FINISH:
      OnNextAcceptFinish(id);
      return true;
    case IDC_BACK:
      if (current_page_ == 2 || current_page_ == 3) PrevPage();
      return true;
    case IDC_CANCEL_BUTTON:
    case IDC_DECLINE:
    case IDC_CLOSE:
      Cancel();
      return true;
    case IDC_PRINT:
      if (current_page_ == 2) PrintText(GetSafeHwnd(), licence_.GetLicenceText(), true);
      return true;
    case IDC_MINIMIZE:
      ::ShowWindow(GetSafeHwnd(), SW_MINIMIZE);
      return true;
    default:
      return false;
  }
}

LRESULT CDialogWizard::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case UM_START_SEQUENCE:
      StartSequence();
      return 0;
    case WM_LBUTTONDOWN:
      // The frame has no caption: it is moved by its background.
      CSkinDialog::WindowProc(message, wparam, lparam);
      SendMessage(WM_SYSCOMMAND, kMoveByCaption, 0);
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg(GetSafeHwnd()).DoModal();
        return 0;
      }
      if ((wparam & 0xFFF0) == SC_CLOSE) {
        Cancel();
        return 0;
      }
      break;
    case WM_HELP:
      return TRUE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      CSkinDialog::WindowProc(message, wparam, lparam);
      return reinterpret_cast<LRESULT>(child_brush_.Get());
    default:
      break;
  }
  return CSkinDialog::WindowProc(message, wparam, lparam);
}
