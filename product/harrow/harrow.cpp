// The COM server's class, its factory and the four exported entry points.
// Nothing here throws: COM callers get HRESULTs only.
#include "harrow/harrow.h"

#include <objbase.h>
#include <olectl.h>

#include <new>
#include <string>

#include "common/scoped.h"

namespace {

HMODULE g_module = nullptr;
LONG g_objects = 0;  // live objects and factories
LONG g_locks = 0;    // IClassFactory::LockServer

constexpr wchar_t kClsidKey[] = L"CLSID\\" GLIMMORA_HARROW_CLSID_TEXT;
constexpr wchar_t kDescription[] = L"Glimmora Harrow capture component";

// COM interfaces have no virtual destructor by design: objects delete
// themselves in Release, through their own virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// The component itself: an object with identity and a lifetime, which keeps
// the library loaded while anyone holds it.
class Harrow final : public IUnknown {
 public:
  Harrow() { InterlockedIncrement(&g_objects); }
  virtual ~Harrow() { InterlockedDecrement(&g_objects); }
  Harrow(const Harrow&) = delete;
  Harrow& operator=(const Harrow&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown)) {
      *out = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 private:
  LONG refs_ = 1;
};

class HarrowFactory final : public IClassFactory {
 public:
  HarrowFactory() { InterlockedIncrement(&g_objects); }
  virtual ~HarrowFactory() { InterlockedDecrement(&g_objects); }
  HarrowFactory(const HarrowFactory&) = delete;
  HarrowFactory& operator=(const HarrowFactory&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Harrow* object = new (std::nothrow) Harrow;
    if (!object) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock)
      InterlockedIncrement(&g_locks);
    else
      InterlockedDecrement(&g_locks);
    return S_OK;
  }

 private:
  LONG refs_ = 1;
};

#pragma GCC diagnostic pop

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_GlimmoraHarrow)) return CLASS_E_CLASSNOTAVAILABLE;
  HarrowFactory* factory = new (std::nothrow) HarrowFactory;
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return (g_objects == 0 && g_locks == 0) ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return SELFREG_E_CLASS;

  glimmora::ScopedKey clsid;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kClsidKey, 0, nullptr, 0, KEY_WRITE, nullptr, clsid.Out(), nullptr) !=
      ERROR_SUCCESS)
    return SELFREG_E_CLASS;
  SetString(clsid.Get(), nullptr, kDescription);
  glimmora::ScopedKey server;
  if (RegCreateKeyExW(clsid.Get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, server.Out(),
                      nullptr) != ERROR_SUCCESS)
    return SELFREG_E_CLASS;
  if (SetString(server.Get(), nullptr, path) != ERROR_SUCCESS ||
      SetString(server.Get(), L"ThreadingModel", L"Apartment") != ERROR_SUCCESS)
    return SELFREG_E_CLASS;
  return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  // Children first: RegDeleteKey removes only keys without subkeys.
  LONG server = ERROR_SUCCESS;
  {
    glimmora::ScopedKey clsid;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kClsidKey, 0, KEY_ALL_ACCESS, clsid.Out()) != ERROR_SUCCESS)
      return S_OK;  // not registered: nothing to undo
    server = RegDeleteKeyW(clsid.Get(), L"InprocServer32");
  }
  const LONG own = RegDeleteKeyW(HKEY_CLASSES_ROOT, kClsidKey);
  const bool ok = (server == ERROR_SUCCESS || server == ERROR_FILE_NOT_FOUND) &&
                  (own == ERROR_SUCCESS || own == ERROR_FILE_NOT_FOUND);
  return ok ? S_OK : SELFREG_E_CLASS;
}
