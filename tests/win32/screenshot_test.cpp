// The screenshot harness on windows whose pixels are known: a picture made
// here goes through a PNG file into a plain, a region-shaped and a colour-key
// layered window, and every capture must equal it pixel for pixel, with the
// backdrop showing wherever the window is cut away. A wrong expectation has
// to fail with the right counts and leave pictures a person can open; the
// mouse helpers have to put hover and pressed states on the right window;
// and the faces our dialogs ask for have to draw with the font the test
// prefix pins, whatever fonts the host has.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "support/scratch.h"
#include "support/screenshot_win32.h"

namespace {

using testing_support::CaptureWindow;
using testing_support::CompareImages;
using testing_support::CompareOptions;
using testing_support::Comparison;
using testing_support::Image;
using testing_support::LoadPicture;
using testing_support::MatchesPicture;
using testing_support::Rgb;
using testing_support::SavePicture;

constexpr uint32_t kKey = Rgb(255, 0, 255);
constexpr uint32_t kBackdrop = Rgb(40, 160, 90);
constexpr int kWidth = 96;
constexpr int kHeight = 64;

// Four quadrants, a band of graded colours across them and a block of the
// colour key, so that an offset, a swapped channel or a lost row all show.
Image TestPicture() {
  Image picture(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool right = x >= kWidth / 2, bottom = y >= kHeight / 2;
      uint32_t pixel =
          right ? (bottom ? Rgb(250, 220, 30) : Rgb(20, 60, 230)) : (bottom ? Rgb(10, 10, 10) : Rgb(210, 40, 50));
      if (y >= 24 && y < 32)
        pixel = Rgb(static_cast<uint8_t>(x * 2), static_cast<uint8_t>(255 - x * 2), static_cast<uint8_t>(y * 4));
      if (x >= 40 && x < 56 && y >= 40 && y < 52) pixel = kKey;
      picture.at(x, y) = pixel;
    }
  }
  return picture;
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::string Ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// ---- windows painting known pixels ------------------------------------------

struct WindowCloser {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;

struct RegionDeleter {
  void operator()(HRGN region) const { ::DeleteObject(region); }
};
using Region = std::unique_ptr<std::remove_pointer_t<HRGN>, RegionDeleter>;

class Paint {
 public:
  explicit Paint(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~Paint() { ::EndPaint(window_, &paint_); }
  Paint(const Paint&) = delete;
  Paint& operator=(const Paint&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// What a canvas window paints: its picture, or else one colour per mouse state.
struct Canvas {
  Image picture;
  uint32_t colour = 0;
  uint32_t hover_colour = 0;
  uint32_t pressed_colour = 0;
  bool hovered = false;
  bool pressed = false;
  POINT last_move{-1, -1};
  POINT last_press{-1, -1};
};

void PaintCanvas(HWND window, const Canvas& canvas) {
  Paint paint(window);
  if (!canvas.picture.empty()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = canvas.picture.width;
    info.bmiHeader.biHeight = -canvas.picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::StretchDIBits(paint.dc(), 0, 0, canvas.picture.width, canvas.picture.height, 0, 0, canvas.picture.width,
                    canvas.picture.height, canvas.picture.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    return;
  }
  const uint32_t colour = canvas.pressed ? canvas.pressed_colour : canvas.hovered ? canvas.hover_colour : canvas.colour;
  RECT client{};
  ::GetClientRect(window, &client);
  ::SetDCBrushColor(paint.dc(), testing_support::ToColorRef(colour));
  ::FillRect(paint.dc(), &client, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* canvas = reinterpret_cast<Canvas*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (canvas == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
  const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintCanvas(window, *canvas);
      return 0;
    case WM_MOUSEMOVE:
      canvas->last_move = at;
      if (!canvas->hovered) {
        canvas->hovered = true;
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
        ::TrackMouseEvent(&track);
        ::InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_MOUSELEAVE:
      canvas->hovered = false;
      ::InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
      canvas->last_press = at;
      canvas->pressed = true;
      ::SetCapture(window);
      ::InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      canvas->pressed = false;
      ::ReleaseCapture();
      ::InvalidateRect(window, nullptr, FALSE);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

// A hidden popup at a screen rectangle; shown by Show once it has its shape.
Window CreateCanvas(Canvas* canvas, const RECT& area, DWORD ex_style = 0) {
  static const ATOM kClass = [] {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = CanvasProc;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.lpszClassName = L"GlimmoraScreenshotCanvas";
    return ::RegisterClassW(&window_class);
  }();
  return Window(::CreateWindowExW(ex_style, MAKEINTATOM(kClass), L"", WS_POPUP, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), canvas));
}

void Show(HWND window) {
  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  ::UpdateWindow(window);
}

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

struct DCDeleter {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct FontDeleter {
  void operator()(HFONT font) const { ::DeleteObject(font); }
};

struct DrawnFont {
  std::wstring face;          // as GetTextFace names it
  std::vector<uint8_t> file;  // the whole font file; empty when none
};

DrawnFont FontFor(const wchar_t* face, int weight) {
  std::unique_ptr<std::remove_pointer_t<HDC>, DCDeleter> dc(::CreateCompatibleDC(nullptr));
  std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> font(
      ::CreateFontW(-12, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
  if (!dc || !font) return {};
  const HGDIOBJ previous = ::SelectObject(dc.get(), font.get());
  DrawnFont drawn;
  wchar_t name[LF_FACESIZE] = {};
  if (::GetTextFaceW(dc.get(), LF_FACESIZE, name) > 0) drawn.face = name;
  const DWORD size = ::GetFontData(dc.get(), 0, 0, nullptr, 0);
  if (size != GDI_ERROR) {
    drawn.file.resize(size);
    if (::GetFontData(dc.get(), 0, 0, drawn.file.data(), size) != size) drawn.file.clear();
  }
  ::SelectObject(dc.get(), previous);
  return drawn;
}

// ---- tests --------------------------------------------------------------------

TEST(ScreenshotTest, PicturesSurviveSavingAndLoading) {
  const std::wstring folder = Wide(testing_support::ScratchFolder("screenshot"));
  const Image picture = TestPicture();
  for (const wchar_t* name : {L"picture.png", L"picture.bmp"}) {
    SCOPED_TRACE(Ascii(name));
    ASSERT_TRUE(SavePicture(picture, folder + name));
    const std::optional<Image> loaded = LoadPicture(folder + name);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_TRUE(MatchesPicture(*loaded, picture, {}, Ascii(name)));
  }

  // Stretched down to half its size, a picture of four plain quadrants keeps
  // their colours exactly away from the seams and edges, where bilinear
  // drawing blends; those pixels are left out by making them transparent.
  Image quadrants(2 * kWidth, 2 * kHeight);
  Image expected(kWidth, kHeight);
  const uint32_t colours[2][2] = {{Rgb(210, 40, 50), Rgb(20, 60, 230)}, {Rgb(10, 10, 10), Rgb(250, 220, 30)}};
  for (int y = 0; y < quadrants.height; ++y) {
    for (int x = 0; x < quadrants.width; ++x) quadrants.at(x, y) = colours[y >= kHeight][x >= kWidth];
  }
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool near_seam = std::abs(x - kWidth / 2) < 2 || std::abs(y - kHeight / 2) < 2 || x < 2 || y < 2 ||
                             x >= kWidth - 2 || y >= kHeight - 2;
      expected.at(x, y) = near_seam ? 0 : colours[y >= kHeight / 2][x >= kWidth / 2];
    }
  }
  ASSERT_TRUE(SavePicture(quadrants, folder + L"quadrants.png"));
  const std::optional<Image> scaled = LoadPicture(folder + L"quadrants.png", SIZE{kWidth, kHeight});
  ASSERT_TRUE(scaled.has_value());
  EXPECT_TRUE(MatchesPicture(*scaled, expected, {}, "scaled"));

  EXPECT_FALSE(LoadPicture(folder + L"missing.png").has_value());
}

TEST(ScreenshotTest, CapturesShowThePictureAndTheBackdropWhereTheWindowIsCutAway) {
  const std::wstring folder = Wide(testing_support::ScratchFolder("screenshot"));
  ASSERT_TRUE(SavePicture(TestPicture(), folder + L"picture.png"));
  const std::optional<Image> picture = LoadPicture(folder + L"picture.png");
  ASSERT_TRUE(picture.has_value());

  enum class Shape { kPlain, kRoundRegion, kColourKey };
  const struct {
    const char* label;
    Shape shape;
  } cases[] = {{"plain", Shape::kPlain}, {"round-region", Shape::kRoundRegion}, {"colour-key", Shape::kColourKey}};

  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Canvas backdrop_canvas;
    backdrop_canvas.colour = kBackdrop;
    Window backdrop(CreateCanvas(&backdrop_canvas, {100, 100, 100 + kWidth + 80, 100 + kHeight + 80}));
    Canvas canvas;
    canvas.picture = *picture;
    Window window(CreateCanvas(&canvas, {140, 140, 140 + kWidth, 140 + kHeight},
                               c.shape == Shape::kColourKey ? WS_EX_LAYERED : 0));
    ASSERT_TRUE(backdrop && window);

    // The same region twice: the window owns the one it is given.
    Region cut(::CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 40, 40));
    if (c.shape == Shape::kRoundRegion) {
      ASSERT_TRUE(::SetWindowRgn(window.get(), ::CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 40, 40), FALSE));
    }
    if (c.shape == Shape::kColourKey) {
      ASSERT_TRUE(::SetLayeredWindowAttributes(window.get(), testing_support::ToColorRef(kKey), 0, LWA_COLORKEY));
    }
    Show(backdrop.get());
    Show(window.get());

    Image expected = *picture;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const bool cut_away = (c.shape == Shape::kRoundRegion && !::PtInRegion(cut.get(), x, y)) ||
                              (c.shape == Shape::kColourKey && expected.at(x, y) == kKey);
        if (cut_away) expected.at(x, y) = kBackdrop;
      }
    }
    EXPECT_TRUE(MatchesPicture(CaptureWindow(window.get()), expected, {}, c.label));
  }
}

TEST(ScreenshotTest, AWrongExpectationFailsWithItsCountsAndLeavesPictures) {
  Canvas canvas;
  canvas.picture = TestPicture();
  Window window(CreateCanvas(&canvas, {140, 140, 140 + kWidth, 140 + kHeight}));
  ASSERT_TRUE(window);
  Show(window.get());
  const Image capture = CaptureWindow(window.get());
  ASSERT_TRUE(MatchesPicture(capture, canvas.picture, {}, "sound"));

  // 100 pixels, 40 too red.
  Image wrong = canvas.picture;
  const RECT block{4, 4, 14, 14};
  for (int y = block.top; y < block.bottom; ++y) {
    for (int x = block.left; x < block.right; ++x) wrong.at(x, y) += 40u << 16;
  }
  const int64_t all = int64_t{kWidth} * kHeight;

  const struct {
    int tolerance;
    double allowed_fraction;
    int64_t differing;
    bool matches;
  } cases[] = {{0, 0.0, 100, false}, {40, 0.0, 0, true}, {39, 0.02, 100, true}, {39, 0.01, 100, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "tolerance " << c.tolerance << ", share " << c.allowed_fraction);
    const Comparison result = CompareImages(capture, wrong, {c.tolerance, c.allowed_fraction});
    EXPECT_TRUE(result.same_size);
    EXPECT_EQ(result.compared, all);
    EXPECT_EQ(result.differing, c.differing);
    EXPECT_EQ(result.worst, 40);
    EXPECT_EQ(result.matches, c.matches);
  }
  // Regions: the block alone, and an area whose size is not the picture's.
  EXPECT_EQ(testing_support::CompareRegion(capture, block, testing_support::Crop(wrong, block)).differing, 100);
  const Comparison misfit =
      testing_support::CompareRegion(capture, {0, 0, 10, 11}, testing_support::Crop(wrong, block));
  EXPECT_FALSE(misfit.same_size);
  EXPECT_FALSE(misfit.matches);

  const testing::AssertionResult failed = MatchesPicture(capture, wrong, {}, "wrong");
  ASSERT_FALSE(failed);
  EXPECT_NE(std::string(failed.message()).find("100 of 6144 pixels differ"), std::string::npos) << failed.message();
  EXPECT_NE(std::string(failed.message()).find("worst channel difference 40"), std::string::npos) << failed.message();

  const std::wstring base = testing_support::ScreenshotFolder() + L"wrong-";
  const std::optional<Image> actual_file = LoadPicture(base + L"actual.png");
  const std::optional<Image> expected_file = LoadPicture(base + L"expected.png");
  const std::optional<Image> diff_file = LoadPicture(base + L"diff.png");
  ASSERT_TRUE(actual_file && expected_file && diff_file);
  EXPECT_TRUE(*actual_file == capture);
  EXPECT_TRUE(*expected_file == wrong);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t pixel = diff_file->at(x, y);
      const bool red = (pixel & 0xFFFF) == 0 && (pixel >> 16 & 0xFF) >= 128;
      const bool in_block = x >= block.left && x < block.right && y >= block.top && y < block.bottom;
      ASSERT_EQ(red, in_block) << "diff picture at " << x << "," << y;
    }
  }

  // A later match of the same label clears them away again.
  EXPECT_TRUE(MatchesPicture(capture, capture, {}, "wrong"));
  for (const wchar_t* name : {L"actual.png", L"expected.png", L"diff.png"}) {
    EXPECT_EQ(::GetFileAttributesW((base + name).c_str()), INVALID_FILE_ATTRIBUTES);
  }
  ::RemoveDirectoryW(testing_support::ScreenshotFolder().c_str());
}

TEST(ScreenshotTest, MouseHelpersHoverAndPressTheWindowPoint) {
  Canvas canvas;
  canvas.colour = Rgb(30, 60, 200);
  canvas.hover_colour = Rgb(40, 200, 60);
  canvas.pressed_colour = Rgb(220, 30, 30);
  Window window(CreateCanvas(&canvas, {300, 300, 380, 360}));
  ASSERT_TRUE(window);
  Show(window.get());
  HWND w = window.get();

  std::optional<testing_support::HeldMouseButton> held;
  const struct {
    const char* label;
    std::function<void()> act;
    uint32_t colour;
  } steps[] = {
      {"parked", [] { testing_support::ParkMouse(); }, canvas.colour},
      {"hovered",
       [&] {
         ASSERT_TRUE(testing_support::MoveMouse(w, {12, 34}));
         EXPECT_TRUE(SamePoint(canvas.last_move, {12, 34}));
       },
       canvas.hover_colour},
      {"pressed",
       [&] {
         held.emplace(w, POINT{20, 30});
         EXPECT_TRUE(SamePoint(canvas.last_press, {20, 30}));
       },
       canvas.pressed_colour},
      {"released", [&] { held.reset(); }, canvas.hover_colour},
      {"left", [] { testing_support::ParkMouse(); }, canvas.colour},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.label);
    step.act();
    EXPECT_TRUE(MatchesPicture(CaptureWindow(w), Image(80, 60, step.colour), {}, step.label));
  }
}

TEST(ScreenshotTest, DialogFacesDrawWithThePinnedFont) {
  wchar_t windows[MAX_PATH] = {};
  ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  const std::wstring fonts = std::wstring(windows) + L"\\Fonts\\";
  const auto read = [&](const wchar_t* name) {
    const std::wstring path = fonts + name;
    return testing_support::ReadFileBytes(std::u16string(path.begin(), path.end()));
  };
  const std::vector<uint8_t> regular = read(L"DejaVuSansCondensed.ttf");
  const std::vector<uint8_t> bold = read(L"DejaVuSansCondensed-Bold.ttf");
  ASSERT_FALSE(regular.empty() || bold.empty()) << "the prefix lacks the pinned font: run tools/wine/setup";

  for (const wchar_t* face : {L"Segoe UI", L"MS Shell Dlg", L"MS Shell Dlg 2", L"Tahoma"}) {
    for (const int weight : {FW_NORMAL, FW_BOLD}) {
      SCOPED_TRACE(testing::Message() << Ascii(face) << " weight " << weight);
      const DrawnFont drawn = FontFor(face, weight);
      EXPECT_TRUE(drawn.file == (weight == FW_BOLD ? bold : regular))
          << "drawn with " << Ascii(drawn.face) << ", a font of " << drawn.file.size() << " bytes";
      // Found under the asked name, not as Wine's last resort for a missing
      // face, which is whatever sans-serif font the host's fontconfig prefers.
      EXPECT_EQ(Ascii(drawn.face), Ascii(face));
    }
  }
}

}  // namespace
