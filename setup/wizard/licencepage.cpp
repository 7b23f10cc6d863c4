#include "setup/wizard/licencepage.h"

#include <commdlg.h>

#include "setup/glimmorainstall.h"
#include "setup/languagetable.h"
#include "setup/licencetext.h"
#include "setup/wizard/pagefont.h"
#include "setup/wizard/welcomepage.h"
#include "setup/wizard/wizardids.h"
#include "skin/core/scale.h"

namespace {
constexpr UINT kLanguageList = 1007;
constexpr UINT kLicenceEdit = 1003;
constexpr UINT kNote = 1046;
constexpr UINT kDefaultLicence = 139;
}  // namespace

CDialogSecond::CDialogSecond() : CSkinDialog(IDD_LICENCE_PAGE, L"DialogSecond") {}

void CDialogSecond::DoDataExchange() { DDX_Control(kNote, note_); }

BOOL CDialogSecond::OnInitDialog() {
  edit_ = GetDlgItem(kLicenceEdit);
  if (static_cast<int>(skin::ScaleX * 10) > 10 && edit_) {
    RECT rect{};
    ::GetWindowRect(edit_, &rect);
    ::MapWindowPoints(HWND_DESKTOP, GetSafeHwnd(), reinterpret_cast<POINT*>(&rect), 2);
    ::MoveWindow(edit_, rect.left, rect.top, rect.right - rect.left + 25, rect.bottom - rect.top, TRUE);
  }
  // The page is cut to its skin size, narrower than the template where the
  // dialog font is wide: the text and the skinned scroll bar beside it must
  // stay inside, or the bar would be cut away.
  if (edit_) {
    RECT rect{};
    ::GetWindowRect(edit_, &rect);
    ::MapWindowPoints(HWND_DESKTOP, GetSafeHwnd(), reinterpret_cast<POINT*>(&rect), 2);
    const int limit = skin::ScaledX(288) - skin::ScaledX(21) - skin::ScaledX(6);
    if (rect.right > limit && limit > rect.left)
      ::MoveWindow(edit_, rect.left, rect.top, limit - rect.left, rect.bottom - rect.top, FALSE);
  }
  // The list has the sorted style, but its index must select a language
  // row: entries are inserted at their row's position, never sorted in.
  HWND list = GetDlgItem(kLanguageList);
  for (const LanguageRow& row : LanguageTable()) {
    const std::wstring name(row.shown_name.begin(), row.shown_name.end());
    ::SendMessageW(list, CB_INSERTSTRING, static_cast<WPARAM>(row.row), reinterpret_cast<LPARAM>(name.c_str()));
  }
  ::ShowWindow(list, SW_HIDE);
  const int language = GetSetupApp()->language_copy_;
  ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(language), 0);
  LoadLicenceText();
  CSkinDialog::OnInitDialog();  // binds the note and skins the page
  ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(language), 0);

  HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  SetPageFont(edit_, base, 14, FW_NORMAL, GetSetupApp()->fonts_.text);
  SetPageFont(note_.GetSafeHwnd(), base, 13, FW_NORMAL, GetSetupApp()->fonts_.note);
  ModifyStyle(0, DS_CONTROL);
  ::SetWindowLongPtrW(GetSafeHwnd(), GWL_EXSTYLE,
                      ::GetWindowLongPtrW(GetSafeHwnd(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  AddAboutEntryAndIcon(GetSafeHwnd());
  return TRUE;
}

void CDialogSecond::LoadLicenceText() {
  const LRESULT selection = ::SendDlgItemMessageW(GetSafeHwnd(), kLanguageList, CB_GETCURSEL, 0, 0);
  UINT id = kDefaultLicence;
  const auto& table = LanguageTable();
  if (selection >= 0 && static_cast<size_t>(selection) < table.size()) id = table[static_cast<size_t>(selection)].text_id;
  HMODULE self = ::GetModuleHandleW(nullptr);
  HRSRC found = ::FindResourceW(self, MAKEINTRESOURCEW(id), L"SFX_TEXT");
  HGLOBAL loaded = found ? ::LoadResource(self, found) : nullptr;
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return;
  const std::u16string text = LicenceTextFromResource(bytes, ::SizeofResource(self, found));
  licence_text_.assign(text.begin(), text.end());
  ::SetWindowTextW(edit_, licence_text_.c_str());
}

bool CDialogSecond::OnCommand(WPARAM wparam, LPARAM) {
  if (LOWORD(wparam) == kLanguageList && HIWORD(wparam) == CBN_SELCHANGE) {
    LoadLicenceText();
    return true;
  }
  return false;
}

LRESULT CDialogSecond::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND control = reinterpret_cast<HWND>(lparam);
  HDC dc = reinterpret_cast<HDC>(wparam);
  if ((message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) && control == edit_) {
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::SetBkColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH));
  }
  if (message == WM_CTLCOLORSTATIC && ::GetDlgCtrlID(control) == static_cast<int>(kNote)) {
    const LRESULT brush = CSkinDialog::WindowProc(message, wparam, lparam);
    ::SetTextColor(dc, RGB(255, 255, 255));
    return brush;
  }
  return CSkinDialog::WindowProc(message, wparam, lparam);
}

