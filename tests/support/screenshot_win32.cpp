#include "support/screenshot_win32.h"

#include <objidl.h>  // before GDI+, which needs its property types

#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace testing_support {

namespace {

// ---- owners -----------------------------------------------------------------

class ScreenDC {
 public:
  ScreenDC() : dc_(::GetDC(nullptr)) {}
  ~ScreenDC() {
    if (dc_) ::ReleaseDC(nullptr, dc_);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

class MemoryDC {
 public:
  explicit MemoryDC(HDC compatible) : dc_(::CreateCompatibleDC(compatible)) {}
  ~MemoryDC() {
    if (dc_) ::DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A 32-bit top-down DIB section; bits() points at its pixels.
class DibSection {
 public:
  DibSection(HDC dc, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
  }
  ~DibSection() {
    if (bitmap_) ::DeleteObject(bitmap_);
  }
  DibSection(const DibSection&) = delete;
  DibSection& operator=(const DibSection&) = delete;
  HBITMAP get() const { return bitmap_; }
  const uint32_t* bits() const { return static_cast<const uint32_t*>(bits_); }

 private:
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
};

class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// GDI+ for one operation. Start-ups nest, so this coexists with a process-wide
// one of the code under test; every GDI+ object of the operation is declared
// after the session and so goes before it.
class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

// Bits of a GDI+ bitmap locked as 32bpp ARGB, unlocked at scope end.
class LockedBits {
 public:
  LockedBits(Gdiplus::Bitmap& bitmap, UINT mode) : bitmap_(bitmap) {
    Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
    locked_ = bitmap.LockBits(&all, mode, PixelFormat32bppARGB, &data_) == Gdiplus::Ok;
  }
  ~LockedBits() {
    if (locked_) bitmap_.UnlockBits(&data_);
  }
  LockedBits(const LockedBits&) = delete;
  LockedBits& operator=(const LockedBits&) = delete;
  bool ok() const { return locked_; }
  uint32_t* row(int y) const {
    return reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data_.Scan0) + static_cast<ptrdiff_t>(y) * data_.Stride);
  }

 private:
  Gdiplus::Bitmap& bitmap_;
  Gdiplus::BitmapData data_{};
  bool locked_ = false;
};

// ---- helpers ----------------------------------------------------------------

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix) {
  const size_t n = std::wcslen(suffix);
  return text.size() >= n && _wcsicmp(text.c_str() + text.size() - n, suffix) == 0;
}

std::optional<CLSID> EncoderFor(const wchar_t* mime_type) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return std::nullopt;
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return std::nullopt;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, mime_type) == 0) return codecs[i].Clsid;
  }
  return std::nullopt;
}

std::optional<Image> ImageFromBitmap(Gdiplus::Bitmap& bitmap) {
  LockedBits bits(bitmap, Gdiplus::ImageLockModeRead);
  if (!bits.ok()) return std::nullopt;
  Image image(static_cast<int>(bitmap.GetWidth()), static_cast<int>(bitmap.GetHeight()));
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(image.row(y), bits.row(y), static_cast<size_t>(image.width) * 4);
  }
  return image;
}

int ChannelDifference(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    worst = std::max(worst, d);
  }
  return worst;
}

// Test names may hold characters a file name may not ('/' in parameterised ones).
std::wstring FileNameSafe(const std::string& text) {
  std::wstring safe;
  for (char c : text) {
    const bool bad = c < 32 || std::strchr("\\/:*?\"<>|", c) != nullptr;
    safe += bad ? L'_' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  }
  return safe;
}

bool CreateFolders(const std::wstring& folder) {
  // Every prefix that ends at a backslash, after the drive's own.
  for (size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1)) {
    const std::wstring part = folder.substr(0, at);
    if (!::CreateDirectoryW(part.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return true;
}

std::string Narrow(const std::wstring& text) {
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

Image DiffPicture(const Image& actual, const Image& expected, const CompareOptions& options) {
  Image diff(expected.width, expected.height);
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      const uint32_t want = expected.at(x, y);
      if (options.skip_transparent && (want >> 24) == 0) {
        diff.at(x, y) = Rgb(200, 220, 255);
        continue;
      }
      const int d = ChannelDifference(actual.at(x, y), want);
      if (d > options.tolerance) {
        diff.at(x, y) = Rgb(static_cast<uint8_t>(128 + d / 2), 0, 0);
      } else {
        const int grey = (((want >> 16) & 0xFF) + ((want >> 8) & 0xFF) + (want & 0xFF)) / 3;
        const auto faded = static_cast<uint8_t>(192 + grey / 4);
        diff.at(x, y) = Rgb(faded, faded, faded);
      }
    }
  }
  return diff;
}

constexpr DWORD kSettleStepMs = 30;
constexpr int kMaxSettleSteps = 60;

bool SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return ::SendInput(1, &input, sizeof(input)) == 1;
}

