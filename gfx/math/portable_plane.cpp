// Portable plane routines.
#include <cmath>

#include "gfx/math/math_portable.h"
#include "gfx/math/math_scalar.h"

namespace gx_math::portable {

GxPlane* PlaneNormalize(GxPlane* out, const GxPlane* p) {
  const GxPlane in = *p;
  const float n2 = in.a * in.a + in.b * in.b + in.c * in.c;
  if (IsNear(n2, 1.0f)) {
    *out = in;
  } else if (n2 > kZeroLengthSquared) {
    const float r = 1.0f / std::sqrt(n2);
    *out = GxPlane(in.a * r, in.b * r, in.c * r, in.d * r);
  } else {
    *out = GxPlane(0, 0, 0, 0);
  }
  return out;
}

GxPlane* PlaneFromPointNormal(GxPlane* out, const GxVector3* point, const GxVector3* normal) {
  const GxVector3 n = *normal;
  *out = GxPlane(n.x, n.y, n.z, -(point->x * n.x + point->y * n.y + point->z * n.z));
  return out;
}

GxPlane* PlaneFromPoints(GxPlane* out, const GxVector3* p1, const GxVector3* p2, const GxVector3* p3) {
  const GxVector3 a = *p1 - *p2;
  const GxVector3 b = *p1 - *p3;
  GxVector3 n(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
  Vec3Normalize(&n, &n);
  *out = GxPlane(n.x, n.y, n.z, -(n.x * p1->x + n.y * p1->y + n.z * p1->z));
  return out;
}

GxPlane* PlaneTransform(GxPlane* out, const GxPlane* p, const GxMatrix* m) {
  const GxVector4 v(p->a, p->b, p->c, p->d);
  GxVector4 r;
  Vec4Transform(&r, &v, m);
  *out = GxPlane(r.x, r.y, r.z, r.w);
  return out;
}

GxVector3* PlaneIntersectLine(GxVector3* out, const GxPlane* p, const GxVector3* p1, const GxVector3* p2) {
  const float n1 = p->a * p1->x + p->b * p1->y + p->c * p1->z;
  const float n2 = p->a * p2->x + p->b * p2->y + p->c * p2->z;
  const float den = n1 - n2;
  if (den == 0.0f) return nullptr;  // the line runs parallel to the plane
  const float t = (n1 + p->d) / den;
  if (!std::isfinite(t)) return nullptr;
  *out = *p1 + (*p2 - *p1) * t;
  return out;
}

}  // namespace gx_math::portable
