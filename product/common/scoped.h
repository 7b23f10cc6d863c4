// Owners for the Win32 resources the product's programs hold: each closes
// its resource when it goes out of scope, moves but never copies.
#pragma once

#include <windows.h>

#include <utility>

namespace glimmora {

template <class T, class Traits>
class Scoped {
 public:
  Scoped() = default;
  explicit Scoped(T value) : value_(value) {}
  ~Scoped() { Reset(); }
  Scoped(Scoped&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) {
      Reset();
      value_ = std::exchange(other.value_, Traits::Invalid());
    }
    return *this;
  }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;

  T Get() const { return value_; }
  bool IsValid() const { return value_ != Traits::Invalid() && value_ != T{}; }
  explicit operator bool() const { return IsValid(); }
  T* Out() {
    Reset();
    return &value_;
  }
  T Release() { return std::exchange(value_, Traits::Invalid()); }
  void Reset(T value = Traits::Invalid()) {
    if (IsValid()) Traits::Close(value_);
    value_ = value;
  }

 private:
  T value_ = Traits::Invalid();
};

struct HandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FileTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
struct KeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY k) { ::RegCloseKey(k); }
};
struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static void Close(HMODULE m) { ::FreeLibrary(m); }
};
template <class G>
struct GdiTraits {
  static G Invalid() { return nullptr; }
  static void Close(G g) { ::DeleteObject(g); }
};
struct MemoryDcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC dc) { ::DeleteDC(dc); }
};

using ScopedHandle = Scoped<HANDLE, HandleTraits>;
using ScopedFile = Scoped<HANDLE, FileTraits>;
using ScopedFind = Scoped<HANDLE, FindTraits>;
using ScopedKey = Scoped<HKEY, KeyTraits>;
using ScopedModule = Scoped<HMODULE, ModuleTraits>;
using ScopedBitmap = Scoped<HBITMAP, GdiTraits<HBITMAP>>;
using ScopedBrush = Scoped<HBRUSH, GdiTraits<HBRUSH>>;
using ScopedPen = Scoped<HPEN, GdiTraits<HPEN>>;
using ScopedFont = Scoped<HFONT, GdiTraits<HFONT>>;
using ScopedMemoryDc = Scoped<HDC, MemoryDcTraits>;

// A device context of a window (or of the screen, for no window), released
// to the window it came from.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Puts a GDI object into a device context and restores the previous one.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A COM interface pointer, released once.
template <class I>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  I* Get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  I** Out() {
    Reset();
    return &p_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }

 private:
  I* p_ = nullptr;
};

}  // namespace glimmora
