// The skinned up-down control: each half (up and down, or left and right)
// is drawn from its own pictures for its state, normal, under the pointer
// or pressed. The native control keeps the position, the buddy and the
// repeat while a half is held; only the drawing is done here.
#pragma once

#include <windows.h>
#include <objidl.h>  // before GDI+, which needs its property types
#include <gdiplus.h>

#include <string>

#include "framework/controls.h"
#include "skin/core/combomath.h"
#include "skin/skinctr.h"
#include "skin/skinimage.h"

class CSkinSpinButton : public fw::CSpinButtonCtrl, public CSkinCtr {
 public:
  static constexpr int kImageCount = 6;

  // Line columns 0..5: the first half (upper, or left) normal, under the
  // pointer, pressed; then the second half the same.
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
  int ReleaseSkin(int) override;

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  skin::SpinPart pressed_part() const { return pressed_; }
  skin::SpinPart hot_part() const { return hot_; }
  const std::wstring& image_path(int index) const { return paths_[index]; }

 private:
  bool Horizontal() const { return (GetStyle() & UDS_HORZ) != 0; }
  skin::SpinPart PartAt(POINT client_point) const;
  // Changes a state and repaints when it really changed.
  void SetPressed(skin::SpinPart part);
  void SetHot(skin::SpinPart part);
  void Paint();

  std::wstring paths_[kImageCount];
  skin::ImagePtr images_[kImageCount];
  skin::SpinPart pressed_ = skin::SpinPart::kNone;
  skin::SpinPart hot_ = skin::SpinPart::kNone;
  bool tracking_leave_ = false;
};