bool MoveMouseToScreen(POINT target) {
  // SetCursorPos puts the cursor exactly there (absolute SendInput
  // coordinates pass through a 0..65535 scale, where rounding decides the
  // pixel); the zero move after it makes it input like a user's.
  if (!::SetCursorPos(target.x, target.y)) return false;
  SendMouse(MOUSEEVENTF_MOVE);
  UINT hover = 400;
  ::SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hover, 0);
  PumpMessages(2 * hover);
  POINT now{};
  return ::GetCursorPos(&now) && now.x == target.x && now.y == target.y;
}

}  // namespace

Image Crop(const Image& image, const RECT& area) {
  const int left = std::max(0, static_cast<int>(area.left));
  const int top = std::max(0, static_cast<int>(area.top));
  const int right = std::min(image.width, static_cast<int>(area.right));
  const int bottom = std::min(image.height, static_cast<int>(area.bottom));
  if (right <= left || bottom <= top) return Image();
  Image part(right - left, bottom - top);
  for (int y = top; y < bottom; ++y) {
    std::copy_n(image.row(y) + left, part.width, part.row(y - top));
  }
  return part;
}

Image CaptureScreen(const RECT& screen_area) {
  const int width = screen_area.right - screen_area.left;
  const int height = screen_area.bottom - screen_area.top;
  if (width <= 0 || height <= 0) return Image();
  // Only the part on the screen is copied; the rest stays black.
  const RECT screen{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                    ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT visible{};
  ScreenDC screen_dc;
  if (!screen_dc.get()) return Image();
  MemoryDC memory(screen_dc.get());
  DibSection dib(screen_dc.get(), width, height);
  if (!memory.get() || !dib.get()) return Image();
  {
    Selection select(memory.get(), dib.get());
    if (::IntersectRect(&visible, &screen_area, &screen) &&
        !::BitBlt(memory.get(), visible.left - screen_area.left, visible.top - screen_area.top,
                  visible.right - visible.left, visible.bottom - visible.top, screen_dc.get(), visible.left,
                  visible.top, SRCCOPY | CAPTUREBLT)) {
      return Image();
    }
    ::GdiFlush();
  }
  Image image(width, height);
  const uint32_t* bits = dib.bits();
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = bits[i] | 0xFF000000u;
  return image;
}

Image CaptureWindow(HWND window) {
  if (!::IsWindow(window)) return Image();
  HWND top = ::GetAncestor(window, GA_ROOT);
  ::SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  UINT redraw = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
  // Painting now means sending WM_PAINT; a window of another thread repaints
  // on its own, so a busy one cannot block the capture.
  if (::GetWindowThreadProcessId(top, nullptr) == ::GetCurrentThreadId()) redraw |= RDW_UPDATENOW;
  ::RedrawWindow(top, nullptr, nullptr, redraw);

  Image previous;
  for (int step = 0; step < kMaxSettleSteps; ++step) {
    PumpMessages(kSettleStepMs);
    RECT area{};
    if (!::GetWindowRect(window, &area)) return Image();
    Image current = CaptureScreen(area);
    if (!current.empty() && current == previous) return current;
    previous = std::move(current);
  }
  return previous;
}

std::optional<Image> LoadPicture(const std::wstring& path, std::optional<SIZE> size) {
  GdiplusSession session;
  if (!session.ok()) return std::nullopt;
  Gdiplus::Bitmap source(path.c_str(), FALSE);
  if (source.GetLastStatus() != Gdiplus::Ok) return std::nullopt;
  if (!size) return ImageFromBitmap(source);

  if (size->cx <= 0 || size->cy <= 0) return std::nullopt;
  Gdiplus::Bitmap canvas(size->cx, size->cy, PixelFormat32bppARGB);
  if (canvas.GetLastStatus() != Gdiplus::Ok) return std::nullopt;
  {
    Gdiplus::Graphics graphics(&canvas);
    graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
    const Gdiplus::RectF target(0, 0, static_cast<Gdiplus::REAL>(size->cx), static_cast<Gdiplus::REAL>(size->cy));
    if (graphics.DrawImage(&source, target, 0, 0, static_cast<Gdiplus::REAL>(source.GetWidth()),
                           static_cast<Gdiplus::REAL>(source.GetHeight()), Gdiplus::UnitPixel) != Gdiplus::Ok) {
      return std::nullopt;
    }
  }
  return ImageFromBitmap(canvas);
}

bool SavePicture(const Image& image, const std::wstring& path) {
  if (image.empty()) return false;
  GdiplusSession session;
  if (!session.ok()) return false;
  const std::optional<CLSID> encoder = EncoderFor(EndsWithNoCase(path, L".bmp") ? L"image/bmp" : L"image/png");
  if (!encoder) return false;
  Gdiplus::Bitmap bitmap(image.width, image.height, PixelFormat32bppARGB);
  if (bitmap.GetLastStatus() != Gdiplus::Ok) return false;
  {
    LockedBits bits(bitmap, Gdiplus::ImageLockModeWrite);
    if (!bits.ok()) return false;
    for (int y = 0; y < image.height; ++y) {
      std::memcpy(bits.row(y), image.row(y), static_cast<size_t>(image.width) * 4);
    }
  }
  return bitmap.Save(path.c_str(), &*encoder, nullptr) == Gdiplus::Ok;
}

std::string Comparison::Describe() const {
  std::ostringstream text;
  if (!same_size) {
    text << "the pictures differ in size";
    return text.str();
  }
  text << differing << " of " << compared << " pixels differ";
  if (compared > 0) text << " (" << (100.0 * static_cast<double>(differing) / static_cast<double>(compared)) << "%)";
  text << ", worst channel difference " << worst;
  if (worst_at.x >= 0) text << " at (" << worst_at.x << ", " << worst_at.y << ")";
  return text.str();
}

Comparison CompareImages(const Image& actual, const Image& expected, const CompareOptions& options) {
  Comparison result;
  result.same_size = actual.width == expected.width && actual.height == expected.height && !expected.empty();
  if (!result.same_size) return result;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      const uint32_t want = expected.at(x, y);
      if (options.skip_transparent && (want >> 24) == 0) continue;
      ++result.compared;
      const int d = ChannelDifference(actual.at(x, y), want);
      if (d > options.tolerance) ++result.differing;
      if (d > result.worst) {
        result.worst = d;
        result.worst_at = {x, y};
      }
    }
  }
  result.matches =
      static_cast<double>(result.differing) <= options.allowed_fraction * static_cast<double>(result.compared);
  return result;
}

