// The skin gallery: one skinned dialog with every kind of control in every
// state, for a person to look at (screenshots) and for the tests to check
// (sizes, shapes, looks) at whatever resolution the machine has.
//
//   gallery [--skin FOLDER] [--shots FOLDER] [--check] [--show]
//
// --check prints one line per failed check and exits with their count.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/gdiplus_session.h"
#include "gallery_ids.h"
#include "skin/core/scale.h"
#include "skin/pngstatic2.h"
#include "skin/skincombobox.h"
#include "skin/skineditor.h"
#include "skin/skinlistctrl.h"
#include "skin/skinspinbutton.h"
#include "skin/skindialog.h"
#include "skin/skinimage.h"
#include "skin/skinmanager.h"
#include "skin/transparentstatic.h"
#include "support/screenshot_win32.h"

namespace {

struct Options {
  std::wstring skin_folder;
  std::wstring shots;
  bool check = false;
  bool show = false;
};

namespace shots = testing_support;
int g_failures = 0;
std::wstring g_shots;  // where pictures of failed checks go

bool SameColour(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (difference > tolerance || difference < -tolerance) return false;
  }
  return true;
}

shots::Image Picture(const std::wstring& path, int width, int height) {
  auto picture = shots::LoadPicture(path, SIZE{width, height});
  return picture ? *picture : shots::Image(width, height, 0xFFFF00FF);
}

// A picture with alpha as the screen shows it: laid over what is under it.
shots::Image Over(shots::Image picture, shots::Image under) {
  for (int y = 0; y < picture.height && y < under.height; ++y) {
    for (int x = 0; x < picture.width && x < under.width; ++x) {
      const uint32_t top = picture.at(x, y), bottom = under.at(x, y);
      const uint32_t alpha = top >> 24;
      uint32_t out = 0xFF000000;
      for (int shift : {0, 8, 16}) {
        const uint32_t a = (top >> shift) & 0xFF, b = (bottom >> shift) & 0xFF;
        out |= ((a * alpha + b * (255 - alpha)) / 255) << shift;
      }
      picture.at(x, y) = out;
    }
  }
  return picture;
}

void Fail(const char* what, long expected, long actual) {
  ++g_failures;
  std::printf("FAIL %s: expected %ld, got %ld\n", what, expected, actual);
}

void Expect(const char* what, long expected, long actual) {
  if (expected != actual) Fail(what, expected, actual);
}

void Pump(int milliseconds) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::Sleep(10);
  } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

class GalleryDialog : public CSkinDialog {
 public:
  GalleryDialog(const std::wstring& section, Gdiplus::Image* picture)
      : CSkinDialog(IDD_GALLERY, section), picture_image_(picture) {}

  CTransparentStatic2 label_;

 protected:
  void DoDataExchange() override {
    // Bound before the dialog is skinned: the manager leaves them alone.
    DDX_Control(IDC_LABEL, label_);
    DDX_Control(IDC_PICTURE, picture_);
  }

  BOOL OnInitDialog() override {
    CSkinDialog::OnInitDialog();
    picture_.SetImage(picture_image_);
    const int positions[] = {0, 50, 100};
    const UINT bars[] = {IDC_PROGRESS_EMPTY, IDC_PROGRESS_HALF, IDC_PROGRESS_FULL};
    for (int i = 0; i < 3; ++i) {
      ::SendDlgItemMessageW(GetSafeHwnd(), bars[i], PBM_SETRANGE, 0, MAKELPARAM(0, 100));
      ::SendDlgItemMessageW(GetSafeHwnd(), bars[i], PBM_SETPOS, static_cast<WPARAM>(positions[i]), 0);
    }
    ::SendDlgItemMessageW(GetSafeHwnd(), IDC_SLIDER, TBM_SETPOS, TRUE, 30);
    ::SendDlgItemMessageW(GetSafeHwnd(), IDC_CHECK_CHECKED, BM_SETCHECK, BST_CHECKED, 0);
    ::SendDlgItemMessageW(GetSafeHwnd(), IDC_RADIO_FIRST, BM_SETCHECK, BST_CHECKED, 0);
    ::EnableWindow(GetDlgItem(IDC_CHAR_DISABLED), FALSE);
    ::EnableWindow(GetDlgItem(IDC_CHECK_DISABLED), FALSE);
    ::SendDlgItemMessageW(GetSafeHwnd(), IDC_CHAR_PRESSED, BM_SETSTATE, TRUE, 0);
    ::SetFocus(GetDlgItem(IDC_CHAR_FOCUS));
    return FALSE;  // the focus is set
  }

