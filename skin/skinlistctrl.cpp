#include "skin/skinlistctrl.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "skin/core/skinline.h"

namespace {

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring PicturePath(const std::vector<std::u16string>& columns, size_t column, const std::u16string& folder) {
  if (column >= columns.size() || columns[column].empty()) return {};
  std::u16string path;
  if (!skin::JoinPicturePath(folder, columns[column], &path)) return {};
  return Wide(path);
}

Gdiplus::RectF ToRectF(int x, int y, int width, int height) {
  return Gdiplus::RectF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                        static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
}

// Room between a column's picture and its text.
constexpr int kTextGap = 4;

}  // namespace

// ---- header ----

int CSkinHeaderCtrl::LoadSkin(const std::wstring* line, const std::wstring* folder) {
  if (!line || !folder) return 5;
  ReleaseSkin(0);
  const std::vector<std::u16string> columns = skin::SplitColumns(U16(*line));
  background_path_ = PicturePath(columns, 2, U16(*folder));
  mark_path_ = PicturePath(columns, 3, U16(*folder));
  ReadDialogFont();
  if (GetSafeHwnd()) Invalidate(false);
  return 0;
}

int CSkinHeaderCtrl::ReleaseSkin(int) {
  background_.reset();
  mark_.reset();
  return 0;
}

void CSkinHeaderCtrl::ReadDialogFont() {
  HWND list = GetSafeHwnd() ? GetParent() : nullptr;
  HWND dialog = list ? ::GetParent(list) : nullptr;
  auto font = reinterpret_cast<HFONT>(dialog ? ::SendMessageW(dialog, WM_GETFONT, 0, 0) : 0);
  if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW logfont{};
  // Made once here, not at every paint.
  font_.Reset(font && ::GetObjectW(font, sizeof(logfont), &logfont) ? ::CreateFontIndirectW(&logfont) : nullptr);
}

LRESULT CSkinHeaderCtrl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return TRUE;  // every pixel comes from the off-screen copy
    default:
      return CHeaderCtrl::WindowProc(message, wparam, lparam);
  }
}

void CSkinHeaderCtrl::Paint() {
  fw::ScopedPaint paint(GetSafeHwnd());
  HDC dc = paint.Get();
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  if (!dc || client.right <= 0 || client.bottom <= 0) return;
  fw::OffscreenBuffer buffer(dc, client.right, client.bottom);
  if (!buffer.IsValid()) return;

  Gdiplus::Image* background = skin::CachedImage(background_, background_path_);
  Gdiplus::Image* mark = skin::CachedImage(mark_, mark_path_);
  const int count = GetItemCount();
  int covered = 0;
  {
    Gdiplus::Graphics graphics(buffer.Get());
    for (int index = 0; index < count; ++index) {
      RECT item{};
      if (!SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) continue;
      skin::DrawWhole(graphics, background, ToRectF(item.left, item.top, item.right - item.left, item.bottom - item.top));
      skin::DrawWhole(graphics, mark, ToRectF(item.left, item.top, kMarkSize, kMarkSize));
      covered = std::max<int>(covered, item.right);
    }
    // Right of the last column the header shows an empty column.
    if (covered < client.right) {
      skin::DrawWhole(graphics, background, ToRectF(covered, 0, client.right - covered, client.bottom));
    }
  }

  fw::ScopedSelect select(buffer.Get(), font_.Get());
  ::SetBkMode(buffer.Get(), TRANSPARENT);
  ::SetTextColor(buffer.Get(), text_colour_);
  for (int index = 0; index < count; ++index) {
    RECT item{};
    if (!SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) continue;
    wchar_t text[260] = {};
    HDITEMW info{};
    info.mask = HDI_TEXT;
    info.pszText = text;
    info.cchTextMax = static_cast<int>(std::size(text));
    if (!SendMessage(HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)) || !info.pszText) {
      continue;
    }
    text[std::size(text) - 1] = L'\0';
    item.left += kMarkSize + kTextGap;
    ::DrawTextW(buffer.Get(), info.pszText, -1, &item,
                DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  ::BitBlt(dc, 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
}

// ---- list ----

void CSkinListCtrl::PreSubclassWindow() {
  // Items and their labels stand on the background picture, not on boxes
  // of the list's colour.
  SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
  SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
  BindHeader();
}

void CSkinListCtrl::BindHeader() {
  HWND header = GetSafeHwnd() ? GetHeaderCtrl() : nullptr;
  if (header && !header_.GetSafeHwnd()) header_.SubclassWindow(header);
}

int CSkinListCtrl::LoadSkin(const std::wstring* line, const std::wstring* folder) {
  if (!line || !folder) return 5;
  ReleaseSkin(0);
  const std::vector<std::u16string> columns = skin::SplitColumns(U16(*line));
  background_path_ = PicturePath(columns, 0, U16(*folder));
  label_path_ = PicturePath(columns, 1, U16(*folder));
  BindHeader();
  header_.LoadSkin(line, folder);
  if (GetSafeHwnd()) Invalidate(true);
  return 0;
}

int CSkinListCtrl::ReleaseSkin(int) {
  background_.reset();
  label_.reset();
  header_.ReleaseSkin(0);
  return 0;
}

LRESULT CSkinListCtrl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      if (EraseBackground(reinterpret_cast<HDC>(wparam))) return TRUE;
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header && header->hwndFrom == header_.GetSafeHwnd()) {
        switch (header->code) {
          // Columns keep the widths the program gave them.
          case HDN_BEGINTRACKA:
          case HDN_BEGINTRACKW:
          case HDN_DIVIDERDBLCLICKA:
          case HDN_DIVIDERDBLCLICKW:
            return TRUE;
          default:
            break;
        }
      }
      break;
    }
    case WM_NCCALCSIZE:
      // The background is stretched over the whole list, so a new size
      // changes every pixel of it.
      Invalidate(true);
      return Default();
    default:
      break;
  }
  return CListCtrl::WindowProc(message, wparam, lparam);
}

