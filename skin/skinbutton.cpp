#include "skin/skinbutton.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/gdi.h"
#include "skin/core/scale.h"
#include "skin/core/skinline.h"

namespace {

// Windows strings are UTF-16 like the skin grammar's; only the type differs.
std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// Columns past this one were never part of a button's line.
constexpr size_t kLastColumn = 16;
// Every caption is laid out on a 30-pixel-high design row.
constexpr int kRowHeight = 30;
// The narrowest caption room a text or check button gets.
constexpr int kMinCaptionWidth = 50;
// The check box picture and the caption's distance from it.
constexpr int kCheckBox = 16;
constexpr int kCheckGap = 17;
// The frame pieces of a text button, in design pixels.
constexpr int kCapWidth = 12;
constexpr int kFrameRoom = 48;
// The glow is drawn at a fifth of the size and stretched back, which blurs it.
constexpr int kGlowDivisor = 5;

// Glow modes of DrawGlowText.
constexpr int kCentredGlow = 0;
constexpr int kCentredPlain = 1;
constexpr int kBesideBox = 2;

BYTE ColourPart(const std::wstring& column) {
  return static_cast<BYTE>(std::clamp(skin::ReadNumber(U16(column)), 0, 255));
}

Gdiplus::Color Opaque(BYTE r, BYTE g, BYTE b) { return Gdiplus::Color(255, r, g, b); }

// The caption as outlines in bold. A default string format is what "no
// format" means; Wine's GDI+ refuses a null one and the caption would be
// left blank.
bool AddCaption(Gdiplus::GraphicsPath* path, const std::wstring& caption, const Gdiplus::FontFamily* family,
                Gdiplus::REAL em, const Gdiplus::Point& origin) {
  const Gdiplus::StringFormat format;
  return path->AddString(caption.c_str(), static_cast<INT>(caption.size()), family, Gdiplus::FontStyleBold, em, origin,
                         &format) == Gdiplus::Ok;
}

}  // namespace

CSkinButton::CSkinButton() = default;

CSkinButton::~CSkinButton() {
  HWND window = GetSafeHwnd();
  if (!window) return;
  // The object went before its window (a skin taken off a live dialog):
  // the window gets its own type and check back, or nothing would draw it.
  UnsubclassWindow();
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  ::SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>((style & ~BS_TYPEMASK) | original_type_));
  if (behaviour_ != kPush) ::SendMessageW(window, BM_SETCHECK, check_ ? BST_CHECKED : BST_UNCHECKED, 0);
  ::InvalidateRect(window, nullptr, TRUE);
}

CSkinButton* CSkinButton::FromBound(HWND window) {
  // The map holds every kind of bound window; only a real skinned button
  // may be driven as one.
  return dynamic_cast<CSkinButton*>(fw::CWnd::FromHandlePermanent(window));
}

void CSkinButton::PreSubclassWindow() {
  // The type is a value in the low bits, not a set of flags: testing bit
  // patterns took a radio button (9) for a check box (3 shares its bits).
  original_type_ = GetStyle() & BS_TYPEMASK;
  switch (original_type_) {
    case BS_AUTOCHECKBOX:
    case BS_AUTO3STATE:
      behaviour_ = kToggle;
      break;
    case BS_AUTORADIOBUTTON:
      behaviour_ = kRadio;
      break;
    default:
      behaviour_ = kPush;
      break;
  }
  // A check set before the skin arrived (a dialog's initialisation) is kept.
  if (behaviour_ != kPush) check_ = DefWindowProc(BM_GETCHECK, 0, 0) != BST_UNCHECKED ? 1 : 0;
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
  hand_ = ::LoadCursorW(nullptr, IDC_HAND);
  ReadWindowDefaults();
  Invalidate();
}

void CSkinButton::ReadWindowDefaults() {
  caption_ = GetSafeHwnd() ? GetWindowText() : std::wstring();
  skin::ReadParentFont(GetSafeHwnd(), &font_face_, &font_size_);
}

