// The skinned progress bar and slider on real native controls in a small
// top-level window: their messages, where their lines put them, and the
// pixels they paint from small pictures written for the test.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <climits>
#include <memory>
#include <string>

#include "skin/bmpprogctrl.h"
#include "skin/core/scale.h"
#include "skin/zipsliderctl.h"
#include "support/screenshot_win32.h"
#include "support/skin_test_host.h"

namespace {

// The fill picture changes colour halfway, so a squeezed fill shows.
constexpr COLORREF kFill = RGB(220, 30, 40);
constexpr COLORREF kFillEnd = RGB(240, 200, 20);
constexpr COLORREF kTrack = RGB(30, 60, 200);
constexpr COLORREF kThumb = RGB(20, 200, 60);
// Per channel: pictures drawn one to one come out exact, this only absorbs
// a display that is not 24-bit.
constexpr int kTolerance = 8;

// A shown top-level window on top of everything, with the pictures of the
// test in a scratch folder.
class SkinControlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testing_support::StartSkinnedControls());
    WNDCLASSW host{};
    host.lpfnWndProc = DefWindowProcW;
    host.hInstance = GetModuleHandleW(nullptr);
    host.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    host.lpszClassName = L"GlimmoraSkinControlHost";
    RegisterClassW(&host);
  }

  void SetUp() override {
    skin::SetScaleFromDpi(96, 96);
    host_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"GlimmoraSkinControlHost", L"", WS_POPUP, 0, 0, 320,
                            320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    // Not activated: without a window manager, activation waits on X.
    ShowWindow(host_, SW_SHOWNOACTIVATE);
    folder_ = testing_support::WideScratchFolder("skin-controls");
  }
  void TearDown() override {
    if (host_) DestroyWindow(host_);
    skin::SetScaleFromDpi(96, 96);
  }

  void Picture(const std::string& name, int width, int height, COLORREF colour, COLORREF right_half) {
    testing_support::WriteBmp(folder_ + std::wstring(name.begin(), name.end()), width, height, colour, right_half);
  }
  HWND Child(const wchar_t* window_class, DWORD style, int width, int height) {
    return CreateWindowExW(0, window_class, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, width, height, host_, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }

  HWND host_ = nullptr;
  std::wstring folder_;
};

// ---- progress bar ----

class SkinProgressTest : public SkinControlTest {
 protected:
  // A 200 x 10 bar at (5, 5) over a track and a fill picture of its size.
  void MakeBar(int width = 200) {
    // A fresh object on a fresh window, so nothing of an earlier bar stays;
    // the old one goes first, as its pictures keep their files open.
    if (bar_) DestroyWindow(*bar_);
    bar_ = std::make_unique<CBmpProgCtrl>();
    Picture("fill.bmp", 200, 10, kFill, kFillEnd);
    Picture("track.bmp", 200, 10, kTrack, kTrack);
    HWND window = Child(PROGRESS_CLASSW, 0, width, 10);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(bar_->SubclassWindow(window));
    const std::wstring line = L",fill.bmp,track.bmp,5,5";
    ASSERT_EQ(bar_->LoadSkin(&line, &folder_), 0);
  }
  LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) { return bar_->SendMessage(message, wparam, lparam); }

  std::unique_ptr<CBmpProgCtrl> bar_;
};

TEST_F(SkinProgressTest, StartsWithTheLowerEndAtOne) {
  MakeBar();
  EXPECT_EQ(bar_->GetLower(), 1);
  EXPECT_EQ(bar_->GetUpper(), 100);
  EXPECT_EQ(bar_->GetStep(), 1);
  EXPECT_EQ(bar_->GetPosition(), 0);
}

TEST_F(SkinProgressTest, LinePlacesTheBarAtScaledDesignPixelsKeepingItsSize) {
  skin::SetScaleFromDpi(192, 192);
  MakeBar();  // the line says 5, 5
  const RECT placed = bar_->GetRectInParent();
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.top, 10);
  EXPECT_EQ(placed.right - placed.left, 200);
  EXPECT_EQ(placed.bottom - placed.top, 10);
}

