// Vector helpers the application needs beside the math library: length, cross
// product, and value-returning forms of normalise and transform.
#pragma once

#include <cmath>

#include "gfx/math/gx_math.h"

namespace vec {

inline float LengthSquared(const GxVector3& v) { return v.x * v.x + v.y * v.y + v.z * v.z; }
inline float Length(const GxVector3& v) { return std::sqrt(LengthSquared(v)); }
inline GxVector3 Cross(const GxVector3& a, const GxVector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline GxVector3 Normalized(const GxVector3& v) {
  GxVector3 out;
  GxVec3Normalize(&out, &v);
  return out;
}
inline GxVector3 TransformNormal(const GxVector3& v, const GxMatrix& m) {
  GxVector3 out;
  GxVec3TransformNormal(&out, &v, &m);
  return out;
}

}  // namespace vec
