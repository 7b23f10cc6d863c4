// The skinned combo box, list view with its header, and up-down control on
// real native controls in a small dialog: what their skin lines set, where
// the combo box goes and how wide it grows, that an index selects the same
// entry whatever the box's style, and the pixels each control shows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/gdi.h"
#include "setup/languagetable.h"
#include "skin/core/scale.h"
#include "skin/skincombobox.h"
#include "skin/skinctrfactory.h"
#include "skin/skinlistctrl.h"
#include "skin/skinspinbutton.h"
#include "support/screenshot_win32.h"
#include "support/skin_test_host.h"

namespace {

using testing_support::Blend;
using testing_support::Image;
using testing_support::SkinFolder;
using testing_support::SkinPicture;

// The licence page's line, as the setup skin has it.
const std::wstring kLicenceLine =
    L"_K_ComBobox_left.png,_K_ComBobox_Mid.png,_K_ComBobox_Right_1.png,_K_ComBobox_left.png,_K_ComBobox_Mid.png,"
    L"_K_ComBobox_Right_2.png,black.png,nlvf_05_bg.bmp";

constexpr int kComboId = 1007;

// Per channel: solid pictures drawn one to one come out exact; this only
// absorbs GDI+ rounding its blends a little differently from Blend.
constexpr int kTolerance = 3;

bool Near(uint32_t actual, COLORREF expected) {
  const uint32_t want = testing_support::FromColorRef(expected);
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int b = static_cast<int>((want >> shift) & 0xFF);
    if (std::abs(a - b) > kTolerance) return false;
  }
  return true;
}

class SkinControlHost : public testing_support::SkinDialogTest {
 protected:
  HWND Child(const wchar_t* window_class, DWORD style, int id, int x, int y, int width, int height) {
    return AddChild(window_class, L"", style, id, x, y, width, height);
  }

  // The extent of `text` in the dialog's font, measured the plain GDI way.
  SIZE DialogTextExtent(const std::wstring& text) const {
    LOGFONTW logfont{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0)), sizeof(logfont), &logfont);
    logfont.lfHeight = -std::abs(logfont.lfHeight);
    fw::ScopedFont font(CreateFontIndirectW(&logfont));
    fw::ScopedWindowDC dc(dialog_);
    fw::ScopedSelect select(dc.Get(), font.Get());
    SIZE extent{};
    GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
  }
};

TEST(SkinControlFactory, MakesTheComboListAndSpinKinds) {
  CSkinCtrFactory factory;
  const std::unique_ptr<CSkinCtr> combo(factory.CreateComboBox());
  const std::unique_ptr<CSkinCtr> list(factory.CreateListCtrl());
  const std::unique_ptr<CSkinCtr> spin(factory.CreateSpinButton());
  EXPECT_NE(dynamic_cast<CSkinComboBox*>(combo.get()), nullptr);
  EXPECT_NE(dynamic_cast<CSkinListCtrl*>(list.get()), nullptr);
  EXPECT_NE(dynamic_cast<CSkinSpinButton*>(spin.get()), nullptr);
}

// ---------------------------------------------------------------------------
// Combo box

class SkinComboTest : public SkinControlHost {
 protected:
  void TearDown() override {
    SkinControlHost::TearDown();
    combo_.reset();
  }

  // The licence page's box: a sorted drop-down list.
  HWND MakeBox(DWORD style = CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL) {
    return Child(L"COMBOBOX", style, kComboId, 30, 40, 160, 200);
  }
  CSkinComboBox* Skin(HWND window, const std::wstring& line) {
    combo_ = std::make_unique<CSkinComboBox>();
    EXPECT_TRUE(combo_->SubclassWindow(window));
    EXPECT_EQ(combo_->LoadSkin(&line, &SkinFolder()), 0);
    return combo_.get();
  }
  int Width() const {
    const RECT rect = combo_->GetRectInParent();
    return rect.right - rect.left;
  }

  std::unique_ptr<CSkinComboBox> combo_;
};