TEST_F(SkinProgressTest, MessagesAnswerAndKeepTheirState) {
  struct Row {
    const char* name;
    int low, high, start, step;  // set before the message
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    LRESULT answer;
    int lower, upper, position, step_after;
  };
  const Row rows[] = {
      {"range given high end first", 0, 100, 0, 1, PBM_SETRANGE, 0, MAKELPARAM(100, 0), 0, 0, 100, 0, 1},
      {"position in range", 0, 100, 40, 1, PBM_SETPOS, 100, 0, TRUE, 0, 100, 100, 1},
      {"position past the upper end", 0, 100, 40, 1, PBM_SETPOS, 101, 0, FALSE, 0, 100, 40, 1},
      {"position below the lower end", 10, 100, 10, 1, PBM_SETPOS, 9, 0, FALSE, 10, 100, 10, 1},
      {"step inside the range", 0, 100, 95, 5, PBM_STEPIT, 0, 0, TRUE, 0, 100, 100, 5},
      {"step at the upper end", 0, 100, 100, 1, PBM_STEPIT, 0, 0, FALSE, 0, 100, 100, 1},
      {"huge step stops at the end", 0, 100, 50, INT_MAX, PBM_STEPIT, 0, 0, FALSE, 0, 100, 100, INT_MAX},
      {"backward step stops at the lower end", 0, 100, 3, -5, PBM_STEPIT, 0, 0, FALSE, 0, 100, 0, -5},
      {"step of zero refused", 0, 100, 0, 7, PBM_SETSTEP, 0, 0, 0, 0, 100, 0, 7},
      {"step taken", 0, 100, 0, 1, PBM_SETSTEP, 10, 0, 1, 0, 100, 0, 10},
  };
  MakeBar();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Send(PBM_SETRANGE, 0, MAKELPARAM(row.low, row.high));
    Send(PBM_SETPOS, static_cast<WPARAM>(row.start));
    Send(PBM_SETSTEP, static_cast<WPARAM>(row.step));
    EXPECT_EQ(Send(row.message, row.wparam, row.lparam), row.answer);
    EXPECT_EQ(bar_->GetLower(), row.lower);
    EXPECT_EQ(bar_->GetUpper(), row.upper);
    EXPECT_EQ(bar_->GetPosition(), row.position);
    EXPECT_EQ(bar_->GetStep(), row.step_after);
  }
}

