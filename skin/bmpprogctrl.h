// The skinned progress bar: a track picture with the fill picture revealed
// from the left as far as the position reaches, over a slice of the
// dialog's background. The native control only keeps the window; range,
// step and position live here and every pixel is drawn here.
#pragma once

#include <windows.h>

#include <string>

#include "framework/controls.h"
#include "skin/skinctr.h"
#include "skin/skinimage.h"

class CBmpProgCtrl : public fw::CProgressCtrl, public CSkinCtr {
 public:
  // Line columns: indicator picture, fill picture, track picture, x, y
  // (design pixels; the bar is moved there), background picture. An empty
  // picture column means no such picture.
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
  // Drops the loaded pictures; the next paint loads them again.
  int ReleaseSkin(int) override;

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  int GetLower() const { return lower_; }
  int GetUpper() const { return upper_; }
  int GetStep() const { return step_; }
  int GetPosition() const { return position_; }

 protected:
  void PreSubclassWindow() override;

 private:
  void Place();
  void Paint();

  // The lower end starts at 1, so before any range is set a position p
  // shows as p/99 of the width; setup code relies on that look.
  int lower_ = 1;
  int upper_ = 100;
  int step_ = 1;
  int position_ = 0;
  double fraction_ = 0.0;
  RECT client_{};
  int x_ = 0;
  int y_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::wstring indicator_path_, fill_path_, track_path_, background_path_;
  skin::ImagePtr indicator_, fill_, track_, background_;
};