TEST_F(SkinComboTest, LineSetsPicturesAndPlacesTheBoxAtScaledDesignPixels) {
  struct Row {
    const char* label;
    int dpi;
    const wchar_t* tail;  // after the licence line
    int left, top, width;
  };
  const Row rows[] = {
      // 65 + the initial widest text (20).
      {"96-dpi", 96, L",40,50", 40, 50, 85},
      // 65 x 1.25 truncated = 81; 50 x 1.25 = 62.5.
      {"120-dpi", 120, L",40,50", 50, 62, 101},
      // Without both numbers the box keeps its dialog place and width.
      {"no-position", 96, L"", 30, 40, 160},
      {"negative-x", 96, L",-1,50", 30, 40, 160},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    skin::SetScaleFromDpi(row.dpi, row.dpi);
    if (combo_) DestroyWindow(*combo_);
    CSkinComboBox* box = Skin(MakeBox(), kLicenceLine + row.tail);
    const RECT rect = InParent(*box);
    EXPECT_EQ(rect.left, row.left);
    EXPECT_EQ(rect.top, row.top);
    EXPECT_EQ(rect.right - rect.left, row.width);
  }
  EXPECT_EQ(combo_->normal_piece_path(2), SkinFolder() + L"_K_ComBobox_Right_1.png");
  EXPECT_EQ(combo_->dropped_piece_path(2), SkinFolder() + L"_K_ComBobox_Right_2.png");
  EXPECT_EQ(combo_->dropped_piece_path(0), SkinFolder() + L"_K_ComBobox_left.png");
  EXPECT_EQ(combo_->item_image_path(), SkinFolder() + L"black.png");
  EXPECT_EQ(combo_->background_path(), SkinFolder() + L"nlvf_05_bg.bmp");
  EXPECT_EQ(combo_->font_face(), L"Segoe UI");
  EXPECT_GT(combo_->font_size(), 0);
  // The owner-draw marks are added; the native style is otherwise kept.
  const DWORD style = combo_->GetStyle();
  EXPECT_TRUE(style & CBS_OWNERDRAWFIXED);
  EXPECT_TRUE(style & CBS_HASSTRINGS);
  EXPECT_TRUE(style & CBS_SORT);

  EXPECT_EQ(combo_->LoadSkin(nullptr, &SkinFolder()), 5);
  EXPECT_EQ(combo_->LoadSkin(&kLicenceLine, nullptr), 5);
}

TEST_F(SkinComboTest, BoxGrowsForAWiderEntryOnly) {
  CSkinComboBox* box = Skin(MakeBox(), kLicenceLine + L",10,10");
  ASSERT_EQ(Width(), 85);
  box->AddString(L"i");  // narrower than the initial 20
  EXPECT_EQ(Width(), 85);

  const std::wstring wide = L"A considerably wider entry";
  box->AddString(wide);
  const SIZE extent = DialogTextExtent(wide);
  EXPECT_EQ(box->widest_text().cx, extent.cx);
  EXPECT_EQ(Width(), 72 + extent.cx);

  box->InsertString(0, L"Short");
  EXPECT_EQ(Width(), 72 + extent.cx);
  const std::wstring wider = wide + L", wider still";
  box->InsertString(1, wider);
  EXPECT_EQ(Width(), 72 + DialogTextExtent(wider).cx);
  // Growing never moves the box.
  EXPECT_EQ(InParent(*box).left, 10);
}

TEST_F(SkinComboTest, LanguageNamesKeepTheirRowsAndSetTheWidth) {
  std::vector<std::wstring> names;
  int widest = 20;
  for (const LanguageRow& row : LanguageTable()) {
    names.emplace_back(row.shown_name.begin(), row.shown_name.end());
    widest = std::max<int>(widest, DialogTextExtent(names.back()).cx);
  }
  ASSERT_EQ(names.size(), 22u);

  // As the licence page does it: filled by row in the sorted box, then
  // skinned (the line's place stands in for one with a position); and
  // skinned first, then filled.
  for (const bool skin_first : {false, true}) {
    SCOPED_TRACE(skin_first ? "skinned first" : "filled first");
    if (combo_) DestroyWindow(*combo_);
    HWND window = MakeBox();
    if (skin_first) Skin(window, kLicenceLine + L",10,10");
    for (size_t row = 0; row < names.size(); ++row) {
      EXPECT_EQ(SendMessageW(window, CB_INSERTSTRING, row, reinterpret_cast<LPARAM>(names[row].c_str())),
                static_cast<LRESULT>(row));
    }
    if (!skin_first) Skin(window, kLicenceLine + L",10,10");
    EXPECT_EQ(combo_->widest_text().cx, widest);
    EXPECT_EQ(Width(), skin_first ? 72 + widest : 65 + widest);
    for (size_t row = 0; row < names.size(); ++row) EXPECT_EQ(combo_->GetLBText(static_cast<int>(row)), names[row]);
    EXPECT_EQ(combo_->SetCurSel(7), 7);
    EXPECT_EQ(combo_->GetCurSel(), 7);
    EXPECT_EQ(combo_->current_text(), names[7]);
  }
}

