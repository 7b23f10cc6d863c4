// The skinned combo box: the closed box is three pictures (left, middle,
// right) over a slice of the dialog's background, in a normal variant or,
// while the list is dropped down, a second one; the shown text is drawn in
// bold white outlines. The native control keeps its items, selection and
// list; entries keep the index they were inserted at (nothing here sorts),
// so a caller may fill the box by position whatever its style says. The box
// widens itself to its widest entry.
#pragma once

#include <windows.h>
#include <objidl.h>  // before GDI+, which needs its property types
#include <gdiplus.h>

#include <string>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/skinctr.h"
#include "skin/skinimage.h"

class CSkinComboBox : public fw::CComboBox, public CSkinCtr {
 public:
  // Line columns: left, middle, right piece (normal), the same three while
  // dropped down, the picture behind each list item, the dialog's
  // background picture, x, y (design pixels; the box is placed there when
  // both are not negative).
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
  // Drops the loaded pictures; the next paint loads them again.
  int ReleaseSkin(int) override;

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  const std::wstring& current_text() const { return current_text_; }
  bool dropped() const { return dropped_ != 0; }
  SIZE widest_text() const { return widest_text_; }
  int font_size() const { return font_size_; }
  const std::wstring& font_face() const { return font_face_; }
  int selected_item() const { return selected_item_; }
  HWND list_window() const { return list_window_; }
  int x() const { return x_; }
  int y() const { return y_; }
  const std::wstring& normal_piece_path(int index) const { return normal_paths_[index]; }
  const std::wstring& dropped_piece_path(int index) const { return dropped_paths_[index]; }
  const std::wstring& item_image_path() const { return item_path_; }
  const std::wstring& background_path() const { return background_path_; }

 protected:
  void PreSubclassWindow() override;
  void DrawItem(const DRAWITEMSTRUCT& item);

 private:
  void ReadDialogFont();
  // The extent of `text` in the box's font (regular style); 0 x 0 when the
  // box has no window.
  SIZE MeasureText(const std::wstring& text);
  // Remembers `text` when it is the widest so far; true when it was.
  bool TakeWidth(const std::wstring& text);
  void Paint();
  void DrawBoxText(HDC dc, const std::wstring& text, const RECT& area, COLORREF colour);
  // The item image and black text over an item of the list.
  void DrawPlainItem(HDC dc, int index, const RECT& area);
  std::wstring ItemText(int index) const;

  int font_size_ = 0;
  std::wstring font_face_;
  skin::ImagePtr item_image_;
  skin::ImagePtr normal_images_[3];
  skin::ImagePtr dropped_images_[3];
  skin::ImagePtr background_image_;
  std::wstring item_path_;
  std::wstring current_text_;
  std::wstring dropped_paths_[3];
  std::wstring background_path_;
  std::wstring normal_paths_[3];
  std::wstring current_paths_[3];
  int x_ = -1;
  int y_ = -1;
  int dropped_ = 0;
  SIZE widest_text_{20, 30};
  int selected_item_ = -1;
  RECT selected_rect_{};
  HWND list_window_ = nullptr;
  // The GDI font strings are measured with, made once per skin line.
  fw::ScopedFont measure_font_;
};
