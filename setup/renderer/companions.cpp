#include "setup/renderer/companions.h"

#include "setup/renderer/ourlibrary.h"

namespace splash {
namespace {

// Loads one companion only after its file has shown it is ours, so a
// foreign library of that name never gets to run its start-up code here.
UniqueModule LoadOurs(const std::wstring& folder, const wchar_t* name) {
  const std::wstring path = folder + name;
  if (!IsOurLibrary(std::u16string(reinterpret_cast<const char16_t*>(path.c_str()), path.size()))) return {};
  UniqueModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  return module;
}

template <typename Function>
bool Take(const UniqueModule& module, const char* name, Function& function) {
  // Through the one pointer type a function cast is meant to go through.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module.get(), name)));
  return function != nullptr;
}

bool IsThisRevision(const UniqueModule& module) {
  decltype(&GlimmoraCompanionVersion) version = nullptr;
  return module && Take(module, "GlimmoraCompanionVersion", version) && version() == GLIMMORA_COMPANION_VERSION;
}

}  // namespace

std::unique_ptr<Companions> LoadCompanions(const std::wstring& folder) {
  auto c = std::make_unique<Companions>();
  c->decoder = LoadOurs(folder, L"DevIL.dll");
  c->transform = LoadOurs(folder, L"ILU.dll");
  c->bitmap = LoadOurs(folder, L"ILUT.dll");
  c->matrix = LoadOurs(folder, L"d3dx9_35.dll");
  for (const UniqueModule* module : {&c->decoder, &c->transform, &c->bitmap, &c->matrix}) {
    if (!IsThisRevision(*module)) return nullptr;
  }
  const bool complete = Take(c->decoder, "GlimmoraImageInfo", c->image_info) &&
                        Take(c->decoder, "GlimmoraImageDecode", c->image_decode) &&
                        Take(c->transform, "GlimmoraImageScale", c->image_scale) &&
                        Take(c->transform, "GlimmoraImageWarp", c->image_warp) &&
                        Take(c->bitmap, "GlimmoraBitmapFromImage", c->bitmap_from_image) &&
                        Take(c->matrix, "GlimmoraMatrixMultiply", c->matrix_multiply) &&
                        Take(c->matrix, "GlimmoraMatrixScaling", c->matrix_scaling) &&
                        Take(c->matrix, "GlimmoraMatrixTranslation", c->matrix_translation) &&
                        Take(c->matrix, "GlimmoraMatrixRotationY", c->matrix_rotation_y) &&
                        Take(c->matrix, "GlimmoraMatrixPerspectiveFov", c->matrix_perspective_fov) &&
                        Take(c->matrix, "GlimmoraMatrixPlaneHomography", c->matrix_plane_homography) &&
                        Take(c->matrix, "GlimmoraMatrix3Inverse", c->matrix3_inverse);
  if (!complete) return nullptr;
  return c;
}

}  // namespace splash
