// The right-handed view and projection builders (plain functions, not dispatched).
#include <cmath>

#include "gfx/math/gx_math.h"

namespace {

GxVector3 Cross(const GxVector3& a, const GxVector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const GxVector3& a, const GxVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

GxMatrix* GxMatrixLookAtRH(GxMatrix* out, const GxVector3* eye, const GxVector3* at, const GxVector3* up) {
  const GxVector3 e = *eye;
  GxVector3 z = e - *at;
  GxVec3Normalize(&z, &z);
  GxVector3 x = Cross(*up, z);
  GxVec3Normalize(&x, &x);  // an up vector along the view direction gives x = 0
  const GxVector3 y = Cross(z, x);
  *out = GxMatrix(x.x, y.x, z.x, 0,  //
                  x.y, y.y, z.y, 0,  //
                  x.z, y.z, z.z, 0,  //
                  -Dot(x, e), -Dot(y, e), -Dot(z, e), 1);
  return out;
}

GxMatrix* GxMatrixPerspectiveFovRH(GxMatrix* out, float fovy, float aspect, float zn, float zf) {
  const float h = fovy * 0.5f;
  const float c = std::cos(h) / std::sin(h);
  *out = GxMatrix(c / aspect, 0, 0, 0,  //
                  0, c, 0, 0,           //
                  0, 0, zf / (zn - zf), -1,  //
                  0, 0, zn * zf / (zn - zf), 0);
  return out;
}
