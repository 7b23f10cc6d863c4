// Owners for the Windows handles the splash libraries use: one move-only type
// per kind, each closing its handle the one right way.
#pragma once

#include <windows.h>

namespace splash {

template <typename Traits>
class Unique {
 public:
  using Type = typename Traits::Type;

  Unique() = default;
  explicit Unique(Type value) : value_(value) {}
  ~Unique() { reset(); }
  Unique(Unique&& other) noexcept : value_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  Type get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Null(); }
  Type release() {
    const Type value = value_;
    value_ = Traits::Null();
    return value;
  }
  void reset(Type value = Traits::Null()) {
    if (value_ != Traits::Null()) Traits::Close(value_);
    value_ = value;
  }

 private:
  Type value_ = Traits::Null();
};

struct KernelHandleTraits {  // threads, events: null when absent
  using Type = HANDLE;
  static Type Null() { return nullptr; }
  static void Close(Type h) { CloseHandle(h); }
};
struct ModuleTraits {
  using Type = HMODULE;
  static Type Null() { return nullptr; }
  static void Close(Type h) { FreeLibrary(h); }
};
struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Null() { return nullptr; }
  static void Close(Type h) { DeleteObject(h); }
};
struct MemoryDcTraits {
  using Type = HDC;
  static Type Null() { return nullptr; }
  static void Close(Type h) { DeleteDC(h); }
};
struct WindowTraits {
  using Type = HWND;
  static Type Null() { return nullptr; }
  static void Close(Type h) { DestroyWindow(h); }
};

using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueModule = Unique<ModuleTraits>;
using UniqueGdiObject = Unique<GdiObjectTraits>;
using UniqueMemoryDc = Unique<MemoryDcTraits>;
using UniqueWindow = Unique<WindowTraits>;

// The screen's device context, given back when the scope ends.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  bool ok() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace splash
