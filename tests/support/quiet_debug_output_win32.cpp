// GoogleTest hands every failure message to OutputDebugStringA as well as to
// the console. Under Wine on an emulated 32-bit CPU, the exception by which
// the system delivers debugger output now and then brings the process down,
// so a failing test would end the whole run instead of being reported. This
// test executable therefore takes the import slot of OutputDebugStringA
// itself: the linker then uses this definition instead of the system's, and
// the call is passed on only when GLIMMORA_NO_DEBUG_OUTPUT is not set.
#include <windows.h>

#include <cstdlib>

namespace {

void WINAPI QuietOutputDebugStringA(LPCSTR text) {
  static const bool quiet = std::getenv("GLIMMORA_NO_DEBUG_OUTPUT") != nullptr;
  if (quiet) return;
  using Fn = void(WINAPI*)(LPCSTR);
  static const Fn real = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "OutputDebugStringA")));
  if (real) real(text);
}

}  // namespace

extern "C" {
// The name the compiler gives the import slot of a __stdcall function taking
// four bytes of arguments on 32-bit Windows.
void(WINAPI* glimmora_imp_OutputDebugStringA)(LPCSTR) __asm__("__imp__OutputDebugStringA@4") =
    QuietOutputDebugStringA;
}
