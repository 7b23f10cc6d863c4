// The skinned slider: a track picture with a thumb picture over a slice of
// the dialog's background. The thumb's place is kept here as a pixel
// coordinate along the slider and the position is derived from it; the
// native control still handles the mouse, so the parent keeps getting its
// scroll notifications.
#pragma once

#include <windows.h>

#include <string>

#include "framework/controls.h"
#include "skin/skinctr.h"
#include "skin/skinimage.h"

class CZipSliderCtl : public fw::CSliderCtrl, public CSkinCtr {
 public:
  // Line columns: track picture, thumb picture, x, y (design pixels; the
  // slider is moved there), background picture, and anything in column 5
  // makes the slider vertical.
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
  // Drops the loaded pictures; the next paint loads them again.
  int ReleaseSkin(int) override;

  void SetRange(int lower, int upper, BOOL redraw = FALSE) override;
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  int GetThumb() const { return thumb_; }
  bool IsHorizontal() const { return horizontal_ != 0; }

 private:
  // The client extent along the slider (right or bottom).
  int Extent() const;
  // Takes the pointer's coordinate along the slider as the thumb when it
  // lies on the slider, ends included.
  void Track(LPARAM point);
  void Paint();

  std::wstring track_name_, thumb_name_;
  std::wstring track_path_, thumb_path_, background_path_;
  int dragging_ = 0;
  int x_ = 0;
  int y_ = 0;
  int scaled_x_ = 0;
  int scaled_y_ = 0;
  skin::ImagePtr track_image_, thumb_image_, background_image_;
  int thumb_ = 0;
  int upper_ = 100;
  int lower_ = 0;
  int horizontal_ = 1;
  HCURSOR cursor_ = ::LoadCursorW(nullptr, IDC_ARROW);
};