TEST_F(SkinComboTest, IndexSelectsTheSameEntryAndAnythingElseKeepsTheText) {
  CSkinComboBox* box = Skin(MakeBox(), kLicenceLine);
  // Out of order in a sorted box: the index is still where each went in.
  const wchar_t* const entries[] = {L"Zulu", L"Alpha", L"Mike"};
  for (int i = 0; i < 3; ++i) box->InsertString(i, entries[i]);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(box->SetCurSel(i), i);
    EXPECT_EQ(box->GetCurSel(), i);
    EXPECT_EQ(box->current_text(), entries[i]);
  }
  // The native box decides what a refused index does to its selection.
  constexpr int kAnySelection = -2;
  struct Row {
    const char* label;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    LRESULT answer;
    int selection;
  };
  const Row rows[] = {
      {"no selection", CB_SETCURSEL, static_cast<WPARAM>(-1), 0, CB_ERR, -1},
      {"past the end", CB_SETCURSEL, 99, 0, CB_ERR, kAnySelection},
      {"wheel down", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(60, 50), TRUE, 1},
      {"wheel up", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(60, 50), TRUE, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    box->SetCurSel(1);
    EXPECT_EQ(box->SendMessage(row.message, row.wparam, row.lparam), row.answer);
    if (row.selection != kAnySelection) {
      EXPECT_EQ(box->GetCurSel(), row.selection);
    }
    EXPECT_EQ(box->current_text(), L"Alpha");
  }

  // A choice made with the keys shows in the box, and the dialog still
  // hears of it.
  box->SetCurSel(0);
  host_.commands.clear();
  box->SendMessage(WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(box->GetCurSel(), 1);
  EXPECT_EQ(box->current_text(), L"Alpha");
  EXPECT_NE(std::find(host_.commands.begin(), host_.commands.end(), std::make_pair(kComboId, int{CBN_SELCHANGE})),
            host_.commands.end());
}

TEST_F(SkinComboTest, ListItemsAreDrawnOverTheItemPicture) {
  CSkinComboBox* box = Skin(MakeBox(), kLicenceLine);
  box->AddString(L"a");
  box->AddString(L"b");
  box->SetCurSel(0);

  constexpr int kWidth = 120, kHeight = 18;
  fw::ScopedWindowDC screen(nullptr);
  fw::ScopedMemoryDC memory(CreateCompatibleDC(screen.Get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  fw::ScopedBitmap target(CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(target.IsValid());
  fw::ScopedSelect select(memory.Get(), target.Get());
  const auto pixel = [&](int x, int y) { return static_cast<const uint32_t*>(bits)[y * kWidth + x] | 0xFF000000u; };
  const std::optional<Image> loaded = testing_support::LoadPicture(SkinFolder() + L"black.png", SIZE{kWidth, kHeight});
  ASSERT_TRUE(loaded.has_value());
  const Image& plate = *loaded;

  struct Row {
    const char* label;
    UINT item, action, state;
    bool plate;            // the item picture is drawn
    bool white;            // the text is written in white
    const wchar_t* shown;  // the box's text afterwards
    int selected;
  };
  const Row rows[] = {
      {"whole item", 1, ODA_DRAWENTIRE, 0, true, false, L"a", -1},
      {"selected", 1, ODA_SELECT, ODS_SELECTED, false, true, L"b", 1},
      {"deselected", 1, ODA_SELECT, 0, true, false, L"b", 1},
      {"focus only", 0, ODA_FOCUS, ODS_FOCUS, false, false, L"b", 1},
      {"empty list", static_cast<UINT>(-1), ODA_DRAWENTIRE, 0, false, false, L"b", 1},
      {"past the end", 7, ODA_SELECT, ODS_SELECTED, false, false, L"b", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    memset(bits, 0, kWidth * kHeight * 4);
    DRAWITEMSTRUCT item{ODT_COMBOBOX, kComboId, row.item, row.action, row.state, *box, memory.Get(),
                        {0, 0, kWidth, kHeight}, 0};
    EXPECT_EQ(SendMessageW(dialog_, WM_DRAWITEM, kComboId, reinterpret_cast<LPARAM>(&item)), TRUE);
    GdiFlush();
    // Right of the one-letter text only the item picture shows (or nothing).
    const uint32_t beside_text = pixel(kWidth / 2, kHeight / 2);
    const COLORREF picture = testing_support::ToColorRef(plate.at(kWidth / 2, kHeight / 2));
    EXPECT_TRUE(Near(beside_text, row.plate ? picture : RGB(0, 0, 0))) << std::hex << beside_text;
    int white = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth / 2; ++x) white += (pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
    }
    EXPECT_EQ(white > 0, row.white) << white;
    EXPECT_EQ(box->current_text(), row.shown);
    EXPECT_EQ(box->selected_item(), row.selected);
  }
}

TEST_F(SkinComboTest, ClosedBoxShowsTheNormalPiecesAndDroppedTheDroppedOnes) {
  CSkinComboBox* box = Skin(MakeBox(), kLicenceLine + L",30,40");
  box->AddString(L"English");
  RECT client{};
  GetClientRect(*box, &client);
  const int w = client.right, h = client.bottom;
  ASSERT_GT(w, 36);
  const auto expected = [&](const wchar_t* right) {
    Image look = Crop(SkinPicture(L"nlvf_05_bg.bmp"), InParent(*box));
    Blend(&look, SkinPicture(L"_K_ComBobox_left.png", SIZE{12, h}), 0, 0);
    Blend(&look, SkinPicture(L"_K_ComBobox_Mid.png", SIZE{w - 36, h}), 12, 0);
    Blend(&look, SkinPicture(right, SIZE{24, h}), w - 24, 0);
    return look;
  };
  const testing_support::CompareOptions options{kTolerance};

  EXPECT_TRUE(testing_support::MatchesPicture(testing_support::CaptureWindow(*box),
                                              expected(L"_K_ComBobox_Right_1.png"), options, "normal"));
  box->SendMessage(CB_SHOWDROPDOWN, TRUE);
  EXPECT_TRUE(box->dropped());
  EXPECT_TRUE(testing_support::MatchesPicture(testing_support::CaptureWindow(*box),
                                              expected(L"_K_ComBobox_Right_2.png"), options, "dropped"));
  box->SendMessage(CB_SHOWDROPDOWN, FALSE);
  EXPECT_FALSE(box->dropped());

  // The chosen entry is written over the pieces in white.
  box->SetCurSel(0);
  const Image with_text = testing_support::CaptureWindow(*box);
  int white = 0;
  for (uint32_t pixel : with_text.pixels) white += (pixel & 0xFFFFFF) == 0xFFFFFF;
  EXPECT_GT(white, 5);
  const testing_support::Comparison change =
      testing_support::CompareImages(with_text, expected(L"_K_ComBobox_Right_1.png"), options);
  EXPECT_GT(change.differing, 20) << change.Describe();
}

// ---------------------------------------------------------------------------
// List view and header

constexpr COLORREF kListBack = RGB(30, 60, 200);
constexpr COLORREF kLabelMark = RGB(220, 30, 40);
constexpr COLORREF kColumnBack = RGB(20, 160, 60);
constexpr COLORREF kColumnMark = RGB(240, 200, 20);
constexpr COLORREF kUpNormal = RGB(10, 10, 90), kUpHot = RGB(10, 90, 10), kUpPressed = RGB(90, 10, 10);
constexpr COLORREF kDownNormal = RGB(10, 90, 90), kDownHot = RGB(90, 90, 10), kDownPressed = RGB(90, 10, 90);

class SkinPictureTest : public SkinControlHost {
 protected:
  void SetUp() override {
    SkinControlHost::SetUp();
    folder_ = testing_support::WideScratchFolder("skin-combo");
  }
  // A solid picture of `colour`, written as a BMP.
  void Picture(const wchar_t* name, int width, int height, COLORREF colour) {
    ASSERT_TRUE(testing_support::SavePicture(Image(width, height, testing_support::FromColorRef(colour)),
                                             folder_ + name));
  }
  std::wstring folder_;
};

class SkinListTest : public SkinPictureTest {
 protected:
  void TearDown() override {
    SkinPictureTest::TearDown();
    list_.reset();
  }
  void MakeList() {
    Picture(L"list.bmp", 40, 40, kListBack);
    Picture(L"label.bmp", 16, 16, kLabelMark);
    Picture(L"column.bmp", 30, 20, kColumnBack);
    Picture(L"mark.bmp", 16, 16, kColumnMark);
    HWND window = Child(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS, 1100, 20, 20, 240, 140);
    ASSERT_NE(window, nullptr);
    const wchar_t* const titles[] = {L"", L"Name"};
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNW column{};
      column.mask = LVCF_WIDTH | LVCF_TEXT;
      column.cx = 90;
      column.pszText = const_cast<wchar_t*>(titles[i]);
      SendMessageW(window, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < 2; ++i) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = const_cast<wchar_t*>(L"ab");
      SendMessageW(window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    list_ = std::make_unique<CSkinListCtrl>();
    ASSERT_TRUE(list_->SubclassWindow(window));
    const std::wstring line = L"list.bmp,label.bmp,column.bmp,mark.bmp";
    ASSERT_EQ(list_->LoadSkin(&line, &folder_), 0);
    ASSERT_NE(list_->header().GetSafeHwnd(), nullptr);
  }
  RECT ItemRect(int item, int part) const {
    RECT rect{};
    rect.left = part;
    SendMessageW(*list_, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect));
    return rect;
  }
  RECT HeaderItem(int index) const {
    RECT rect{};
    SendMessageW(list_->header(), HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
  }
  int ColumnWidth(int column) const { return static_cast<int>(SendMessageW(*list_, LVM_GETCOLUMNWIDTH, column, 0)); }

  std::unique_ptr<CSkinListCtrl> list_;
};

TEST_F(SkinListTest, ListAndHeaderDrawFromTheirPictures) {
  MakeList();
  LVITEMW selected{};
  selected.stateMask = LVIS_SELECTED;
  selected.state = LVIS_SELECTED;
  SendMessageW(*list_, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));

  const Image look = testing_support::CaptureWindow(*list_);
  RECT client{};
  GetClientRect(*list_, &client);
  ASSERT_EQ(look.width, client.right);  // no frame: window and client agree
  const RECT first = HeaderItem(0), second = HeaderItem(1);
  const RECT label = ItemRect(0, LVIR_LABEL), chosen = ItemRect(1, LVIR_LABEL);
  struct Spot {
    const char* label;
    int x, y;
    COLORREF colour;
  };
  const Spot spots[] = {
      {"column picture at the top-left", first.left + 3, first.top + 3, kColumnMark},
      {"column background", first.right - 4, first.bottom - 3, kColumnBack},
      {"second column's picture", second.left + 8, second.top + 8, kColumnMark},
      {"empty header room", client.right - 3, first.top + 3, kColumnBack},
      {"list background", client.right / 2, client.bottom - 5, kListBack},
      // Left of and above the text, which is written over it.
      {"label picture", label.left + 2, label.top + 2, kLabelMark},
      {"label picture's right edge", label.left + 15, label.top + 2, kLabelMark},
      {"right of the label picture", label.left + 17, label.top + 2, kListBack},
      // A selected label is the skin's colour, picture or not.
      {"selected label", chosen.left + 2, chosen.top + 2, list_->selected_back_colour()},
      {"beside a label", label.right + 40, (label.top + label.bottom) / 2, kListBack},
      // The selected row's text background is the skin's colour, the
      // others' none at all.
      {"selected row", (second.left + second.right) / 2, (chosen.top + chosen.bottom) / 2,
       list_->selected_back_colour()},
      {"other row", (second.left + second.right) / 2, (label.top + label.bottom) / 2, kListBack},
  };
  for (const Spot& spot : spots) {
    SCOPED_TRACE(spot.label);
    ASSERT_LT(spot.x, look.width);
    ASSERT_LT(spot.y, look.height);
    EXPECT_TRUE(Near(look.at(spot.x, spot.y), spot.colour))
        << std::hex << look.at(spot.x, spot.y) << " at " << std::dec << spot.x << "," << spot.y;
  }
  // The second column's title is written over its picture.
  int written = 0;
  for (int y = second.top; y < second.bottom; ++y) {
    for (int x = second.left + 20; x < second.right; ++x) written += !Near(look.at(x, y), kColumnBack);
  }
  EXPECT_GT(written, 10);
}

TEST_F(SkinListTest, ColumnsCannotBeResizedByTheUser) {
  MakeList();
  HWND header = list_->header();
  const RECT first = HeaderItem(0);
  const int divider = first.right - 1;
  const int middle = (first.top + first.bottom) / 2;
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(divider, middle));
  SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(divider + 50, middle));
  SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(divider + 50, middle));
  EXPECT_EQ(ColumnWidth(0), 90);
  SendMessageW(header, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(divider, middle));
  SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(divider, middle));
  EXPECT_EQ(ColumnWidth(0), 90);

  for (const UINT code : {HDN_BEGINTRACKA, HDN_BEGINTRACKW, HDN_DIVIDERDBLCLICKW}) {
    NMHEADERW notice{{header, 0, code}, 0, 0, nullptr};
    EXPECT_EQ(SendMessageW(*list_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice)), TRUE) << code;
  }
}

