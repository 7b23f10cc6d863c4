#include "setup/wizard/steppanel.h"

#include "setup/glimmorainstall.h"
#include "setup/wizard/pagefont.h"
#include "setup/wizard/wizardids.h"

namespace {
std::wstring TempPicture(const wchar_t* name) {
  const std::u16string& folder = GetSetupApp()->temp_folder_;
  return std::wstring(folder.begin(), folder.end()) + name;
}
}  // namespace

CStepPanel::CStepPanel(UINT template_id, const wchar_t* section, std::vector<UINT> balls, std::vector<UINT> captions)
    : CSkinDialog(template_id, section),
      ball_ids_(std::move(balls)),
      caption_ids_(std::move(captions)),
      balls_(ball_ids_.size()),
      captions_(caption_ids_.size()),
      current_caption_(caption_ids_.front()) {
  // Loaded once and shared by the balls for the life of the panel.
  done_ = skin::LoadImageFile(TempPicture(kBallDone));
  current_ = skin::LoadImageFile(TempPicture(kBallCurrent));
  to_come_ = skin::LoadImageFile(TempPicture(kBallToCome));
}

void CStepPanel::DoDataExchange() {
  for (size_t i = 0; i < balls_.size(); ++i) DDX_Control(ball_ids_[i], balls_[i]);
  for (size_t i = 0; i < captions_.size(); ++i) DDX_Control(caption_ids_[i], captions_[i]);
}

BOOL CStepPanel::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  // A control container, so that tabbing passes through the panel.
  ModifyStyle(0, DS_CONTROL);
  ::SetWindowLongPtrW(GetSafeHwnd(), GWL_EXSTYLE,
                      ::GetWindowLongPtrW(GetSafeHwnd(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  current_caption_ = caption_ids_.front();
  HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  for (auto& caption : captions_) SetPageFont(caption.GetSafeHwnd(), base, 14, FW_NORMAL, GetSetupApp()->fonts_.caption);
  return TRUE;
}

void CStepPanel::SetStep(int step) {
  for (size_t i = 0; i < balls_.size(); ++i) {
    const int ball = static_cast<int>(i) + 1;
    balls_[i].SetImage(ball < step ? done_.get() : ball == step ? current_.get() : to_come_.get());
  }
  if (step >= 1 && static_cast<size_t>(step) <= caption_ids_.size()) current_caption_ = caption_ids_[step - 1];
  // The captions' colours follow the current step.
  for (auto& caption : captions_) caption.Invalidate(true);
  Invalidate(false);
}

LRESULT CStepPanel::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLORSTATIC) {
    const LRESULT brush = CSkinDialog::WindowProc(message, wparam, lparam);
    const bool current = ::GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == static_cast<int>(current_caption_);
    ::SetTextColor(reinterpret_cast<HDC>(wparam), current ? RGB(255, 255, 255) : RGB(153, 153, 153));
    return brush;
  }
  return CSkinDialog::WindowProc(message, wparam, lparam);
}

CDialogLeftWiz::CDialogLeftWiz()
    : CStepPanel(IDD_STEP_PANEL, L"DialogLeftWiz", {1032, 1033, 1034, 1035, 1036}, {1008, 1009, 1010, 1011, 1012}) {}

CDialogLeftWizRepair::CDialogLeftWizRepair()
    : CStepPanel(IDD_REPAIR_STEP_PANEL, L"DialogLeftWizRepair", {1017, 1018}, {1011, 1012}) {}
