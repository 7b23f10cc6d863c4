#include "skin/skinbitmap.h"

#include <vector>

#include "framework/gdi.h"
#include "framework/handles.h"
#include "skin/core/imagefile.h"


HBITMAP RenderPictureToBitmap(IPicture* picture, COLORREF background) {
  if (!picture) return nullptr;
  HWND desktop = ::GetDesktopWindow();
  fw::ScopedWindowDC screen(desktop);
  fw::ScopedMemoryDC memory(::CreateCompatibleDC(screen.Get()));
  if (!memory.IsValid()) return nullptr;
  OLE_XSIZE_HIMETRIC himetric_width = 0;
  OLE_YSIZE_HIMETRIC himetric_height = 0;
  picture->get_Width(&himetric_width);
  picture->get_Height(&himetric_height);
  const int width = ::MulDiv(himetric_width, ::GetDeviceCaps(screen.Get(), LOGPIXELSX), 2540);
  const int height = ::MulDiv(himetric_height, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 2540);
  fw::ScopedBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
  if (!bitmap.IsValid()) return nullptr;
  {
    fw::ScopedSelect select(memory.Get(), bitmap.Get());
    if (background != CLR_INVALID) {
      fw::ScopedBrush brush(::CreateSolidBrush(background));
      RECT all{0, 0, width, height};
      ::FillRect(memory.Get(), &all, brush.Get());
    }
    // HIMETRIC runs bottom-up: start at the height and go up by it.
    picture->Render(memory.Get(), 0, 0, width, height, 0, himetric_height, himetric_width, -himetric_height,
                    nullptr);
  }
  return bitmap.Release();
}

HBITMAP CSkinBitmap::LoadFromFile(const std::wstring& path, COLORREF background) {
  type_ = 0;
  const auto kind = skin::ClassifyImageFile(std::u16string(path.begin(), path.end()));
  if (kind == skin::kImageBitmap) {
    return static_cast<HBITMAP>(::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  }
  if (kind != skin::kImageJpeg && kind != skin::kImageGif) return nullptr;
  fw::ComPtr<IPicture> picture;
  if (FAILED(::OleLoadPicturePath(const_cast<LPOLESTR>(path.c_str()), nullptr, 0, background, IID_IPicture,
                                  picture.ReceiveVoid())) ||
      !picture.Get()) {
    return nullptr;
  }
  return RenderPictureToBitmap(picture.Get(), background);
}

HBITMAP CSkinBitmap::LoadFromResource(UINT id, const wchar_t* type, HMODULE module, COLORREF background) {
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return nullptr;
  const DWORD size = ::SizeofResource(module, found);
  HGLOBAL loaded = ::LoadResource(module, found);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return nullptr;

  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  if (void* target = ::GlobalLock(block)) {
    memcpy(target, bytes, size);
    ::GlobalUnlock(block);
  }
  fw::ComPtr<IStream> stream;
  // The stream frees the block when it is released.
  if (FAILED(::CreateStreamOnHGlobal(block, TRUE, stream.Receive()))) {
    ::GlobalFree(block);
    return nullptr;
  }
  fw::ComPtr<IPicture> picture;
  if (FAILED(::OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.ReceiveVoid())) ||
      !picture.Get()) {
    return nullptr;
  }
  return RenderPictureToBitmap(picture.Get(), background);
}