bool PrintText(HWND owner, const std::wstring& text, bool ask) {
  PRINTDLGW print{};
  print.lStructSize = sizeof(print);
  print.hwndOwner = owner;
  print.Flags = PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE | PD_RETURNDC;
  if (!ask) print.Flags |= PD_RETURNDEFAULT;
  if (!::PrintDlgW(&print) || !print.hDC) {
    if (print.hDevMode) ::GlobalFree(print.hDevMode);
    if (print.hDevNames) ::GlobalFree(print.hDevNames);
    return false;  // cancelled, or no printer at all
  }
  fw::ScopedMemoryDC printer(print.hDC);  // deleted, as a printer DC is
  if (print.hDevMode) ::GlobalFree(print.hDevMode);
  if (print.hDevNames) ::GlobalFree(print.hDevNames);
  ::SetMapMode(printer.Get(), MM_TEXT);

  LOGFONTW face{};
  face.lfHeight = -::MulDiv(10, ::GetDeviceCaps(printer.Get(), LOGPIXELSY), 72);
  face.lfOutPrecision = OUT_TT_PRECIS;
  face.lfPitchAndFamily = FF_SWISS;
  lstrcpynW(face.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
  fw::ScopedFont font(::CreateFontIndirectW(&face));
  fw::ScopedSelect select(printer.Get(), font.Get());
  ::SetBkMode(printer.Get(), OPAQUE);

  const int page_width = ::GetDeviceCaps(printer.Get(), HORZRES);
  const int page_height = ::GetDeviceCaps(printer.Get(), VERTRES);
  const UINT format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP;
  RECT all{0, 0, page_width, page_height};
  const int total = ::DrawTextW(printer.Get(), text.c_str(), static_cast<int>(text.size()), &all, format | DT_CALCRECT);
  RECT one_line{0, 0, page_width, page_height};
  const int line = ::DrawTextW(printer.Get(), L"X", 1, &one_line, format | DT_CALCRECT);
  const PrintLayout layout = LayoutPrintedText(total, page_height, line);

  DOCINFOW document{};
  document.cbSize = sizeof(document);
  document.lpszDocName = L"Licence";
  bool ok = ::StartDocW(printer.Get(), &document) > 0;
  for (int page = 0; ok && page < layout.pages; ++page) {
    ok = ::StartPage(printer.Get()) > 0;
    if (!ok) break;
    // Only whole lines on a page: the text is clipped at the last line
    // that fits, and the next page starts with the line after it.
    const int offset = page * layout.page_step;
    ::SetViewportOrgEx(printer.Get(), 0, -offset, nullptr);
    ::IntersectClipRect(printer.Get(), 0, offset, page_width, offset + layout.page_step);
    RECT target{0, 0, page_width, offset + page_height};
    ::DrawTextW(printer.Get(), text.c_str(), static_cast<int>(text.size()), &target, DT_WORDBREAK | DT_EXPANDTABS);
    ::SelectClipRgn(printer.Get(), nullptr);
    ok = ::EndPage(printer.Get()) > 0;
  }
  if (ok) {
    ::EndDoc(printer.Get());
  } else {
    ::AbortDoc(printer.Get());
  }
  return true;
}