int CSkinButton::ReleaseSkin(int) {
  for (auto& image : frame_images_) image.reset();
  for (auto& image : state_images_) image.reset();
  background_image_.reset();
  return 0;
}

int CSkinButton::LoadSkin(const std::wstring* line, const std::wstring* folder) {
  if (!line || !folder) return 5;
  ReleaseSkin(0);  // the pictures may come from other paths now
  tooltip_text_.clear();
  pressed_colour_ = {235, 128, 0};
  hover_colour_ = {0, 146, 186};
  focus_colour_ = {0, 146, 186};
  ReadWindowDefaults();

  const std::vector<std::u16string> columns = skin::SplitColumns(U16(*line));
  const std::wstring kind = columns.empty() ? std::wstring() : Wide(columns[0]);
  kind_ = kind == L"char" ? Kind::kChar : kind == L"check" ? Kind::kCheck : Kind::kGraphics;
  for (size_t i = 1; i < columns.size() && i <= kLastColumn; ++i) {
    if (!columns[i].empty()) ApplyColumn(i, Wide(columns[i]), *folder);
  }
  return 0;
}

void CSkinButton::ApplyColumn(size_t index, const std::wstring& column, const std::wstring& folder) {
  // A picture whose full path would not fit counts as not given.
  auto picture = [&](std::wstring* slot) {
    std::u16string path;
    if (skin::JoinPicturePath(U16(folder), U16(column), &path)) *slot = Wide(path);
    return !path.empty();
  };
  auto tooltip = [&] {
    tooltip_text_ = column;
    SetTooltip(tooltip_text_);
  };

  // Colours and the late tooltip share their columns across the kinds,
  // except that a check box's column 10 is its background.
  switch (index) {
    case 10:
      if (kind_ == Kind::kCheck) {
        picture(&background_path_);
      } else {
        hover_colour_.r = ColourPart(column);
      }
      return;
    case 11: hover_colour_.g = ColourPart(column); return;
    case 12: hover_colour_.b = ColourPart(column); return;
    case 13: pressed_colour_.r = ColourPart(column); return;
    case 14: pressed_colour_.g = ColourPart(column); return;
    case 15: pressed_colour_.b = ColourPart(column); return;
    case 16:
      // Older lines named the tooltip last; an earlier one wins.
      if (tooltip_text_.empty()) tooltip_text_ = column;
      SetTooltip(tooltip_text_);
      return;
    default:
      break;
  }

  if (kind_ == Kind::kChar) {
    switch (index) {
      case 1:
      case 2:
      case 3: picture(&frame_paths_[index - 1]); break;
      case 4: tooltip(); break;
      case 5: font_face_ = column; break;
      case 6: caption_ = column; break;
      case 7: x_ = skin::ReadNumber(U16(column)); break;
      case 8:
        y_ = skin::ReadNumber(U16(column));
        PlaceWindow();
        break;
      case 9: picture(&background_path_); break;
      default: break;
    }
    return;
  }

  // "check" and "graphics" share the five state pictures.
  if (index >= 1 && index <= 5) {
    if (picture(&state_paths_[index - 1]) && index == 1) {
      // Only the size is needed now; the picture loads again when drawn.
      image_size_ = skin::ImageFileSize(state_paths_[0]);
    }
    return;
  }
  if (index == 6) {
    tooltip();
    return;
  }
  if (kind_ == Kind::kCheck) {
    switch (index) {
      case 7: font_size_ = skin::ReadNumber(U16(column)); break;
      case 8: x_ = skin::ReadNumber(U16(column)); break;
      case 9:
        y_ = skin::ReadNumber(U16(column));
        PlaceWindow();
        break;
      default: break;
    }
    return;
  }
  switch (index) {
    case 7: x_ = skin::ReadNumber(U16(column)); break;
    case 8:
      y_ = skin::ReadNumber(U16(column));
      PlaceWindow();
      break;
    case 9: picture(&background_path_); break;
    default: break;
  }
}

