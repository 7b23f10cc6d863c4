// Skinned scroll bars on real windows: a multi-line read-only edit holding a
// long text, wrapped by the skinned scroll frame as the licence page's is,
// scrolled by clicks and held buttons on the skinned bar; the bar on its own
// (its state, its parts, dragging); what the screen shows (the strip's
// pictures where the native bar was); and every way the frame can go away.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/gdi.h"
#include "framework/window.h"
#include "skin/core/scale.h"
#include "skin/core/scrollmath.h"
#include "skin/skinbitmap.h"
#include "skin/skinctrfactory.h"
#include "skin/skineditor.h"
#include "skin/skinmanager.h"
#include "skin/skinscrollbar.h"
#include "skin/skinscrollwnd.h"
#include "support/screenshot_win32.h"
#include "support/skin_test_host.h"

namespace {

using testing_support::Image;
using testing_support::PointerAt;
using testing_support::RectIn;
using testing_support::SkinFolder;
using testing_support::Stage;

const wchar_t kStripName[] = L"sCROLLbar2.bmp";
constexpr int kCell = 21;  // the shipped strip is 189 x 63
constexpr UINT kEditId = 1003;
// The edit's place in the dialog: its bar is 210 pixels long, as in the
// arithmetic's own examples.
constexpr int kEditX = 20;
constexpr int kEditY = 20;
constexpr int kEditWidth = 260;
constexpr int kEditHeight = 210;

std::wstring LongText(int lines) {
  std::wstring text;
  for (int line = 1; line <= lines; ++line) {
    if (line > 1) text += L"\r\n";
    text += L"Line " + std::to_wstring(line) + L" of the licence text";
  }
  return text;
}

// Pumps messages until `done` holds or `limit_ms` have passed; whether it
// holds. The limit only keeps a broken build from waiting forever.
bool WaitUntil(const std::function<bool()>& done, DWORD limit_ms = 8000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= limit_ms) return false;
    testing_support::PumpMessages(20);
  }
  return true;
}

// What one window receives, seen before every other hook on it.
struct MessageLog {
  int scrolls = 0;  // WM_VSCROLL
  int menus = 0;    // a popup menu opened for it
};
constexpr UINT_PTR kLogId = 0x10'6E;

LRESULT CALLBACK LoggingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
  auto* log = reinterpret_cast<MessageLog*>(data);
  if (message == WM_VSCROLL) ++log->scrolls;
  if (message == WM_ENTERMENULOOP || message == WM_INITMENUPOPUP) ++log->menus;
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, LoggingProc, kLogId);
  return DefSubclassProc(window, message, wparam, lparam);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// The left button held down over a client point of `window` by real input,
// for the object's lifetime. The pointer is put there first and looked at
// until it is there: Wine may still deliver an earlier move of the pointer
// after a new one, and a press elsewhere would test nothing.
class HeldButton {
 public:
  HeldButton(HWND window, POINT point) {
    POINT screen = point;
    ClientToScreen(window, &screen);
    bool there = false;
    for (int attempt = 0; attempt < 10 && !there; ++attempt) {
      SetCursorPos(screen.x, screen.y);
      testing_support::PumpMessages(50);
      POINT now{};
      there = GetCursorPos(&now) && now.x == screen.x && now.y == screen.y && WindowFromPoint(screen) == window;
    }
    if (!there) return;
    pressed_ = Send(MOUSEEVENTF_LEFTDOWN);
    testing_support::PumpMessages(30);
  }
  ~HeldButton() {
    if (!pressed_) return;
    Send(MOUSEEVENTF_LEFTUP);
    testing_support::PumpMessages(30);
  }
  HeldButton(const HeldButton&) = delete;
  HeldButton& operator=(const HeldButton&) = delete;
  bool pressed() const { return pressed_; }

 private:
  static bool Send(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return SendInput(1, &input, sizeof(input)) == 1;
  }
  bool pressed_ = false;
};

void Click(HWND window, int x, int y) {
  const LPARAM point = PointerAt(window, x, y);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageW(window, WM_LBUTTONUP, 0, point);
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

skin::ScrollState StateOf(CSkinScrollBar& bar) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  bar.SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
  skin::ScrollState state;
  state.min = info.nMin;
  state.max = info.nMax;
  state.page = info.nPage;
  state.pos = info.nPos;
  state.track_pos = info.nTrackPos;
  return state;
}

void SetState(HWND bar, int min, int max, unsigned page, int pos) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = min;
  info.nMax = max;
  info.nPage = page;
  info.nPos = pos;
  SendMessageW(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
}

// The strip as the file holds it.
const Image& Strip() {
  static const Image strip = testing_support::LoadPicture(SkinFolder() + kStripName).value_or(Image());
  return strip;
}

Image Cell(int column, int row) {
  Image cell(kCell, kCell);
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) cell.at(x, y) = Strip().at(column * kCell + x, row * kCell + y);
  }
  return cell;
}

