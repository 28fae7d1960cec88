// Portable 2-, 3- and 4-vector routines.
#include <cmath>

#include "gfx/math/math_portable.h"
#include "gfx/math/math_scalar.h"

namespace gx_math::portable {

namespace {

// Normalises n floats: unchanged when the squared length is near 1, zero when
// it is at or below the smallest normal float.
template <int N>
void NormalizeN(float* out, const float* in) {
  float s = 0.0f;
  for (int i = 0; i < N; ++i) s += in[i] * in[i];
  if (IsNear(s, 1.0f)) {
    for (int i = 0; i < N; ++i) out[i] = in[i];
    return;
  }
  if (s > kZeroLengthSquared) {
    const float r = 1.0f / std::sqrt(s);
    for (int i = 0; i < N; ++i) out[i] = in[i] * r;
    return;
  }
  for (int i = 0; i < N; ++i) out[i] = 0.0f;
}

// Hermite and Catmull-Rom weights for the four control values.
struct Weights {
  float w0, w1, w2, w3;
};

Weights HermiteWeights(float s) {
  const float s2 = s * s;
  const float s3 = s2 * s;
  return {2.0f * s3 - 3.0f * s2 + 1.0f, s3 - 2.0f * s2 + s, -2.0f * s3 + 3.0f * s2, s3 - s2};
}

Weights CatmullRomWeights(float s) {
  const float s2 = s * s;
  const float s3 = s2 * s;
  return {0.5f * (-s3 + 2.0f * s2 - s), 0.5f * (3.0f * s3 - 5.0f * s2 + 2.0f), 0.5f * (-3.0f * s3 + 4.0f * s2 + s),
          0.5f * (s3 - s2)};
}

template <typename V>
V Combine(const Weights& k, const V& a, const V& b, const V& c, const V& d) {
  return a * k.w0 + b * k.w1 + c * k.w2 + d * k.w3;
}

template <typename V>
V BaryCentric(const V& v1, const V& v2, const V& v3, float f, float g) {
  return v1 + (v2 - v1) * f + (v3 - v1) * g;
}

}  // namespace

GxVector2* Vec2Normalize(GxVector2* out, const GxVector2* v) {
  NormalizeN<2>(&out->x, &v->x);
  return out;
}

GxVector3* Vec3Normalize(GxVector3* out, const GxVector3* v) {
  NormalizeN<3>(&out->x, &v->x);
  return out;
}

// One implementation serves 4-vectors and quaternions.
GxVector4* Vec4Normalize(GxVector4* out, const GxVector4* v) {
  NormalizeN<4>(&out->x, &v->x);
  return out;
}

GxQuaternion* QuaternionNormalize(GxQuaternion* out, const GxQuaternion* q) {
  NormalizeN<4>(&out->x, &q->x);
  return out;
}

GxVector4* Vec2Transform(GxVector4* out, const GxVector2* v, const GxMatrix* m) {
  const float x = v->x, y = v->y;
  *out = GxVector4(x * m->_11 + y * m->_21 + m->_41, x * m->_12 + y * m->_22 + m->_42,
                   x * m->_13 + y * m->_23 + m->_43, x * m->_14 + y * m->_24 + m->_44);
  return out;
}

GxVector4* Vec3Transform(GxVector4* out, const GxVector3* v, const GxMatrix* m) {
  const float x = v->x, y = v->y, z = v->z;
  *out = GxVector4(x * m->_11 + y * m->_21 + z * m->_31 + m->_41, x * m->_12 + y * m->_22 + z * m->_32 + m->_42,
                   x * m->_13 + y * m->_23 + z * m->_33 + m->_43, x * m->_14 + y * m->_24 + z * m->_34 + m->_44);
  return out;
}

GxVector4* Vec4Transform(GxVector4* out, const GxVector4* v, const GxMatrix* m) {
  const float x = v->x, y = v->y, z = v->z, w = v->w;
  *out = GxVector4(x * m->_11 + y * m->_21 + z * m->_31 + w * m->_41,
                   x * m->_12 + y * m->_22 + z * m->_32 + w * m->_42,
                   x * m->_13 + y * m->_23 + z * m->_33 + w * m->_43,
                   x * m->_14 + y * m->_24 + z * m->_34 + w * m->_44);
  return out;
}

GxVector2* Vec2TransformCoord(GxVector2* out, const GxVector2* v, const GxMatrix* m) {
  const float x = v->x, y = v->y;
  float rx = x * m->_11 + y * m->_21 + m->_41;
  float ry = x * m->_12 + y * m->_22 + m->_42;
  const float rw = x * m->_14 + y * m->_24 + m->_44;
  if (!IsNear(rw, 1.0f)) {
    rx /= rw;
    ry /= rw;
  }
  *out = GxVector2(rx, ry);
  return out;
}

GxVector3* Vec3TransformCoord(GxVector3* out, const GxVector3* v, const GxMatrix* m) {
  const float x = v->x, y = v->y, z = v->z;
  float rx = x * m->_11 + y * m->_21 + z * m->_31 + m->_41;
  float ry = x * m->_12 + y * m->_22 + z * m->_32 + m->_42;
  float rz = x * m->_13 + y * m->_23 + z * m->_33 + m->_43;
  const float rw = x * m->_14 + y * m->_24 + z * m->_34 + m->_44;
  if (!IsNear(rw, 1.0f)) {
    rx /= rw;
    ry /= rw;
    rz /= rw;
  }
  *out = GxVector3(rx, ry, rz);
  return out;
}

GxVector2* Vec2TransformNormal(GxVector2* out, const GxVector2* v, const GxMatrix* m) {
  const float x = v->x, y = v->y;
  *out = GxVector2(x * m->_11 + y * m->_21, x * m->_12 + y * m->_22);
  return out;
}

GxVector3* Vec3TransformNormal(GxVector3* out, const GxVector3* v, const GxMatrix* m) {
  const float x = v->x, y = v->y, z = v->z;
  *out = GxVector3(x * m->_11 + y * m->_21 + z * m->_31, x * m->_12 + y * m->_22 + z * m->_32,
                   x * m->_13 + y * m->_23 + z * m->_33);
  return out;
}

GxVector4* Vec4Cross(GxVector4* out, const GxVector4* u, const GxVector4* v, const GxVector4* w) {
  // 2x2 minors of the last two rows (v over w).
  const float xy = v->x * w->y - v->y * w->x;
  const float xz = v->x * w->z - v->z * w->x;
  const float xw = v->x * w->w - v->w * w->x;
  const float yz = v->y * w->z - v->z * w->y;
  const float yw = v->y * w->w - v->w * w->y;
  const float zw = v->z * w->w - v->w * w->z;
  *out = GxVector4(u->y * zw - u->z * yw + u->w * yz, -(u->x * zw - u->z * xw + u->w * xz),
                   u->x * yw - u->y * xw + u->w * xy, -(u->x * yz - u->y * xz + u->z * xy));
  return out;
}

GxVector2* Vec2Hermite(GxVector2* out, const GxVector2* v1, const GxVector2* t1, const GxVector2* v2,
                       const GxVector2* t2, float s) {
  *out = Combine(HermiteWeights(s), *v1, *t1, *v2, *t2);
  return out;
}

GxVector3* Vec3Hermite(GxVector3* out, const GxVector3* v1, const GxVector3* t1, const GxVector3* v2,
                       const GxVector3* t2, float s) {
  *out = Combine(HermiteWeights(s), *v1, *t1, *v2, *t2);
  return out;
}

GxVector4* Vec4Hermite(GxVector4* out, const GxVector4* v1, const GxVector4* t1, const GxVector4* v2,
                       const GxVector4* t2, float s) {
  *out = Combine(HermiteWeights(s), *v1, *t1, *v2, *t2);
  return out;
}

GxVector2* Vec2CatmullRom(GxVector2* out, const GxVector2* v0, const GxVector2* v1, const GxVector2* v2,
                          const GxVector2* v3, float s) {
  *out = Combine(CatmullRomWeights(s), *v0, *v1, *v2, *v3);
  return out;
}

GxVector3* Vec3CatmullRom(GxVector3* out, const GxVector3* v0, const GxVector3* v1, const GxVector3* v2,
                          const GxVector3* v3, float s) {
  *out = Combine(CatmullRomWeights(s), *v0, *v1, *v2, *v3);
  return out;
}

GxVector4* Vec4CatmullRom(GxVector4* out, const GxVector4* v0, const GxVector4* v1, const GxVector4* v2,
                          const GxVector4* v3, float s) {
  *out = Combine(CatmullRomWeights(s), *v0, *v1, *v2, *v3);
  return out;
}

GxVector2* Vec2BaryCentric(GxVector2* out, const GxVector2* v1, const GxVector2* v2, const GxVector2* v3, float f,
                           float g) {
  *out = BaryCentric(*v1, *v2, *v3, f, g);
  return out;
}

GxVector3* Vec3BaryCentric(GxVector3* out, const GxVector3* v1, const GxVector3* v2, const GxVector3* v3, float f,
                           float g) {
  *out = BaryCentric(*v1, *v2, *v3, f, g);
  return out;
}

GxVector4* Vec4BaryCentric(GxVector4* out, const GxVector4* v1, const GxVector4* v2, const GxVector4* v3, float f,
                           float g) {
  *out = BaryCentric(*v1, *v2, *v3, f, g);
  return out;
}

}  // namespace gx_math::portable
