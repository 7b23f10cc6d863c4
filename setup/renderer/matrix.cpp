// d3dx9_35.dll: the little matrix arithmetic the turning logo needs. Row
// vectors throughout (p * M), so a chain reads in the order it applies.
#include <cmath>
#include <cstdint>

#include "setup/renderer/companion_api.h"

namespace {

GlimmoraMatrix Identity() {
  GlimmoraMatrix m = {};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

}  // namespace

extern "C" {

uint32_t __cdecl GlimmoraCompanionVersion(void) {
  return GLIMMORA_COMPANION_VERSION;
}

void __cdecl GlimmoraMatrixIdentity(GlimmoraMatrix* out) {
  if (out != nullptr) *out = Identity();
}

void __cdecl GlimmoraMatrixMultiply(GlimmoraMatrix* out, const GlimmoraMatrix* a, const GlimmoraMatrix* b) {
  if (out == nullptr || a == nullptr || b == nullptr) return;
  GlimmoraMatrix product = {};  // separate, so out may be a or b
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a->m[row][k] * b->m[k][column];
      product.m[row][column] = sum;
    }
  }
  *out = product;
}

void __cdecl GlimmoraMatrixScaling(GlimmoraMatrix* out, float x, float y, float z) {
  if (out == nullptr) return;
  *out = Identity();
  out->m[0][0] = x;
  out->m[1][1] = y;
  out->m[2][2] = z;
}

void __cdecl GlimmoraMatrixTranslation(GlimmoraMatrix* out, float x, float y, float z) {
  if (out == nullptr) return;
  *out = Identity();
  out->m[3][0] = x;
  out->m[3][1] = y;
  out->m[3][2] = z;
}

void __cdecl GlimmoraMatrixRotationY(GlimmoraMatrix* out, float radians) {
  if (out == nullptr) return;
  const float c = std::cos(radians);
  const float s = std::sin(radians);
  *out = Identity();
  out->m[0][0] = c;
  out->m[0][2] = -s;
  out->m[2][0] = s;
  out->m[2][2] = c;
}

int __cdecl GlimmoraMatrixPerspectiveFov(GlimmoraMatrix* out, float fov_y, float aspect, float z_near,
                                         float z_far) {
  if (out == nullptr || !(fov_y > 0.0f && fov_y < 3.14159f) || !(aspect > 0.0f) || !(z_near > 0.0f) ||
      !(z_far > z_near)) {
    return 0;
  }
  const float y_scale = 1.0f / std::tan(fov_y / 2.0f);
  *out = GlimmoraMatrix{};
  out->m[0][0] = y_scale / aspect;
  out->m[1][1] = y_scale;
  out->m[2][2] = z_far / (z_far - z_near);
  out->m[2][3] = 1.0f;
  out->m[3][2] = -z_near * z_far / (z_far - z_near);
  return 1;
}

void __cdecl GlimmoraMatrixPlaneHomography(GlimmoraMatrix3* out, const GlimmoraMatrix* m) {
  if (out == nullptr || m == nullptr) return;
  static const int kKept[3] = {0, 1, 3};  // x, y and w; z is 0 on the plane and its column is not needed
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) out->m[row][column] = m->m[kKept[row]][kKept[column]];
  }
}

int __cdecl GlimmoraMatrix3Inverse(GlimmoraMatrix3* out, const GlimmoraMatrix3* m) {
  if (out == nullptr || m == nullptr) return 0;
  const float (*a)[3] = m->m;
  GlimmoraMatrix3 adjugate;
  adjugate.m[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
  adjugate.m[0][1] = a[0][2] * a[2][1] - a[0][1] * a[2][2];
  adjugate.m[0][2] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
  adjugate.m[1][0] = a[1][2] * a[2][0] - a[1][0] * a[2][2];
  adjugate.m[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
  adjugate.m[1][2] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
  adjugate.m[2][0] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
  adjugate.m[2][1] = a[0][1] * a[2][0] - a[0][0] * a[2][1];
  adjugate.m[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
  const float determinant = a[0][0] * adjugate.m[0][0] + a[0][1] * adjugate.m[1][0] + a[0][2] * adjugate.m[2][0];
  if (determinant == 0.0f || !std::isfinite(determinant)) return 0;
  for (auto& row : adjugate.m) {
    for (float& value : row) value /= determinant;
  }
  *out = adjugate;
  return 1;
}

}  // extern "C"
