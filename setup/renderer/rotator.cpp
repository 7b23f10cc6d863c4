// 3DImageRenderer.dll: the splash rotator the setup program asks for at
// start-up. See window3drotator.h for the interface and its slot order.
#include <memory>
#include <new>
#include <string>

#include "setup/renderer/companions.h"
#include "setup/renderer/splash.h"
#include "setup/renderer/window3drotator.h"

namespace splash {
namespace {

// How long Start waits for the window to come up. Far more than decoding a
// small picture and making a window take, and short enough that a stuck
// splash never holds up the setup program for long.
constexpr DWORD kStartWaitMs = 10000;

const int kModuleAnchor = 0;  // any address inside this library

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&kModuleAnchor), &module);
  return module;
}

// The folder this library was loaded from, ending in a backslash.
std::wstring ThisFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(ThisModule(), &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

// Waits for any of `handles`, meanwhile serving messages other threads send
// to this one, so a splash thread that happens to need this thread's windows
// cannot stall the wait.
DWORD WaitServingSentMessages(DWORD count, const HANDLE* handles, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD remaining = INFINITE;
    if (timeout_ms != INFINITE) {
      const DWORD elapsed = GetTickCount() - start;
      remaining = elapsed >= timeout_ms ? 0 : timeout_ms - elapsed;
    }
    const DWORD result = MsgWaitForMultipleObjects(count, handles, FALSE, remaining, QS_SENDMESSAGE);
    if (result != WAIT_OBJECT_0 + count) return result;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

// The thread holds a reference to this library of its own and gives it back
// as its very last act, so the code it runs stays mapped even when the
// caller unloads the renderer without releasing the rotator.
DWORD WINAPI SplashThreadMain(void* parameter) {
  auto* job = static_cast<SplashJob*>(parameter);
  HMODULE self = job->self_reference;
  RunSplash(*job);
  FreeLibraryAndExitThread(self, 0);
}

class Rotator final : public IWindow3DRotator {
 public:
  Rotator()
      : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  DWORD __stdcall InterfaceVersion() noexcept override { return kWindow3DRotatorInterface; }

  HWND __stdcall SplashWindow() noexcept override { return job_.window.load(); }

  DWORD __stdcall SplashThreadId() noexcept override { return thread_id_; }

  bool __stdcall CanRun() noexcept override { return Usable(); }

  void __stdcall Release() noexcept override {
    StopSplash();
    delete this;
  }

  bool __stdcall Start(HWND parent) noexcept override {
    if (!Usable()) return false;
    if (thread_) {
      if (WaitForSingleObject(thread_.get(), 0) != WAIT_OBJECT_0) return false;  // still on screen
      thread_.reset();
      thread_id_ = 0;
    }
    RECT around;
    if (parent == nullptr || !GetWindowRect(parent, &around)) GetWindowRect(GetDesktopWindow(), &around);
    job_.companions = companions_.get();
    job_.resources = ThisModule();
    job_.around = around;
    job_.stop = stop_.get();
    job_.ready = ready_.get();
    job_.shown = false;
    ResetEvent(stop_.get());
    ResetEvent(ready_.get());
    HMODULE pinned = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&kModuleAnchor),
                            &pinned)) {
      return false;
    }
    UniqueModule reference(pinned);
    job_.self_reference = reference.get();
    DWORD id = 0;
    thread_.reset(CreateThread(nullptr, 0, SplashThreadMain, &job_, 0, &id));
    if (!thread_) return false;
    reference.release();  // the thread gives it back when it ends
    thread_id_ = id;
    const HANDLE waits[2] = {ready_.get(), thread_.get()};
    WaitServingSentMessages(2, waits, kStartWaitMs);
    return job_.shown.load();
  }

 private:
  ~Rotator() = default;

  // The companions are looked at once, on first use, and kept loaded until
  // Release: the splash thread calls into them.
  bool Usable() {
    if (!checked_) {
      checked_ = true;
      try {
        if (stop_ && ready_ && HasLogo(ThisModule())) companions_ = LoadCompanions(ThisFolder());
      } catch (...) {  // out of memory: cannot run
        companions_.reset();
      }
    }
    return companions_ != nullptr;
  }

  void StopSplash() {
    if (!thread_) return;
    SetEvent(stop_.get());
    const HANDLE thread = thread_.get();
    WaitServingSentMessages(1, &thread, INFINITE);
    thread_.reset();
  }

  UniqueHandle stop_;
  UniqueHandle ready_;
  bool checked_ = false;
  std::unique_ptr<Companions> companions_;
  SplashJob job_;
  UniqueHandle thread_;
  DWORD thread_id_ = 0;
};

}  // namespace
}  // namespace splash

extern "C" IWindow3DRotator* __cdecl createWindow3DRotator() {
  return new (std::nothrow) splash::Rotator();
}
