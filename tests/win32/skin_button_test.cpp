// The skinned button on real BUTTON windows in a small dialog: layout from
// the skin line, the check state following presses, radio groups, Enter,
// and the picture drawn for each state.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "skin/skinbutton.h"
#include "support/screenshot_win32.h"
#include "support/skin_test_host.h"

namespace {

using testing_support::Blend;
using testing_support::Image;
using testing_support::PointerAt;
using testing_support::SkinFolder;
using testing_support::SkinPicture;

class SkinButtonHost : public testing_support::SkinDialogTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(SkinDialogTest::SetUp());
    SetCursorPos(700, 700);  // away from every button
    Pump();
  }

  void TearDown() override {
    SkinDialogTest::TearDown();
    buttons_.clear();
  }

  HWND AddButton(int id, DWORD style, const wchar_t* text, int x = 10, int y = 10, int width = 80, int height = 24) {
    return AddChild(L"BUTTON", text, WS_TABSTOP | style, id, x, y, width, height);
  }

  // A button of `style` bound to a skinned object and given `line`.
  CSkinButton* Skinned(int id, DWORD style, const wchar_t* text, const std::wstring& line) {
    HWND window = AddButton(id, style, text);
    auto object = std::make_unique<CSkinButton>();
    EXPECT_TRUE(object->SubclassWindow(window));
    EXPECT_EQ(object->LoadSkin(&line, &SkinFolder()), 0);
    buttons_.push_back(std::move(object));
    return buttons_.back().get();
  }

  // Delivers everything queued, through the same hooks as the modal loop:
  // the objects' pre-translation from the target up to the dialog first.
  void Pump() {
    MSG message;
    for (int round = 0; round < 3; ++round) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        bool consumed = false;
        for (HWND window = message.hwnd; window && !consumed; window = GetParent(window)) {
          if (fw::CWnd* object = fw::CWnd::FromHandlePermanent(window)) consumed = object->PreTranslateMessage(&message);
          if (window == dialog_) break;
        }
        if (consumed || IsDialogMessageW(dialog_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      UpdateWindow(dialog_);
    }
  }

  static LPARAM PointerOnCentre(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return PointerAt(window, client.right / 2, client.bottom / 2);
  }

  std::vector<std::unique_ptr<CSkinButton>> buttons_;
};

