#include "skin/skineditor.h"

#include <vector>

#include "skin/core/scrollmath.h"
#include "skin/core/skinline.h"
#include "skin/skinbitmap.h"
#include "skin/skinscrollwnd.h"

CSkinEditer::~CSkinEditer() {
  // An object that goes before its control takes the frame with it, as the
  // frame would otherwise draw from a deleted strip.
  if (HWND window = GetSafeHwnd()) DetachSkinScroll(window);
}

bool CSkinEditer::IsWrapped() const {
  HWND window = GetSafeHwnd();
  return window && CSkinScrollWnd::FromControl(window) != nullptr;
}

int CSkinEditer::LoadSkin(const std::wstring* line, const std::wstring* folder) {
  if (!line || !folder) return 5;
  HWND window = GetSafeHwnd();
  // A second line replaces the first: the old frame goes before its strip.
  if (window) DetachSkinScroll(window);
  strip_.Reset();

  const std::vector<std::u16string> columns = skin::SplitColumns(std::u16string(line->begin(), line->end()));
  if (columns.empty() || columns[0].empty()) return 0;
  std::u16string path;
  if (!skin::JoinPicturePath(std::u16string(folder->begin(), folder->end()), columns[0], &path)) return 0;
  CSkinBitmap loader;
  strip_.Reset(loader.LoadFromFile(std::wstring(path.begin(), path.end()), RGB(0, 0, 0)));
  // No usable strip: the control keeps its native bars rather than being
  // wrapped in bars that cannot be drawn.
  if (!window || skin::StripCell(GetBitmapWidth(strip_.Get())) <= 0 || !AttachSkinScroll(window, strip_.Get())) {
    strip_.Reset();
  }
  return 0;
}

int CSkinEditer::ReleaseSkin(int) {
  if (!IsWrapped()) strip_.Reset();
  return 0;
}

LRESULT CSkinEditer::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    // The menu itself comes from the button's release (and from the
    // keyboard's menu key) as WM_CONTEXTMENU: swallowing the presses alone
    // would still open it.
    case WM_CONTEXTMENU:
      return 0;
    default:
      return fw::CEdit::WindowProc(message, wparam, lparam);
  }
}

void CSkinEditer::PostNcDestroy() { strip_.Reset(); }