// What a vertical bar `length` pixels long must show for `state`, composed
// from the strip file: the arrow cells at its ends, the track cell tiled
// from the top of each page area, the thumb's cell cut into its ends and a
// tiled middle.
Image ExpectedVerticalBar(const skin::ScrollState& state, int length, int second_arrow_row = skin::kRowNormal) {
  Image bar(kCell, length);
  auto copy = [&](int dest_y, int column, int row, int source_y, int rows) {
    for (int y = 0; y < rows && dest_y + y < length; ++y) {
      for (int x = 0; x < kCell; ++x) {
        bar.at(x, dest_y + y) = Strip().at(column * kCell + x, row * kCell + source_y + y);
      }
    }
  };
  const skin::ScrollLayout layout = skin::LayoutScrollBar(state, length, kCell);
  copy(0, 0, skin::kRowNormal, 0, kCell);
  copy(length - kCell, 1, second_arrow_row, 0, kCell);
  for (const skin::AxisSpan& page : {layout.page_up, layout.page_down}) {
    for (int y = page.begin; y < page.end; y += kCell) copy(y, 3, skin::kRowNormal, 0, std::min(kCell, page.end - y));
  }
  for (const skin::AxisCopy& piece : skin::ThumbCopies(layout.thumb_start, layout.thumb_length, kCell)) {
    copy(piece.dest, 2, skin::kRowNormal, piece.source, piece.length);
  }
  return bar;
}

// The rows of `image` from `top` to `bottom`.
Image Rows(const Image& image, int top, int bottom) {
  return testing_support::Crop(image, {0, top, image.width, bottom});
}

// Dialogs of its own on the stage: a test may start over with a new one,
// and the bar's own tests bind another object to it.
class SkinScrollTest : public testing_support::SkinStageSuite {
 protected:
  void SetUp() override {
    skin::SetScaleFromDpi(96, 96);
    ASSERT_FALSE(Strip().empty());
    frames_before_ = CSkinScrollWnd::GetInstanceCount();
    NewDialog();
    SetCursorPos(700, 700);  // away from every bar
  }

  void TearDown() override {
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
    // The objects outlive their windows, as the skin manager's do.
    editer_.reset();
    ReleaseCapture();
    EXPECT_EQ(CSkinScrollWnd::GetInstanceCount(), frames_before_) << "a frame outlived its window";
  }

  void NewDialog() {
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
    editer_.reset();
    dialog_ = testing_support::CreateStageDialog();
    ASSERT_NE(dialog_, nullptr);
  }

  HWND AddEdit(int lines, DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL) {
    edit_ = testing_support::AddDialogChild(dialog_, L"EDIT", nullptr, style, kEditId, kEditX, kEditY, kEditWidth,
                                            kEditHeight);
    SetWindowTextW(edit_, LongText(lines).c_str());
    return edit_;
  }

  // The edit bound to a skinned edit object given `line`, as the skin
  // manager does for the licence page's "1003=sCROLLbar2.bmp".
  void SkinEdit(const std::wstring& line = kStripName, const std::wstring& folder = SkinFolder()) {
    editer_ = std::make_unique<CSkinEditer>();
    ASSERT_TRUE(editer_->SubclassWindow(edit_));
    ASSERT_EQ(editer_->LoadSkin(&line, &folder), 0);
    testing_support::PumpMessages(60);  // the frame lays the clip out from a posted message
  }

  // A wrapped 200-line licence-like text.
  void WrappedLicence() {
    AddEdit(200);
    SkinEdit();
    ASSERT_NE(Frame(), nullptr);
  }

  CSkinScrollWnd* Frame() const { return CSkinScrollWnd::FromControl(edit_); }
  CSkinScrollBar& Bar() const { return Frame()->GetVerticalBar(); }
  int FirstLine() const { return static_cast<int>(SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0)); }
  int BarPosition() const { return Bar().GetState().pos; }

  // Scrolls the edit itself, then waits for the frame to copy the state.
  void ScrollEditTo(int line) {
    SendMessageW(edit_, EM_LINESCROLL, 0, line - FirstLine());
    ASSERT_TRUE(WaitUntil([&] { return BarPosition() == FirstLine(); }));
  }

  void LogEdit() { ASSERT_TRUE(SetWindowSubclass(edit_, LoggingProc, kLogId, reinterpret_cast<DWORD_PTR>(&log_))); }

  // The vertical bar's pixels on the screen.
  Image CaptureBar() {
    HWND frame = Frame()->GetSafeHwnd();
    const Image shot = testing_support::CaptureWindow(frame);
    return testing_support::Crop(shot, RectIn(Bar(), frame));
  }

  int frames_before_ = 0;
  HWND dialog_ = nullptr;
  HWND edit_ = nullptr;
  std::unique_ptr<CSkinEditer> editer_;
  MessageLog log_;
};

// ---------------------------------------------------------------------------
// Wrapping

