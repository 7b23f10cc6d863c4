// The fonts of the wizard's texts: three shared fonts, each made by its
// first user and reused by every later one.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

struct PageFonts {
  fw::ScopedFont text;     // destination, progress, welcome and licence text
  fw::ScopedFont caption;  // step panels and the finish page
  fw::ScopedFont note;     // the licence page's note
};

// Gives `control` the shared font, making it first from `base` at `points`
// (one point less from 106 dots per inch up, where the scaled dialogs would
// otherwise crowd their text) and `weight`.
void SetPageFont(HWND control, HFONT base, int points, int weight, fw::ScopedFont& shared);
