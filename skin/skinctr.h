// The base every skinned control shares: the manager keeps and deletes
// controls through it, and it offers the bitmap helpers the controls use.
#pragma once

#include <windows.h>

#include <string>

class CSkinCtr {
 public:
  CSkinCtr() = default;
  virtual ~CSkinCtr() = default;
  CSkinCtr(const CSkinCtr&) = delete;
  CSkinCtr& operator=(const CSkinCtr&) = delete;

  virtual std::wstring GetSkinText() { return {}; }
  virtual int Reserved2() { return 0; }
  virtual int Reserved3() { return 0; }
  // Drops the skin pictures a control holds; the control stays subclassed.
  virtual int ReleaseSkin(int) { return 0; }
  // The region of every pixel of `bitmap` that is not `transparent` (within
  // `tolerance` per channel); no region when the bitmap cannot be read, an
  // empty one when every pixel is transparent. The caller owns it.
  virtual HRGN BitmapToRegion(HBITMAP bitmap, COLORREF transparent, COLORREF tolerance);
  virtual int Reserved6(int, int) { return 0; }
  // Fills the rectangle with copies of the bitmap, cut at its right and
  // bottom edges. Nothing for an empty bitmap or rectangle.
  virtual void TileBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom);
  virtual int GetBitmapWidth(HBITMAP bitmap);
  virtual int GetBitmapHeight(HBITMAP bitmap);
  virtual CSkinCtr* SetAttribute1(int value) { attributes_[0] = value; return this; }
  virtual CSkinCtr* SetAttribute2(int value) { attributes_[1] = value; return this; }
  virtual CSkinCtr* SetAttribute3(int value) { attributes_[2] = value; return this; }
  virtual CSkinCtr* SetAttribute4(int value) { attributes_[3] = value; return this; }
  virtual CSkinCtr* SetAttribute5(int value) { attributes_[4] = value; return this; }
  virtual int GetAttribute5() { return attributes_[4]; }

  // Applies the control's line of the skin description; 0, or 5 when the
  // line or the folder is missing.
  virtual int LoadSkin(const std::wstring* line, const std::wstring* folder) = 0;

 private:
  int attributes_[5] = {};
};

// The region of a 32-bit top-down DIB's pixels that are not `transparent`:
// shared by the controls' bitmap regions and the window masks.
HRGN RegionFromPixels(const void* pixels, int width, int height, COLORREF transparent, COLORREF tolerance);
// A 32-bit top-down DIB section of width x height holding `bitmap`, copied
// (or stretched in halftone mode when the sizes differ); null on failure.
HBITMAP CopyToDib32(HBITMAP bitmap, int width, int height, void** pixels);
