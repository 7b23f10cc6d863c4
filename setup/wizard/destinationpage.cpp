#include "setup/wizard/destinationpage.h"

#include <shlobj.h>

#include "setup/glimmorainstall.h"
#include "setup/installfolder.h"
#include "setup/languagetable.h"
#include "setup/wizard/dirdialog.h"
#include "setup/wizard/pagefont.h"
#include "setup/wizard/wizardids.h"

namespace {
constexpr UINT kBrowse = 1000;
constexpr UINT kPrompt = 1004;
constexpr UINT kFolderEdit = 1005;
constexpr UINT kLanguageList = 1008;

void SetAppFolder(const std::wstring& folder) { GetSetupApp()->install_folder_.assign(folder.begin(), folder.end()); }
}  // namespace

CDialogSelLang::CDialogSelLang()
    : CSkinDialog(IDD_DESTINATION_PAGE, L"DialogSelLang"), black_(::CreateSolidBrush(RGB(0, 0, 0))) {}

void CDialogSelLang::DoDataExchange() {
  DDX_Control(kLanguageList, languages_);
  DDX_Control(kFolderEdit, folder_edit_);
  DDX_Control(kPrompt, prompt_);
}

BOOL CDialogSelLang::OnInitDialog() {
  fw::CDialog::OnInitDialog();  // binds the members; the skin follows below
  // A folder so long that the installed files would not fit cannot be typed.
  folder_edit_.LimitText(static_cast<int>(kMaxTypedFolder));
  wchar_t program_files[MAX_PATH] = {};
  ::SHGetSpecialFolderPathW(GetSafeHwnd(), program_files, CSIDL_PROGRAM_FILES, FALSE);
  folder_ = std::wstring(program_files) + L"\\Tavrin\\";
  // Raises the edit's change notification, which copies it to the setting.
  folder_edit_.SetWindowText(folder_);
  SetAppFolder(folder_edit_.GetWindowText());

  SkinNow();
  HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  SetPageFont(prompt_.GetSafeHwnd(), base, 14, FW_NORMAL, GetSetupApp()->fonts_.text);

  const auto& table = LanguageTable();
  for (const LanguageRow& row : table)
    languages_.InsertString(row.row, std::wstring(row.shown_name.begin(), row.shown_name.end()));
  ::ShowWindow(languages_.GetSafeHwnd(), SW_HIDE);
  if (const auto row = RowForSystemLanguage(::GetSystemDefaultLangID())) {
    languages_.SetCurSel(*row);
    g_language_index = *row;
  }
  return TRUE;
}

bool CDialogSelLang::OnCommand(WPARAM wparam, LPARAM) {
  const UINT id = LOWORD(wparam);
  const UINT code = HIWORD(wparam);
  if (id == kBrowse && code == BN_CLICKED) {
    CDirDialog picker;
    if (picker.DoBrowse(nullptr) == 1) {
      folder_edit_.SetWindowText(picker.GetPath());
      SetAppFolder(picker.GetPath());
    }
    return true;
  }
  if (id == kFolderEdit && code == EN_CHANGE) {
    SetAppFolder(folder_edit_.GetWindowText());
    return true;
  }
  return false;
}

LRESULT CDialogSelLang::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CTLCOLORSTATIC: {
      const LRESULT brush = CSkinDialog::WindowProc(message, wparam, lparam);
      if (reinterpret_cast<HWND>(lparam) == folder_edit_.GetSafeHwnd()) return brush;  // a read-only edit asks this way
      ::SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
      // Over the dark page picture only light text can be read.
      ::SetTextColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
      return brush;
    }
    case WM_CTLCOLOREDIT:
      return CSkinDialog::WindowProc(message, wparam, lparam);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORDLG:
      CSkinDialog::WindowProc(message, wparam, lparam);
      return reinterpret_cast<LRESULT>(black_.Get());
    default:
      return CSkinDialog::WindowProc(message, wparam, lparam);
  }
}
