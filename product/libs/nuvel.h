// Nuvel.dll: pixel format conversion for captured pictures.
#pragma once

#include "libs/export.h"

// Bytes per row of a 24-bit picture of `width` pixels, padded to four bytes
// as GDI and GDI+ expect.
GLIMMORA_LIB_API int NuvelStride24(int width);

// Copies 32-bit BGRX rows (what a screen capture gives; the fourth byte is
// undefined) into 24-bit BGR rows. Strides are in bytes; both pictures have
// `width` x `height` pixels. Returns 0 for bad arguments, else 1.
GLIMMORA_LIB_API int NuvelBgrxToBgr(const void* source, int source_stride, void* target, int target_stride,
                                    int width, int height);
