// Tessel.dll: names of the picture files Glimmora saves.
#pragma once

#include <windows.h>

#include "libs/export.h"

// Writes "Glimmora YYYY-MM-DD HH.MM.SS.png" for `when` into `out`; returns
// the characters written (without the terminating zero), 0 when it does not fit.
GLIMMORA_LIB_API int TesselCaptureName(const SYSTEMTIME* when, wchar_t* out, int capacity);

// Joins `folder` and `name` into `out`; while a file of that path exists,
// " (2)", " (3)", ... goes before the extension. Returns the characters
// written, 0 when no free name fits into `capacity`.
GLIMMORA_LIB_API int TesselUniquePath(const wchar_t* folder, const wchar_t* name, wchar_t* out,
                                      int capacity);
