// Resource ids of 3DImageRenderer.dll, shared by its .rc file and its code.
#pragma once

// The product logo (PNG), written by the build into the skin folder.
#define IDR_SPLASH_LOGO 101
