// Portable projection to and from window coordinates.
#include "gfx/math/math_portable.h"

namespace gx_math::portable {

namespace {

// world·view·projection of the matrices given (identity when none is).
GxMatrix Combined(const GxMatrix* projection, const GxMatrix* view, const GxMatrix* world) {
  GxMatrix m = GxMatrix::Identity();
  if (world) m = *world;
  if (view) MatrixMultiply(&m, &m, view);
  if (projection) MatrixMultiply(&m, &m, projection);
  return m;
}

}  // namespace

GxVector3* Vec3Project(GxVector3* out, const GxVector3* v, const D3DVIEWPORT8* viewport, const GxMatrix* projection,
                       const GxMatrix* view, const GxMatrix* world) {
  const GxMatrix m = Combined(projection, view, world);
  GxVector3 p;
  Vec3TransformCoord(&p, v, &m);
  if (viewport) {
    const float x = static_cast<float>(viewport->X), y = static_cast<float>(viewport->Y);
    const float w = static_cast<float>(viewport->Width), h = static_cast<float>(viewport->Height);
    p = GxVector3(x + w * (1.0f + p.x) * 0.5f, y + h * (1.0f - p.y) * 0.5f,
                  viewport->MinZ + p.z * (viewport->MaxZ - viewport->MinZ));
  }
  *out = p;
  return out;
}

GxVector3* Vec3Unproject(GxVector3* out, const GxVector3* v, const D3DVIEWPORT8* viewport,
                         const GxMatrix* projection, const GxMatrix* view, const GxMatrix* world) {
  const GxMatrix m = Combined(projection, view, world);
  GxVector3 p = *v;
  if (viewport) {
    const float x = static_cast<float>(viewport->X), y = static_cast<float>(viewport->Y);
    const float w = static_cast<float>(viewport->Width), h = static_cast<float>(viewport->Height);
    p = GxVector3(2.0f * (p.x - x) / w - 1.0f, -(2.0f * (p.y - y) / h - 1.0f),
                  (p.z - viewport->MinZ) / (viewport->MaxZ - viewport->MinZ));
  }
  GxMatrix inverse;
  // A singular combination has no inverse: the output is then the point in
  // normalised device coordinates, untransformed.
  if (MatrixInverse(&inverse, nullptr, &m)) Vec3TransformCoord(&p, &p, &inverse);
  *out = p;
  return out;
}

}  // namespace gx_math::portable