 private:
  CPngStatic2 picture_;
  Gdiplus::Image* picture_image_;
};

// The list-like controls: a combo box, an edit with the skinned scroll
// bar, a list with its header, a spin button.
class GalleryMoreDialog : public CSkinDialog {
 public:
  GalleryMoreDialog() : CSkinDialog(IDD_GALLERY_MORE, L"GalleryMore") {}

 protected:
  BOOL OnInitDialog() override {
    HWND combo = GetDlgItem(IDC_COMBO);
    const wchar_t* names[] = {L"English", L"Deutsch", L"\u65E5\u672C\u8A9E", L"Fran\u00E7ais"};
    for (int i = 0; i < 4; ++i)
      ::SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(names[i]));
    std::wstring text;
    for (int line = 1; line <= 60; ++line) text += L"Line " + std::to_wstring(line) + L" of a long text\r\n";
    ::SetDlgItemTextW(GetSafeHwnd(), IDC_SCROLL_EDIT, text.c_str());
    HWND list = GetDlgItem(IDC_LIST);
    const wchar_t* columns[] = {L"File", L"Size"};
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = 90;
      column.pszText = const_cast<wchar_t*>(columns[i]);
      ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    const wchar_t* files[] = {L"Glimmora.exe", L"Remove.exe", L"Notes.txt"};
    for (int i = 0; i < 3; ++i) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = const_cast<wchar_t*>(files[i]);
      ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    CSkinDialog::OnInitDialog();
    ::SendMessageW(combo, CB_SETCURSEL, 1, 0);
    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    return TRUE;
  }
};

RECT ChildRect(HWND dialog, UINT id) {
  RECT rect{};
  HWND child = ::GetDlgItem(dialog, id);
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

BOOL CALLBACK FindVisibleTooltip(HWND window, LPARAM out) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (::lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && ::IsWindowVisible(window)) {
    wchar_t tip[128] = {};
    ::GetWindowTextW(window, tip, 128);
    *reinterpret_cast<std::wstring*>(out) = tip;
    return FALSE;
  }
  return TRUE;
}

// The visible tooltip window of this process, if any, and its text.
std::wstring VisibleTooltipText() {
  std::wstring text;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindVisibleTooltip, reinterpret_cast<LPARAM>(&text));
  return text;
}

void Shot(const Options& options, HWND window, const wchar_t* name) {
  if (options.shots.empty()) return;
  shots::SavePicture(shots::CaptureWindow(window), options.shots + L"\\" + name);
}

void CheckGeometry(HWND dialog) {
  RECT window{};
  ::GetWindowRect(dialog, &window);
  Expect("frame width", skin::ScaledX(457), window.right - window.left);
  Expect("frame height", skin::ScaledY(526), window.bottom - window.top);

  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  const int kind = ::GetWindowRgn(dialog, region);
  Expect("frame has a region", 1, kind == SIMPLEREGION || kind == COMPLEXREGION);
  Expect("cut corner outside the region", 0, ::PtInRegion(region, 1, 1));
  Expect("centre inside the region", 1,
         ::PtInRegion(region, skin::ScaledX(228), skin::ScaledY(263)) ? 1 : 0);
  ::DeleteObject(region);

  const RECT close = ChildRect(dialog, IDC_CLOSE);
  Expect("close x", skin::ScaledX(420), close.left);
  Expect("close y", skin::ScaledY(8), close.top);
  Expect("close width", skin::ScaledX(26), close.right - close.left);
  Expect("close height", skin::ScaledY(22), close.bottom - close.top);

  const RECT back = ChildRect(dialog, IDC_CHAR_NORMAL);
  Expect("short text button width", 98, back.right - back.left);
  Expect("text button height", skin::ScaledY(30), back.bottom - back.top);
  Expect("text button x", skin::ScaledX(20), back.left);

  const RECT bar = ChildRect(dialog, IDC_PROGRESS_HALF);
  Expect("progress x", skin::ScaledX(20), bar.left);
  Expect("progress y", skin::ScaledY(415), bar.top);
}

