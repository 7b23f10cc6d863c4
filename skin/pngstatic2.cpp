#include "skin/pngstatic2.h"

#include "framework/gdi.h"
#include "skin/skinimage.h"

void CPngStatic2::SetImage(Gdiplus::Image* image) {
  image_ = image;
  Invalidate(false);
}

LRESULT CPngStatic2::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    Paint();
    return 0;
  }
  return CStatic::WindowProc(message, wparam, lparam);
}

void CPngStatic2::Paint() {
  fw::ScopedPaint paint(GetSafeHwnd());
  RECT window{};
  ::GetWindowRect(GetSafeHwnd(), &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  if (image_) {
    // Nothing is erased first: transparent parts keep what the window held.
    Gdiplus::Graphics graphics(paint.Get());
    skin::DrawWhole(graphics, image_,
                    Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height)));
    return;
  }
  RECT client{0, 0, width, height};
  ::FillRect(paint.Get(), &client, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
}
