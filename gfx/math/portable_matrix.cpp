// Portable matrix routines: products, inverse, builders and composite transforms.
#include <cmath>
#include <cstring>

#include "gfx/math/math_portable.h"
#include "gfx/math/math_scalar.h"

namespace gx_math::portable {

namespace {

void Product(float (&r)[4][4], const GxMatrix& a, const GxMatrix& b) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
  }
}

// The adjugate (transposed cofactor matrix) and determinant, from the 2x2
// minors of rows 1-2 and rows 3-4.
struct Adjugate {
  float m[4][4];
  float det;
};

Adjugate ComputeAdjugate(const GxMatrix& a) {
  const auto& m = a.m;
  const float s0 = m[0][0] * m[1][1] - m[0][1] * m[1][0];
  const float s1 = m[0][0] * m[1][2] - m[0][2] * m[1][0];
  const float s2 = m[0][0] * m[1][3] - m[0][3] * m[1][0];
  const float s3 = m[0][1] * m[1][2] - m[0][2] * m[1][1];
  const float s4 = m[0][1] * m[1][3] - m[0][3] * m[1][1];
  const float s5 = m[0][2] * m[1][3] - m[0][3] * m[1][2];
  const float c0 = m[2][0] * m[3][1] - m[2][1] * m[3][0];
  const float c1 = m[2][0] * m[3][2] - m[2][2] * m[3][0];
  const float c2 = m[2][0] * m[3][3] - m[2][3] * m[3][0];
  const float c3 = m[2][1] * m[3][2] - m[2][2] * m[3][1];
  const float c4 = m[2][1] * m[3][3] - m[2][3] * m[3][1];
  const float c5 = m[2][2] * m[3][3] - m[2][3] * m[3][2];
  Adjugate r;
  r.m[0][0] = m[1][1] * c5 - m[1][2] * c4 + m[1][3] * c3;
  r.m[0][1] = -m[0][1] * c5 + m[0][2] * c4 - m[0][3] * c3;
  r.m[0][2] = m[3][1] * s5 - m[3][2] * s4 + m[3][3] * s3;
  r.m[0][3] = -m[2][1] * s5 + m[2][2] * s4 - m[2][3] * s3;
  r.m[1][0] = -m[1][0] * c5 + m[1][2] * c2 - m[1][3] * c1;
  r.m[1][1] = m[0][0] * c5 - m[0][2] * c2 + m[0][3] * c1;
  r.m[1][2] = -m[3][0] * s5 + m[3][2] * s2 - m[3][3] * s1;
  r.m[1][3] = m[2][0] * s5 - m[2][2] * s2 + m[2][3] * s1;
  r.m[2][0] = m[1][0] * c4 - m[1][1] * c2 + m[1][3] * c0;
  r.m[2][1] = -m[0][0] * c4 + m[0][1] * c2 - m[0][3] * c0;
  r.m[2][2] = m[3][0] * s4 - m[3][1] * s2 + m[3][3] * s0;
  r.m[2][3] = -m[2][0] * s4 + m[2][1] * s2 - m[2][3] * s0;
  r.m[3][0] = -m[1][0] * c3 + m[1][1] * c1 - m[1][2] * c0;
  r.m[3][1] = m[0][0] * c3 - m[0][1] * c1 + m[0][2] * c0;
  r.m[3][2] = -m[3][0] * s3 + m[3][1] * s1 - m[3][2] * s0;
  r.m[3][3] = m[2][0] * s3 - m[2][1] * s1 + m[2][2] * s0;
  r.det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
  return r;
}

void SetIdentity(GxMatrix* out) { *out = GxMatrix::Identity(); }

// m = m · R, where R is the rotation of q, about `centre` when given.
void RotateAbout(GxMatrix& m, const GxQuaternion& q, const GxVector3* centre) {
  if (centre) {
    m._41 -= centre->x;
    m._42 -= centre->y;
    m._43 -= centre->z;
  }
  GxMatrix r;
  MatrixRotationQuaternion(&r, &q);
  MatrixMultiply(&m, &m, &r);
  if (centre) {
    m._41 += centre->x;
    m._42 += centre->y;
    m._43 += centre->z;
  }
}

}  // namespace

GxMatrix* MatrixMultiply(GxMatrix* out, const GxMatrix* a, const GxMatrix* b) {
  float r[4][4];
  Product(r, *a, *b);
  std::memcpy(out->m, r, sizeof(r));
  return out;
}

GxMatrix* MatrixMultiplyTranspose(GxMatrix* out, const GxMatrix* a, const GxMatrix* b) {
  float r[4][4];
  Product(r, *a, *b);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out->m[i][j] = r[j][i];
  return out;
}

GxMatrix* MatrixTranspose(GxMatrix* out, const GxMatrix* m) {
  const GxMatrix t = *m;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out->m[i][j] = t.m[j][i];
  return out;
}

float MatrixDeterminant(const GxMatrix* m) { return ComputeAdjugate(*m).det; }

GxMatrix* MatrixInverse(GxMatrix* out, float* determinant, const GxMatrix* m) {
  const Adjugate adj = ComputeAdjugate(*m);
  if (determinant) *determinant = adj.det;  // reported even for a singular matrix
  const float r = 1.0f / adj.det;
  if (!std::isfinite(r)) return nullptr;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out->m[i][j] = adj.m[i][j] * r;
  return out;
}

