#include "skin/skinimage.h"

#include "framework/gdi.h"
#include "framework/handles.h"
#include "skin/core/scale.h"

namespace skin {

ImagePtr LoadImageFile(const std::wstring& path) {
  if (path.empty()) return nullptr;
  // Read whole into memory: an image made from a file keeps the file open
  // for as long as it lives, and the setup program removes its pictures
  // when it ends.
  fw::ScopedFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.IsValid() || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > (64 << 20)) {
    return ImagePtr(new Gdiplus::Image(path.c_str(), FALSE));  // fails the same way the picture is missing
  }
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size.QuadPart));
  if (block == nullptr) return nullptr;
  DWORD read = 0;
  void* bytes = ::GlobalLock(block);
  const bool complete = bytes && ::ReadFile(file.Get(), bytes, static_cast<DWORD>(size.QuadPart), &read, nullptr) &&
                        read == static_cast<DWORD>(size.QuadPart);
  if (bytes) ::GlobalUnlock(block);
  fw::ComPtr<IStream> stream;
  if (!complete || FAILED(::CreateStreamOnHGlobal(block, TRUE, stream.Receive()))) {
    ::GlobalFree(block);
    return nullptr;
  }
  // The image holds the stream (and so the memory) as long as it needs it.
  return ImagePtr(new Gdiplus::Image(stream.Get(), FALSE));
}

Gdiplus::Image* CachedImage(ImagePtr& slot, const std::wstring& path) {
  if (!slot && !path.empty()) slot = LoadImageFile(path);
  return slot.get();
}

// A failed load reports its status and no size; both read as 0 here.
int ImageWidth(Gdiplus::Image* image) {
  return image && image->GetLastStatus() == Gdiplus::Ok ? static_cast<int>(image->GetWidth()) : 0;
}

int ImageHeight(Gdiplus::Image* image) {
  return image && image->GetLastStatus() == Gdiplus::Ok ? static_cast<int>(image->GetHeight()) : 0;
}

SIZE ImageFileSize(const std::wstring& path) {
  ImagePtr image = LoadImageFile(path);
  return {ImageWidth(image.get()), ImageHeight(image.get())};
}

void DrawStretched(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& target,
                   const Gdiplus::RectF& source) {
  if (!ImageWidth(image) || !ImageHeight(image)) return;
  graphics.DrawImage(image, target, source.X, source.Y, source.Width, source.Height, Gdiplus::UnitPixel);
}

void DrawWhole(Gdiplus::Graphics& graphics, Gdiplus::Image* image, const Gdiplus::RectF& target) {
  DrawStretched(graphics, image, target,
                Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(ImageWidth(image)),
                               static_cast<Gdiplus::REAL>(ImageHeight(image))));
}

void DrawBackgroundSlice(Gdiplus::Graphics& graphics, Gdiplus::Image* background, HDC dc, const RECT& position) {
  const int dpi_x = ::GetDeviceCaps(dc, LOGPIXELSX);
  const int dpi_y = ::GetDeviceCaps(dc, LOGPIXELSY);
  const auto width = static_cast<Gdiplus::REAL>(position.right - position.left);
  const auto height = static_cast<Gdiplus::REAL>(position.bottom - position.top);
  const Gdiplus::RectF source(static_cast<Gdiplus::REAL>(ToDesign(position.left, dpi_x)),
                              static_cast<Gdiplus::REAL>(ToDesign(position.top, dpi_y)),
                              static_cast<Gdiplus::REAL>(ToDesign(width, dpi_x)),
                              static_cast<Gdiplus::REAL>(ToDesign(height, dpi_y)));
  DrawStretched(graphics, background, Gdiplus::RectF(0, 0, width, height), source);
}

void ReadParentFont(HWND control, std::wstring* face, int* size) {
  HWND parent = control ? ::GetParent(control) : nullptr;
  auto font = reinterpret_cast<HFONT>(parent ? ::SendMessageW(parent, WM_GETFONT, 0, 0) : 0);
  // A parent without a font of its own draws with the system's.
  if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW logfont{};
  if (!font || !::GetObjectW(font, sizeof(logfont), &logfont)) return;
  *face = logfont.lfFaceName;
  // Negative heights are character heights in pixels, the way dialog fonts
  // come; a positive cell height is taken as it is.
  *size = logfont.lfHeight < 0 ? -logfont.lfHeight : logfont.lfHeight;
}

std::unique_ptr<Gdiplus::FontFamily> MakeFontFamily(const std::wstring& face, HDC dc) {
  auto family = std::make_unique<Gdiplus::FontFamily>(face.c_str());
  if (family->IsAvailable()) return family;
  // The face GDI substitutes for the missing one, as a dialog would show it.
  LOGFONTW wanted{};
  wanted.lfHeight = -12;
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
  fw::ScopedFont font(::CreateFontIndirectW(&wanted));
  if (dc && font.IsValid()) {
    fw::ScopedSelect select(dc, font.Get());
    wchar_t chosen[LF_FACESIZE] = {};
    if (::GetTextFaceW(dc, LF_FACESIZE, chosen) > 0) {
      family = std::make_unique<Gdiplus::FontFamily>(chosen);
      if (family->IsAvailable()) return family;
    }
  }
  return std::unique_ptr<Gdiplus::FontFamily>(Gdiplus::FontFamily::GenericSansSerif()->Clone());
}

}  // namespace skin
