// Harrow.dll: Glimmora's in-process COM server. Its one class answers
// IUnknown; registering it tells other programs where Glimmora's capture
// component lives.
#pragma once

#include <windows.h>

// {6E1C3A52-8F0B-4D27-9B1A-5C7E2D4F8A31}
static const CLSID CLSID_GlimmoraHarrow = {
    0x6e1c3a52, 0x8f0b, 0x4d27, {0x9b, 0x1a, 0x5c, 0x7e, 0x2d, 0x4f, 0x8a, 0x31}};
#define GLIMMORA_HARROW_CLSID_TEXT L"{6E1C3A52-8F0B-4D27-9B1A-5C7E2D4F8A31}"