Comparison CompareRegion(const Image& capture, const RECT& area, const Image& expected, const CompareOptions& options) {
  const bool inside = area.left >= 0 && area.top >= 0 && area.right <= capture.width && area.bottom <= capture.height;
  if (!inside) return Comparison();
  return CompareImages(Crop(capture, area), expected, options);
}

std::wstring ScreenshotFolder() {
  std::wstring folder = L"Z:";
  for (char c : std::string(GLIMMORA_OUT_DIR)) folder += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  std::string test = "outside-a-test";
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
    test = std::string(info->test_suite_name()) + "." + info->name();
  }
  return folder + L"\\screenshots\\" + FileNameSafe(test) + L"\\";
}

::testing::AssertionResult MatchesPicture(const Image& actual, const Image& expected, const CompareOptions& options,
                                          const std::string& label) {
  const Comparison comparison = CompareImages(actual, expected, options);
  const std::wstring folder = ScreenshotFolder();
  const std::wstring base = folder + FileNameSafe(label) + L"-";
  const std::wstring names[] = {base + L"actual.png", base + L"expected.png", base + L"diff.png"};
  if (comparison.matches) {
    for (const auto& name : names) ::DeleteFileW(name.c_str());
    return ::testing::AssertionSuccess();
  }

  auto failure = ::testing::AssertionFailure();
  failure << label << ": " << comparison.Describe() << " (actual " << actual.width << "x" << actual.height
          << ", expected " << expected.width << "x" << expected.height << ", tolerance " << options.tolerance
          << ", allowed share " << options.allowed_fraction << ")";
  if (!CreateFolders(folder)) return failure << "; cannot create " << Narrow(folder);
  const bool wrote = SavePicture(actual, names[0]) && SavePicture(expected, names[1]) &&
                     (!comparison.same_size || SavePicture(DiffPicture(actual, expected, options), names[2]));
  failure << (wrote ? "; pictures in " : "; could not write all pictures to ") << Narrow(base) << "*.png";
  return failure;
}

void PumpMessages(DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // Left for the caller's own loop to see.
        ::PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds - elapsed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

bool MoveMouse(HWND window, POINT client_point) {
  POINT target = client_point;
  if (!::ClientToScreen(window, &target)) return false;
  return MoveMouseToScreen(target);
}

void ParkMouse() { MoveMouseToScreen({::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1}); }

HeldMouseButton::HeldMouseButton(HWND window, POINT client_point) {
  if (!MoveMouse(window, client_point)) return;
  pressed_ = SendMouse(MOUSEEVENTF_LEFTDOWN);
  PumpMessages(kSettleStepMs);
}

HeldMouseButton::~HeldMouseButton() {
  if (!pressed_) return;
  SendMouse(MOUSEEVENTF_LEFTUP);
  PumpMessages(kSettleStepMs);
}

}  // namespace testing_support