// ---------------------------------------------------------------------------
// Up-down control

class SkinSpinTest : public SkinPictureTest {
 protected:
  void TearDown() override {
    SkinPictureTest::TearDown();
    spin_.reset();
  }
  void MakeSpin(DWORD style, int width, int height) {
    const std::pair<const wchar_t*, COLORREF> pictures[] = {
        {L"up.bmp", kUpNormal},     {L"up_hot.bmp", kUpHot},     {L"up_down.bmp", kUpPressed},
        {L"down.bmp", kDownNormal}, {L"down_hot.bmp", kDownHot}, {L"down_down.bmp", kDownPressed},
    };
    // The old control goes first: its pictures keep their files open.
    if (spin_) DestroyWindow(*spin_);
    HWND window = Child(UPDOWN_CLASSW, style, 1200, 300, 20, width, height);
    ASSERT_NE(window, nullptr);
    // Each picture the size of its half, so it shows one to one.
    RECT client{};
    GetClientRect(window, &client);
    const skin::Piece half = skin::SpinPartRect(skin::SpinPart::kFirst, client.right, client.bottom, style & UDS_HORZ);
    std::wstring line;
    for (const auto& [name, colour] : pictures) {
      Picture(name, half.width, half.height, colour);
      line += std::wstring(line.empty() ? L"" : L",") + name;
    }
    spin_ = std::make_unique<CSkinSpinButton>();
    ASSERT_TRUE(spin_->SubclassWindow(window));
    ASSERT_EQ(spin_->LoadSkin(&line, &folder_), 0);
  }
  // The expected look: the first half `first`, the second `second`.
  ::testing::AssertionResult Shows(COLORREF first, COLORREF second, bool horizontal, const std::string& label) {
    RECT client{};
    GetClientRect(*spin_, &client);
    Image expected(client.right, client.bottom);
    for (int y = 0; y < expected.height; ++y) {
      for (int x = 0; x < expected.width; ++x) {
        const bool in_first = horizontal ? x < expected.width / 2 : y < expected.height / 2;
        expected.at(x, y) = testing_support::FromColorRef(in_first ? first : second);
      }
    }
    return testing_support::MatchesPicture(testing_support::CaptureWindow(*spin_), expected, {kTolerance}, label);
  }

