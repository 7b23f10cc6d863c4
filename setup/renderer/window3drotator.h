// The splash rotator: the object "3DImageRenderer.dll" hands out from its
// export "createWindow3DRotator" (no arguments; null when it cannot make one).
//
// The setup program reaches the object through its virtual table alone, so
// the declaration order below is the binary interface: the first virtual
// function is slot 1. Never reorder, insert or remove one, and never give the
// class a virtual destructor (it would take slots of its own); the object is
// freed through Release. Every operation is __stdcall, so the table does not
// depend on a compiler's default for member functions, and none throws.
//
// Slots 4, 5 and 6 are what start-up uses: ask CanRun; when it says yes,
// Start with the desktop window; at the end, Release. Slots 1 to 3 are
// queries for diagnostics and tests. All operations are meant for one calling
// thread; the splash itself runs on a thread of its own.
#pragma once

#include <windows.h>

class IWindow3DRotator {
 public:
  // Slot 1: the revision of this interface, kWindow3DRotatorInterface.
  virtual DWORD __stdcall InterfaceVersion() noexcept = 0;
  // Slot 2: the splash window while it is on screen, otherwise null.
  virtual HWND __stdcall SplashWindow() noexcept = 0;
  // Slot 3: the id of the thread that runs (or ran) the splash, 0 before
  // Start. The thread object is kept until Release or the next Start, so
  // the id stays valid that long.
  virtual DWORD __stdcall SplashThreadId() noexcept = 0;
  // Slot 4: true when the four companion libraries are present beside the
  // renderer and are ours, so that Start can show something.
  virtual bool __stdcall CanRun() noexcept = 0;
  // Slot 5: closes the splash if it is still up, waits for its thread to end,
  // unloads the companions and frees the object. The pointer is dead after.
  virtual void __stdcall Release() noexcept = 0;
  // Slot 6: shows the turning logo, centred on `parent` (the desktop window
  // is fine), in a topmost layered window on a thread of its own for about
  // two seconds. Returns once the window is up, true; false when the
  // companions are not usable, a splash is already running, or the window
  // could not be made. The window is not owned by `parent`, so the caller's
  // thread never has to serve it.
  virtual bool __stdcall Start(HWND parent) noexcept = 0;

 protected:
  ~IWindow3DRotator() = default;
};

constexpr DWORD kWindow3DRotatorInterface = 1;

// The renderer's one export and its type.
constexpr char kCreateWindow3DRotatorExport[] = "createWindow3DRotator";
using CreateWindow3DRotatorFunction = IWindow3DRotator*(__cdecl*)();

// The window class of the splash window, for finding it from outside.
constexpr wchar_t kSplashWindowClass[] = L"GlimmoraSplashRotator";
