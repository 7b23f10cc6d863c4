#include "framework/gdiplus_session.h"

#include <windows.h>
#include <objidl.h>  // before GDI+, which needs its property types
#include <gdiplus.h>

namespace fw {

bool StartGdiplus() {
  // Never shut down: skinned windows paint until the process ends, and a
  // shutdown order between static destructors and GDI+ cannot be relied on.
  static ULONG_PTR token = 0;
  static bool started = false;
  if (!started) {
    Gdiplus::GdiplusStartupInput input;
    started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }
  return started;
}

}  // namespace fw