TEST_F(SkinScrollTest, EditIsWrappedInAFrameOfItsPlaceAndId) {
  WrappedLicence();
  CSkinScrollWnd* frame = Frame();
  HWND frame_window = frame->GetSafeHwnd();
  const RECT place{kEditX, kEditY, kEditX + kEditWidth, kEditY + kEditHeight};

  EXPECT_EQ(GetParent(frame_window), dialog_);
  EXPECT_TRUE(SameRect(RectIn(frame_window, dialog_), place)) << Text(RectIn(frame_window, dialog_));
  EXPECT_EQ(GetDlgCtrlID(frame_window), static_cast<int>(kEditId));
  EXPECT_EQ(GetDlgItem(dialog_, kEditId), frame_window);
  EXPECT_EQ(frame->GetWindowText(), L"SkinScrollWnd");
  EXPECT_EQ(frame->GetCell(), kCell);

  // The control sits in the limit window at its full size less one pixel.
  HWND limit = frame->GetLimitWindow();
  EXPECT_EQ(GetParent(edit_), limit);
  EXPECT_EQ(GetParent(limit), frame_window);
  EXPECT_EQ(GetDlgCtrlID(limit), 200);
  wchar_t text[16] = {};
  GetWindowTextW(limit, text, 16);
  EXPECT_STREQ(text, L"LIMITEDIT");
  EXPECT_TRUE(SameRect(RectIn(edit_, frame_window), RECT{0, 0, kEditWidth - 1, kEditHeight}))
      << Text(RectIn(edit_, frame_window));

  // A cell-thick vertical bar where the text's client area ends, which is
  // also where the clip ends; no horizontal bar and no corner.
  CSkinScrollBar& bar = Bar();
  EXPECT_EQ(GetDlgCtrlID(bar), 101);
  EXPECT_EQ(GetDlgCtrlID(frame->GetHorizontalBar()), 100);
  EXPECT_TRUE(IsWindowVisible(bar));
  EXPECT_FALSE(IsWindowVisible(frame->GetHorizontalBar()));
  EXPECT_EQ(frame->GetCorner(), skin::kNoCorner);
  RECT client{};
  GetClientRect(edit_, &client);
  const RECT bar_rect = RectIn(bar, frame_window);
  EXPECT_TRUE(SameRect(bar_rect, RECT{client.right, 0, client.right + kCell, kEditHeight})) << Text(bar_rect);
  EXPECT_EQ(client.right, kEditWidth - kCell - 2);
  EXPECT_EQ(RectIn(limit, frame_window).right, bar_rect.left);
  EXPECT_EQ(bar.GetLength(), kEditHeight);

  // The bar shows the control's own range, page and position.
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(edit_, SB_VERT, &info));
  EXPECT_EQ(bar.GetState().max, info.nMax);
  EXPECT_EQ(bar.GetState().page, info.nPage);
  EXPECT_EQ(bar.GetState().pos, 0);
  EXPECT_GT(info.nMax, static_cast<int>(info.nPage));
  EXPECT_TRUE(IsWindowEnabled(bar));
}

TEST_F(SkinScrollTest, ScreenShowsTheStripWhereTheNativeBarWasAndTextWhiteOnBlack) {
  WrappedLicence();
  HWND frame = Frame()->GetSafeHwnd();
  const Image shot = testing_support::CaptureWindow(frame);
  const RECT bar_area = RectIn(Bar(), frame);
  // Every pixel of the bar, the native bar's place included, comes from the
  // strip: arrows, tiled track and the thumb at the top.
  const Image expected = ExpectedVerticalBar(StateOf(Bar()), kEditHeight);
  EXPECT_TRUE(testing_support::MatchesPicture(testing_support::Crop(shot, bar_area), expected, {}, "bar"));

  // The text: white on black inside the clip.
  const RECT limit = RectIn(Frame()->GetLimitWindow(), frame);
  int black = 0, bright = 0, total = 0;
  for (int y = limit.top; y < limit.bottom; ++y) {
    for (int x = limit.left; x < limit.right; ++x, ++total) {
      const uint32_t pixel = shot.at(x, y) & 0xFFFFFF;
      black += pixel == 0;
      bright += (pixel & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) > 0xC0 && ((pixel >> 16) & 0xFF) > 0xC0;
    }
  }
  EXPECT_GT(black, total / 2);
  EXPECT_GT(bright, 100);
}

