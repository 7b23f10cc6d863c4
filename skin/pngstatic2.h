// A static control that shows one GDI+ image stretched over itself. The
// image belongs to whoever sets it (several statics may share one).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/controls.h"

class CPngStatic2 : public fw::CStatic {
 public:
  // Replaces the image (the old one is not released) and repaints.
  void SetImage(Gdiplus::Image* image);
  Gdiplus::Image* GetImage() const { return image_; }

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Paint();
  Gdiplus::Image* image_ = nullptr;
};
