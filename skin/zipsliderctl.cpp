#include "skin/zipsliderctl.h"

#include <windowsx.h>

#include "framework/gdi.h"
#include "skin/core/controlmath.h"
#include "skin/core/scale.h"
#include "skin/core/skinline.h"

namespace {

// wchar_t is UTF-16 on Windows: the two string types hold the same units.
std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Column(const std::vector<std::u16string>& columns, size_t column) {
  return column < columns.size() ? Wide(columns[column]) : std::wstring();
}

// Empty for no name or a path that would be too long: no picture.
std::wstring PicturePath(const std::wstring& name, const std::u16string& folder) {
  std::u16string path;
  if (name.empty() || !skin::JoinPicturePath(folder, U16(name), &path)) return {};
  return Wide(path);
}

Gdiplus::REAL Real(double value) { return static_cast<Gdiplus::REAL>(value); }

}  // namespace

int CZipSliderCtl::LoadSkin(const std::wstring* line, const std::wstring* folder) {
  if (!line || !folder) return 5;
  const std::vector<std::u16string> columns = skin::SplitColumns(U16(*line));
  const std::u16string base = U16(*folder);
  HWND window = GetSafeHwnd();
  ReleaseSkin(0);  // pictures of an earlier line
  track_name_ = Column(columns, 0);
  track_path_ = PicturePath(track_name_, base);
  thumb_name_ = Column(columns, 1);
  thumb_path_ = PicturePath(thumb_name_, base);
  if (columns.size() > 2) {
    if (window) Invalidate();
    x_ = skin::ReadNumber(columns[2]);
    scaled_x_ = skin::ScaledX(x_);
  }
  if (columns.size() > 3) {
    y_ = skin::ReadNumber(columns[3]);
    scaled_y_ = skin::ScaledY(y_);
    RECT rect{};
    if (window && ::GetWindowRect(window, &rect)) {
      ::MoveWindow(window, scaled_x_, scaled_y_, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
  }
  background_path_ = PicturePath(Column(columns, 4), base);
  horizontal_ = Column(columns, 5).empty() ? 1 : 0;
  if (window) Invalidate(false);
  return 0;
}

int CZipSliderCtl::ReleaseSkin(int) {
  track_image_.reset();
  thumb_image_.reset();
  background_image_.reset();
  return 0;
}

void CZipSliderCtl::SetRange(int lower, int upper, BOOL redraw) {
  lower_ = lower;
  upper_ = upper;
  CSliderCtrl::SetRange(lower, upper, redraw);
}

int CZipSliderCtl::Extent() const {
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  return horizontal_ ? client.right : client.bottom;
}

void CZipSliderCtl::Track(LPARAM point) {
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  const int along = horizontal_ ? GET_X_LPARAM(point) : GET_Y_LPARAM(point);
  const int first = horizontal_ ? client.left : client.top;
  const int last = horizontal_ ? client.right : client.bottom;
  if (along >= first && along <= last) thumb_ = along;
}

LRESULT CZipSliderCtl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case TBM_SETPOS: {
      const int position = static_cast<int>(lparam);
      if (position < lower_) return 1;
      thumb_ = skin::SliderThumbFromPosition(position, lower_, upper_, Extent());
      ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      return 0;
    }
    case TBM_GETPOS: {
      const int extent = Extent();
      if (extent <= 0) return 0;
      return skin::SliderPositionFromThumb(thumb_, lower_, upper_, extent);
    }
    // The range set by message rather than through SetRange is kept too.
    case TBM_SETRANGE:
      lower_ = static_cast<short>(LOWORD(lparam));
      upper_ = static_cast<short>(HIWORD(lparam));
      return Default();
    case TBM_SETRANGEMIN:
      lower_ = static_cast<int>(lparam);
      return Default();
    case TBM_SETRANGEMAX:
      upper_ = static_cast<int>(lparam);
      return Default();
    case WM_LBUTTONDOWN:
      dragging_ = 1;
      Track(lparam);
      Invalidate(false);
      return Default();
    case WM_MOUSEMOVE:
      if (dragging_) Track(lparam);
      Invalidate(false);
      return Default();
    case WM_LBUTTONUP:
      dragging_ = 0;
      Track(lparam);
      Invalidate(false);
      return Default();
    case WM_KEYDOWN:
      return 0;  // the thumb follows the mouse only
    case WM_KEYUP:
    case WM_TIMER:
      Invalidate(false);
      return Default();
    case WM_SETCURSOR:
      ::SetCursor(cursor_);
      return TRUE;
    case WM_ERASEBKGND:
      return FALSE;  // every pixel is painted from the off-screen copy
    case WM_PAINT:
      Paint();
      return 0;
    default:
      return CSliderCtrl::WindowProc(message, wparam, lparam);
  }
}

void CZipSliderCtl::Paint() {
  HWND window = GetSafeHwnd();
  fw::ScopedPaint paint(window);
  HDC dc = paint.Get();
  if (!dc) return;
  RECT outer{};
  ::GetWindowRect(window, &outer);
  ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&outer), 2);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  RECT client{};
  ::GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  fw::OffscreenBuffer buffer(dc, client.right, client.bottom);
  if (!buffer.IsValid()) return;
  {
    Gdiplus::Graphics graphics(buffer.Get());
    const Gdiplus::RectF whole(0, 0, Real(width), Real(height));

    // The dialog's picture is laid out at 96 dpi, so the part under the
    // slider is found in design pixels.
    Gdiplus::Image* background = skin::CachedImage(background_image_, background_path_);
    if (skin::ImageWidth(background) > 0) {
      skin::DrawStretched(graphics, background, whole,
                          Gdiplus::RectF(Real(x_), Real(y_),
                                         Real(skin::ToDesign(client.right, ::GetDeviceCaps(dc, LOGPIXELSX))),
                                         Real(skin::ToDesign(client.bottom, ::GetDeviceCaps(dc, LOGPIXELSY)))));
    }

    skin::DrawWhole(graphics, skin::CachedImage(track_image_, track_path_), whole);

    Gdiplus::Image* thumb = skin::CachedImage(thumb_image_, thumb_path_);
    const int thumb_width = skin::ImageWidth(thumb);
    const int thumb_height = skin::ImageHeight(thumb);
    if (thumb_width > 0 && thumb_height > 0) {
      // The image travels over the client less its own size, so it never
      // leaves the slider at either end.
      const int left = horizontal_ ? skin::SliderThumbOffset(client.right - client.left, thumb_width, thumb_) : 0;
      const int top = horizontal_ ? 0 : skin::SliderThumbOffset(client.bottom - client.top, thumb_height, thumb_);
      skin::DrawWhole(graphics, thumb,
                      Gdiplus::RectF(Real(left), Real(top), Real(thumb_width), Real(thumb_height)));
    }
  }
  ::BitBlt(dc, 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
}