TEST_F(SkinScrollTest, WithoutAUsableStripTheControlKeepsItsNativeBars) {
  // A strip too narrow to hold 9 cells.
  const std::wstring scratch_folder = testing_support::WideScratchFolder("skin-scroll");
  testing_support::WriteBmp(scratch_folder + L"narrow.bmp", 8, 3, RGB(128, 128, 128), RGB(128, 128, 128));
  const struct {
    const wchar_t* line;
    std::wstring folder;
  } cases[] = {
      {L"", SkinFolder()},              // "1003=": nothing named
      {L",", SkinFolder()},
      {L"missing.bmp", SkinFolder()},   // not there
      {L"narrow.bmp", scratch_folder},  // loads, but has no cell
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.line, c.line + wcslen(c.line)));
    NewDialog();
    AddEdit(200);
    SkinEdit(c.line, c.folder);
    EXPECT_FALSE(editer_->IsWrapped());
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_EQ(editer_->GetStrip(), nullptr);
    EXPECT_EQ(GetParent(edit_), dialog_);
    EXPECT_EQ(GetDlgItem(dialog_, kEditId), edit_);
    EXPECT_TRUE(SameRect(RectIn(edit_, dialog_), RECT{kEditX, kEditY, kEditX + kEditWidth, kEditY + kEditHeight}));
    EXPECT_EQ(CSkinScrollWnd::GetInstanceCount(), frames_before_);
  }

  const std::wstring line = kStripName;
  CSkinEditer unattached;
  EXPECT_EQ(unattached.LoadSkin(nullptr, &SkinFolder()), 5);
  EXPECT_EQ(unattached.LoadSkin(&line, nullptr), 5);
}

TEST_F(SkinScrollTest, AttachRefusesWhatItCannotWrapAndDetachLeavesOthersAlone) {
  AddEdit(50);
  CSkinBitmap loader;
  fw::ScopedBitmap strip(loader.LoadFromFile(SkinFolder() + kStripName, RGB(0, 0, 0)));
  ASSERT_TRUE(strip.IsValid());

  EXPECT_EQ(AttachSkinScroll(edit_, nullptr), nullptr);     // no strip
  EXPECT_EQ(AttachSkinScroll(nullptr, strip.Get()), nullptr);
  EXPECT_EQ(AttachSkinScroll(Stage(), strip.Get()), nullptr);  // no parent
  EXPECT_EQ(GetParent(edit_), dialog_);
  EXPECT_EQ(TRUE, DetachSkinScroll(edit_));  // not wrapped: nothing happens
  EXPECT_EQ(TRUE, DetachSkinScroll(nullptr));
  EXPECT_EQ(GetParent(edit_), dialog_);
  EXPECT_EQ(CSkinScrollWnd::GetInstanceCount(), frames_before_);

  CSkinScrollWnd* frame = AttachSkinScroll(edit_, strip.Get());
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(CSkinScrollWnd::FromControl(edit_), frame);
  EXPECT_EQ(AttachSkinScroll(edit_, strip.Get()), nullptr);  // wrapped already
  EXPECT_EQ(CSkinScrollWnd::GetInstanceCount(), frames_before_ + 1);
  DestroyWindow(dialog_);  // before the strip goes
  dialog_ = nullptr;
}

TEST_F(SkinScrollTest, FactoryAndSkinManagerWrapAnEditByItsLine) {
  CSkinCtrFactory factory;
  std::unique_ptr<CSkinCtr> editer(factory.CreateEditer());
  std::unique_ptr<CSkinCtr> bar(factory.CreateScrollBar());
  EXPECT_NE(dynamic_cast<CSkinEditer*>(editer.get()), nullptr);
  EXPECT_NE(dynamic_cast<CSkinScrollBar*>(bar.get()), nullptr);

  // The licence page's path: its line names the strip, the manager does the rest.
  AddEdit(200);
  ASSERT_EQ(CSkinManager::SetSkinFile(SkinFolder() + L"gallery.ini"), 0);
  CCtrSkin line;
  ASSERT_EQ(line.SetKey(u"1003"), 0);
  ASSERT_EQ(line.SetValue(u"sCROLLbar2.bmp"), 0);
  CSkinManager::GetInstance()->AttachControl(edit_, L"Edit", line);
  testing_support::PumpMessages(60);
  EXPECT_NE(dynamic_cast<CSkinEditer*>(fw::CWnd::FromHandlePermanent(edit_)), nullptr);
  ASSERT_NE(Frame(), nullptr);
  EXPECT_TRUE(IsWindowVisible(Bar()));
}

// ---------------------------------------------------------------------------
// Scrolling through the skinned bar

TEST_F(SkinScrollTest, ClickingTheSecondArrowScrollsTheTextAndTheThumbFollows) {
  WrappedLicence();
  LogEdit();
  const Image before = CaptureBar();
  const int clicks = 8;
  for (int click = 0; click < clicks; ++click) Click(Bar(), kCell / 2, kEditHeight - kCell / 2);
  SetCursorPos(700, 700);

  EXPECT_EQ(log_.scrolls, clicks);  // one line each, nothing repeated
  EXPECT_EQ(FirstLine(), clicks);
  EXPECT_EQ(BarPosition(), clicks);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_POS;
  GetScrollInfo(edit_, SB_VERT, &info);
  EXPECT_EQ(info.nPos, clicks);

  // The thumb has moved down the track, drawn from the strip at its new place.
  const skin::ScrollState state = StateOf(Bar());
  const skin::ScrollLayout layout = skin::LayoutScrollBar(state, kEditHeight, kCell);
  EXPECT_GT(layout.thumb_start, kCell);
  const Image after = CaptureBar();
  const int track_end = kEditHeight - kCell;
  EXPECT_NE(Rows(after, kCell, track_end), Rows(before, kCell, track_end));
  EXPECT_TRUE(testing_support::MatchesPicture(Rows(after, 0, track_end),
                                              Rows(ExpectedVerticalBar(state, kEditHeight), 0, track_end), {},
                                              "track"));
}

