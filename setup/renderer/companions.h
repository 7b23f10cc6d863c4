// The renderer's four companion libraries, loaded by hand from the
// renderer's own folder. They share their file names with unrelated
// software, so each must be ours (version resource and the companion
// version number) before a single function of it is called.
#pragma once

#include <memory>
#include <string>

#include "setup/renderer/companion_api.h"
#include "setup/renderer/win32_handles.h"

namespace splash {

struct Companions {
  UniqueModule decoder;    // DevIL.dll
  UniqueModule transform;  // ILU.dll
  UniqueModule bitmap;     // ILUT.dll
  UniqueModule matrix;     // d3dx9_35.dll

  decltype(&GlimmoraImageInfo) image_info = nullptr;
  decltype(&GlimmoraImageDecode) image_decode = nullptr;
  decltype(&GlimmoraImageScale) image_scale = nullptr;
  decltype(&GlimmoraImageWarp) image_warp = nullptr;
  decltype(&GlimmoraBitmapFromImage) bitmap_from_image = nullptr;
  decltype(&GlimmoraMatrixMultiply) matrix_multiply = nullptr;
  decltype(&GlimmoraMatrixScaling) matrix_scaling = nullptr;
  decltype(&GlimmoraMatrixTranslation) matrix_translation = nullptr;
  decltype(&GlimmoraMatrixRotationY) matrix_rotation_y = nullptr;
  decltype(&GlimmoraMatrixPerspectiveFov) matrix_perspective_fov = nullptr;
  decltype(&GlimmoraMatrixPlaneHomography) matrix_plane_homography = nullptr;
  decltype(&GlimmoraMatrix3Inverse) matrix3_inverse = nullptr;
};

// All four from `folder` (ending in a backslash), or null when any of them is
// missing, not ours, of another revision, or lacks a function.
std::unique_ptr<Companions> LoadCompanions(const std::wstring& folder);

}  // namespace splash