TEST_F(SkinProgressTest, FillRevealsTheColumnsOfThePosition) {
  struct Row {
    const char* label;
    bool set_range;
    int low, high, position;
    int filled;  // columns of the 200 showing the fill picture
  };
  const Row rows[] = {
      {"empty", true, 0, 100, 0, 0},
      {"half", true, 0, 100, 50, 100},
      {"full", true, 0, 100, 100, 200},
      // Before any range is set the lower end is 1: 33 shows as 33/99.
      {"default-range", false, 0, 0, 33, 66},
      {"equal-ends", true, 5, 5, 5, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    MakeBar();
    if (row.set_range) Send(PBM_SETRANGE, 0, MAKELPARAM(row.low, row.high));
    Send(PBM_SETPOS, static_cast<WPARAM>(row.position));
    testing_support::Image expected(200, 10);
    for (int y = 0; y < expected.height; ++y) {
      for (int x = 0; x < expected.width; ++x) {
        expected.at(x, y) = testing_support::FromColorRef(x >= row.filled ? kTrack : x < 100 ? kFill : kFillEnd);
      }
    }
    EXPECT_TRUE(testing_support::MatchesPicture(testing_support::CaptureWindow(*bar_), expected, {kTolerance},
                                                std::string("bar-") + row.label));
  }
}

TEST_F(SkinProgressTest, ZeroWidthBarPaintsWithoutFailing) {
  MakeBar(0);
  Send(PBM_SETRANGE, 0, MAKELPARAM(7, 7));
  Send(PBM_SETPOS, 7);
  RedrawWindow(*bar_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(IsWindow(*bar_));
  EXPECT_EQ(bar_->GetPosition(), 7);
}

// ---- slider ----

class SkinProgressSliderTest : public SkinControlTest {
 protected:
  // A slider placed by its line at (x, y) over a track picture of its size
  // and a 10 x 10 thumb.
  void MakeSlider(bool vertical, int width, int height, int x = 0, int y = 0) {
    if (slider_) DestroyWindow(*slider_);
    slider_ = std::make_unique<CZipSliderCtl>();
    Picture("track.bmp", width, height, kTrack, kTrack);
    Picture("thumb.bmp", 10, 10, kThumb, kThumb);
    HWND window = Child(TRACKBAR_CLASSW, vertical ? TBS_VERT : 0, width, height);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(slider_->SubclassWindow(window));
    const std::wstring line = L"track.bmp,thumb.bmp," + std::to_wstring(x) + L"," + std::to_wstring(y) + L"," +
                              (vertical ? L",v" : L"");
    ASSERT_EQ(slider_->LoadSkin(&line, &folder_), 0);
    ASSERT_EQ(slider_->IsHorizontal(), !vertical);
  }
  LRESULT SetPos(int position) { return slider_->SendMessage(TBM_SETPOS, TRUE, position); }
  int GetPos() { return static_cast<int>(slider_->SendMessage(TBM_GETPOS)); }
  void Mouse(UINT message, int x, int y) { slider_->SendMessage(message, MK_LBUTTON, MAKELPARAM(x, y)); }

  std::unique_ptr<CZipSliderCtl> slider_;
};

TEST_F(SkinProgressSliderTest, LinePlacesTheSliderAtScaledDesignPixelsKeepingItsSize) {
  skin::SetScaleFromDpi(192, 192);
  MakeSlider(false, 200, 20, 7, 9);
  const RECT placed = slider_->GetRectInParent();
  EXPECT_EQ(placed.left, 14);
  EXPECT_EQ(placed.top, 18);
  EXPECT_EQ(placed.right - placed.left, 200);
  EXPECT_EQ(placed.bottom - placed.top, 20);
}

TEST_F(SkinProgressSliderTest, PositionBelowTheLowerEndChangesNothing) {
  MakeSlider(false, 200, 20);
  slider_->SetRange(10, 110);
  EXPECT_EQ(SetPos(60), 0);
  EXPECT_EQ(slider_->GetThumb(), 100);
  EXPECT_EQ(SetPos(5), 1);
  EXPECT_EQ(slider_->GetThumb(), 100);
  EXPECT_EQ(GetPos(), 60);
}

TEST_F(SkinProgressSliderTest, ThumbIsDrawnWhereThePositionPutsIt) {
  struct Row {
    const char* label;
    bool vertical;
    int position;
    int offset;  // where the thumb picture starts along the slider
  };
  const Row rows[] = {
      {"vertical-lower-end-at-top", true, 0, 0},
      {"vertical-upper-end-at-bottom", true, 100, 190},
      {"horizontal-middle", false, 50, 95},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const int width = row.vertical ? 20 : 200;
    const int height = row.vertical ? 200 : 20;
    MakeSlider(row.vertical, width, height);
    EXPECT_EQ(SetPos(row.position), 0);
    testing_support::Image expected(width, height);
    const RECT thumb = row.vertical ? RECT{0, row.offset, 10, row.offset + 10} : RECT{row.offset, 0, row.offset + 10, 10};
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const bool on_thumb = x >= thumb.left && x < thumb.right && y >= thumb.top && y < thumb.bottom;
        expected.at(x, y) = testing_support::FromColorRef(on_thumb ? kThumb : kTrack);
      }
    }
    EXPECT_TRUE(testing_support::MatchesPicture(testing_support::CaptureWindow(*slider_), expected, {kTolerance},
                                                std::string("slider-") + row.label));
  }
}

TEST_F(SkinProgressSliderTest, DragSetsThePositionOnlyWithinTheSlider) {
  MakeSlider(false, 200, 20);
  slider_->SetRange(0, 100);
  Mouse(WM_LBUTTONDOWN, 20, 5);
  EXPECT_EQ(GetPos(), 10);
  Mouse(WM_MOUSEMOVE, 150, 5);
  Mouse(WM_MOUSEMOVE, 400, 5);   // past the right end: ignored
  Mouse(WM_LBUTTONUP, -30, 5);  // left of the slider: ignored
  EXPECT_EQ(GetPos(), 75);
  Mouse(WM_MOUSEMOVE, 60, 5);  // no longer dragging
  EXPECT_EQ(GetPos(), 75);
}

TEST_F(SkinProgressSliderTest, EmptyRangeOrSizeNeverDivides) {
  MakeSlider(false, 200, 20);
  slider_->SetRange(50, 50);
  EXPECT_EQ(SetPos(50), 0);
  EXPECT_EQ(GetPos(), 50);
  MoveWindow(*slider_, 0, 0, 0, 0, TRUE);
  EXPECT_EQ(SetPos(70), 0);
  EXPECT_EQ(GetPos(), 0);
  RedrawWindow(*slider_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(IsWindow(*slider_));
}

}  // namespace