GxMatrix* MatrixScaling(GxMatrix* out, float sx, float sy, float sz) {
  *out = GxMatrix(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
  return out;
}

GxMatrix* MatrixTranslation(GxMatrix* out, float x, float y, float z) {
  *out = GxMatrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
  return out;
}

GxMatrix* MatrixRotationX(GxMatrix* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  *out = GxMatrix(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
  return out;
}

GxMatrix* MatrixRotationY(GxMatrix* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  *out = GxMatrix(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
  return out;
}

GxMatrix* MatrixRotationZ(GxMatrix* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  *out = GxMatrix(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
  return out;
}

GxMatrix* MatrixRotationAxis(GxMatrix* out, const GxVector3* axis, float angle) {
  GxVector3 n;
  Vec3Normalize(&n, axis);  // a zero axis stays zero
  const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
  const float x = n.x, y = n.y, z = n.z;
  *out = GxMatrix(t * x * x + c, t * x * y + z * s, t * x * z - y * s, 0,  //
                  t * x * y - z * s, t * y * y + c, t * y * z + x * s, 0,  //
                  t * x * z + y * s, t * y * z - x * s, t * z * z + c, 0,  //
                  0, 0, 0, 1);
  return out;
}

GxMatrix* MatrixRotationQuaternion(GxMatrix* out, const GxQuaternion* q) {
  const float x = q->x, y = q->y, z = q->z, w = q->w;
  *out = GxMatrix(1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y + z * w), 2.0f * (x * z - y * w), 0,  //
                  2.0f * (x * y - z * w), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z + x * w), 0,  //
                  2.0f * (x * z + y * w), 2.0f * (y * z - x * w), 1.0f - 2.0f * (x * x + y * y), 0,  //
                  0, 0, 0, 1);
  return out;
}

GxMatrix* MatrixRotationYawPitchRoll(GxMatrix* out, float yaw, float pitch, float roll) {
  GxQuaternion q;
  QuaternionRotationYawPitchRoll(&q, yaw, pitch, roll);
  return MatrixRotationQuaternion(out, &q);
}

GxMatrix* MatrixTransformation(GxMatrix* out, const GxVector3* scalingCenter, const GxQuaternion* scalingRotation,
                               const GxVector3* scaling, const GxVector3* rotationCenter,
                               const GxQuaternion* rotation, const GxVector3* translation) {
  GxMatrix m;
  if (scaling) {
    MatrixScaling(&m, scaling->x, scaling->y, scaling->z);
  } else {
    SetIdentity(&m);
  }
  if (scalingRotation) {
    // Scale along the axes of the scaling rotation: Rᵀ·S·R.
    GxMatrix r, rt;
    MatrixRotationQuaternion(&r, scalingRotation);
    MatrixTranspose(&rt, &r);
    MatrixMultiply(&m, &rt, &m);
    MatrixMultiply(&m, &m, &r);
  }
  if (scalingCenter) {
    // Scaling about the centre: translate by -c, scale, translate by +c. The
    // first translation row, scaled, becomes -c·S'.
    GxVector3 shifted;
    const GxVector3 negated = -*scalingCenter;
    Vec3TransformNormal(&shifted, &negated, &m);
    m._41 += shifted.x + scalingCenter->x;
    m._42 += shifted.y + scalingCenter->y;
    m._43 += shifted.z + scalingCenter->z;
  }
  if (rotation) RotateAbout(m, *rotation, rotationCenter);
  if (translation) {
    m._41 += translation->x;
    m._42 += translation->y;
    m._43 += translation->z;
  }
  *out = m;
  return out;
}

GxMatrix* MatrixAffineTransformation(GxMatrix* out, float scaling, const GxVector3* rotationCenter,
                                     const GxQuaternion* rotation, const GxVector3* translation) {
  GxMatrix m;
  MatrixScaling(&m, scaling, scaling, scaling);
  if (rotation) RotateAbout(m, *rotation, rotationCenter);
  if (translation) {
    m._41 += translation->x;
    m._42 += translation->y;
    m._43 += translation->z;
  }
  *out = m;
  return out;
}

GxMatrix* MatrixShadow(GxMatrix* out, const GxVector4* light, const GxPlane* plane) {
  GxPlane p;
  PlaneNormalize(&p, plane);
  const float l[4] = {light->x, light->y, light->z, light->w};
  const float n[4] = {p.a, p.b, p.c, p.d};
  const float d = n[0] * l[0] + n[1] * l[1] + n[2] * l[2] + n[3] * l[3];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out->m[i][j] = (i == j ? d : 0.0f) - n[i] * l[j];
  return out;
}

GxMatrix* MatrixReflect(GxMatrix* out, const GxPlane* plane) {
  GxPlane p;
  PlaneNormalize(&p, plane);
  const float n[3] = {p.a, p.b, p.c};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) out->m[i][j] = (i == j ? 1.0f : 0.0f) - 2.0f * n[i] * n[j];
    out->m[i][3] = 0.0f;
    out->m[3][i] = -2.0f * p.d * n[i];
  }
  out->m[3][3] = 1.0f;
  return out;
}

}  // namespace gx_math::portable