TEST_F(SkinScrollTest, HoldingTheSecondArrowRepeatsUntilReleased) {
  WrappedLicence();
  LogEdit();
  HWND bar = Bar();
  {
    HeldButton hold(bar, {kCell / 2, kEditHeight - kCell / 2});
    ASSERT_TRUE(hold.pressed());
    // A click scrolls one line; only repeating gets further.
    ASSERT_TRUE(WaitUntil([&] { return FirstLine() >= 4; })) << FirstLine();
    EXPECT_TRUE(Bar().IsRepeating());
    EXPECT_EQ(Bar().GetClickedPart(), skin::kScrollLineDown);
    // The held arrow shows its pressed cell.
    const Image shot = CaptureBar();
    EXPECT_TRUE(testing_support::MatchesPicture(Rows(shot, kEditHeight - kCell, kEditHeight),
                                                Cell(1, skin::kRowPressed), {}, "pressed-arrow"));
    const int line = FirstLine();
    ASSERT_TRUE(WaitUntil([&] { return FirstLine() > line; }));
  }
  EXPECT_FALSE(Bar().IsRepeating());
  const int line = FirstLine();
  const int scrolls = log_.scrolls;
  testing_support::PumpMessages(600);
  EXPECT_EQ(FirstLine(), line);
  EXPECT_EQ(log_.scrolls, scrolls);
  EXPECT_EQ(BarPosition(), line);
}

TEST_F(SkinScrollTest, HeldArrowStopsRepeatingAtTheEndOfTheText) {
  WrappedLicence();
  const int last = skin::LastScrollPosition(Bar().GetState());
  ScrollEditTo(last - 3);
  LogEdit();
  HWND bar = Bar();
  HeldButton hold(bar, {kCell / 2, kEditHeight - kCell / 2});
  ASSERT_TRUE(hold.pressed());
  ASSERT_TRUE(WaitUntil([&] { return FirstLine() == last && BarPosition() == last; })) << FirstLine();
  testing_support::PumpMessages(150);
  // Still held, but nothing more is sent: the repeat has stopped itself.
  const int scrolls = log_.scrolls;
  testing_support::PumpMessages(600);
  EXPECT_EQ(log_.scrolls, scrolls);
  EXPECT_EQ(FirstLine(), last);
  EXPECT_EQ(Bar().GetClickedPart(), skin::kScrollLineDown);
}