void CSkinButton::PlaceWindow() {
  int width = 0;
  int height = 0;
  switch (kind_) {
    case Kind::kChar: {
      MeasureCaption();
      caption_width_ = static_cast<int>(caption_bounds_.Width);
      // An ampersand marks a mnemonic, which was never meant to take room.
      int drawn = text_extent_.cx;
      if (caption_.find(L'&') != std::wstring::npos) drawn -= ampersand_width_;
      if (drawn <= kMinCaptionWidth) caption_width_ = kMinCaptionWidth;
      width = caption_width_ + kFrameRoom;
      height = skin::ScaledY(kRowHeight);
      break;
    }
    case Kind::kCheck:
      MeasureCaption();
      caption_width_ = static_cast<int>(caption_bounds_.Width) + kCheckGap;
      if (caption_width_ <= kMinCaptionWidth) caption_width_ = kMinCaptionWidth;
      width = skin::ScaledX(caption_width_ + kCheckGap);
      height = skin::ScaledY(kRowHeight);
      break;
    case Kind::kGraphics:
      width = skin::ScaledX(image_size_.cx);
      height = skin::ScaledY(image_size_.cy);
      break;
  }
  if (GetSafeHwnd()) ::MoveWindow(GetSafeHwnd(), skin::ScaledX(x_), skin::ScaledY(y_), width, height, TRUE);
}

void CSkinButton::MeasureCaption() {
  text_extent_ = {};
  ampersand_width_ = 0;
  caption_bounds_ = Gdiplus::RectF();
  fw::ScopedWindowDC dc(GetSafeHwnd());
  const std::unique_ptr<Gdiplus::FontFamily> family = skin::MakeFontFamily(font_face_, dc.Get());
  const auto em = static_cast<Gdiplus::REAL>(font_size_);

  if (dc.Get()) {
    LOGFONTW logfont{};
    bool have_font = false;
    {
      const Gdiplus::Font font(family.get(), em, Gdiplus::FontStyleRegular, Gdiplus::UnitWorld);
      Gdiplus::Graphics graphics(dc.Get());
      have_font = font.GetLastStatus() == Gdiplus::Ok && font.GetLogFontW(&graphics, &logfont) == Gdiplus::Ok;
    }
    if (have_font) {
      fw::ScopedFont gdi_font(::CreateFontIndirectW(&logfont));
      fw::ScopedSelect select(dc.Get(), gdi_font.Get());
      ::GetTextExtentPoint32W(dc.Get(), caption_.c_str(), static_cast<int>(caption_.size()), &text_extent_);
      SIZE ampersand{};
      ::GetTextExtentPoint32W(dc.Get(), L"&", 1, &ampersand);
      ampersand_width_ = ampersand.cx;
    }
  }

  if (caption_.empty() || em <= 0) return;
  Gdiplus::GraphicsPath path;
  if (!AddCaption(&path, caption_, family.get(), em, Gdiplus::Point(0, 0))) return;
  const Gdiplus::Pen pen(Opaque(0, 0, 0), 1);
  Gdiplus::RectF bounds;
  if (path.GetBounds(&bounds, nullptr, &pen) == Gdiplus::Ok) caption_bounds_ = bounds;
}

void CSkinButton::SetTooltip(const std::wstring& text) {
  if (tooltip_.GetSafeHwnd()) {
    tooltip_.UpdateTipText(text, GetSafeHwnd());
    return;
  }
  if (!GetSafeHwnd() || !tooltip_.Create(GetSafeHwnd(), TTS_ALWAYSTIP)) return;
  tooltip_.AddTool(GetSafeHwnd(), text);
  tooltip_.Activate(true);
}

