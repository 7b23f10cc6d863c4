// Gives one dialog its skinned look from the THIS line of its section: the
// background picture painted at the screen's scale, the window cut to the
// shape of a mask, the skin's geometry, optional translucency.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>

#include "framework/gdi.h"
#include "skin/skinimage.h"

struct SkinPoint {
  int x = 0, y = 0;
};
struct SkinPair {
  int first = 0, second = 0;
};

class CSkinWnd {
 public:
  CSkinWnd() = default;
  virtual ~CSkinWnd() = default;
  CSkinWnd(const CSkinWnd&) = delete;
  CSkinWnd& operator=(const CSkinWnd&) = delete;

  // Applies a THIS line's value; 0, or 5 when the line or the folder is missing.
  virtual int ApplyLine(const std::wstring* line, const std::wstring* folder, SkinPoint* position,
                        SkinPair* second);
  virtual int ReleaseBitmaps();
  virtual void SetPosition(int x, int y) { x_ = x, y_ = y; }
  virtual void SetSize(int width, int height) { width_ = width, height_ = height; }
  virtual void SetTransparencyFlag(int flag) { transparency_ = flag; }
  virtual int GetTransparencyFlag() const { return transparency_; }
  // 1, or 5 for no window.
  virtual int Attach(HWND window);

  HWND GetBoundWindow() const { return window_; }
  // The dialog's messages: paints on WM_PAINT (0), refuses erasing (1),
  // wants every key (DLGC_WANTALLKEYS); 0 for the rest.
  LRESULT OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void ApplyMask(const std::wstring& path);
  void ApplyGeometry();
  void MakeTranslucent();
  void Paint();

  HWND window_ = nullptr;
  int transparency_ = 0;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
  std::wstring background_name_, mask_name_;
  fw::ScopedBitmap mask_;
  std::wstring background_path_;
  skin::ImagePtr background_;
};
