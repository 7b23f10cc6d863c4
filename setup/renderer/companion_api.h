// The plain C functions the splash renderer takes from its four companion
// libraries. The renderer does not link against them: it loads each one from
// its own folder and looks the functions up by these names, so that a
// missing or foreign library (these file names are shared with unrelated
// software) makes it answer "cannot run" instead of failing to load.
//
//   DevIL.dll      decoding the logo picture (PNG)
//   ILU.dll        resampling pictures: scaling and projective warping
//   ILUT.dll       turning a picture into a GDI bitmap (DIB section)
//   d3dx9_35.dll   4x4 matrices: rotation, translation, perspective
//
// Pictures are owned by the caller; no library keeps or frees memory it did
// not allocate, so nothing crosses a heap boundary. Every function returns
// its failure as a value; none throws.
#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// What GlimmoraCompanionVersion answers in every companion of this build. A
// library of one of these names that lacks the function or answers another
// number is not ours, or not of this revision.
#define GLIMMORA_COMPANION_VERSION 0x474C4D01u

// A picture: 32-bit pixels, in memory order blue, green, red, alpha, with the
// colour premultiplied by alpha (what a 32-bit DIB section and a per-pixel
// alpha layered window expect). Rows run top-down, `stride` pixels apart.
typedef struct GlimmoraImage {
  uint32_t width;
  uint32_t height;
  uint32_t stride;
  uint32_t* pixels;
} GlimmoraImage;

// Row-vector convention: a point p becomes p * M, and A * B applies A first.
typedef struct GlimmoraMatrix {
  float m[4][4];
} GlimmoraMatrix;

// A plane-to-plane (projective) mapping: [x y 1] * M = [x' y' w'], the point
// (x'/w', y'/w').
typedef struct GlimmoraMatrix3 {
  float m[3][3];
} GlimmoraMatrix3;

// Every companion.
uint32_t __cdecl GlimmoraCompanionVersion(void);

// DevIL.dll. Size of an encoded picture without decoding it; 1 on success.
int __cdecl GlimmoraImageInfo(const void* data, size_t size, uint32_t* width, uint32_t* height);
// Decodes into `target`, whose width and height must be the ones
// GlimmoraImageInfo gave. 1 on success; on failure `target` is undefined.
int __cdecl GlimmoraImageDecode(const void* data, size_t size, const GlimmoraImage* target);

// ILU.dll. Resizes `source` into `target` (bilinear). 1 on success.
int __cdecl GlimmoraImageScale(const GlimmoraImage* source, const GlimmoraImage* target);
// Fills every pixel of `target` from `source` through `target_to_source`,
// which maps target pixel positions to source pixel positions (bilinear;
// transparent outside the source). Colour is multiplied by shade / 256
// (256 keeps it). 1 on success.
int __cdecl GlimmoraImageWarp(const GlimmoraImage* source, const GlimmoraImage* target,
                              const GlimmoraMatrix3* target_to_source, uint32_t shade);

// ILUT.dll. A new top-down 32-bit DIB section holding a copy of `source` (a
// source without pixels gives a cleared bitmap of its size). When `view` is
// not null it receives a picture over the bitmap's own bits, to draw into
// directly (call GdiFlush before GDI uses the bitmap). The caller deletes
// the bitmap with DeleteObject; null on failure.
HBITMAP __cdecl GlimmoraBitmapFromImage(const GlimmoraImage* source, GlimmoraImage* view);

// d3dx9_35.dll. `out` may be one of the inputs.
void __cdecl GlimmoraMatrixIdentity(GlimmoraMatrix* out);
void __cdecl GlimmoraMatrixMultiply(GlimmoraMatrix* out, const GlimmoraMatrix* a, const GlimmoraMatrix* b);
void __cdecl GlimmoraMatrixScaling(GlimmoraMatrix* out, float x, float y, float z);
void __cdecl GlimmoraMatrixTranslation(GlimmoraMatrix* out, float x, float y, float z);
// Turns about the y axis; positive angles take +z towards +x.
void __cdecl GlimmoraMatrixRotationY(GlimmoraMatrix* out, float radians);
// Left-handed perspective: the eye at the origin looking along +z, depth
// mapped to 0..1 between the planes. 0 when the arguments make no frustum.
int __cdecl GlimmoraMatrixPerspectiveFov(GlimmoraMatrix* out, float fov_y, float aspect, float z_near,
                                         float z_far);
// The projective mapping of the plane z = 0 under `m`: where [x y 0 1] * m
// lands, as [x y 1] * out = [X Y W] (the z column dropped).
void __cdecl GlimmoraMatrixPlaneHomography(GlimmoraMatrix3* out, const GlimmoraMatrix* m);
// 0 when `m` is singular (or not finite); `out` is then unchanged.
int __cdecl GlimmoraMatrix3Inverse(GlimmoraMatrix3* out, const GlimmoraMatrix3* m);

#ifdef __cplusplus
}
#endif
