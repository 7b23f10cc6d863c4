#include "skin/skincombobox.h"

#include <memory>
#include <vector>

#include "skin/core/combomath.h"
#include "skin/core/scale.h"
#include "skin/core/skinline.h"

namespace {

// wchar_t is UTF-16 on Windows: the two string types hold the same units.
std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The full path of the picture named in `column`; empty when the column is
// missing or empty (no picture) or the path would be too long.
std::wstring PicturePath(const std::vector<std::u16string>& columns, size_t column, const std::u16string& folder) {
  if (column >= columns.size() || columns[column].empty()) return {};
  std::u16string path;
  if (!skin::JoinPicturePath(folder, columns[column], &path)) return {};
  return Wide(path);
}

Gdiplus::RectF ToRectF(const skin::Piece& piece) {
  return Gdiplus::RectF(static_cast<Gdiplus::REAL>(piece.x), static_cast<Gdiplus::REAL>(piece.y),
                        static_cast<Gdiplus::REAL>(piece.width), static_cast<Gdiplus::REAL>(piece.height));
}

Gdiplus::RectF ToRectF(const RECT& rect) {
  return Gdiplus::RectF(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                        static_cast<Gdiplus::REAL>(rect.right - rect.left),
                        static_cast<Gdiplus::REAL>(rect.bottom - rect.top));
}

// The closed box is laid out on a 30-pixel design row.
constexpr int kBoxHeight = 30;
// The shown text sits this far below the box's top.
constexpr int kTextTop = 6;
// "So tall the dropped list shows every item": the list itself is cut to
// its items when it drops down.
constexpr int kGrownHeight = 100000;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kListText = RGB(0, 200, 0);

}  // namespace

void CSkinComboBox::PreSubclassWindow() {
  // The items are drawn here whenever the system asks for them; where the
  // native box fixed its drawing at creation, the style is only a marker.
  ModifyStyle(0, CBS_OWNERDRAWFIXED | CBS_HASSTRINGS);
  ReadDialogFont();
}

void CSkinComboBox::ReadDialogFont() {
  skin::ReadParentFont(GetSafeHwnd(), &font_face_, &font_size_);
  measure_font_.Reset();  // made again for the face and size now in force
}

int CSkinComboBox::ReleaseSkin(int) {
  item_image_.reset();
  for (auto& image : normal_images_) image.reset();
  for (auto& image : dropped_images_) image.reset();
  background_image_.reset();
  return 0;
}

