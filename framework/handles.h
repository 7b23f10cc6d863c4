// Owners for Win32 handles: one move-only type per kind, closed by their
// destructor, never copied.
#pragma once

#include <windows.h>

#include <utility>

namespace fw {

// Traits give the invalid value and how to close: a pointer constant such as
// INVALID_HANDLE_VALUE cannot be a template argument itself.
template <class T, class Traits>
class UniqueHandle {
  static T kInvalid() { return Traits::Invalid(); }


 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T value) : value_(value) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : value_(std::exchange(other.value_, kInvalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      value_ = std::exchange(other.value_, kInvalid());
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T Get() const { return value_; }
  bool IsValid() const { return value_ != kInvalid() && value_ != T{}; }
  // Gives up ownership; the handle stays open.
  T Release() { return std::exchange(value_, kInvalid()); }
  void Reset(T value = kInvalid()) {
    if (IsValid()) Traits::Close(value_);
    value_ = value;
  }

 private:
  T value_ = kInvalid();
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static void Close(HMODULE m) { ::FreeLibrary(m); }
};

// A kernel object handle (event, process, thread, mapping).
using ScopedHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
// A file handle, whose invalid value is INVALID_HANDLE_VALUE.
using ScopedFile = UniqueHandle<HANDLE, FileHandleTraits>;
// A directory search (FindFirstFileW).
using ScopedFind = UniqueHandle<HANDLE, FindTraits>;
// A loaded library.
using ScopedModule = UniqueHandle<HMODULE, ModuleTraits>;

// A COM interface pointer that releases itself.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T** Receive() { return &p_; }
  void** ReceiveVoid() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

}  // namespace fw
