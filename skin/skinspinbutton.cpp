#include "skin/skinspinbutton.h"

#include <vector>

#include "framework/gdi.h"
#include "skin/core/skinline.h"

namespace {

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// Client coordinates are signed 16-bit halves of the message's lparam.
POINT PointOf(LPARAM lparam) {
  return {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

}  // namespace

int CSkinSpinButton::LoadSkin(const std::wstring* line, const std::wstring* folder) {
  if (!line || !folder) return 5;
  ReleaseSkin(0);
  const std::vector<std::u16string> columns = skin::SplitColumns(U16(*line));
  for (size_t i = 0; i < kImageCount; ++i) {
    std::u16string path;
    // A picture whose full path would not fit counts as not given.
    if (i < columns.size() && !columns[i].empty()) skin::JoinPicturePath(U16(*folder), columns[i], &path);
    paths_[i] = Wide(path);
  }
  if (GetSafeHwnd()) Invalidate(false);
  return 0;
}

int CSkinSpinButton::ReleaseSkin(int) {
  for (auto& image : images_) image.reset();
  return 0;
}

skin::SpinPart CSkinSpinButton::PartAt(POINT client_point) const {
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  return skin::SpinPartAt(client_point.x, client_point.y, client.right, client.bottom, Horizontal());
}

void CSkinSpinButton::SetPressed(skin::SpinPart part) {
  if (pressed_ == part) return;
  pressed_ = part;
  Invalidate(false);
}

void CSkinSpinButton::SetHot(skin::SpinPart part) {
  if (hot_ == part) return;
  hot_ = part;
  Invalidate(false);
}

LRESULT CSkinSpinButton::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return TRUE;  // every pixel comes from the off-screen copy
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetPressed(PartAt(PointOf(lparam)));
      return Default();
    case WM_LBUTTONUP:
      SetPressed(skin::SpinPart::kNone);
      return Default();
    case WM_CAPTURECHANGED:
      // The native control lets go of a held half when it loses the mouse.
      SetPressed(skin::SpinPart::kNone);
      return Default();
    case WM_MOUSEMOVE:
      if (!tracking_leave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, GetSafeHwnd(), 0};
        tracking_leave_ = ::TrackMouseEvent(&track) != FALSE;
      }
      SetHot(PartAt(PointOf(lparam)));
      return Default();
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      SetHot(skin::SpinPart::kNone);
      return Default();
    case WM_DESTROY:
      ReleaseSkin(0);
      return Default();
    default:
      return CSpinButtonCtrl::WindowProc(message, wparam, lparam);
  }
}

bool CSkinSpinButton::OnChildNotify(UINT message, WPARAM, LPARAM lparam, LRESULT*) {
  if (message != WM_NOTIFY || !lparam) return false;
  const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
  if (header.hwndFrom != GetSafeHwnd() || header.code != UDN_DELTAPOS) return false;
  // A step while the pointer holds a half (the press and its repeats) shows
  // that half pressed; a step from the keyboard presses nothing.
  if (::GetCapture() == GetSafeHwnd()) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(GetSafeHwnd(), &cursor);
    const skin::SpinPart part = PartAt(cursor);
    if (part != skin::SpinPart::kNone) SetPressed(part);
  }
  return false;  // the parent still decides whether the step happens
}

void CSkinSpinButton::Paint() {
  fw::ScopedPaint paint(GetSafeHwnd());
  HDC dc = paint.Get();
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  const int width = client.right;
  const int height = client.bottom;
  if (!dc || width <= 0 || height <= 0) return;
  fw::OffscreenBuffer buffer(dc, width, height);
  if (!buffer.IsValid()) return;
  {
    Gdiplus::Graphics graphics(buffer.Get());
    for (skin::SpinPart part : {skin::SpinPart::kFirst, skin::SpinPart::kSecond}) {
      const int column = skin::SpinImageColumn(part, pressed_ == part, hot_ == part);
      const skin::Piece rect = skin::SpinPartRect(part, width, height, Horizontal());
      skin::DrawWhole(graphics, skin::CachedImage(images_[column], paths_[column]),
                      Gdiplus::RectF(static_cast<Gdiplus::REAL>(rect.x), static_cast<Gdiplus::REAL>(rect.y),
                                     static_cast<Gdiplus::REAL>(rect.width), static_cast<Gdiplus::REAL>(rect.height)));
    }
  }
  ::BitBlt(dc, 0, 0, width, height, buffer.Get(), 0, 0, SRCCOPY);
}