void CSkinButton::RelayToTooltip(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND tip = tooltip_.GetSafeHwnd();
  // A tip on show is left alone, or relaying would restart its timers.
  if (!tip || ::IsWindowVisible(tip)) return;
  MSG relayed{};
  relayed.hwnd = GetSafeHwnd();
  relayed.message = message;
  relayed.wParam = wparam;
  relayed.lParam = lparam;
  relayed.time = static_cast<DWORD>(::GetMessageTime());
  const DWORD position = ::GetMessagePos();
  relayed.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  tooltip_.RelayEvent(relayed);
  tooltip_.Update();
}

void CSkinButton::UncheckGroup() {
  HWND self = GetSafeHwnd();
  HWND parent = GetParent();
  if (!parent) return;
  // A group whose members are hidden or disabled can be walked in a circle
  // that never comes back to this button: each window is visited once.
  std::vector<HWND> seen{self};
  for (HWND current = self;;) {
    HWND next = ::GetNextDlgGroupItem(parent, current, FALSE);
    if (!next || std::find(seen.begin(), seen.end(), next) != seen.end()) break;
    seen.push_back(next);
    ::PostMessageW(next, UM_GROUP_UNCHECK, 0, 0);
    current = next;
  }
}

LRESULT CSkinButton::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND self = GetSafeHwnd();
  switch (message) {
    case WM_ERASEBKGND:
      return TRUE;  // the owner-draw paint covers every pixel

    case WM_LBUTTONDOWN:
      if (tooltip_.GetSafeHwnd()) {
        tooltip_.Pop();
        RelayToTooltip(message, wparam, lparam);
      }
      // The check follows the press, not the release.
      if (behaviour_ == kToggle) {
        check_ = check_ ? 0 : 1;
      } else if (behaviour_ == kRadio) {
        check_ = 1;
      }
      pressed_ = true;
      return Default();

    case WM_LBUTTONUP:
      // A radio button chosen by a completed click clears the others of its
      // group: the owner-drawn native button no longer does that itself.
      if (behaviour_ == kRadio && check_ && pressed_) UncheckGroup();
      pressed_ = false;
      RelayToTooltip(message, wparam, lparam);
      return Default();  // BN_CLICKED when released over the button

    case WM_LBUTTONDBLCLK:
      // A quick second click is one more press.
      return SendMessage(WM_LBUTTONDOWN, wparam, lparam);

    case WM_MOUSEMOVE: {
      RelayToTooltip(message, wparam, lparam);
      if (!hover_ && !HoldsPress()) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = self;
        if (::TrackMouseEvent(&track)) {
          hover_ = true;
          Invalidate(false);
        }
      }
      if (HoldsPress()) {
        POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        ::ClientToScreen(self, &point);
        if (::WindowFromPoint(point) != self) {
          // Dragged off: the press is given up and no click may follow.
          SetState(false);
          if (behaviour_ != kPush) check_ = 0;
          pressed_ = false;
          ::ReleaseCapture();
          Invalidate(false);
        }
      }
      return Default();
    }

    case WM_MOUSELEAVE:
      hover_ = false;
      if (tooltip_.GetSafeHwnd()) ::ShowWindow(tooltip_.GetSafeHwnd(), SW_HIDE);
      Invalidate(true);
      return 0;

    case WM_KILLFOCUS:
      if (::GetCapture() == self) {
        ::ReleaseCapture();
        pressed_ = false;
      }
      Invalidate(false);
      return Default();

    case WM_SETCURSOR:
      if (!hand_) return FALSE;
      ::SetCursor(hand_);
      return TRUE;

    case WM_KEYDOWN:
      // A held space bar repeats its key-down; only the first one counts.
      if (wparam == VK_SPACE && !(lparam & (1 << 30))) {
        if (behaviour_ == kToggle) {
          check_ = check_ ? 0 : 1;
        } else if (behaviour_ == kRadio) {
          check_ = 1;
          UncheckGroup();
        }
      }
      Invalidate(true);
      return Default();

    case BM_SETCHECK:
      check_ = behaviour_ != kPush && wparam != 0 ? 1 : 0;
      if (behaviour_ == kRadio && check_) UncheckGroup();
      Invalidate(true);
      return 0;

    case BM_GETCHECK:
      return check_;

    case UM_GROUP_UNCHECK:
      if (check_) {
        check_ = 0;
        Invalidate(true);
      }
      Invalidate(true);
      return 0;

    case WM_SHOWWINDOW: {
      const LRESULT result = Default();
      Invalidate(false);
      return result;
    }

    default:
      return fw::CButton::WindowProc(message, wparam, lparam);
  }
}

