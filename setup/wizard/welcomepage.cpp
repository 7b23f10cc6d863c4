#include "setup/wizard/welcomepage.h"

#include "framework/resources.h"
#include "setup/glimmorainstall.h"
#include "setup/wizard/pagefont.h"
#include "setup/wizard/wizardids.h"

void AddAboutEntryAndIcon(HWND page) {
  if (HMENU menu = ::GetSystemMenu(page, FALSE)) {
    const std::u16string about = fw::LoadString(IDS_ABOUT);
    if (!about.empty()) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, reinterpret_cast<const wchar_t*>(about.c_str()));
    }
  }
  HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
  ::SendMessageW(page, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageW(page, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

CDilaogFirst::CDilaogFirst() : CSkinDialog(IDD_WELCOME_PAGE, L"DialogFirst") {}

void CDilaogFirst::DoDataExchange() {
  DDX_Control(1005, title_);
  DDX_Control(1025, introduction_);
}

BOOL CDilaogFirst::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  SetPageFont(title_.GetSafeHwnd(), base, 14, FW_NORMAL, GetSetupApp()->fonts_.text);
  SetPageFont(introduction_.GetSafeHwnd(), base, 14, FW_NORMAL, GetSetupApp()->fonts_.text);
  AddAboutEntryAndIcon(GetSafeHwnd());
  return TRUE;
}

LRESULT CDilaogFirst::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLORSTATIC) {
    const LRESULT brush = CSkinDialog::WindowProc(message, wparam, lparam);
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
    ::SetTextColor(reinterpret_cast<HDC>(wparam), id == 1037 || id == 1038 ? RGB(153, 153, 153) : RGB(255, 255, 255));
    return brush;
  }
  return CSkinDialog::WindowProc(message, wparam, lparam);
}
