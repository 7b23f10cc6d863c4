#include "skin/skinwnd.h"

#include "skin/core/scale.h"
#include "skin/core/skinline.h"
#include "skin/skinbitmap.h"
#include "skin/skinctr.h"

namespace {
std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring W(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
}  // namespace

int CSkinWnd::Attach(HWND window) {
  if (!window) return 5;
  window_ = window;
  return 1;
}

int CSkinWnd::ReleaseBitmaps() {
  mask_.Reset();
  return 0;
}

int CSkinWnd::ApplyLine(const std::wstring* line, const std::wstring* folder, SkinPoint* position,
                        SkinPair* second) {
  if (!line || !folder) return 5;
  const auto columns = skin::SplitColumns(U16(*line));
  for (size_t index = 0; index < columns.size(); ++index) {
    const std::u16string& column = columns[index];
    if (column.empty()) continue;  // not given: keep the default
    switch (index) {
      case 0: {
        background_name_ = W(column);
        std::u16string path;
        // A path that does not fit is not loadable: no background then.
        background_path_ = skin::JoinPicturePath(U16(*folder), column, &path) ? W(path) : std::wstring();
        break;
      }
      case 1: {
        mask_name_ = W(column);
        std::u16string path;
        if (skin::JoinPicturePath(U16(*folder), column, &path)) ApplyMask(W(path));
        break;
      }
      case 2:
        if (window_) ::InvalidateRect(window_, nullptr, TRUE);
        x_ = skin::ReadNumber(column);
        break;
      case 3:
        y_ = skin::ReadNumber(column);
        break;
      case 4:
        width_ = skin::ReadNumber(column);
        break;
      case 5:
        height_ = skin::ReadNumber(column);
        ApplyGeometry();
        break;
      case 6:
        transparency_ = skin::ReadNumber(column);
        if (transparency_ == 1) MakeTranslucent();
        break;
      case 7:
        if (position) *position = {x_, y_};
        break;
      case 8:
        if (second) second->first = skin::ReadNumber(column);
        break;
      case 9:
        if (second) second->second = skin::ReadNumber(column);
        break;
      default:
        break;
    }
  }
  return 0;
}

void CSkinWnd::ApplyMask(const std::wstring& path) {
  CSkinBitmap loader;
  fw::ScopedBitmap mask(loader.LoadFromFile(path, 0));
  if (!mask.IsValid()) return;  // the window keeps its shape
  BITMAP header{};
  ::GetObjectW(mask.Get(), sizeof(header), &header);
  const int width = skin::ScaledX(header.bmWidth);
  const int height = skin::ScaledY(header.bmHeight);
  void* pixels = nullptr;
  fw::ScopedBitmap dib(CopyToDib32(mask.Get(), width, height, &pixels));
  mask_ = std::move(mask);
  if (!dib.IsValid() || !window_) return;
  fw::ScopedRegion region(RegionFromPixels(pixels, width, height, RGB(0, 0, 0), 0));
  // An all-black mask cuts everything away; a window without any visible
  // part could be neither seen nor closed, so it keeps its shape then.
  RECT box{};
  if (!region.IsValid() || ::GetRgnBox(region.Get(), &box) == NULLREGION) return;
  if (::SetWindowRgn(window_, region.Get(), TRUE)) region.Release();  // the system owns it now
}

void CSkinWnd::ApplyGeometry() {
  if (!window_) return;
  if (x_ != 0 || y_ != 0) {
    ::SetWindowPos(window_, nullptr, skin::ScaledX(x_), skin::ScaledY(y_), skin::ScaledX(width_),
                   skin::ScaledY(height_), SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  int title = 0;
  if (::GetWindowLongPtrW(window_, GWL_STYLE) & WS_BORDER) {
    TITLEBARINFO info{};
    info.cbSize = sizeof(info);
    if (::GetTitleBarInfo(window_, &info)) title = info.rcTitleBar.bottom - info.rcTitleBar.top;
  }
  ::SetWindowPos(window_, nullptr, 0, 0, skin::ScaledX(width_), skin::ScaledY(height_ + title),
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CSkinWnd::MakeTranslucent() {
  using SetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  HMODULE user = ::GetModuleHandleW(L"User32.DLL");
  auto set_layered =
      user ? reinterpret_cast<SetLayered>(reinterpret_cast<void*>(::GetProcAddress(user, "SetLayeredWindowAttributes")))
           : nullptr;
  if (!set_layered || !window_) return;
  ::SetWindowLongPtrW(window_, GWL_EXSTYLE, ::GetWindowLongPtrW(window_, GWL_EXSTYLE) | WS_EX_LAYERED);
  set_layered(window_, RGB(255, 255, 255), 102, LWA_ALPHA);
}

LRESULT CSkinWnd::OnMessage(HWND, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    default:
      return 0;
  }
}

void CSkinWnd::Paint() {
  fw::ScopedPaint paint(window_);
  const int width = skin::ScaledX(width_);
  const int height = skin::ScaledY(height_);
  fw::OffscreenBuffer buffer(paint.Get(), width, height);
  if (!buffer.IsValid()) return;
  RECT client{};
  ::GetClientRect(window_, &client);
  const int client_width = client.right - client.left;
  const int client_height = client.bottom - client.top;
  Gdiplus::Image* image = skin::CachedImage(background_, background_path_);
  if (skin::ImageWidth(image) > 0) {
    Gdiplus::Graphics graphics(buffer.Get());
    const Gdiplus::RectF target(static_cast<Gdiplus::REAL>(skin::ScaledX(client.left)),
                                static_cast<Gdiplus::REAL>(skin::ScaledY(client.top)),
                                static_cast<Gdiplus::REAL>(skin::ScaledX(client_width)),
                                static_cast<Gdiplus::REAL>(skin::ScaledY(client_height)));
    skin::DrawStretched(graphics, image, target,
                        Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(client_width),
                                       static_cast<Gdiplus::REAL>(client_height)));
  }
  ::BitBlt(paint.Get(), 0, 0, width, height, buffer.Get(), 0, 0, SRCCOPY);
}