TEST_F(SkinScrollTest, LosingTheCaptureStopsTheRepeat) {
  WrappedLicence();
  LogEdit();
  HWND bar = Bar();
  const struct {
    const char* what;
    std::function<void()> lose;
  } cases[] = {
      {"another window takes the capture", [&] { SetCapture(dialog_); }},
      {"the mode is cancelled", [&] { SendMessageW(bar, WM_CANCELMODE, 0, 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScrollEditTo(0);
    {
      HeldButton hold(bar, {kCell / 2, kEditHeight - kCell / 2});
      ASSERT_TRUE(hold.pressed());
      ASSERT_TRUE(WaitUntil([&] { return Bar().IsRepeating(); }));
      c.lose();
      EXPECT_NE(GetCapture(), bar);
      EXPECT_FALSE(Bar().IsRepeating());
      EXPECT_EQ(Bar().GetClickedPart(), skin::kScrollNoPart);
      // The button is still down, yet nothing scrolls any more.
      const int line = FirstLine();
      const int scrolls = log_.scrolls;
      testing_support::PumpMessages(600);
      EXPECT_EQ(FirstLine(), line);
      EXPECT_EQ(log_.scrolls, scrolls);
    }
    ReleaseCapture();
    testing_support::PumpMessages(30);
  }
}

TEST_F(SkinScrollTest, SkinnedBarFollowsTheControlsOwnScrolling) {
  WrappedLicence();
  const struct {
    const char* what;
    std::function<void()> act;
    bool scrolls;  // down from where it was; else back at the top
    bool enabled;
  } cases[] = {
      {"the wheel turned over the text", [&] { SendMessageW(edit_, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); },
       true, true},
      {"a page scrolled by a message", [&] { SendMessageW(edit_, EM_SCROLL, SB_PAGEDOWN, 0); }, true, true},
      // A text that fits: nothing to scroll, so the bar is disabled.
      {"a short text set", [&] { SetWindowTextW(edit_, LongText(3).c_str()); }, false, false},
      {"the long text again", [&] { SetWindowTextW(edit_, LongText(200).c_str()); }, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const int before = FirstLine();
    c.act();
    UpdateWindow(edit_);  // its repaint, no waiting for the half-second copy
    if (c.scrolls) {
      EXPECT_GT(FirstLine(), before);
    } else {
      EXPECT_EQ(FirstLine(), 0);
    }
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(edit_, SB_VERT, &info));
    const skin::ScrollState shown = Bar().GetState();
    EXPECT_EQ(shown.pos, info.nPos);
    EXPECT_EQ(shown.max, info.nMax);
    EXPECT_EQ(shown.page, info.nPage);
    EXPECT_EQ(IsWindowEnabled(Bar()) != FALSE, c.enabled);
  }
}

TEST_F(SkinScrollTest, ControlWithoutItsBarLosesTheSkinnedOne) {
  WrappedLicence();
  ASSERT_TRUE(IsWindowVisible(Bar()));
  SetWindowLongPtrW(edit_, GWL_STYLE, GetWindowLongPtrW(edit_, GWL_STYLE) & ~WS_VSCROLL);
  SetWindowPos(edit_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  testing_support::PumpMessages(60);
  EXPECT_FALSE(IsWindowVisible(Bar()));
  // The clip no longer cuts anything off.
  EXPECT_EQ(RectIn(Frame()->GetLimitWindow(), *Frame()).right, kEditWidth);
}

TEST_F(SkinScrollTest, RightClickOpensNoMenu) {
  WrappedLicence();
  LogEdit();
  // Should a menu open after all, this closes it instead of the test hanging.
  const UINT_PTR closer = SetTimer(nullptr, 0, 300, CloseMenu);
  const LPARAM point = MAKELPARAM(30, 30);
  SendMessageW(edit_, WM_RBUTTONDOWN, MK_RBUTTON, point);
  SendMessageW(edit_, WM_RBUTTONUP, 0, point);
  SendMessageW(edit_, WM_RBUTTONDBLCLK, MK_RBUTTON, point);
  SendMessageW(edit_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit_), MAKELPARAM(-1, -1));
  KillTimer(nullptr, closer);
  EXPECT_EQ(log_.menus, 0);
}

// ---------------------------------------------------------------------------
// Both bars

TEST_F(SkinScrollTest, BothBarsMeetAtTheCornerSquare) {
  AddEdit(200, ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY | WS_VSCROLL | WS_HSCROLL);
  std::wstring wide = LongText(200);
  wide.insert(0, std::wstring(120, L'W'));
  SetWindowTextW(edit_, wide.c_str());
  SkinEdit();
  ASSERT_NE(Frame(), nullptr);
  CSkinScrollWnd* frame = Frame();
  HWND frame_window = frame->GetSafeHwnd();
  CSkinScrollBar& horizontal = frame->GetHorizontalBar();
  ASSERT_TRUE(IsWindowVisible(horizontal));
  ASSERT_TRUE(IsWindowVisible(frame->GetVerticalBar()));
  EXPECT_EQ(frame->GetCorner(), skin::kCornerBottomRight);

  const RECT across = RectIn(horizontal, frame_window);
  EXPECT_EQ(across.bottom - across.top, kCell);
  EXPECT_EQ(across.bottom, kEditHeight);
  EXPECT_EQ(RectIn(frame->GetVerticalBar(), frame_window).bottom, kEditHeight - kCell);
  EXPECT_EQ(RectIn(frame->GetLimitWindow(), frame_window).bottom, kEditHeight - kCell);
  EXPECT_GT(horizontal.GetState().max, 0);

  const Image shot = testing_support::CaptureWindow(frame_window);
  const RECT corner{kEditWidth - kCell, kEditHeight - kCell, kEditWidth, kEditHeight};
  EXPECT_TRUE(testing_support::MatchesPicture(testing_support::Crop(shot, corner), Cell(skin::kCornerColumn, 0), {},
                                              "corner"));
  // The horizontal bar's arrows are the strip's left and right arrows.
  const RECT left_arrow{across.left, across.top, across.left + kCell, across.bottom};
  EXPECT_TRUE(testing_support::MatchesPicture(testing_support::Crop(shot, left_arrow), Cell(4, 0), {}, "left"));
  const RECT right_arrow{across.right - kCell, across.top, across.right, across.bottom};
  EXPECT_TRUE(testing_support::MatchesPicture(testing_support::Crop(shot, right_arrow), Cell(5, 0), {}, "right"));
}

TEST_F(SkinScrollTest, ControlOfAPageSkinnedWhileHiddenShowsWithThePage) {
  // Pages are skinned in their initialisation, before they are shown.
  ShowWindow(dialog_, SW_HIDE);
  AddEdit(200, ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY | WS_VSCROLL | WS_HSCROLL);
  std::wstring wide = LongText(200);
  wide.insert(0, std::wstring(120, L'W'));
  SetWindowTextW(edit_, wide.c_str());
  SkinEdit();
  ASSERT_NE(Frame(), nullptr);
  ShowWindow(dialog_, SW_SHOWNOACTIVATE);
  testing_support::PumpMessages(60);
  CSkinScrollWnd* frame = Frame();
  EXPECT_TRUE(IsWindowVisible(*frame));
  EXPECT_TRUE(IsWindowVisible(frame->GetVerticalBar()));
  EXPECT_TRUE(IsWindowVisible(frame->GetHorizontalBar()));
  EXPECT_TRUE(IsWindowVisible(edit_));
  EXPECT_EQ(RectIn(frame->GetLimitWindow(), *frame).bottom, kEditHeight - kCell);
}

// ---------------------------------------------------------------------------
// Going away

TEST_F(SkinScrollTest, FrameGoesExactlyOnceWhicheverWindowGoesFirst) {
  enum class Route { kDialog, kControl, kDetach };
  const struct {
    const char* what;
    Route route;
  } cases[] = {
      {"the dialog is destroyed with the frame attached", Route::kDialog},
      {"the control is destroyed alone", Route::kControl},
      {"the control is detached", Route::kDetach},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    NewDialog();
    WrappedLicence();
    ASSERT_EQ(CSkinScrollWnd::GetInstanceCount(), frames_before_ + 1);
    HWND frame = Frame()->GetSafeHwnd();
    HWND limit = Frame()->GetLimitWindow();
    HWND bar = Bar();
    const RECT place = RectIn(frame, dialog_);
    switch (c.route) {
      case Route::kDialog:
        DestroyWindow(dialog_);
        dialog_ = nullptr;
        EXPECT_FALSE(IsWindow(edit_));
        EXPECT_EQ(editer_->GetSafeHwnd(), nullptr);
        EXPECT_EQ(editer_->GetStrip(), nullptr);
        break;
      case Route::kControl:
        DestroyWindow(edit_);
        EXPECT_EQ(GetDlgItem(dialog_, kEditId), nullptr);
        EXPECT_EQ(editer_->GetStrip(), nullptr);
        break;
      case Route::kDetach:
        EXPECT_EQ(DetachSkinScroll(edit_), TRUE);
        EXPECT_EQ(GetParent(edit_), dialog_);
        EXPECT_EQ(GetDlgItem(dialog_, kEditId), edit_);
        EXPECT_TRUE(SameRect(RectIn(edit_, dialog_), place)) << Text(RectIn(edit_, dialog_));
        EXPECT_FALSE(editer_->IsWrapped());
        EXPECT_EQ(Frame(), nullptr);
        EXPECT_EQ(GetWindowLongPtrW(edit_, GWLP_USERDATA), 0);
        break;
    }
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(limit));
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_EQ(CSkinScrollWnd::GetInstanceCount(), frames_before_);
    testing_support::PumpMessages(30);  // a layout message posted to the gone frame is harmless
  }
}

// ---------------------------------------------------------------------------
// The bar on its own

class SkinScrollBarTest : public SkinScrollTest {
 protected:
  // The dialog's object: notes the bar's notifications and, when asked,
  // moves the bar by a page as a scrolling parent would.
  class Parent : public fw::CWnd {
   public:
    struct Note {
      int code;
      int position;
      HWND from;
    };
    std::vector<Note> notes;
    bool follow_pages = false;

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
      if (message == WM_VSCROLL) {
        HWND from = reinterpret_cast<HWND>(lparam);
        notes.push_back({LOWORD(wparam), HIWORD(wparam), from});
        if (follow_pages && LOWORD(wparam) == SB_PAGEDOWN) {
          SCROLLINFO info{};
          info.cbSize = sizeof(info);
          info.fMask = SIF_ALL;
          ::SendMessageW(from, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
          SetState(from, info.nMin, info.nMax, info.nPage, std::min(info.nPos + 10, 90));
        }
        return 0;
      }
      return fw::CWnd::WindowProc(message, wparam, lparam);
    }
  };

  void SetUp() override {
    SkinScrollTest::SetUp();
    ASSERT_TRUE(parent_.SubclassWindow(dialog_));
    CSkinBitmap loader;
    strip_.Reset(loader.LoadFromFile(SkinFolder() + kStripName, RGB(0, 0, 0)));
    ASSERT_TRUE(strip_.IsValid());
    ASSERT_TRUE(bar_.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, RECT{300, 20, 316, 230}, dialog_, 77));
    bar_.SetStrip(strip_.Get());
    SetState(bar_, 0, 99, 10, 0);
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    dialog_ = nullptr;
    SkinScrollTest::TearDown();
  }

  Parent parent_;
  fw::ScopedBitmap strip_;
  CSkinScrollBar bar_;
};

TEST_F(SkinScrollBarTest, TakesTheStripsCellAsItsThickness) {
  EXPECT_EQ(bar_.GetCell(), kCell);
  EXPECT_TRUE(SameRect(RectIn(bar_, dialog_), RECT{300, 20, 300 + kCell, 230})) << Text(RectIn(bar_, dialog_));
  EXPECT_EQ(bar_.GetLength(), 210);
  EXPECT_TRUE(bar_.IsVertical());
}

TEST_F(SkinScrollBarTest, KeepsItsOwnScrollState) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE;
  info.nMin = 5;
  info.nMax = 205;
  info.nPage = 77;  // not in the mask: kept
  EXPECT_EQ(bar_.SendMessage(SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info)), TRUE);
  info.fMask = SIF_PAGE | SIF_POS;
  info.nPage = 20;
  info.nPos = 150;  // beyond what the range allows: taken as it is
  EXPECT_EQ(bar_.SendMessage(SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(&info)), TRUE);

  SCROLLINFO read{};
  read.cbSize = sizeof(read);
  read.fMask = SIF_ALL;
  EXPECT_EQ(bar_.SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&read)), TRUE);
  EXPECT_EQ(read.nMin, 5);
  EXPECT_EQ(read.nMax, 205);
  EXPECT_EQ(read.nPage, 20u);
  EXPECT_EQ(read.nPos, 150);
  EXPECT_EQ(read.nTrackPos, -1);
  EXPECT_EQ(bar_.SendMessage(SBM_GETSCROLLINFO, 0, 0), FALSE);
  EXPECT_EQ(bar_.SendMessage(SBM_SETSCROLLINFO, TRUE, 0), FALSE);
  EXPECT_EQ(bar_.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 5)), 1);
  EXPECT_TRUE(parent_.notes.empty());
}