  std::unique_ptr<CSkinSpinButton> spin_;
};

TEST_F(SkinSpinTest, HalvesShowThePictureOfTheirState) {
  testing_support::ParkMouse();
  MakeSpin(0, 20, 40);
  EXPECT_TRUE(Shows(kUpNormal, kDownNormal, false, "normal"));

  ASSERT_TRUE(testing_support::MoveMouse(*spin_, POINT{10, 5}));
  EXPECT_EQ(spin_->hot_part(), skin::SpinPart::kFirst);
  EXPECT_TRUE(Shows(kUpHot, kDownNormal, false, "pointer-on-the-upper-half"));

  spin_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 30));
  EXPECT_EQ(spin_->pressed_part(), skin::SpinPart::kSecond);
  EXPECT_TRUE(Shows(kUpHot, kDownPressed, false, "lower-half-pressed"));
  spin_->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 30));
  EXPECT_EQ(spin_->pressed_part(), skin::SpinPart::kNone);

  testing_support::ParkMouse();
  EXPECT_EQ(spin_->hot_part(), skin::SpinPart::kNone);
  EXPECT_TRUE(Shows(kUpNormal, kDownNormal, false, "released"));

  MakeSpin(UDS_HORZ, 40, 20);
  spin_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 10));
  EXPECT_TRUE(Shows(kUpPressed, kDownNormal, true, "horizontal-left-pressed"));
  spin_->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 10));
}

}  // namespace
