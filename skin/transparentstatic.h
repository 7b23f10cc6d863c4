// Statics whose text stands on the dialog's picture instead of a filled box.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"

// Keeps a copy of the parent's pixels under it, taken at its first erase,
// and puts that copy back at every later erase, so a text that changes
// (shorter, or elsewhere) leaves nothing of the old one behind. The native
// static draws the text. Both statics rely on a parent that paints under its
// children (no WS_CLIPCHILDREN) and is bound to a framework object, which
// hands them its control-colour messages.
class CTransparentStatic2 : public fw::CStatic {
 public:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  bool HasBackground() const { return background_.IsValid(); }

 private:
  void Capture();
  void Restore(HDC dc);

  fw::ScopedBitmap background_;
};

// Draws its text itself without ever erasing: whatever the parent painted
// shows around the letters.
class CTransparentStatic : public fw::CStatic {
 public:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

 private:
  void Draw(HDC dc);
};

// The DrawText flags for a static of `style`, read bit by bit: the right,
// centre, centre-image, no-prefix and ellipsis bits each add their flag,
// and text without an ellipsis, centre-image or 0x000C bit wraps at words.
UINT TransparentStaticTextFlags(DWORD style);