int CSkinComboBox::LoadSkin(const std::wstring* line, const std::wstring* folder) {
  if (!line || !folder) return 5;
  ReleaseSkin(0);  // the pictures may come from other paths now
  ReadDialogFont();
  const std::vector<std::u16string> columns = skin::SplitColumns(U16(*line));
  const std::u16string base = U16(*folder);
  for (size_t i = 0; i < 3; ++i) {
    normal_paths_[i] = PicturePath(columns, i, base);
    dropped_paths_[i] = PicturePath(columns, i + 3, base);
  }
  item_path_ = PicturePath(columns, 6, base);
  background_path_ = PicturePath(columns, 7, base);

  // Entries put in before the skin arrived (a page fills its list first)
  // count as if they had been added now, or the box would be laid out for
  // none of them.
  if (GetSafeHwnd()) {
    const int count = GetCount();
    for (int index = 0; index < count; ++index) TakeWidth(ItemText(index));
  }

  x_ = columns.size() > 8 ? skin::ReadNumber(columns[8]) : -1;
  y_ = columns.size() > 9 ? skin::ReadNumber(columns[9]) : -1;
  if (GetSafeHwnd() && x_ >= 0 && y_ >= 0) {
    ::SetWindowPos(GetSafeHwnd(), nullptr, skin::ScaledX(x_), skin::ScaledY(y_),
                   skin::ComboPlacedWidth(skin::ScaleX, widest_text_.cx), skin::ScaledY(kBoxHeight),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (GetSafeHwnd()) Invalidate(false);
  return 0;
}

std::wstring CSkinComboBox::ItemText(int index) const { return GetSafeHwnd() ? GetLBText(index) : std::wstring(); }

SIZE CSkinComboBox::MeasureText(const std::wstring& text) {
  SIZE extent{0, 0};
  if (!GetSafeHwnd()) return extent;
  fw::ScopedWindowDC dc(GetSafeHwnd());
  if (!dc.Get()) return extent;
  if (!measure_font_.IsValid()) {
    // The GDI+ font of the face at the dialog's pixel size, as GDI sees it
    // on this box; a face GDI+ lacks falls back rather than failing.
    std::unique_ptr<Gdiplus::FontFamily> family = skin::MakeFontFamily(font_face_, dc.Get());
    Gdiplus::Font font(family.get(), static_cast<Gdiplus::REAL>(font_size_), Gdiplus::FontStyleRegular,
                       Gdiplus::UnitWorld);
    Gdiplus::Graphics graphics(dc.Get());
    LOGFONTW logfont{};
    if (font.GetLastStatus() == Gdiplus::Ok && font.GetLogFontW(&graphics, &logfont) == Gdiplus::Ok) {
      measure_font_.Reset(::CreateFontIndirectW(&logfont));
    }
    if (!measure_font_.IsValid()) {
      LOGFONTW plain{};
      plain.lfHeight = -font_size_;
      plain.lfCharSet = DEFAULT_CHARSET;
      lstrcpynW(plain.lfFaceName, font_face_.c_str(), LF_FACESIZE);
      measure_font_.Reset(::CreateFontIndirectW(&plain));
    }
  }
  fw::ScopedSelect select(dc.Get(), measure_font_.Get());
  if (!::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent)) extent = {0, 0};
  return extent;
}

bool CSkinComboBox::TakeWidth(const std::wstring& text) {
  const SIZE extent = MeasureText(text);
  if (extent.cx <= widest_text_.cx) return false;
  widest_text_ = extent;
  return true;
}

LRESULT CSkinComboBox::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND: {
      // Every pixel comes from the off-screen copy at the paint.
      HDC dc = reinterpret_cast<HDC>(wparam);
      ::SetBkColor(dc, kWhite);
      ::SetBkMode(dc, TRANSPARENT);
      return TRUE;
    }
    case WM_MOUSEWHEEL:
      return TRUE;  // the wheel must not change the language under the pointer
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT: {
      // The stock brush: nothing is made per message, nothing leaks.
      HDC dc = reinterpret_cast<HDC>(wparam);
      ::SetTextColor(dc, kListText);
      ::SetBkColor(dc, kBlack);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetDCBrushColor(dc, kBlack);
      return reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH));
    }
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
      const LRESULT index = Default();
      // The text is read back from the box: the entry that really went in,
      // and none when the box refused it.
      if (index >= 0 && TakeWidth(ItemText(static_cast<int>(index)))) {
        ::SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, skin::ComboGrownWidth(skin::ScaleX, widest_text_.cx),
                       kGrownHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return index;
    }
    case CB_SETCURSEL: {
      const LRESULT answer = Default();
      // An index the box refused leaves the shown text as it was.
      if (static_cast<int>(wparam) >= 0 && answer != CB_ERR) current_text_ = ItemText(static_cast<int>(wparam));
      Invalidate(false);
      return answer;
    }
    default:
      return CComboBox::WindowProc(message, wparam, lparam);
  }
}

bool CSkinComboBox::OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (message == WM_COMMAND && reinterpret_cast<HWND>(lparam) == GetSafeHwnd()) {
    switch (HIWORD(wparam)) {
      case CBN_DROPDOWN:
        dropped_ = 1;
        list_window_ = ::FindWindowExW(GetSafeHwnd(), nullptr, nullptr, nullptr);
        Invalidate(false);
        break;
      case CBN_CLOSEUP:
        dropped_ = 0;
        Invalidate(false);
        break;
      case CBN_SETFOCUS:
      case CBN_KILLFOCUS:
        Invalidate(false);
        break;
      case CBN_SELCHANGE: {
        // A list the system draws itself never reports the choice through
        // item drawing, so the shown text follows the selection here too.
        const int selection = GetCurSel();
        if (selection >= 0) current_text_ = ItemText(selection);
        Invalidate(false);
        break;
      }
      default:
        break;
    }
    return false;  // the dialog still hears of it (a language change, say)
  }
  if (message == WM_DRAWITEM && lparam) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    if (item.CtlType != ODT_COMBOBOX) return false;
    DrawItem(item);
    *result = TRUE;
    return true;
  }
  return false;
}