TEST_F(SkinScrollBarTest, EachPartSendsItsCode) {
  const struct {
    int pos;
    int y;
    int code;
  } cases[] = {
      {0, 5, SB_LINEUP}, {0, 205, SB_LINEDOWN}, {0, 100, SB_PAGEDOWN}, {90, 50, SB_PAGEUP},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("y " + std::to_string(c.y));
    SetState(bar_, 0, 99, 10, c.pos);
    parent_.notes.clear();
    Click(bar_, 10, c.y);
    ASSERT_EQ(parent_.notes.size(), 1u);
    EXPECT_EQ(parent_.notes[0].code, c.code);
    EXPECT_EQ(parent_.notes[0].position, 0);
    EXPECT_EQ(parent_.notes[0].from, bar_.GetSafeHwnd());
    EXPECT_EQ(bar_.GetClickedPart(), skin::kScrollNoPart);
  }
  SetCursorPos(700, 700);
}

TEST_F(SkinScrollBarTest, DraggedThumbTracksAndClampsThenReportsItsPosition) {
  const LPARAM grab = PointerAt(bar_, 10, 30);  // on the thumb, 21..37
  bar_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, grab);
  EXPECT_TRUE(bar_.IsDragging());
  EXPECT_EQ(bar_.GetState().track_pos, 0);
  EXPECT_TRUE(parent_.notes.empty());

  bar_.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 30 + 76));  // half the slide
  bar_.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 30 + 1000));
  bar_.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 30 + 900));  // still beyond: no news
  bar_.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 30 + 900));
  SetCursorPos(700, 700);

  ASSERT_EQ(parent_.notes.size(), 3u);
  EXPECT_EQ(parent_.notes[0].code, SB_THUMBTRACK);
  EXPECT_EQ(parent_.notes[0].position, 45);
  EXPECT_EQ(parent_.notes[1].code, SB_THUMBTRACK);
  EXPECT_EQ(parent_.notes[1].position, 90);  // 99 - 0 - 10 + 1
  EXPECT_EQ(parent_.notes[2].code, SB_THUMBPOSITION);
  EXPECT_EQ(parent_.notes[2].position, 90);
  EXPECT_FALSE(bar_.IsDragging());
  EXPECT_EQ(bar_.GetState().track_pos, -1);
  EXPECT_EQ(bar_.GetState().pos, 0);  // the parent did not take it
  EXPECT_NE(GetCapture(), bar_.GetSafeHwnd());
}

TEST_F(SkinScrollBarTest, HeldPageAreaStopsOnceTheThumbReachesThePointer) {
  parent_.follow_pages = true;
  const LPARAM point = PointerAt(bar_, 10, 120);
  testing_support::PumpMessages(30);
  bar_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, point);
  // Ten values a page: at 50 the thumb covers 105..121, under the pointer.
  ASSERT_TRUE(WaitUntil([&] { return bar_.GetState().pos == 50; })) << bar_.GetState().pos;
  testing_support::PumpMessages(600);
  EXPECT_EQ(bar_.GetState().pos, 50);
  EXPECT_EQ(parent_.notes.size(), 5u);
  bar_.SendMessage(WM_LBUTTONUP, 0, point);
  SetCursorPos(700, 700);
  EXPECT_FALSE(bar_.IsRepeating());
}

}  // namespace
