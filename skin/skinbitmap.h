// Loads a GDI bitmap from a picture file or from a module resource. The
// handle returned belongs to the caller; the object itself is a short-lived
// helper.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <string>

class CSkinBitmap {
 public:
  CSkinBitmap() = default;
  virtual ~CSkinBitmap() = default;
  CSkinBitmap(const CSkinBitmap&) = delete;
  CSkinBitmap& operator=(const CSkinBitmap&) = delete;

  // Bitmaps (.bmp) through the system loader, JPEG and GIF through the OLE
  // picture service; other kinds give no handle.
  virtual HBITMAP LoadFromFile(const std::wstring& path, COLORREF background);
  // A picture resource (any format the OLE picture service reads).
  virtual HBITMAP LoadFromResource(UINT id, const wchar_t* type, HMODULE module, COLORREF background);
  virtual int GetType() const { return type_; }

 private:
  int type_ = 0;
};

// Renders an OLE picture at its own size in screen pixels onto a new bitmap
// first filled with `background` (none when it is CLR_INVALID, i.e. -1).
HBITMAP RenderPictureToBitmap(IPicture* picture, COLORREF background);
