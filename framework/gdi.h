// Owners for GDI objects and device contexts, and scopes that put back what
// they change: a selected object is deselected, a paint is ended.
#pragma once

#include <windows.h>

#include <utility>

#include "framework/handles.h"

namespace fw {

template <class T>
struct GdiObjectTraits {
  static T Invalid() { return nullptr; }
  static void Close(T object) { ::DeleteObject(object); }
};
struct MemoryDCTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC dc) { ::DeleteDC(dc); }
};
struct CursorTraits {
  static HCURSOR Invalid() { return nullptr; }
  static void Close(HCURSOR) {}  // shared system cursors are never destroyed
};

using ScopedBitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using ScopedBrush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using ScopedFont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using ScopedPen = UniqueHandle<HPEN, GdiObjectTraits<HPEN>>;
using ScopedRegion = UniqueHandle<HRGN, GdiObjectTraits<HRGN>>;
using ScopedMemoryDC = UniqueHandle<HDC, MemoryDCTraits>;

// A window's (or the screen's) device context, released at scope end.
class ScopedWindowDC {
 public:
  explicit ScopedWindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~ScopedWindowDC() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  ScopedWindowDC(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint .. EndPaint.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
  ~ScopedPaint() { ::EndPaint(window_, &paint_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  HDC Get() const { return dc_; }
  const PAINTSTRUCT& Info() const { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~ScopedSelect() {
    if (previous_) ::SelectObject(dc_, previous_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// An off-screen bitmap selected into a memory DC compatible with `target`:
// draw into Get(), then copy it out in one block so nothing flickers.
class OffscreenBuffer {
 public:
  OffscreenBuffer(HDC target, int width, int height)
      : dc_(::CreateCompatibleDC(target)),
        bitmap_(::CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
        select_(dc_.Get(), bitmap_.Get()) {}
  bool IsValid() const { return dc_.IsValid() && bitmap_.IsValid(); }
  HDC Get() const { return dc_.Get(); }

 private:
  ScopedMemoryDC dc_;
  ScopedBitmap bitmap_;
  ScopedSelect select_;
};

}  // namespace fw