void PointAt(HWND dialog, UINT id) {
  const RECT at = ChildRect(dialog, id);
  POINT centre{(at.left + at.right) / 2, (at.top + at.bottom) / 2};
  ::ClientToScreen(dialog, &centre);
  ::SetCursorPos(centre.x, centre.y);
}

// With the pointer resting on a button, its tooltip shows its name.
void ExpectTooltip(HWND dialog, UINT id, const wchar_t* text, bool move_there) {
  if (move_there) {
    ::SetCursorPos(0, 0);
    Pump(600);
    PointAt(dialog, id);
    Pump(1500);
  }
  const std::wstring tip = VisibleTooltipText();
  if (tip != text) {
    ++g_failures;
    std::printf("FAIL tooltip of button %u: expected \"%ls\", got \"%ls\"\n", id, text, tip.c_str());
  }
}

void CheckLooks(const Options& options, HWND dialog, const std::wstring& folder) {
  // At 96 dots per inch a picture lands on the screen pixel for pixel.
  const bool exact = skin::ScaleX == 1.0 && skin::ScaleY == 1.0;
  shots::Image frame = shots::CaptureWindow(dialog);
  auto expect_picture = [&](const char* what, UINT id, const wchar_t* picture) {
    const shots::Image now = shots::CaptureWindow(dialog);
    const RECT at = ChildRect(dialog, id);
    shots::Image background = Picture(folder + L"zcut_03.bmp", skin::ScaledX(457), skin::ScaledY(526));
    const shots::Image expected =
        Over(Picture(folder + picture, at.right - at.left, at.bottom - at.top), shots::Crop(background, at));
    shots::CompareOptions compare;
    compare.tolerance = exact ? 8 : 48;
    compare.allowed_fraction = exact ? 0.01 : 0.25;
    const auto result = shots::CompareRegion(now, at, expected, compare);
    if (!result.matches) {
      ++g_failures;
      std::printf("FAIL %s: %s (%ls)\n", what, result.Describe().c_str(), picture);
      if (!options.shots.empty()) {
        shots::SavePicture(shots::Crop(now, at), options.shots + L"\\failed-actual.png");
        shots::SavePicture(expected, options.shots + L"\\failed-expected.png");
      }
    }
  };
  expect_picture("close button, normal look", IDC_CLOSE, L"cut_wc_x_02.png");
  expect_picture("logo", IDC_LOGO, L"lvf_logo_left.png");

  // A bar at 50 % shows the fill image on its left half, the track on the right.
  const RECT bar = ChildRect(dialog, IDC_PROGRESS_HALF);
  const int width = bar.right - bar.left;
  const int middle_row = (bar.top + bar.bottom) / 2;
  shots::Image fill = Picture(folder + L"jindutiao_dingtiao.png", width, bar.bottom - bar.top);
  shots::Image track = Picture(folder + L"jindutiao_ditiao.png", width, bar.bottom - bar.top);
  const int row = middle_row - bar.top;
  const int left_column = width / 4, right_column = width * 3 / 4;
  if (!SameColour(frame.at(bar.left + left_column, middle_row), fill.at(left_column, row), 40))
    Fail("half bar filled on the left", 1, 0);
  if (!SameColour(frame.at(bar.left + right_column, middle_row), track.at(right_column, row), 40))
    Fail("half bar empty on the right", 1, 0);

  // Hover: the pointer over the close button shows its hover picture and,
  // after the usual delay, its tooltip.
  const RECT close = ChildRect(dialog, IDC_CLOSE);
  POINT centre{(close.left + close.right) / 2, (close.top + close.bottom) / 2};
  ::ClientToScreen(dialog, &centre);
  ::SetCursorPos(centre.x, centre.y);
  Pump(1500);
  expect_picture("close button, hover look", IDC_CLOSE, L"cut_wc_x_04.png");
  Shot(options, dialog, L"gallery-hover.png");
  ExpectTooltip(dialog, IDC_CLOSE, L"Close", false);
  ExpectTooltip(dialog, IDC_MINIMIZE, L"Minimize", true);
  ::SetCursorPos(0, 0);
  Pump(300);
}