bool CSkinListCtrl::EraseBackground(HDC dc) {
  Gdiplus::Image* background = skin::CachedImage(background_, background_path_);
  if (!dc || !skin::ImageWidth(background)) return false;
  RECT client{};
  ::GetClientRect(GetSafeHwnd(), &client);
  if (client.right <= 0 || client.bottom <= 0) return true;
  RECT clip{};
  if (::GetClipBox(dc, &clip) == ERROR) clip = client;
  fw::OffscreenBuffer buffer(dc, client.right, client.bottom);
  if (!buffer.IsValid()) return false;
  {
    // Stretched over the whole list, whatever part is being erased, so a
    // partial erase matches the rest.
    Gdiplus::Graphics graphics(buffer.Get());
    skin::DrawWhole(graphics, background, ToRectF(0, 0, client.right, client.bottom));
  }
  const int saved = ::SaveDC(dc);
  HWND header = header_.GetSafeHwnd();
  if (header && ::IsWindowVisible(header)) {
    RECT area{};
    ::GetWindowRect(header, &area);
    ::MapWindowPoints(HWND_DESKTOP, GetSafeHwnd(), reinterpret_cast<POINT*>(&area), 2);
    ::ExcludeClipRect(dc, area.left, area.top, area.right, area.bottom);
  }
  ::BitBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, buffer.Get(), clip.left, clip.top,
           SRCCOPY);
  ::RestoreDC(dc, saved);
  return true;
}

bool CSkinListCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lparam, LRESULT* result) {
  if (message != WM_NOTIFY || !lparam) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lparam);
  if (header->hwndFrom != GetSafeHwnd() || header->code != NM_CUSTOMDRAW) return false;
  *result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lparam));
  return true;
}

LRESULT CSkinListCtrl::CustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const auto item = static_cast<WPARAM>(draw->nmcd.dwItemSpec);
      if (SendMessage(LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED) {
        draw->clrText = selected_text_;
        draw->clrTextBk = selected_back_;
        // Otherwise the system's highlight colours win over these.
        draw->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
      }
      // Under the label, so the item's text stays readable over it.
      Gdiplus::Image* label = skin::CachedImage(label_, label_path_);
      RECT area{};
      area.left = LVIR_LABEL;
      if (skin::ImageWidth(label) && draw->nmcd.hdc &&
          SendMessage(LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&area))) {
        Gdiplus::Graphics graphics(draw->nmcd.hdc);
        skin::DrawWhole(graphics, label, ToRectF(area.left, area.top, kLabelMarkWidth, area.bottom - area.top));
      }
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}