std::wstring TooltipText(const CSkinButton& button) {
  wchar_t text[80] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = button.GetSafeHwnd();
  tool.uId = 0;
  tool.lpszText = text;
  SendMessageW(button.tooltip_window(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  return text;
}

const wchar_t kCloseLine[] =
    L"graphics,cut_wc_x_02.png,cut_wc_x_03.png,cut_wc_x_01.png,cut_wc_x_04.png,cut_wc_x_02.png,Close,420,8,"
    L"zcut_03.bmp,,,";
const wchar_t kCharLine[] =
    L"char,lvf_button_left.png,lvf_button_mid.png,lvf_button_right.png,,,,139,470,zcut_03.bmp,,,,,,,";
const wchar_t kCheckLine[] =
    L"check,checkbox_z02.png,checkbox_z03.png,checkbox_z05.png,checkbox_z04.png,checkbox_z01.png,,,15,200,"
    L"nlvf_05_bg.bmp";

// ---------------------------------------------------------------------------
// The skin line: kinds, placement, pictures, colours, tooltip.

class SkinButtonLine : public SkinButtonHost {};

TEST_F(SkinButtonLine, TextButtonWithShortCaptionIsTheNarrowestAtItsPlace) {
  CSkinButton* button = Skinned(3, BS_PUSHBUTTON, L"OK", kCharLine);
  EXPECT_EQ(button->kind(), CSkinButton::Kind::kChar);
  EXPECT_EQ(button->caption_width(), 50);
  const RECT rect = InParent(*button);
  EXPECT_EQ(rect.left, 139);
  EXPECT_EQ(rect.top, 470);
  EXPECT_EQ(rect.right - rect.left, 98);
  EXPECT_EQ(rect.bottom - rect.top, 30);
  EXPECT_EQ(button->frame_image_path(1), SkinFolder() + L"lvf_button_mid.png");
  EXPECT_EQ(button->background_path(), SkinFolder() + L"zcut_03.bmp");
  // The face comes from the dialog's font even where it is substituted.
  EXPECT_EQ(button->font_face(), L"Segoe UI");
  EXPECT_GT(button->font_size(), 0);
}

TEST_F(SkinButtonLine, TextButtonGrowsWithItsCaption) {
  CSkinButton* button = Skinned(3, BS_PUSHBUTTON, L"OK",
                                L"char,lvf_button_left.png,lvf_button_mid.png,lvf_button_right.png,Tip,,"
                                L"A much longer caption than fifty pixels,10,20");
  EXPECT_EQ(button->caption(), L"A much longer caption than fifty pixels");
  EXPECT_EQ(button->tooltip_text(), L"Tip");
  EXPECT_GT(button->caption_width(), 100);
  const RECT rect = InParent(*button);
  EXPECT_EQ(rect.right - rect.left, button->caption_width() + 48);
  EXPECT_EQ(rect.bottom - rect.top, 30);
}

TEST_F(SkinButtonLine, CloseButtonTakesItsPictureSizeAndNamesItselfInATooltip) {
  CSkinButton* button = Skinned(1022, BS_PUSHBUTTON, L"x", kCloseLine);
  EXPECT_EQ(button->kind(), CSkinButton::Kind::kGraphics);
  const RECT rect = InParent(*button);
  EXPECT_EQ(rect.left, 420);
  EXPECT_EQ(rect.top, 8);
  EXPECT_EQ(rect.right - rect.left, 26);  // cut_wc_x_02.png is 26 x 22
  EXPECT_EQ(rect.bottom - rect.top, 22);
  ASSERT_NE(button->tooltip_window(), nullptr);
  EXPECT_EQ(TooltipText(*button), L"Close");
  EXPECT_EQ(button->state_image_path(CSkinButton::kHover), SkinFolder() + L"cut_wc_x_04.png");

  // A second skin changes the text of the same tooltip window.
  const HWND tooltip = button->tooltip_window();
  const std::wstring line = L"graphics,cut_wc_x_02.png,,,,,Sulje";
  EXPECT_EQ(button->LoadSkin(&line, &SkinFolder()), 0);
  EXPECT_EQ(button->tooltip_window(), tooltip);
  EXPECT_EQ(TooltipText(*button), L"Sulje");
}

TEST_F(SkinButtonLine, CheckBoxLeavesRoomForBoxAndCaption) {
  CSkinButton* button = Skinned(1004, BS_AUTOCHECKBOX, L"Restart now", kCheckLine + std::wstring(L",,,,,,Tip"));
  EXPECT_EQ(button->kind(), CSkinButton::Kind::kCheck);
  const RECT rect = InParent(*button);
  EXPECT_EQ(rect.left, 15);
  EXPECT_EQ(rect.top, 200);
  EXPECT_GE(button->caption_width(), 50);
  EXPECT_EQ(rect.right - rect.left, button->caption_width() + 17);
  EXPECT_EQ(rect.bottom - rect.top, 30);
  EXPECT_EQ(button->image_size().cx, 16);
  // Column 10 of a check box is its background, not a colour.
  EXPECT_EQ(button->background_path(), SkinFolder() + L"nlvf_05_bg.bmp");
  EXPECT_EQ(button->hover_colour(), RGB(0, 146, 186));
  // The late tooltip column counts only when no earlier one was given.
  EXPECT_EQ(button->tooltip_text(), L"Tip");
}

TEST_F(SkinButtonLine, ColumnsSetWhatTheyName) {
  struct Case {
    const wchar_t* line;
    COLORREF hover;
    COLORREF pressed;
    const wchar_t* tooltip;
  };
  const Case cases[] = {
      {L"graphics", RGB(0, 146, 186), RGB(235, 128, 0), L""},
      {L"graphics,,,,,,,,,,10,,", RGB(10, 146, 186), RGB(235, 128, 0), L""},
      {L"graphics,,,,,,Early,,,,1,2,3,4,5,6,Late", RGB(1, 2, 3), RGB(4, 5, 6), L"Early"},
      {L"graphics,,,,,,,,,,,,,,,,Late,ignored", RGB(0, 146, 186), RGB(235, 128, 0), L"Late"},
      {L"graphics,,,,,,,,,,999,-4,x", RGB(255, 0, 0), RGB(235, 128, 0), L""},
      {L"char,,,,Tip,Arial,Go,,,,7,8,9", RGB(7, 8, 9), RGB(235, 128, 0), L"Tip"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line, c.line + wcslen(c.line)));
    CSkinButton* button = Skinned(1100, BS_PUSHBUTTON, L"b", c.line);
    EXPECT_EQ(button->hover_colour(), c.hover);
    EXPECT_EQ(button->pressed_colour(), c.pressed);
    EXPECT_EQ(button->tooltip_text(), c.tooltip);
    if (*c.tooltip) {
      EXPECT_EQ(TooltipText(*button), c.tooltip);
    }
  }
}

TEST_F(SkinButtonLine, KindIsColumnZeroAndAnythingElseIsGraphics) {
  const std::pair<const wchar_t*, CSkinButton::Kind> cases[] = {
      {L"char", CSkinButton::Kind::kChar},         {L"check", CSkinButton::Kind::kCheck},
      {L"graphics", CSkinButton::Kind::kGraphics}, {L"", CSkinButton::Kind::kGraphics},
      {L",a.png", CSkinButton::Kind::kGraphics},   {L"Check", CSkinButton::Kind::kGraphics},
  };
  for (const auto& [line, kind] : cases) {
    EXPECT_EQ(Skinned(1100, BS_PUSHBUTTON, L"b", line)->kind(), kind) << std::wstring(line).size();
  }
}

TEST_F(SkinButtonLine, OverlongPictureCountsAsNotGiven) {
  const std::wstring long_name(300, L'a');
  CSkinButton* button = Skinned(1100, BS_PUSHBUTTON, L"b", L"graphics,cut_wc_x_02.png," + long_name + L".png,,,,");
  EXPECT_EQ(button->state_image_path(0), SkinFolder() + L"cut_wc_x_02.png");
  EXPECT_EQ(button->state_image_path(1), L"");
  // The caption starts as the window text, the font as the dialog's.
  EXPECT_EQ(button->caption(), L"b");
}

TEST_F(SkinButtonLine, MissingLineOrFolderChangesNothing) {
  CSkinButton* button = Skinned(1022, BS_PUSHBUTTON, L"x", kCloseLine);
  const RECT before = InParent(*button);
  const std::wstring line = L"char,,,,,,Other,1,1";
  EXPECT_EQ(button->LoadSkin(nullptr, &SkinFolder()), 5);
  EXPECT_EQ(button->LoadSkin(&line, nullptr), 5);
  EXPECT_EQ(button->LoadSkin(nullptr, nullptr), 5);
  EXPECT_EQ(button->kind(), CSkinButton::Kind::kGraphics);
  EXPECT_EQ(button->tooltip_text(), L"Close");
  const RECT after = InParent(*button);
  EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(SkinButtonLine, BehaviourComesFromTheButtonType) {
  // The type is a value: 9 (auto radio) shares bits with 3 (auto check box)
  // and 1 (default push button) with both.
  const std::pair<DWORD, int> cases[] = {
      {BS_PUSHBUTTON, CSkinButton::kPush},     {BS_DEFPUSHBUTTON, CSkinButton::kPush},
      {BS_CHECKBOX, CSkinButton::kPush},       {BS_RADIOBUTTON, CSkinButton::kPush},
      {BS_3STATE, CSkinButton::kPush},         {BS_AUTOCHECKBOX, CSkinButton::kToggle},
      {BS_AUTO3STATE, CSkinButton::kToggle},   {BS_AUTORADIOBUTTON, CSkinButton::kRadio},
  };
  for (const auto& [type, behaviour] : cases) {
    SCOPED_TRACE(type);
    CSkinButton* button = Skinned(1100, type | BS_MULTILINE, L"b", L"graphics");
    EXPECT_EQ(button->behaviour(), behaviour);
    const DWORD style = button->GetStyle();
    EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_TRUE(style & BS_MULTILINE);
  }
}

TEST_F(SkinButtonLine, OnlyASkinnedButtonIsFoundAsOne) {
  CSkinButton* skinned = Skinned(1100, BS_AUTOCHECKBOX, L"a", L"check");
  HWND plain_window = AddButton(1101, BS_PUSHBUTTON, L"b");
  fw::CButton plain;
  ASSERT_TRUE(plain.SubclassWindow(plain_window));
  HWND unbound = AddButton(1102, BS_PUSHBUTTON, L"c");

  EXPECT_EQ(CSkinButton::FromBound(*skinned), skinned);
  EXPECT_EQ(CSkinButton::FromBound(plain_window), nullptr);
  EXPECT_EQ(CSkinButton::FromBound(unbound), nullptr);
  EXPECT_EQ(CSkinButton::FromBound(nullptr), nullptr);

  // A skin dropped while its window stays gives the window back its own
  // type and check.
  skinned->SetCheck(1);
  HWND window = *skinned;
  buttons_.clear();
  EXPECT_EQ(CSkinButton::FromBound(window), nullptr);
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
  EXPECT_EQ(SendMessageW(window, BM_GETCHECK, 0, 0), BST_CHECKED);
}

// ---------------------------------------------------------------------------
// Check state: presses, dragging off, keys, the check messages.

class SkinButtonCheck : public SkinButtonHost {};

TEST_F(SkinButtonCheck, CheckBoxChangesOnThePressAndClicksOnTheRelease) {
  CSkinButton* box = Skinned(1004, BS_AUTOCHECKBOX, L"Restart", kCheckLine);
  const LPARAM centre = PointerOnCentre(*box);
  SendMessageW(*box, WM_LBUTTONDOWN, MK_LBUTTON, centre);
  EXPECT_EQ(box->GetCheck(), 1);
  EXPECT_EQ(host_.Clicks(1004), 0);
  SendMessageW(*box, WM_LBUTTONUP, 0, centre);
  EXPECT_EQ(box->GetCheck(), 1);
  EXPECT_EQ(host_.Clicks(1004), 1);

  SendMessageW(*box, WM_LBUTTONDOWN, MK_LBUTTON, centre);
  EXPECT_EQ(box->GetCheck(), 0);
  SendMessageW(*box, WM_LBUTTONUP, 0, centre);
  EXPECT_EQ(host_.Clicks(1004), 2);

  // A double click is a second press.
  SendMessageW(*box, WM_LBUTTONDBLCLK, MK_LBUTTON, centre);
  EXPECT_EQ(box->GetCheck(), 1);
  SendMessageW(*box, WM_LBUTTONUP, 0, centre);
  EXPECT_EQ(host_.Clicks(1004), 3);
}

TEST_F(SkinButtonCheck, DraggingOffAbandonsThePress) {
  CSkinButton* box = Skinned(1004, BS_AUTOCHECKBOX, L"Restart", kCheckLine);
  SendMessageW(*box, WM_LBUTTONDOWN, MK_LBUTTON, PointerOnCentre(*box));
  ASSERT_EQ(GetCapture(), box->GetSafeHwnd());
  EXPECT_EQ(box->GetCheck(), 1);

  RECT client{};
  GetClientRect(*box, &client);
  const LPARAM outside = PointerAt(*box, client.right + 40, client.bottom + 40);
  SendMessageW(*box, WM_MOUSEMOVE, MK_LBUTTON, outside);
  EXPECT_EQ(box->GetCheck(), 0);
  EXPECT_NE(GetCapture(), box->GetSafeHwnd());
  EXPECT_EQ(box->GetState() & BST_PUSHED, 0u);

  SendMessageW(*box, WM_LBUTTONUP, 0, outside);
  Pump();
  EXPECT_EQ(box->GetCheck(), 0);
  EXPECT_EQ(host_.Clicks(1004), 0);
}

TEST_F(SkinButtonCheck, SetCheckDependsOnTheBehaviour) {
  struct Case {
    DWORD type;
    WPARAM value;
    int check;
  };
  const Case cases[] = {
      {BS_PUSHBUTTON, BST_CHECKED, 0},   {BS_AUTOCHECKBOX, BST_CHECKED, 1}, {BS_AUTOCHECKBOX, BST_INDETERMINATE, 1},
      {BS_AUTOCHECKBOX, BST_UNCHECKED, 0}, {BS_AUTORADIOBUTTON, BST_CHECKED, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    CSkinButton* button = Skinned(1100, c.type | WS_GROUP, L"b", L"check");
    button->SetCheck(1);
    EXPECT_EQ(SendMessageW(*button, BM_SETCHECK, c.value, 0), 0);
    EXPECT_EQ(SendMessageW(*button, BM_GETCHECK, 0, 0), c.check);
    EXPECT_EQ(button->check(), c.check);
  }
}

TEST_F(SkinButtonCheck, SpaceTogglesAndNativeCheckIsTakenOver) {
  HWND window = AddButton(1004, BS_AUTOCHECKBOX, L"Restart");
  SendMessageW(window, BM_SETCHECK, BST_CHECKED, 0);
  buttons_.push_back(std::make_unique<CSkinButton>());
  CSkinButton* box = buttons_.back().get();
  ASSERT_TRUE(box->SubclassWindow(window));
  EXPECT_EQ(box->GetCheck(), 1);

  SendMessageW(window, WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_EQ(box->GetCheck(), 0);
  SendMessageW(window, WM_KEYDOWN, VK_SPACE, 1 | (1 << 30));  // the key held: a repeat
  EXPECT_EQ(box->GetCheck(), 0);
  SendMessageW(window, WM_KEYUP, VK_SPACE, 1);
  SendMessageW(window, WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_EQ(box->GetCheck(), 1);
}

// ---------------------------------------------------------------------------
// Radio groups.

class SkinButtonRadio : public SkinButtonHost {};

TEST_F(SkinButtonRadio, CheckingOneClearsTheOthersOfItsGroupOnly) {
  CSkinButton* first = Skinned(1201, BS_AUTORADIOBUTTON | WS_GROUP, L"a", L"check");
  CSkinButton* second = Skinned(1202, BS_AUTORADIOBUTTON, L"b", L"check");
  CSkinButton* third = Skinned(1203, BS_AUTORADIOBUTTON, L"c", L"check");
  CSkinButton* other_group = Skinned(1204, BS_AUTORADIOBUTTON | WS_GROUP, L"d", L"check");
  other_group->SetCheck(1);
  first->SetCheck(1);
  Pump();
  EXPECT_EQ(first->GetCheck(), 1);

  third->SetCheck(1);
  Pump();
  EXPECT_EQ(first->GetCheck(), 0);
  EXPECT_EQ(second->GetCheck(), 0);
  EXPECT_EQ(third->GetCheck(), 1);
  EXPECT_EQ(other_group->GetCheck(), 1);

  // A press checks a radio button at once; the completed click (and the
  // space bar) clears the others, as a user choosing one option expects.
  SendMessageW(*second, WM_LBUTTONDOWN, MK_LBUTTON, PointerOnCentre(*second));
  EXPECT_EQ(second->GetCheck(), 1);
  SendMessageW(*second, WM_LBUTTONUP, 0, PointerOnCentre(*second));
  Pump();
  EXPECT_EQ(third->GetCheck(), 0);
  EXPECT_EQ(second->GetCheck(), 1);
  SendMessageW(*first, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(*first, WM_KEYUP, VK_SPACE, 0xC0000000);
  Pump();
  EXPECT_EQ(first->GetCheck(), 1);
  EXPECT_EQ(second->GetCheck(), 0);
  EXPECT_EQ(other_group->GetCheck(), 1);
}

TEST_F(SkinButtonRadio, GroupWalkThatNeverComesBackEnds) {
  CSkinButton* hidden = Skinned(1201, BS_AUTORADIOBUTTON | WS_GROUP, L"a", L"check");
  CSkinButton* second = Skinned(1202, BS_AUTORADIOBUTTON, L"b", L"check");
  CSkinButton* third = Skinned(1203, BS_AUTORADIOBUTTON, L"c", L"check");
  CSkinButton* disabled = Skinned(1204, BS_AUTORADIOBUTTON, L"d", L"check");
  ShowWindow(*hidden, SW_HIDE);
  EnableWindow(*disabled, FALSE);
  second->SetCheck(1);
  third->SetCheck(1);
  Pump();

  // The premise: walking on from the hidden member circles among the
  // others without ever coming back to it.
  HWND current = *hidden;
  bool returned = false;
  for (int step = 0; step < 12 && !returned; ++step) {
    current = GetNextDlgGroupItem(dialog_, current, FALSE);
    returned = current == hidden->GetSafeHwnd() || current == nullptr;
  }
  ASSERT_FALSE(returned);

  hidden->SetCheck(1);  // must come back
  Pump();
  EXPECT_EQ(hidden->GetCheck(), 1);
  EXPECT_EQ(second->GetCheck(), 0);
  EXPECT_EQ(third->GetCheck(), 0);
}

// ---------------------------------------------------------------------------
// Keys through the dialog's message loop.

class SkinButtonKeys : public SkinButtonHost {};

TEST_F(SkinButtonKeys, EnterClicksTheFocusedButtonNotTheDefaultOne) {
  HWND default_button = AddButton(IDOK, BS_DEFPUSHBUTTON, L"OK", 10, 100);
  SendMessageW(dialog_, DM_SETDEFID, IDOK, 0);
  CSkinButton* next = Skinned(1001, BS_PUSHBUTTON, L"Next", kCharLine);
  SetFocus(*next);
  ASSERT_EQ(GetFocus(), next->GetSafeHwnd());

  PostMessageW(*next, WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  ASSERT_EQ(host_.commands.size(), 1u);
  EXPECT_EQ(host_.commands[0].id, 1001);
  EXPECT_EQ(host_.commands[0].from, next->GetSafeHwnd());
  EXPECT_EQ(host_.Clicks(IDOK), 0);

  // Enter on the native default button is still the dialog's business.
  SetFocus(default_button);
  PostMessageW(default_button, WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  EXPECT_EQ(host_.Clicks(IDOK), 1);
}

TEST_F(SkinButtonKeys, HandCursorOverTheButton) {
  CSkinButton* button = Skinned(1022, BS_PUSHBUTTON, L"x", kCloseLine);
  EXPECT_EQ(SendMessageW(*button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button->GetSafeHwnd()),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
}

// ---------------------------------------------------------------------------
// Looks: what the screen shows of each state, against the skin pictures laid
// over the dialog's background the way the button lays them.

class SkinButtonLook : public SkinButtonHost {
 protected:
  void SetUp() override {
    testing_support::ParkMouse();
    SkinButtonHost::SetUp();
  }
  void TearDown() override {
    testing_support::ParkMouse();
    SkinButtonHost::TearDown();
  }

  // What the dialog's background picture shows under `window`.
  Image Background(const std::wstring& name, HWND window) const { return Crop(SkinPicture(name), InParent(window)); }

  static POINT Centre(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right / 2, client.bottom / 2};
  }

  static ::testing::AssertionResult Looks(HWND window, const Image& expected, const std::string& label) {
    // GDI+ rounds its blending a little differently from the arithmetic here.
    testing_support::CompareOptions options;
    options.tolerance = 3;
    return testing_support::MatchesPicture(testing_support::CaptureWindow(window), expected, options, label);
  }
};

TEST_F(SkinButtonLook, GraphicsButtonShowsThePictureOfEachState) {
  const wchar_t* const pictures[] = {L"cut_wc_x_02.png", L"cut_wc_x_03.png", L"cut_wc_x_01.png", L"cut_wc_x_04.png",
                                     L"cut_wc_-03.png"};
  std::wstring line = L"graphics";
  for (const wchar_t* picture : pictures) line += std::wstring(L",") + picture;
  line += L",Close,420,8,zcut_03.bmp";
  CSkinButton* button = Skinned(1022, BS_PUSHBUTTON, L"x", line);
  const auto expected = [&](int state) {
    Image look = Background(L"zcut_03.bmp", *button);
    Blend(&look, SkinPicture(pictures[state]), 0, 0);
    return look;
  };

  EXPECT_TRUE(Looks(*button, expected(CSkinButton::kNormal), "normal"));
  ASSERT_TRUE(testing_support::MoveMouse(*button, Centre(*button)));
  EXPECT_TRUE(button->hovering());
  EXPECT_TRUE(Looks(*button, expected(CSkinButton::kHover), "hover"));
  {
    testing_support::HeldMouseButton held(*button, Centre(*button));
    EXPECT_TRUE(Looks(*button, expected(CSkinButton::kPressed), "pressed"));
  }
  EXPECT_EQ(host_.Clicks(1022), 1);
  testing_support::ParkMouse();
  EXPECT_FALSE(button->hovering());
  SetFocus(*button);
  EXPECT_TRUE(Looks(*button, expected(CSkinButton::kFocus), "focus"));
  EnableWindow(*button, FALSE);
  EXPECT_TRUE(Looks(*button, expected(CSkinButton::kDisabled), "disabled"));
}

TEST_F(SkinButtonLook, CheckBoxShowsThePictureOfEachState) {
  // No caption: the box over the background is all there is to see.
  CSkinButton* box = Skinned(1004, BS_AUTOCHECKBOX, L"", kCheckLine);
  const wchar_t* const pictures[] = {L"checkbox_z02.png", L"checkbox_z03.png", L"checkbox_z05.png",
                                     L"checkbox_z04.png", L"checkbox_z01.png"};
  const auto expected = [&](int state) {
    Image look = Background(L"nlvf_05_bg.bmp", *box);
    Blend(&look, SkinPicture(pictures[state]), 0, 0);
    return look;
  };

  EXPECT_TRUE(Looks(*box, expected(CSkinButton::kNormal), "normal"));
  SetFocus(*box);
  EXPECT_TRUE(Looks(*box, expected(CSkinButton::kFocus), "focus"));
  const POINT beside_box{40, 8};
  ASSERT_TRUE(testing_support::MoveMouse(*box, beside_box));
  EXPECT_TRUE(Looks(*box, expected(CSkinButton::kHover), "hover"));
  box->SetCheck(1);
  // Checked wins over the pointer being on it.
  EXPECT_TRUE(Looks(*box, expected(CSkinButton::kPressed), "checked-under-pointer"));
  testing_support::ParkMouse();
  EXPECT_TRUE(Looks(*box, expected(CSkinButton::kPressed), "checked"));
  EnableWindow(*box, FALSE);
  EXPECT_TRUE(Looks(*box, expected(CSkinButton::kDisabled), "disabled"));
}

TEST_F(SkinButtonLook, TextButtonFrameIsCapsAroundAStretchedMiddle) {
  CSkinButton* button = Skinned(3, BS_PUSHBUTTON, L"", kCharLine);
  Image look = Background(L"zcut_03.bmp", *button);
  Blend(&look, SkinPicture(L"lvf_button_left.png"), 0, 0);
  Blend(&look, SkinPicture(L"lvf_button_right.png"), 86, 0);
  Blend(&look, SkinPicture(L"lvf_button_mid.png", SIZE{74, 30}), 12, 0);
  EXPECT_TRUE(Looks(*button, look, "frame"));
}

TEST_F(SkinButtonLook, CaptionsAreDrawnWhateverTheFont) {
  // "Segoe UI" is missing under Wine: the caption must come out anyway.
  struct Case {
    const wchar_t* line;
    DWORD type;
  };
  const Case cases[] = {{kCharLine, BS_PUSHBUTTON}, {kCheckLine, BS_AUTOCHECKBOX}};
  for (const Case& c : cases) {
    CSkinButton* bare = Skinned(1100, c.type, L"", c.line);
    const Image without = testing_support::CaptureWindow(*bare);
    DestroyWindow(*bare);
    CSkinButton* captioned = Skinned(1100, c.type, L"OK", c.line);
    const Image with = testing_support::CaptureWindow(*captioned);
    ASSERT_EQ(with.width, without.width);
    const testing_support::Comparison difference = testing_support::CompareImages(with, without, {});
    EXPECT_GT(difference.differing, 20) << difference.Describe();
    DestroyWindow(*captioned);
  }
}

TEST_F(SkinButtonLook, ButtonTooSmallForAGlowStillShowsItsCaption) {
  CSkinButton* button = Skinned(3, BS_PUSHBUTTON, L"MMMMMMMM", kCharLine);
  // Under five pixels wide there is no room for the glow bitmap.
  SetWindowPos(*button, nullptr, 0, 0, 4, 30, SWP_NOMOVE | SWP_NOZORDER);
  SetFocus(*button);
  const Image look = testing_support::CaptureWindow(*button);
  ASSERT_EQ(look.width, 4);
  int white = 0;
  for (uint32_t pixel : look.pixels) white += (pixel & 0xFFFFFF) == 0xFFFFFF;
  EXPECT_GT(white, 0);
}

}  // namespace
