// The helper libraries export plain C functions (no decoration, no C++
// types), so any program of the product can import them by name.
#pragma once

#ifdef GLIMMORA_BUILDING_LIBS
#define GLIMMORA_LIB_API extern "C" __declspec(dllexport)
#else
#define GLIMMORA_LIB_API extern "C" __declspec(dllimport)
#endif