void CheckLabel(GalleryDialog& dialog, const std::wstring& folder) {
  // A shorter text over a longer one: outside the new text, the pixels are
  // the background picture again.
  dialog.label_.SetWindowText(L"A much longer status line that fills the label");
  Pump(200);
  dialog.label_.SetWindowText(L"Done");
  Pump(200);
  const RECT at = ChildRect(dialog.GetSafeHwnd(), IDC_LABEL);
  shots::Image frame = shots::CaptureWindow(dialog.GetSafeHwnd());
  shots::Image background = Picture(folder + L"zcut_03.bmp", skin::ScaledX(457), skin::ScaledY(526));
  const int from = at.left + (at.right - at.left) / 2;  // well past "Done"
  int differing = 0;
  for (int y = at.top; y < at.bottom && y < frame.height; ++y) {
    for (int x = from; x < at.right && x < frame.width; ++x) {
      if (!SameColour(frame.at(x, y), background.at(x, y), 24)) ++differing;
    }
  }
  Expect("pixels of the old label text left behind", 0, differing);
  if (differing && !g_shots.empty()) {
    shots::SavePicture(shots::Crop(frame, at), g_shots + L"\\label-actual.png");
    shots::SavePicture(shots::Crop(background, at), g_shots + L"\\label-expected.png");
  }
}

