// The splash itself: the product logo turning about its vertical axis, in
// perspective, in a topmost layered window on a thread of its own for about
// two seconds. All drawing goes through the companion libraries.
#pragma once

#include <atomic>

#include "setup/renderer/companions.h"

namespace splash {

// What a splash thread works from. The rotator owns it and keeps it alive
// until the thread has ended.
struct SplashJob {
  const Companions* companions = nullptr;
  HMODULE resources = nullptr;  // the renderer: logo resource and window class
  HMODULE self_reference = nullptr;  // a reference to the renderer the thread gives back when it ends
  RECT around = {};             // the splash is centred on this screen rectangle
  HANDLE stop = nullptr;        // set by the owner: close the splash now
  HANDLE ready = nullptr;       // set by the thread once the window is up or has failed
  std::atomic<HWND> window{nullptr};  // the window while it is on screen
  std::atomic<bool> shown{false};     // the window came up
};

// Runs the whole splash on the calling thread: prepare the picture, show the
// window, animate until the time is up or `stop` is set, destroy the window.
// Sets `ready` on every path. Never throws.
void RunSplash(SplashJob& job) noexcept;

// True when the renderer carries its logo, the one thing besides the
// companions that the splash needs.
bool HasLogo(HMODULE resources);

}  // namespace splash