BOOL CSkinButton::PreTranslateMessage(MSG* message) {
  // Enter on this button is a click on it, not on the dialog's default
  // button (an owner-drawn button does not say it is a push button, so the
  // dialog manager would pick the default one).
  if (message && message->hwnd == GetSafeHwnd() && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
    const int id = ::GetDlgCtrlID(::GetFocus());
    ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetSafeHwnd()));
    return TRUE;
  }
  return fw::CButton::PreTranslateMessage(message);
}

bool CSkinButton::OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (message != WM_DRAWITEM || !lparam) return fw::CButton::OnChildNotify(message, wparam, lparam, result);
  DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
  if (result) *result = TRUE;
  return true;
}

CSkinButton::StateImage CSkinButton::CurrentState(UINT item_state) const {
  if (item_state & ODS_DISABLED) return kDisabled;
  if ((item_state & ODS_SELECTED) || check_ == 1) return kPressed;
  if (hover_) return kHover;
  if (item_state & ODS_FOCUS) return kFocus;
  return kNormal;
}

void CSkinButton::DrawItem(const DRAWITEMSTRUCT& item) {
  HWND self = GetSafeHwnd();
  HDC dc = item.hDC;
  if (!self || !dc) return;

  // The pushed look follows the pointer while the button is held; setting
  // the state asks for a new paint, which draws the right look.
  if (HoldsPress()) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const bool over = ::WindowFromPoint(cursor) == self;
    const bool pushed = (GetState() & BST_PUSHED) != 0;
    if (over && !pushed) {
      SetState(true);
      return;
    }
    if (!over && pushed) {
      SetState(false);
      return;
    }
  }

  const RECT& rect = item.rcItem;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));

  const StateImage state = CurrentState(item.itemState);
  const RECT position = GetRectInParent();
  const auto real = [](int value) { return static_cast<Gdiplus::REAL>(value); };

  if (kind_ == Kind::kChar) {
    const int buffer_width = skin::ScaledX(width);
    const int buffer_height = skin::ScaledY(height);
    fw::OffscreenBuffer buffer(dc, buffer_width, buffer_height);
    if (buffer.IsValid()) {
      const RECT all{0, 0, buffer_width, buffer_height};
      ::FillRect(buffer.Get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
      {
        Gdiplus::Graphics graphics(buffer.Get());
        skin::DrawBackgroundSlice(graphics, skin::CachedImage(background_image_, background_path_), buffer.Get(),
                                  position);
        const int caption = caption_width_;
        skin::DrawWhole(graphics, skin::CachedImage(frame_images_[0], frame_paths_[0]),
                        Gdiplus::RectF(0, 0, real(kCapWidth), real(height)));
        skin::DrawWhole(graphics, skin::CachedImage(frame_images_[2], frame_paths_[2]),
                        Gdiplus::RectF(real(kFrameRoom - kCapWidth + caption), 0, real(kCapWidth), real(height)));
        skin::DrawWhole(graphics, skin::CachedImage(frame_images_[1], frame_paths_[1]),
                        Gdiplus::RectF(real(kCapWidth), 0, real(caption + 2 * kCapWidth), real(height)));
      }
      ::BitBlt(dc, 0, 0, buffer_width, buffer_height, buffer.Get(), 0, 0, SRCCOPY);
    }
  } else {
    Gdiplus::Graphics graphics(dc);
    skin::DrawBackgroundSlice(graphics, skin::CachedImage(background_image_, background_path_), dc, position);
    const Gdiplus::RectF target = kind_ == Kind::kCheck
                                      ? Gdiplus::RectF(0, 0, real(skin::ScaledX(kCheckBox)), real(skin::ScaledY(kCheckBox)))
                                      : Gdiplus::RectF(0, 0, real(width), real(height));
    skin::DrawWhole(graphics, skin::CachedImage(state_images_[state], state_paths_[state]), target);
  }

  if (kind_ == Kind::kGraphics) return;
  const bool check = kind_ == Kind::kCheck;
  const Rgb white{255, 255, 255};
  switch (state) {
    case kDisabled:
      if (check) {
        DrawGlowText(dc, {235, 128, 0}, {153, 153, 153}, kBesideBox);
      } else {
        DrawGlowText(dc, {20, 20, 20}, {100, 100, 100}, kCentredPlain);
      }
      break;
    case kPressed: DrawGlowText(dc, pressed_colour_, white, check ? kBesideBox : kCentredGlow); break;
    case kHover: DrawGlowText(dc, hover_colour_, white, check ? kBesideBox : kCentredGlow); break;
    case kFocus: DrawGlowText(dc, focus_colour_, white, check ? kBesideBox : kCentredGlow); break;
    default:
      if (check) {
        DrawGlowText(dc, {0, 0, 0}, white, kBesideBox);
      } else {
        DrawGlowText(dc, {255, 255, 255}, white, kCentredPlain);
      }
      break;
  }
}

