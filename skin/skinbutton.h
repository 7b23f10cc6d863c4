// A skinned BUTTON-class child of a skinned dialog. The native button stays
// underneath and keeps its own mouse and keyboard processing, so clicks
// still reach the parent as BN_CLICKED; this class takes over the drawing
// (owner-draw, reflected from the parent), the check state, hover and the
// tooltip. Three kinds, named by column 0 of the skin line: "char" (a text
// button of three frame pieces with an outlined, glowing caption), "check"
// (a 16 x 16 box picture left of the caption) and anything else, "graphics"
// (one picture per state fills the control).
#pragma once

#include <windows.h>
#include <objidl.h>  // before GDI+, which needs its property types
#include <gdiplus.h>

#include <string>

#include "framework/controls.h"
#include "skin/skinctr.h"
#include "skin/skinimage.h"

// Posted by a radio button that becomes checked to the other members of its
// dialog group, which then clear their own check.
constexpr UINT UM_GROUP_UNCHECK = WM_USER + 102;

class CSkinButton : public fw::CButton, public CSkinCtr {
 public:
  enum class Kind { kGraphics, kChar, kCheck };
  // What a press does to the check state; taken from the native style.
  enum Behaviour { kPush = 0, kToggle = 2, kRadio = 4 };
  // Indexes of the five state pictures, in skin-line order.
  enum StateImage { kNormal = 0, kPressed = 1, kDisabled = 2, kHover = 3, kFocus = 4, kStateCount = 5 };

  CSkinButton();
  ~CSkinButton() override;

  // The object bound to `window` when it is a skinned button; null for an
  // unbound window or one bound to any other kind of object.
  static CSkinButton* FromBound(HWND window);

  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
  // Drops the cached pictures; they load again from their paths when drawn.
  int ReleaseSkin(int) override;

  // Creates the tooltip on first use, otherwise changes its text.
  void SetTooltip(const std::wstring& text);

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  BOOL PreTranslateMessage(MSG* message) override;
  bool OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  Kind kind() const { return kind_; }
  int behaviour() const { return behaviour_; }
  int check() const { return check_; }
  bool hovering() const { return hover_; }
  const std::wstring& tooltip_text() const { return tooltip_text_; }
  const std::wstring& caption() const { return caption_; }
  const std::wstring& font_face() const { return font_face_; }
  int font_size() const { return font_size_; }
  int caption_width() const { return caption_width_; }
  SIZE text_extent() const { return text_extent_; }
  SIZE image_size() const { return image_size_; }
  const std::wstring& state_image_path(int index) const { return state_paths_[index]; }
  const std::wstring& frame_image_path(int index) const { return frame_paths_[index]; }
  const std::wstring& background_path() const { return background_path_; }
  COLORREF hover_colour() const { return RGB(hover_colour_.r, hover_colour_.g, hover_colour_.b); }
  COLORREF pressed_colour() const { return RGB(pressed_colour_.r, pressed_colour_.g, pressed_colour_.b); }
  HWND tooltip_window() const { return tooltip_.GetSafeHwnd(); }

 protected:
  void PreSubclassWindow() override;
  void DrawItem(const DRAWITEMSTRUCT& item);

 private:
  struct Rgb {
    BYTE r, g, b;
  };

  // Caption, font face and size as the window and its dialog have them.
  void ReadWindowDefaults();
  void ApplyColumn(size_t index, const std::wstring& column, const std::wstring& folder);
  void PlaceWindow();
  // Text extent (GDI, regular) and caption bounds (GDI+ path, bold).
  void MeasureCaption();
  void DrawGlowText(HDC dc, const Rgb& glow, const Rgb& fill, int mode);
  StateImage CurrentState(UINT item_state) const;
  void RelayToTooltip(UINT message, WPARAM wparam, LPARAM lparam);
  void UncheckGroup();
  bool HoldsPress() const { return pressed_ && ::GetCapture() == GetSafeHwnd(); }

  int check_ = 0;
  int behaviour_ = kPush;
  DWORD original_type_ = BS_PUSHBUTTON;
  std::wstring tooltip_text_;
  Kind kind_ = Kind::kGraphics;
  std::wstring frame_paths_[3];
  std::wstring state_paths_[kStateCount];
  std::wstring background_path_;
  std::wstring caption_;
  std::wstring font_face_;
  Rgb pressed_colour_{235, 128, 0};
  Rgb hover_colour_{0, 146, 186};
  Rgb focus_colour_{0, 146, 186};
  int font_size_ = 0;
  SIZE text_extent_{};
  int ampersand_width_ = 0;
  SIZE image_size_{};
  int x_ = 0;
  int y_ = 0;
  fw::CToolTipCtrl tooltip_;
  HCURSOR hand_ = nullptr;
  bool pressed_ = false;
  bool hover_ = false;
  skin::ImagePtr frame_images_[3];
  skin::ImagePtr state_images_[kStateCount];
  skin::ImagePtr background_image_;
  int caption_width_ = 0;
  Gdiplus::RectF caption_bounds_;
};
