// The splash renderer as the setup program uses it: the factory, "can run",
// the turning logo in a topmost layered window that goes away by itself, and
// release. Without all four companions of ours beside it, the renderer still
// loads and answers "cannot run".
//
// Layered windows do not blend without a compositor (Xvfb has none), so the
// window is checked by its attributes, never by its pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "setup/renderer/window3drotator.h"
#include "support/scratch.h"

namespace {

// The build puts the five libraries into <tree>/setup/renderer, the tests
// into <tree>/tests.
std::wstring RendererFolder() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"..\\setup\\renderer\\";
}

std::wstring Wide(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

// A renderer loaded from `folder` and one rotator from its factory; the
// rotator is released and the library unloaded at the end of the test.
class LoadedRotator {
 public:
  explicit LoadedRotator(const std::wstring& folder)
      : module_(LoadLibraryW((folder + L"3DImageRenderer.dll").c_str())) {
    if (module_ == nullptr) return;
    const auto create = reinterpret_cast<CreateWindow3DRotatorFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, kCreateWindow3DRotatorExport)));
    if (create != nullptr) rotator_ = create();
  }
  ~LoadedRotator() {
    if (rotator_ != nullptr) rotator_->Release();
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedRotator(const LoadedRotator&) = delete;
  LoadedRotator& operator=(const LoadedRotator&) = delete;

  HMODULE module() const { return module_; }
  IWindow3DRotator* operator->() const { return rotator_; }
  IWindow3DRotator* get() const { return rotator_; }
  // For tests that release it themselves.
  IWindow3DRotator* take() {
    IWindow3DRotator* rotator = rotator_;
    rotator_ = nullptr;
    return rotator;
  }

 private:
  HMODULE module_;
  IWindow3DRotator* rotator_ = nullptr;
};

class ThreadHandle {
 public:
  explicit ThreadHandle(DWORD id) : handle_(OpenThread(SYNCHRONIZE, FALSE, id)) {}
  ~ThreadHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  ThreadHandle(const ThreadHandle&) = delete;
  ThreadHandle& operator=(const ThreadHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

HWND FindSplash() {
  return FindWindowW(kSplashWindowClass, nullptr);
}

// Generous polling: emulation makes every step slow, and only the outcome matters.
bool Eventually(const std::function<bool()>& condition, DWORD limit_ms = 20000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > limit_ms) return false;
    Sleep(50);
  }
  return true;
}

TEST(RendererSplash, FactoryGivesARotatorThatCanRun) {
  const std::wstring folder = RendererFolder();
  LoadedRotator rotator(folder);
  ASSERT_NE(rotator.module(), nullptr) << "renderer not found in " << std::string(folder.begin(), folder.end());
  ASSERT_NE(rotator.get(), nullptr);
  EXPECT_EQ(rotator->InterfaceVersion(), kWindow3DRotatorInterface);
  EXPECT_TRUE(rotator->CanRun());
  EXPECT_EQ(rotator->SplashThreadId(), 0u);
  EXPECT_EQ(rotator->SplashWindow(), nullptr);
}

TEST(RendererSplash, SplashIsATopmostLayeredWindowThatGoesAwayByItself) {
  LoadedRotator rotator(RendererFolder());
  ASSERT_NE(rotator.get(), nullptr);
  ASSERT_TRUE(rotator->Start(GetDesktopWindow()));

  const HWND window = FindSplash();
  ASSERT_NE(window, nullptr);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  EXPECT_EQ(process, GetCurrentProcessId());
  const LONG ex_style = GetWindowLongW(window, GWL_EXSTYLE);
  EXPECT_EQ(ex_style & (WS_EX_TOPMOST | WS_EX_LAYERED), WS_EX_TOPMOST | WS_EX_LAYERED);
  EXPECT_TRUE(IsWindowVisible(window));

  EXPECT_TRUE(Eventually([] { return FindSplash() == nullptr; })) << "the splash should close after about two seconds";
  ThreadHandle thread(rotator->SplashThreadId());
  ASSERT_NE(thread.get(), nullptr);
  EXPECT_EQ(WaitForSingleObject(thread.get(), 20000), WAIT_OBJECT_0);
}

// Start-up reaches the object through its table alone: slot 4 asks, slot 6
// starts with the desktop window, slot 5 releases. Release closes a splash
// that is still up and returns only after its thread has ended.
TEST(RendererSplash, SlotsFourSixFiveInTheirPlaces) {
  using Ask = bool(__stdcall*)(IWindow3DRotator*);
  using Release = void(__stdcall*)(IWindow3DRotator*);
  using Start = bool(__stdcall*)(IWindow3DRotator*, HWND);

  LoadedRotator rotator(RendererFolder());
  ASSERT_NE(rotator.get(), nullptr);
  void* const* slots = *reinterpret_cast<void* const* const*>(rotator.get());
  const auto slot = [slots](int number) { return reinterpret_cast<void (*)()>(slots[number - 1]); };

  ASSERT_TRUE(reinterpret_cast<Ask>(slot(4))(rotator.get()));
  ASSERT_TRUE(reinterpret_cast<Start>(slot(6))(rotator.get(), GetDesktopWindow()));
  const HWND window = FindSplash();
  ASSERT_NE(window, nullptr);
  ThreadHandle thread(rotator->SplashThreadId());
  ASSERT_NE(thread.get(), nullptr);

  reinterpret_cast<Release>(slot(5))(rotator.take());
  EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(FindSplash(), nullptr);
}

// These file names are shared with other software: a renderer whose
// companions are missing or not ours must load, say "cannot run", and show
// nothing.
TEST(RendererSplash, CannotRunWithoutAllFourCompanionsOfOurs) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring ours = RendererFolder();
  const std::wstring foreign = std::wstring(system) + L"\\kernel32.dll";
  struct Case {
    const char* what;
    const wchar_t* companion;
    std::wstring stand_in;  // copied in under the companion's name; empty: the file is missing
  } const cases[] = {
      {"missing", L"ILU.dll", L""},
      {"foreign", L"d3dx9_35.dll", foreign},
      {"ours but another one", L"ILUT.dll", ours + L"DevIL.dll"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring folder = Wide(testing_support::ScratchFolder(std::string("renderer-") + c.what));
    for (const wchar_t* name : {L"3DImageRenderer.dll", L"DevIL.dll", L"ILU.dll", L"ILUT.dll", L"d3dx9_35.dll"}) {
      ASSERT_TRUE(CopyFileW((ours + name).c_str(), (folder + name).c_str(), FALSE)) << GetLastError();
    }
    const std::wstring replaced = folder + c.companion;
    if (c.stand_in.empty()) {
      ASSERT_TRUE(DeleteFileW(replaced.c_str()));
    } else {
      ASSERT_TRUE(CopyFileW(c.stand_in.c_str(), replaced.c_str(), FALSE)) << GetLastError();
    }

    LoadedRotator rotator(folder);
    ASSERT_NE(rotator.module(), nullptr) << "the renderer must load without its companions";
    ASSERT_NE(rotator.get(), nullptr);
    EXPECT_FALSE(rotator->CanRun());
    EXPECT_FALSE(rotator->Start(GetDesktopWindow()));
    EXPECT_EQ(FindSplash(), nullptr);
  }
}

}  // namespace
