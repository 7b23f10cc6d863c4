#include "skin/bmpprogctrl.h"

#include <algorithm>
#include <cstdint>

#include "framework/gdi.h"
#include "skin/core/controlmath.h"
#include "skin/core/scale.h"
#include "skin/core/skinline.h"

namespace {

// wchar_t is UTF-16 on Windows: the two string types hold the same units.
std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The full path of the picture named in `column`; empty when the column is
// missing or empty (no picture) or the path would be too long.
std::wstring PicturePath(const std::vector<std::u16string>& columns, size_t column, const std::u16string& folder) {
  if (column >= columns.size() || columns[column].empty()) return {};
  std::u16string path;
  if (!skin::JoinPicturePath(folder, columns[column], &path)) return {};
  return Wide(path);
}

Gdiplus::REAL Real(double value) { return static_cast<Gdiplus::REAL>(value); }

}  // namespace

void CBmpProgCtrl::PreSubclassWindow() {
  // A bar that no line ever places still draws over its own size.
  ::GetClientRect(GetSafeHwnd(), &client_);
  width_ = client_.right - client_.left;
  height_ = client_.bottom - client_.top;
}

int CBmpProgCtrl::LoadSkin(const std::wstring* line, const std::wstring* folder) {
  if (!line || !folder) return 5;
  const std::vector<std::u16string> columns = skin::SplitColumns(U16(*line));
  const std::u16string base = U16(*folder);
  ReleaseSkin(0);  // pictures of an earlier line
  indicator_path_ = PicturePath(columns, 0, base);
  fill_path_ = PicturePath(columns, 1, base);
  track_path_ = PicturePath(columns, 2, base);
  if (columns.size() > 3) x_ = skin::ReadNumber(columns[3]);
  if (columns.size() > 4) {
    y_ = skin::ReadNumber(columns[4]);
    Place();
  }
  background_path_ = PicturePath(columns, 5, base);
  if (GetSafeHwnd()) Invalidate(false);
  return 0;
}

int CBmpProgCtrl::ReleaseSkin(int) {
  indicator_.reset();
  fill_.reset();
  track_.reset();
  background_.reset();
  return 0;
}

void CBmpProgCtrl::Place() {
  HWND window = GetSafeHwnd();
  if (!window) return;
  ::GetClientRect(window, &client_);
  width_ = client_.right - client_.left;
  height_ = client_.bottom - client_.top;
  // The bar keeps its size in device pixels; only its place follows the
  // display scale, as the dialog's pictures do.
  ::MoveWindow(window, skin::ScaledX(x_), skin::ScaledY(y_), width_, height_, TRUE);
}

LRESULT CBmpProgCtrl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case PBM_SETRANGE: {
      const int a = LOWORD(lparam);
      const int b = HIWORD(lparam);
      lower_ = std::min(a, b);
      upper_ = std::max(a, b);
      return 0;
    }
    case PBM_SETRANGE32: {
      const int a = static_cast<int>(wparam);
      const int b = static_cast<int>(lparam);
      lower_ = std::min(a, b);
      upper_ = std::max(a, b);
      return 0;
    }
    case PBM_GETRANGE: {
      // Answered from this object, which is what the bar shows.
      if (auto* range = reinterpret_cast<PBRANGE*>(lparam)) {
        range->iLow = lower_;
        range->iHigh = upper_;
      }
      return wparam ? lower_ : upper_;
    }
    case PBM_GETPOS:
      return position_;
    case PBM_SETPOS: {
      const int wanted = static_cast<int>(wparam);
      const bool taken = wanted >= lower_ && wanted <= upper_;
      if (taken) position_ = wanted;
      ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return taken ? TRUE : FALSE;
    }
    case PBM_SETSTEP:
      if (static_cast<int>(wparam) == 0) return 0;
      step_ = static_cast<int>(wparam);
      return 1;
    case PBM_STEPIT: {
      // Summed in 64 bits: a huge step must stop at an end, not wrap.
      const int64_t next = static_cast<int64_t>(position_) + step_;
      const int64_t kept = std::min<int64_t>(std::max<int64_t>(next, lower_), upper_);
      position_ = static_cast<int>(kept);
      Invalidate(false);
      return kept == next ? TRUE : FALSE;
    }
    case WM_ERASEBKGND:
      return TRUE;  // every pixel is painted from the off-screen copy
    case WM_PAINT:
      Paint();
      return 0;
    default:
      return CProgressCtrl::WindowProc(message, wparam, lparam);
  }
}

void CBmpProgCtrl::Paint() {
  fw::ScopedPaint paint(GetSafeHwnd());
  HDC dc = paint.Get();
  fraction_ = skin::ProgressFraction(position_, lower_, upper_);
  if (!dc || width_ <= 0 || height_ <= 0) return;
  fw::OffscreenBuffer buffer(dc, width_, height_);
  if (!buffer.IsValid()) return;
  {
    Gdiplus::Graphics graphics(buffer.Get());
    const Gdiplus::REAL width = Real(width_);
    const Gdiplus::REAL height = Real(height_);

    Gdiplus::Image* indicator = skin::CachedImage(indicator_, indicator_path_);
    const int indicator_width = skin::ImageWidth(indicator);
    const int indicator_height = skin::ImageHeight(indicator);
    if (indicator_width > 0 && fraction_ > 0.0) {
      skin::DrawStretched(graphics, indicator,
                          Gdiplus::RectF(Real(width_ * fraction_), 0, Real(indicator_width), Real(indicator_height)),
                          Gdiplus::RectF(0, 0, Real(indicator_width * fraction_), Real(indicator_height)));
    }

    // The dialog's picture is laid out at 96 dpi, so the part under the bar
    // is found in design pixels.
    Gdiplus::Image* background = skin::CachedImage(background_, background_path_);
    if (skin::ImageWidth(background) > 0) {
      const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
      skin::DrawStretched(graphics, background, Gdiplus::RectF(0, 0, width, height),
                          Gdiplus::RectF(Real(x_), Real(y_), Real(skin::ToDesign(width_, dpi)),
                                         Real(skin::ToDesign(height_, dpi))));
    }

    skin::DrawWhole(graphics, skin::CachedImage(track_, track_path_), Gdiplus::RectF(0, 0, width, height));

    // The fill picture is revealed, not squeezed: the filled columns show
    // the same share of the picture as of the bar.
    Gdiplus::Image* fill = skin::CachedImage(fill_, fill_path_);
    const int filled = skin::FillPixels(width_, fraction_);
    const int fill_width = skin::ImageWidth(fill);
    if (filled > 0 && fill_width > 0) {
      skin::DrawStretched(graphics, fill, Gdiplus::RectF(0, 0, Real(filled), height),
                          Gdiplus::RectF(0, 0, Real(static_cast<double>(fill_width) * filled / width_),
                                         Real(skin::ImageHeight(fill))));
    }
  }
  ::BitBlt(dc, 0, 0, width_, height_, buffer.Get(), 0, 0, SRCCOPY);
}
