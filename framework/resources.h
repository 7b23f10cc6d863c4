// The current resource source: the module strings, dialog templates and
// bitmaps are taken from. The program's own image at first; a language
// library once the user interface switches to it.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

HINSTANCE GetResourceHandle();
void SetResourceHandle(HINSTANCE module);

// A string of the current resource source; empty when it has none.
std::u16string LoadString(UINT id);

// The bytes of a resource of the current source, or null with size 0.
const void* LockResourceBytes(UINT id, const wchar_t* type, DWORD* size);

}  // namespace fw
