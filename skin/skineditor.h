// The skinned edit (or static) control. Its skin line names a scroll-bar
// strip; the control is then wrapped in the skinned scroll frame, which
// draws its bars from that strip and shows its text white on black. A
// control whose line names no strip, or one that does not load, keeps its
// native bars. Right-button clicks are swallowed, so no context menu opens
// over a read-only text such as the licence.
#pragma once

#include <windows.h>

#include <string>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/skinctr.h"

class CSkinEditer : public fw::CEdit, public CSkinCtr {
 public:
  CSkinEditer() = default;
  ~CSkinEditer() override;

  // Column 0: the strip's file name in the skin folder. 5 when the line or
  // the folder is missing, else 0 (also when no strip could be used).
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
  // The strip stays while the scroll frame draws with it; an unwrapped
  // control's strip is dropped.
  int ReleaseSkin(int) override;

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  // The strip loaded by the line, or null.
  HBITMAP GetStrip() const { return strip_.Get(); }
  // Whether the control is wrapped in the skinned scroll frame.
  bool IsWrapped() const;

 protected:
  // The frame went with the control: nothing draws from the strip any more.
  void PostNcDestroy() override;

 private:
  fw::ScopedBitmap strip_;
};
