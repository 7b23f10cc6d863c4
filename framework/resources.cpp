#include "framework/resources.h"

namespace fw {

namespace {
HINSTANCE g_resource_handle = nullptr;
}  // namespace

HINSTANCE GetResourceHandle() { return g_resource_handle ? g_resource_handle : ::GetModuleHandleW(nullptr); }

void SetResourceHandle(HINSTANCE module) { g_resource_handle = module; }

std::u16string LoadString(UINT id) {
  // With a zero buffer size the call hands back a pointer into the resource
  // itself, so no length limit applies.
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(GetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(length));
}

const void* LockResourceBytes(UINT id, const wchar_t* type, DWORD* size) {
  *size = 0;
  HMODULE module = GetResourceHandle();
  HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!info) return nullptr;
  HGLOBAL loaded = ::LoadResource(module, info);
  if (!loaded) return nullptr;
  const void* bytes = ::LockResource(loaded);
  if (bytes) *size = ::SizeofResource(module, info);
  return bytes;
}

}  // namespace fw
