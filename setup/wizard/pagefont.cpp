#include "setup/wizard/pagefont.h"

#include "skin/core/scale.h"

void SetPageFont(HWND control, HFONT base, int points, int weight, fw::ScopedFont& shared) {
  if (!control) return;
  if (!shared.IsValid()) {
    LOGFONTW font{};
    if (!base || !::GetObjectW(base, sizeof(font), &font)) {
      ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    }
    fw::ScopedWindowDC screen(nullptr);
    ::SetMapMode(screen.Get(), MM_TEXT);
    if (static_cast<int>(10 * skin::ScaleX) > 10) --points;
    font.lfHeight = ::MulDiv(points, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
    font.lfWidth = 0;
    font.lfWeight = weight;
    shared.Reset(::CreateFontIndirectW(&font));
  }
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(shared.Get()), TRUE);
}