void CSkinButton::DrawGlowText(HDC dc, const Rgb& glow, const Rgb& fill, int mode) {
  if (caption_.empty() || font_size_ <= 0) return;
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;

  const std::unique_ptr<Gdiplus::FontFamily> family = skin::MakeFontFamily(font_face_, dc);
  Gdiplus::Point origin(17, 1);
  if (mode != kBesideBox) {
    origin = Gdiplus::Point(static_cast<INT>((static_cast<Gdiplus::REAL>(width) - caption_bounds_.Width) / 2),
                            (skin::ScaledY(kRowHeight) - text_extent_.cy) / 2);
  }
  Gdiplus::GraphicsPath path;
  if (!AddCaption(&path, caption_, family.get(), static_cast<Gdiplus::REAL>(font_size_), origin)) return;

  // The glow: the outline drawn at a fifth of the size, then stretched
  // back over the button, which softens it. A button under five pixels
  // either way has no room for one (and GDI+ makes no empty bitmap).
  std::unique_ptr<Gdiplus::Bitmap> halo;
  const int halo_width = width / kGlowDivisor;
  const int halo_height = height / kGlowDivisor;
  if (mode != kCentredPlain && halo_width > 0 && halo_height > 0) {
    halo = std::make_unique<Gdiplus::Bitmap>(halo_width, halo_height, PixelFormat32bppARGB);
    if (halo->GetLastStatus() != Gdiplus::Ok) {
      halo.reset();
    } else {
      Gdiplus::Graphics small(halo.get());
      small.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
      const Gdiplus::Matrix shrink(0.2f, 0, 0, 0.2f, -0.2f, -0.2f);
      small.SetTransform(&shrink);
      const Gdiplus::Pen pen(Opaque(glow.r, glow.g, glow.b), 1);
      small.DrawPath(&pen, &path);
      if (mode == kBesideBox) {
        const Gdiplus::SolidBrush black(Opaque(0, 0, 0));
        small.FillPath(&black, &path);
      }
    }
  }

  Gdiplus::Graphics graphics(dc);
  graphics.ResetTransform();
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  if (halo) graphics.DrawImage(halo.get(), Gdiplus::Rect(0, 0, width, height));
  const Gdiplus::SolidBrush brush(Opaque(fill.r, fill.g, fill.b));
  graphics.FillPath(&brush, &path);
}
