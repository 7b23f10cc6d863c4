// The skinned list view and its column header. The list shows a background
// picture behind its items and a small picture at the left of each label;
// selected items take the skin's colours; the user cannot resize columns.
// The header draws each column from a background picture with a 16 x 16
// picture at its top-left and the column's text in the dialog's font.
#pragma once

#include <windows.h>
#include <objidl.h>  // before GDI+, which needs its property types
#include <gdiplus.h>
#include <commctrl.h>

#include <string>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/skinctr.h"
#include "skin/skinimage.h"

class CSkinHeaderCtrl : public fw::CHeaderCtrl, public CSkinCtr {
 public:
  // The picture size drawn at each column's top-left.
  static constexpr int kMarkSize = 16;

  // Takes the list view's line: column 2 is the column background, column
  // 3 the 16 x 16 picture; the font is the dialog's (the list's parent's).
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
  int ReleaseSkin(int) override;

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  COLORREF text_colour() const { return text_colour_; }
  const std::wstring& background_path() const { return background_path_; }
  const std::wstring& mark_path() const { return mark_path_; }

 private:
  void ReadDialogFont();
  void Paint();

  std::wstring background_path_, mark_path_;
  skin::ImagePtr background_, mark_;
  fw::ScopedFont font_;
  COLORREF text_colour_ = RGB(255, 255, 255);
};

class CSkinListCtrl : public fw::CListCtrl, public CSkinCtr {
 public:
  // The width of the picture at the left of each label.
  static constexpr int kLabelMarkWidth = 16;

  // Line columns: the list's background picture, the label picture, then
  // the header's column background and 16 x 16 picture.
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
  int ReleaseSkin(int) override;

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  CSkinHeaderCtrl& header() { return header_; }
  COLORREF selected_text_colour() const { return selected_text_; }
  COLORREF selected_back_colour() const { return selected_back_; }
  const std::wstring& background_path() const { return background_path_; }
  const std::wstring& label_path() const { return label_path_; }

 protected:
  void PreSubclassWindow() override;

 private:
  // Binds the header once the list has one (a list not in report view may
  // make it later).
  void BindHeader();
  // False when there is no background picture: the list then erases itself.
  bool EraseBackground(HDC dc);
  LRESULT CustomDraw(NMLVCUSTOMDRAW* draw);

  CSkinHeaderCtrl header_;
  std::wstring background_path_, label_path_;
  skin::ImagePtr background_, label_;
  COLORREF selected_text_ = RGB(255, 255, 255);
  COLORREF selected_back_ = RGB(0, 146, 186);
};
