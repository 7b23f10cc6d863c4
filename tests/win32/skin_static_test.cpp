// The statics that show the dialog's picture around their text, on a parent
// painted with a small checker pattern, and the skin line answers of the
// controls that keep their native look.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/window.h"
#include "skin/bmpprogctrl.h"
#include "skin/skinstatic.h"
#include "skin/transparentstatic.h"
#include "skin/zipsliderctl.h"

namespace {

// The parent's background: 3 x 3 checks of two light colours, so that any
// stray pixel of black text or a wrongly placed copy shows.
constexpr COLORREF kCheckA = RGB(250, 236, 190);
constexpr COLORREF kCheckB = RGB(190, 226, 250);
COLORREF Pattern(int x, int y) { return ((x / 3 + y / 3) % 2) ? kCheckB : kCheckA; }

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(window, &paint);
      RECT client{};
      GetClientRect(window, &client);
      for (int y = 0; y < client.bottom; y += 3) {
        for (int x = 0; x < client.right; x += 3) {
          RECT cell{x, y, x + 3, y + 3};
          SetBkColor(dc, Pattern(x, y));
          ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
        }
      }
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

// The client pixels of a shown window as the screen has them.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> data;  // 0x00RRGGBB
  COLORREF At(int x, int y) const {
    const uint32_t p = data[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
};

Pixels Grab(HWND window) {
  Pixels pixels;
  RECT client{};
  GetClientRect(window, &client);
  pixels.width = client.right;
  pixels.height = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    pixels.data.assign(first, first + static_cast<size_t>(pixels.width) * pixels.height);
    SelectObject(memory, old);
    DeleteObject(dib);
  }
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return pixels;
}

bool IsInk(COLORREF colour) { return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 300; }

int TextWidth(HWND control, const wchar_t* text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  if (old) SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

// A patterned top-level window bound to a plain framework object, which
// hands its children's control-colour messages back to them.
class SkinStaticTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW parent{};
    parent.lpfnWndProc = PatternProc;
    parent.hInstance = GetModuleHandleW(nullptr);
    parent.lpszClassName = L"GlimmoraSkinStaticParent";
    RegisterClassW(&parent);
  }
  void SetUp() override {
    parent_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"GlimmoraSkinStaticParent", L"", WS_POPUP, 0, 0, 300,
                              120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    ASSERT_TRUE(parent_object_.SubclassWindow(parent_));
  }
  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
  }
  HWND Static(DWORD style, const wchar_t* text, const RECT& at) {
    return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.right - at.left,
                           at.bottom - at.top, parent_, nullptr, GetModuleHandleW(nullptr), nullptr);
  }

  HWND parent_ = nullptr;
  fw::CWnd parent_object_;
};

TEST_F(SkinStaticTest, ShorterTextLeavesOnlyTheParentsBackground) {
  const RECT at{21, 30, 271, 50};
  CTransparentStatic2 label;
  ASSERT_TRUE(label.SubclassWindow(Static(SS_LEFT, L"WWWWWWWWWWWWWWWWWWWW", at)));
  ShowWindow(parent_, SW_SHOWNOACTIVATE);
  // The label paints before its parent ever did: what it keeps must still
  // be the parent's picture, not the screen's unpainted pixels.
  UpdateWindow(label);
  ASSERT_TRUE(label.HasBackground());
  UpdateWindow(parent_);
  RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

  const int long_width = TextWidth(label, L"WWWWWWWWWWWWWWWWWWWW");
  Pixels before = Grab(parent_);
  bool long_text_shown = false;
  for (int x = at.left + 20; x < at.left + long_width && !long_text_shown; ++x) {
    for (int y = at.top; y < at.bottom; ++y) long_text_shown = long_text_shown || IsInk(before.At(x, y));
  }
  ASSERT_TRUE(long_text_shown);

  label.SetWindowText(L"i");
  const int short_width = TextWidth(label, L"i");
  const Pixels after = Grab(parent_);
  bool short_text_shown = false;
  for (int y = at.top; y < at.bottom; ++y) {
    for (int x = at.left; x < at.right; ++x) {
      if (x < at.left + short_width + 1) {
        short_text_shown = short_text_shown || IsInk(after.At(x, y));
        continue;
      }
      ASSERT_EQ(after.At(x, y), Pattern(x, y)) << "at " << x << "," << y;
    }
  }
  EXPECT_TRUE(short_text_shown);
}

