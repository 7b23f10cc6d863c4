// Looking at windows in tests: capture what the screen shows of a window,
// load and save pictures with GDI+, compare a capture with the picture it was
// drawn from, and move or press the mouse over a window point.
//
// Under Wine with Xvfb (no window manager, no compositor) a capture is the
// X server's picture of the screen: windows reach it a few milliseconds after
// they paint, region-shaped and colour-key layered windows show what lies
// beneath them where they are cut away, per-pixel alpha windows
// (UpdateLayeredWindow) show their premultiplied colours unblended and are cut
// away only where alpha is 0. The mouse cursor is never in a capture.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// Pixels as 32-bit words 0xAARRGGBB (in memory B, G, R, A), rows top-down,
// alpha not premultiplied.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  Image() = default;
  Image(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

  bool empty() const { return pixels.empty(); }
  uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t* row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
  const uint32_t* row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
  bool operator==(const Image& other) const {
    return width == other.width && height == other.height && pixels == other.pixels;
  }
  bool operator!=(const Image& other) const { return !(*this == other); }
};

// An opaque pixel.
constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}
constexpr uint32_t FromColorRef(COLORREF c) { return Rgb(GetRValue(c), GetGValue(c), GetBValue(c)); }
constexpr COLORREF ToColorRef(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

// The part of `image` inside `area` (clipped to the image).
Image Crop(const Image& image, const RECT& area);

// ---- capture --------------------------------------------------------------

// What the screen shows inside a screen rectangle, opaque (alpha 255). Parts
// outside the screen read as black. Empty when the screen cannot be read.
Image CaptureScreen(const RECT& screen_area);

// What the screen shows of `window` (any process's): its window rectangle,
// frame included. The window's top-level window is first raised to the top
// without being activated and asked to repaint everything now; the capture
// is then repeated, pumping this thread's messages in between, until two in
// a row agree, since Wine hands painted pixels to the X server a moment later.
// PrintWindow is no alternative under Wine: it only sends WM_PRINT, which a
// window painting in WM_PAINT alone leaves blank.
Image CaptureWindow(HWND window);

// ---- pictures ---------------------------------------------------------------

// A PNG or BMP file (anything GDI+ decodes). With `size`, the picture is
// drawn onto a transparent canvas of that size the way a window draws a
// stretched picture with GDI+ defaults (Graphics::DrawImage, bilinear).
std::optional<Image> LoadPicture(const std::wstring& path, std::optional<SIZE> size = std::nullopt);

// Writes a PNG, or a BMP when the path ends in ".bmp". False on failure.
bool SavePicture(const Image& image, const std::wstring& path);

// ---- comparison -------------------------------------------------------------

struct CompareOptions {
  // Largest difference per colour channel (0-255) that still counts as equal.
  int tolerance = 0;
  // Share of the compared pixels allowed to differ beyond the tolerance.
  double allowed_fraction = 0.0;
  // Expected pixels with alpha 0 are not compared: "whatever lies beneath".
  bool skip_transparent = true;
};

struct Comparison {
  bool same_size = false;
  int64_t compared = 0;   // pixels looked at
  int64_t differing = 0;  // pixels beyond the tolerance in some channel
  int worst = 0;          // largest channel difference seen
  POINT worst_at{-1, -1};
  bool matches = false;  // same size and differing within the allowed share

  std::string Describe() const;
};

Comparison CompareImages(const Image& actual, const Image& expected, const CompareOptions& options = {});

// `expected` against the part of `capture` at `area` (capture coordinates);
// the area must have the expected picture's size.
Comparison CompareRegion(const Image& capture, const RECT& area, const Image& expected,
                         const CompareOptions& options = {});

// For EXPECT_TRUE / ASSERT_TRUE. On a mismatch, writes <label>-actual.png,
// <label>-expected.png and <label>-diff.png (differing pixels red, the rest a
// faded copy of the expected picture) into
// <build tree>/screenshots/<Suite>.<Test>/ and names them in the message;
// on a match, removes earlier ones of that label.
::testing::AssertionResult MatchesPicture(const Image& actual, const Image& expected,
                                          const CompareOptions& options = {}, const std::string& label = "window");

// Where MatchesPicture leaves the pictures of the running test (a Windows
// path ending in a backslash; the build tree is reached through drive Z:).
std::wstring ScreenshotFolder();

// ---- messages and the mouse -------------------------------------------------

// Dispatches this thread's messages for `milliseconds`, waiting for new
// ones in between (a waiting thread is also when Wine flushes painted pixels).
void PumpMessages(DWORD milliseconds);

// Moves the cursor onto a point of `window` (client coordinates) as a user
// would, through SendInput: the window under it gets WM_MOUSEMOVE and
// WM_SETCURSOR, and TrackMouseEvent sees the cursor there. Then pumps
// messages for longer than the mouse hover time: Wine delivers WM_MOUSELEAVE
// to the window the cursor left from a timer of that period. False when the
// cursor did not get there (the point is off the screen).
bool MoveMouse(HWND window, POINT client_point);

// Moves the cursor to the bottom-right corner of the screen, off any test
// window, so no hover state is left over.
void ParkMouse();

// The left button held down at a window point for the object's lifetime:
// moves there, presses, and releases on destruction (also when a test fails
// in between), pumping messages after each step.
class HeldMouseButton {
 public:
  HeldMouseButton(HWND window, POINT client_point);
  ~HeldMouseButton();
  HeldMouseButton(const HeldMouseButton&) = delete;
  HeldMouseButton& operator=(const HeldMouseButton&) = delete;

 private:
  bool pressed_ = false;
};

}  // namespace testing_support