void CSkinComboBox::Paint() {
  fw::ScopedPaint paint(GetSafeHwnd());
  HDC dc = paint.Get();
  if (!dc) return;
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;

  const bool down = dropped_ != 0;
  const std::wstring* chosen = down ? dropped_paths_ : normal_paths_;
  skin::ImagePtr* images = down ? dropped_images_ : normal_images_;
  bool complete = true;
  for (int i = 0; i < 3; ++i) {
    current_paths_[i] = chosen[i];
    complete = complete && !chosen[i].empty();
  }
  if (complete && width > 0 && height > 0) {
    fw::OffscreenBuffer buffer(dc, width, height);
    if (buffer.IsValid()) {
      {
        Gdiplus::Graphics graphics(buffer.Get());
        skin::DrawBackgroundSlice(graphics, skin::CachedImage(background_image_, background_path_), dc,
                                  GetRectInParent());
        const skin::ComboPieces pieces = skin::ComboPieceLayout(width, height, skin::ScaleX);
        const skin::Piece* places[3] = {&pieces.left, &pieces.middle, &pieces.right};
        for (int i = 0; i < 3; ++i) {
          skin::DrawWhole(graphics, skin::CachedImage(images[i], current_paths_[i]), ToRectF(*places[i]));
        }
      }
      ::BitBlt(dc, 0, 0, width, height, buffer.Get(), 0, 0, SRCCOPY);
    }
  }
  DrawBoxText(dc, current_text_, RECT{0, kTextTop, width, height}, kWhite);
}

void CSkinComboBox::DrawBoxText(HDC dc, const std::wstring& text, const RECT& area, COLORREF colour) {
  if (!dc || text.empty()) return;
  Gdiplus::Graphics graphics(dc);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  std::unique_ptr<Gdiplus::FontFamily> family = skin::MakeFontFamily(font_face_, dc);
  Gdiplus::GraphicsPath path;
  // A default format is what "no format" means; Wine's GDI+ refuses a null
  // one and the text would be left out.
  const Gdiplus::StringFormat format;
  // Indented by the font's pixel size, as the captions of the buttons are.
  const Gdiplus::Point origin(area.left + font_size_, area.top);
  if (path.AddString(text.c_str(), static_cast<INT>(text.size()), family.get(), Gdiplus::FontStyleBold,
                     static_cast<Gdiplus::REAL>(font_size_), origin, &format) != Gdiplus::Ok) {
    return;
  }
  Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
  graphics.FillPath(&brush, &path);
}

void CSkinComboBox::DrawPlainItem(HDC dc, int index, const RECT& area) {
  {
    Gdiplus::Graphics graphics(dc);
    skin::DrawWhole(graphics, skin::CachedImage(item_image_, item_path_), ToRectF(area));
  }
  DrawBoxText(dc, ItemText(index), area, kBlack);
}

void CSkinComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const int index = static_cast<int>(item.itemID);
  // An empty list asks for item -1 (only a focus frame): no entry to draw.
  if (!dc || index < 0 || index >= GetCount()) return;
  if (item.itemAction & ODA_DRAWENTIRE) {
    DrawPlainItem(dc, index, item.rcItem);
    return;
  }
  if (!(item.itemAction & ODA_SELECT)) return;
  if (!(item.itemState & ODS_SELECTED)) {
    // An entry losing the selection is drawn plain; it is no new choice.
    DrawPlainItem(dc, index, item.rcItem);
    return;
  }
  if (selected_item_ >= 0 && selected_item_ < GetCount()) DrawPlainItem(dc, selected_item_, selected_rect_);
  current_text_ = ItemText(index);
  DrawBoxText(dc, current_text_, item.rcItem, kWhite);
  Invalidate(true);
  selected_item_ = index;
  selected_rect_ = item.rcItem;
}