TEST_F(SkinStaticTest, CentreImageDrawsOneVerticallyCentredLine) {
  const RECT at{10, 20, 210, 80};
  CTransparentStatic label;
  ASSERT_TRUE(label.SubclassWindow(
      Static(SS_LEFT | SS_CENTERIMAGE, L"one line that would wrap several times in a box this narrow", at)));
  ShowWindow(parent_, SW_SHOWNOACTIVATE);
  UpdateWindow(parent_);
  const Pixels shot = Grab(parent_);
  int top = -1;
  int bottom = -1;
  for (int y = at.top; y < at.bottom; ++y) {
    for (int x = at.left; x < at.right; ++x) {
      if (!IsInk(shot.At(x, y))) continue;
      if (top < 0) top = y;
      bottom = y;
    }
  }
  ASSERT_GE(top, 0) << "no text drawn";
  TEXTMETRICW metrics{};
  HDC dc = GetDC(label);
  GetTextMetricsW(dc, &metrics);
  ReleaseDC(label, dc);
  EXPECT_LT(bottom - top, metrics.tmHeight);
  EXPECT_NEAR((top + bottom) / 2.0, (at.top + at.bottom) / 2.0, 4.0);
}

TEST_F(SkinStaticTest, PrintClientDrawsIntoTheGivenDc) {
  CTransparentStatic label;
  ASSERT_TRUE(label.SubclassWindow(Static(SS_LEFT, L"WWWW", RECT{0, 0, 80, 20})));
  EXPECT_EQ(label.SendMessage(WM_PRINTCLIENT, 0, PRF_CLIENT), -1);

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 80, 20);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, 80, 20};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(label.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT), 0);
  bool ink = false;
  for (int y = 0; y < 20 && !ink; ++y) {
    for (int x = 0; x < 80 && !ink; ++x) ink = IsInk(GetPixel(memory, x, y));
  }
  EXPECT_TRUE(ink);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

TEST(SkinStaticFlags, StyleBitsGiveTheTextFlags) {
  struct Row {
    DWORD style;
    UINT flags;
  };
  const Row rows[] = {
      {SS_LEFT, DT_WORDBREAK},
      {SS_RIGHT, DT_RIGHT | DT_WORDBREAK},
      {SS_CENTER | SS_NOPREFIX, DT_CENTER | DT_NOPREFIX | DT_WORDBREAK},
      {SS_CENTERIMAGE, DT_VCENTER | DT_SINGLELINE},
      {SS_ENDELLIPSIS, DT_WORD_ELLIPSIS | DT_END_ELLIPSIS},
      {SS_PATHELLIPSIS, DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS},
      {SS_LEFTNOWORDWRAP, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TransparentStaticTextFlags(row.style), row.flags) << std::hex << row.style;
  }
}

TEST(SkinStaticLine, MissingLineOrFolderAnswersFive) {
  const std::vector<std::function<std::unique_ptr<CSkinCtr>()>> kinds = {
      [] { return std::make_unique<CSkinStatic>(); },
      [] { return std::make_unique<CSkinTreeCtr>(); },
      [] { return std::make_unique<CBmpProgCtrl>(); },
      [] { return std::make_unique<CZipSliderCtl>(); },
  };
  const std::wstring line = L"a.png,b.png,c.png,10,20,d.bmp,v";
  const std::wstring folder = L"C:\\skin\\";
  for (size_t kind = 0; kind < kinds.size(); ++kind) {
    SCOPED_TRACE(kind);
    // Not bound to any window: the line is still taken.
    auto control = kinds[kind]();
    EXPECT_EQ(control->LoadSkin(nullptr, &folder), 5);
    EXPECT_EQ(control->LoadSkin(&line, nullptr), 5);
    EXPECT_EQ(control->LoadSkin(&line, &folder), 0);
  }
}

}  // namespace
