// The x87 set: transforms and products accumulated in extended precision, and a
// normalisation by the segment table with its own zero and unit-length rules.
#include <bit>
#include <cfloat>
#include <cstdint>

#include "gfx/math/dispatch_table.h"
#include "gfx/math/rsqrt_segments.h"

namespace gx_math {

namespace {

using Wide = long double;  // the x87 register format on this target

// |s - 1| at or below this returns the input unchanged.
constexpr float kX87UnitTolerance = 1e-5f;
static_assert(std::bit_cast<uint32_t>(kX87UnitTolerance) == 0x3727C5ACu);

// Row vector (x, y, z, w) times m, rounded to float on store.
void Transform4(float out[4], Wide x, Wide y, Wide z, Wide w, const GxMatrix& m) {
  for (int j = 0; j < 4; ++j) {
    out[j] = static_cast<float>(x * m.m[0][j] + y * m.m[1][j] + z * m.m[2][j] + w * m.m[3][j]);
  }
}

GxVector4* Vec2Transform(GxVector4* out, const GxVector2* v, const GxMatrix* m) {
  float r[4];
  Transform4(r, v->x, v->y, 0, 1, *m);
  *out = GxVector4(r[0], r[1], r[2], r[3]);
  return out;
}

GxVector4* Vec3Transform(GxVector4* out, const GxVector3* v, const GxMatrix* m) {
  float r[4];
  Transform4(r, v->x, v->y, v->z, 1, *m);
  *out = GxVector4(r[0], r[1], r[2], r[3]);
  return out;
}

GxVector4* Vec4Transform(GxVector4* out, const GxVector4* v, const GxMatrix* m) {
  float r[4];
  Transform4(r, v->x, v->y, v->z, v->w, *m);
  *out = GxVector4(r[0], r[1], r[2], r[3]);
  return out;
}

void Product(float (&r)[4][4], const GxMatrix& a, const GxMatrix& b) {
  for (int i = 0; i < 4; ++i) Transform4(r[i], a.m[i][0], a.m[i][1], a.m[i][2], a.m[i][3], b);
}

GxMatrix* MatrixMultiply(GxMatrix* out, const GxMatrix* a, const GxMatrix* b) {
  float r[4][4];
  Product(r, *a, *b);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out->m[i][j] = r[i][j];
  return out;
}

GxMatrix* MatrixMultiplyTranspose(GxMatrix* out, const GxMatrix* a, const GxMatrix* b) {
  float r[4][4];
  Product(r, *a, *b);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out->m[i][j] = r[j][i];
  return out;
}

GxVector2* Vec2TransformNormal(GxVector2* out, const GxVector2* v, const GxMatrix* m) {
  const Wide x = v->x, y = v->y;
  *out = GxVector2(static_cast<float>(x * m->_11 + y * m->_21), static_cast<float>(x * m->_12 + y * m->_22));
  return out;
}

GxVector3* Vec3TransformNormal(GxVector3* out, const GxVector3* v, const GxMatrix* m) {
  const Wide x = v->x, y = v->y, z = v->z;
  *out = GxVector3(static_cast<float>(x * m->_11 + y * m->_21 + z * m->_31),
                   static_cast<float>(x * m->_12 + y * m->_22 + z * m->_32),
                   static_cast<float>(x * m->_13 + y * m->_23 + z * m->_33));
  return out;
}

GxVector3* Vec3Normalize(GxVector3* out, const GxVector3* v) {
  const Wide x = v->x, y = v->y, z = v->z;
  const Wide wide_s = x * x + y * y + z * z;
  const float s = static_cast<float>(wide_s);
  if (std::bit_cast<uint32_t>(s) == 0) {
    *out = GxVector3(0, 0, 0);
  } else if (s - 1.0f <= kX87UnitTolerance && 1.0f - s <= kX87UnitTolerance) {
    *out = *v;
  } else {
    // A denormal float would keep too few bits of s: look up s·2^64 instead.
    const Wide r = s >= FLT_MIN ? Wide(SegmentRsqrt(s))
                                : Wide(SegmentRsqrt(static_cast<float>(wide_s * 0x1p64L))) * 0x1p32L;
    *out = GxVector3(static_cast<float>(x * r), static_cast<float>(y * r), static_cast<float>(z * r));
  }
  return out;
}

}  // namespace

void InstallX87Set(MathDispatchTable& table) {
  table.Vec2Transform = &Vec2Transform;
  table.Vec3Transform = &Vec3Transform;
  table.Vec4Transform = &Vec4Transform;
  table.MatrixMultiply = &MatrixMultiply;
  table.MatrixMultiplyTranspose = &MatrixMultiplyTranspose;
  table.Vec2TransformNormal = &Vec2TransformNormal;
  table.Vec3TransformNormal = &Vec3TransformNormal;
  table.Vec3Normalize = &Vec3Normalize;
}

}  // namespace gx_math
