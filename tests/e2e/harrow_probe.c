/* Stands in for the product's COM server in setup tests: registering it
   records the path it was loaded from, so a test can see that the
   registration tool was started with the quoted server path. */
#include <windows.h>

static const int kAnchor = 0;  /* an address inside this module */

__declspec(dllexport) HRESULT __stdcall DllRegisterServer(void) {
  wchar_t path[MAX_PATH] = L"";
  HMODULE self = NULL;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     (LPCWSTR)(const void*)&kAnchor, &self);
  GetModuleFileNameW(self, path, MAX_PATH);
  HKEY key;
  if (RegCreateKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\GlimmoraTest", &key) == ERROR_SUCCESS) {
    RegSetValueExW(key, L"RegisteredFrom", 0, REG_SZ, (const BYTE*)path,
                   (DWORD)((wcslen(path) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  return S_OK;
}

__declspec(dllexport) HRESULT __stdcall DllUnregisterServer(void) { return S_OK; }