int RunGallery(const Options& options) {
  const std::wstring description = options.skin_folder + L"gallery.ini";
  CSkinManager::SetSkinFile(description);
  skin::ImagePtr picture = skin::LoadImageFile(options.skin_folder + L"lvf_final_icon.png");

  GalleryDialog dialog(L"Gallery", picture.get());
  if (options.show) return static_cast<int>(dialog.DoModal() == -1);
  if (!dialog.Create()) {
    std::printf("FAIL the gallery dialog could not be created\n");
    return 1;
  }
  ::ShowWindow(dialog.GetSafeHwnd(), SW_SHOW);
  ::SetCursorPos(0, 0);
  Pump(500);
  Shot(options, dialog.GetSafeHwnd(), L"gallery.png");
  if (!options.check && !options.shots.empty()) {
    // The states a single picture cannot hold at once: the pointer over a
    // picture button, a text button and a check box; the focus on a check box.
    const struct {
      UINT id;
      const wchar_t* name;
    } hovers[] = {{IDC_CLOSE, L"gallery-hover.png"},
                  {IDC_CHAR_NORMAL, L"gallery-hover-text.png"},
                  {IDC_CHECK_NORMAL, L"gallery-hover-check.png"}};
    for (const auto& hover : hovers) {
      PointAt(dialog.GetSafeHwnd(), hover.id);
      Pump(1500);
      Shot(options, dialog.GetSafeHwnd(), hover.name);
      ::SetCursorPos(0, 0);
      Pump(600);
    }
    ::SetFocus(dialog.GetDlgItem(IDC_CHECK_NORMAL));
    Pump(300);
    Shot(options, dialog.GetSafeHwnd(), L"gallery-focus-check.png");
  }
  if (options.check) {
    Expect("gallery skinned", 1, dialog.IsSkinned() ? 1 : 0);
    CheckGeometry(dialog.GetSafeHwnd());
    CheckLooks(options, dialog.GetSafeHwnd(), options.skin_folder);
    CheckLabel(dialog, options.skin_folder);

    // Without a mask the window stays rectangular; an all-black mask would
    // cut it away completely, so it is not applied.
    for (const wchar_t* section : {L"Unmasked", L"AllBlack"}) {
      GalleryDialog plain(section, nullptr);
      plain.Create();
      RECT window{};
      ::GetWindowRect(plain.GetSafeHwnd(), &window);
      Expect("panel width", skin::ScaledX(149), window.right - window.left);
      Expect("panel height", skin::ScaledY(314), window.bottom - window.top);
      HRGN region = ::CreateRectRgn(0, 0, 0, 0);
      Expect("panel keeps its rectangular shape", ERROR, ::GetWindowRgn(plain.GetSafeHwnd(), region));
      ::DeleteObject(region);
      plain.EndDialog(0);
    }
  }
  dialog.EndDialog(0);

  GalleryMoreDialog more;
  if (!more.Create()) {
    std::printf("FAIL the second gallery dialog could not be created\n");
    return g_failures + 1;
  }
  ::ShowWindow(more.GetSafeHwnd(), SW_SHOW);
  Pump(500);
  Shot(options, more.GetSafeHwnd(), L"gallery-more.png");
  HWND combo = more.GetDlgItem(IDC_COMBO);
  if (options.check) {
    auto* skinned_combo = dynamic_cast<CSkinComboBox*>(fw::CWnd::FromHandlePermanent(combo));
    Expect("combo box skinned", 1, skinned_combo != nullptr);
    wchar_t chosen[64] = {};
    ::GetWindowTextW(combo, chosen, 64);
    Expect("combo box index keeps its row", 1, static_cast<long>(::SendMessageW(combo, CB_GETCURSEL, 0, 0)));
    // Wrapped in the skinned scroll frame, the edit is no longer the page's
    // own child: the frame holds its place and its id.
    HWND frame = more.GetDlgItem(IDC_SCROLL_EDIT);
    Expect("edit wrapped by the scroll frame", 0,
           dynamic_cast<CSkinEditer*>(fw::CWnd::FromHandlePermanent(frame)) != nullptr);
    Expect("list skinned", 1,
           dynamic_cast<CSkinListCtrl*>(fw::CWnd::FromHandlePermanent(more.GetDlgItem(IDC_LIST))) != nullptr);
    Expect("spin skinned", 1,
           dynamic_cast<CSkinSpinButton*>(fw::CWnd::FromHandlePermanent(more.GetDlgItem(IDC_SPIN))) != nullptr);
  }
  ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  Pump(500);
  Shot(options, more.GetSafeHwnd(), L"gallery-more-dropped.png");
  ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  more.EndDialog(0);
  return g_failures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--skin" && i + 1 < argc) {
      options.skin_folder = argv[++i];
    } else if (arg == L"--shots" && i + 1 < argc) {
      options.shots = argv[++i];
    } else if (arg == L"--check") {
      options.check = true;
    } else if (arg == L"--show") {
      options.show = true;
    }
  }
  if (options.skin_folder.empty()) options.skin_folder = GLIMMORA_GALLERY_SKIN;
  if (options.skin_folder.back() != L'\\') options.skin_folder += L'\\';
  if (!options.shots.empty()) {
    // A Linux path from the test's command line is a path of the drive that maps "/".
    for (wchar_t& c : options.shots) {
      if (c == L'/') c = L'\\';
    }
    if (options.shots[0] == L'\\') options.shots = L"Z:" + options.shots;
    ::SHCreateDirectoryExW(nullptr, options.shots.c_str(), nullptr);
    g_shots = options.shots;
  }

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (!fw::StartGdiplus()) {
    std::printf("FAIL GDI+ did not start\n");
    return 1;
  }
  const int failures = RunGallery(options);
  if (options.check) std::printf(failures ? "%d check(s) failed\n" : "all gallery checks passed\n", failures);
  std::fflush(stdout);
  return failures;
}
