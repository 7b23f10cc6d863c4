#include "framework/librarysearch.h"

#include <windows.h>
#include <delayimp.h>

#include <string>

namespace fw {
namespace {

// Whether SetDefaultDllDirectories took effect; set before the first
// delayed import is called.
bool search_restricted = false;

// Looked up rather than imported: SetDefaultDllDirectories came with
// Windows 8 (and an update of 7 and Vista), and the programs still start
// on systems without it.
template <class Function>
Function KernelFunction(const char* name) {
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(kernel, name))) : nullptr;
}

// True when the program's manifest takes the library from the side-by-side
// store (the version 6 common controls): the loader then resolves the bare
// name there, before it looks at any folder, and a full path into the
// system folder would bypass that and load the old version.
bool ManifestNamesLibrary(const std::wstring& name) {
  ACTCTX_SECTION_KEYED_DATA data{};
  data.cbSize = sizeof(data);
  return ::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name.c_str(), &data) !=
         FALSE;
}

HMODULE LoadFromSystemFolder(const char* ansi_name) {
  std::wstring name;
  for (const char* c = ansi_name; *c; ++c) name += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  if (ManifestNamesLibrary(name)) return ::LoadLibraryW(name.c_str());

  wchar_t system[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(system, length) + L"\\" + name;
  // The library's own imports (and what it loads by name while it starts)
  // are looked for in the system folder only; without the restriction, the
  // altered search order at least starts in the library's folder instead
  // of the program's.
  return ::LoadLibraryExW(path.c_str(), nullptr,
                          search_restricted ? LOAD_LIBRARY_SEARCH_SYSTEM32 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The delay-load helper's notification: it asks here before it loads a
// library, and loads the bare name itself (from wherever the search finds
// it first) when the answer is null. Every delay-loaded library of ours is
// a system library, so it comes from the system folder; if it cannot be
// loaded from there, the program fails as it would for a missing library
// rather than let the helper search for it by name.
FARPROC WINAPI LoadDelayedLibrary(unsigned note, PDelayLoadInfo info) {
  if (note != dliNotePreLoadLibrary) return nullptr;
  HMODULE module = LoadFromSystemFolder(info->szDll);
  if (!module) {
    info->dwLastError = ::GetLastError();
    ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
    ::RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
  }
  return reinterpret_cast<FARPROC>(module);
}

}  // namespace

bool RestrictLibrarySearch() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
  // An empty string takes the current folder out of the search, on every
  // system from Windows XP SP1 on.
  if (auto set_dll_directory = KernelFunction<SetDllDirectoryFunction>("SetDllDirectoryW")) set_dll_directory(L"");
  auto set_default = KernelFunction<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
  search_restricted = set_default && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return search_restricted;
}

}  // namespace fw

// The delay-load helper of the MinGW runtime reads this hook; defining it
// here keeps the runtime's empty one out of the program.
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = fw::LoadDelayedLibrary;
}
