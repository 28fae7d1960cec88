// The portable matrix routines and the view and projection builders.
#include <cmath>
#include <numbers>

#include "gfx/math/math_portable.h"
#include "math_test_support.h"

namespace {

namespace portable = gx_math::portable;
using gx_math_test::Near;
using gx_math_test::Random;
using gx_math_test::SameBits;

constexpr float kPi = std::numbers::pi_v<float>;

GxMatrix Product(const GxMatrix& a, const GxMatrix& b) {
  GxMatrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += double(a.m[i][k]) * b.m[k][j];
      r.m[i][j] = float(s);
    }
  return r;
}

GxVector3 Apply(const GxVector3& v, const GxMatrix& m) {
  GxVector3 r;
  portable::Vec3TransformCoord(&r, &v, &m);
  return r;
}

TEST(PortableMatrixTest, MultiplyAllowsEitherOperandAsOutput) {
  Random rng(10);
  const GxMatrix m = rng.Matrix(), n = rng.Matrix();
  GxMatrix expected;
  EXPECT_EQ(portable::MatrixMultiply(&expected, &m, &n), &expected);
  EXPECT_TRUE(Near(expected, Product(m, n)));
  GxMatrix a = m;
  portable::MatrixMultiply(&a, &a, &n);
  EXPECT_TRUE(SameBits(a, expected));
  GxMatrix b = n;
  portable::MatrixMultiply(&b, &m, &b);
  EXPECT_TRUE(SameBits(b, expected));
  GxMatrix t = m;
  portable::MatrixMultiplyTranspose(&t, &t, &n);
  GxMatrix tt;
  portable::MatrixTranspose(&tt, &expected);
  EXPECT_TRUE(SameBits(t, tt));
}

TEST(PortableMatrixTest, TransposeInPlace) {
  GxMatrix m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
  portable::MatrixTranspose(&m, &m);
  EXPECT_EQ(m, GxMatrix(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));
}

TEST(PortableMatrixTest, InverseOfRandomMatricesAndIdentity) {
  Random rng(11);
  for (int i = 0; i < 100; ++i) {
    GxMatrix m = rng.Matrix(), inv;
    float det = 0;
    ASSERT_EQ(portable::MatrixInverse(&inv, &det, &m), &inv);
    EXPECT_NEAR(det, portable::MatrixDeterminant(&m), 1e-4f * std::fabs(det));
    EXPECT_TRUE(Near(Product(m, inv), GxMatrix::Identity(), 1e-5f));
    portable::MatrixInverse(&m, nullptr, &m);  // in place
    EXPECT_TRUE(SameBits(m, inv));
  }
  GxMatrix id = GxMatrix::Identity(), out;
  float det = 0;
  portable::MatrixInverse(&out, &det, &id);
  EXPECT_EQ(out, GxMatrix::Identity());
  EXPECT_EQ(det, 1.0f);
  // Determinant of a known matrix: a scaling by 2, 3, 4 and a shear.
  GxMatrix s;
  portable::MatrixScaling(&s, 2, 3, 4);
  s._21 = 5.0f;
  EXPECT_FLOAT_EQ(portable::MatrixDeterminant(&s), 24.0f);
}

TEST(PortableMatrixTest, SingularInverseFailsButReportsTheDeterminant) {
  const GxMatrix sentinel(9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9);
  struct Case {
    const char* name;
    GxMatrix m;
    float det;
  } cases[] = {
      {"repeated row", GxMatrix(1, 2, 3, 4, 1, 2, 3, 4, 0, 0, 1, 0, 0, 0, 0, 1), 0.0f},
      {"zero", GxMatrix(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 0.0f},
      // det = 1e-40: 1/det overflows float.
      {"tiny determinant", GxMatrix(1e-10f, 0, 0, 0, 0, 1e-10f, 0, 0, 0, 0, 1e-10f, 0, 0, 0, 0, 1e-10f), 1e-40f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GxMatrix out = sentinel;
    float det = 123.0f;
    EXPECT_EQ(portable::MatrixInverse(&out, &det, &c.m), nullptr);
    EXPECT_TRUE(SameBits(out, sentinel));
    EXPECT_NEAR(det, c.det, 1e-45f);
    EXPECT_EQ(portable::MatrixInverse(&out, nullptr, &c.m), nullptr);
  }
}

TEST(PortableMatrixTest, RotationBuildersTurnTheAxesTheRightWay) {
  GxMatrix m;
  const float a = kPi / 2;
  struct Case {
    GxMatrix* (*build)(GxMatrix*, float);
    GxVector3 from, to;
  } cases[] = {
      {portable::MatrixRotationX, {0, 1, 0}, {0, 0, 1}},
      {portable::MatrixRotationY, {0, 0, 1}, {1, 0, 0}},
      {portable::MatrixRotationZ, {1, 0, 0}, {0, 1, 0}},
  };
  for (const Case& c : cases) {
    c.build(&m, a);
    EXPECT_TRUE(Near(Apply(c.from, m), c.to, 1e-6f));
    EXPECT_EQ(m._44, 1.0f);
    EXPECT_EQ(m._41, 0.0f);
  }
  // An unnormalised axis (0, 0, 5) is the z axis.
  GxMatrix z, axis;
  const GxVector3 v(0, 0, 5);
  portable::MatrixRotationZ(&z, 0.7f);
  portable::MatrixRotationAxis(&axis, &v, 0.7f);
  EXPECT_TRUE(Near(axis, z, 1e-6f));
  // A zero axis leaves cos a on the upper diagonal and nothing else.
  const GxVector3 zero(0, 0, 0);
  portable::MatrixRotationAxis(&axis, &zero, 0.7f);
  const float c = std::cos(0.7f);
  EXPECT_TRUE(Near(axis, GxMatrix(c, 0, 0, 0, 0, c, 0, 0, 0, 0, c, 0, 0, 0, 0, 1)));
}

TEST(PortableMatrixTest, QuaternionAndYawPitchRollAgreeWithAxisRotations) {
  Random rng(12);
  for (int i = 0; i < 20; ++i) {
    const GxVector3 axis = rng.Vec3();
    const float angle = rng.Uniform(-kPi, kPi);
    GxQuaternion q;
    GxMatrix from_q, from_axis;
    portable::QuaternionRotationAxis(&q, &axis, angle);
    portable::MatrixRotationQuaternion(&from_q, &q);
    portable::MatrixRotationAxis(&from_axis, &axis, angle);
    EXPECT_TRUE(Near(from_q, from_axis, 1e-5f));

    // Yaw about y, pitch about x, roll about z: roll first, then pitch, then yaw.
    const float yaw = rng.Uniform(-3, 3), pitch = rng.Uniform(-3, 3), roll = rng.Uniform(-3, 3);
    GxMatrix ry, rx, rz, ypr;
    portable::MatrixRotationY(&ry, yaw);
    portable::MatrixRotationX(&rx, pitch);
    portable::MatrixRotationZ(&rz, roll);
    portable::MatrixRotationYawPitchRoll(&ypr, yaw, pitch, roll);
    EXPECT_TRUE(Near(ypr, Product(Product(rz, rx), ry), 1e-5f));
  }
}

TEST(PortableMatrixTest, TransformationComposesScalingRotationAndTranslation) {
  Random rng(13);
  const GxVector3 sc = rng.Vec3(), s(2, 3, 0.5f), rc = rng.Vec3(), t = rng.Vec3();
  const GxQuaternion sr = rng.Rotation(), r = rng.Rotation();
  auto translate = [](const GxVector3& v) {
    GxMatrix m;
    portable::MatrixTranslation(&m, v.x, v.y, v.z);
    return m;
  };
  auto rotate = [](const GxQuaternion& q) {
    GxMatrix m;
    portable::MatrixRotationQuaternion(&m, &q);
    return m;
  };
  GxMatrix scale, sr_t;
  portable::MatrixScaling(&scale, s.x, s.y, s.z);
  const GxMatrix sr_m = rotate(sr);
  portable::MatrixTranspose(&sr_t, &sr_m);
  const GxMatrix scaling_part = Product(Product(Product(Product(translate(-sc), sr_t), scale), rotate(sr)), translate(sc));
  const GxMatrix expected =
      Product(Product(Product(Product(scaling_part, translate(-rc)), rotate(r)), translate(rc)), translate(t));
  GxMatrix m;
  EXPECT_EQ(portable::MatrixTransformation(&m, &sc, &sr, &s, &rc, &r, &t), &m);
  EXPECT_TRUE(Near(m, expected, 1e-4f));

  // Every input is optional; with none the result is the identity.
  portable::MatrixTransformation(&m, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(m, GxMatrix::Identity());
  // A scaling centre applies also without a scaling rotation: the centre stays put.
  portable::MatrixTransformation(&m, &sc, nullptr, &s, nullptr, nullptr, nullptr);
  EXPECT_TRUE(Near(Apply(sc, m), sc, 1e-5f));
  EXPECT_TRUE(Near(Apply(sc + GxVector3(1, 1, 1), m), sc + GxVector3(2, 3, 0.5f), 1e-5f));
  // The rotation centre is a fixed point of the rotation.
  portable::MatrixTransformation(&m, nullptr, nullptr, nullptr, &rc, &r, nullptr);
  EXPECT_TRUE(Near(Apply(rc, m), rc, 1e-5f));

  GxMatrix affine;
  portable::MatrixAffineTransformation(&affine, 2.0f, &rc, &r, &t);
  GxMatrix uniform;
  portable::MatrixScaling(&uniform, 2, 2, 2);
  EXPECT_TRUE(Near(affine, Product(Product(Product(Product(uniform, translate(-rc)), rotate(r)), translate(rc)),
                                   translate(t)),
                   1e-4f));
}

TEST(PortableMatrixTest, ShadowFlattensOntoThePlaneAndReflectMirrors) {
  Random rng(14);
  const GxPlane plane(0, 2, 0, -2);  // y = 1, not normalised
  for (const GxVector4& light : {GxVector4(3, 10, -2, 1), GxVector4(0.3f, 1, 0.2f, 0)}) {
    GxMatrix shadow;
    portable::MatrixShadow(&shadow, &light, &plane);
    for (int i = 0; i < 10; ++i) {
      const GxVector3 p = rng.Vec3(0.9f) + GxVector3(0, 3, 0);  // above the plane, below the light
      const GxVector3 flat = Apply(p, shadow);
      EXPECT_NEAR(flat.y, 1.0f, 1e-4f);
      // The shadow lies on the line from the light through the point.
      const GxVector3 to_light = light.w != 0 ? GxVector3(light.x, light.y, light.z) - p
                                              : GxVector3(light.x, light.y, light.z);
      const GxVector3 to_flat = flat - p;
      const GxVector3 cross(to_light.y * to_flat.z - to_light.z * to_flat.y,
                            to_light.z * to_flat.x - to_light.x * to_flat.z,
                            to_light.x * to_flat.y - to_light.y * to_flat.x);
      EXPECT_NEAR(gx_math_test::Length(cross), 0.0f, 1e-3f);
    }
  }
  GxMatrix mirror;
  portable::MatrixReflect(&mirror, &plane);
  EXPECT_TRUE(Near(Apply(GxVector3(5, 3, 7), mirror), GxVector3(5, -1, 7), 1e-5f));
  EXPECT_TRUE(Near(Apply(GxVector3(-2, 1, 4), mirror), GxVector3(-2, 1, 4), 1e-5f));
  EXPECT_EQ(mirror._14, 0.0f);
  EXPECT_EQ(mirror._44, 1.0f);
}

TEST(ViewProjectionTest, LookAtAndPerspective) {
  const GxVector3 eye(0, 0, 5), at(0, 0, 0), up(0, 1, 0);
  GxMatrix view;
  EXPECT_EQ(GxMatrixLookAtRH(&view, &eye, &at, &up), &view);
  // (The live normalisation may be an approximate one.)
  EXPECT_TRUE(Near(view, GxMatrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1), 2e-6f));
  // The eye maps to the origin, and the target lies ahead on -z.
  const GxVector3 eye2(3, 4, 5), at2(-1, 2, 0);
  GxMatrixLookAtRH(&view, &eye2, &at2, &up);
  EXPECT_TRUE(Near(Apply(eye2, view), GxVector3(0, 0, 0), 1e-5f));
  const GxVector3 ahead = Apply(at2, view);
  EXPECT_NEAR(ahead.x, 0.0f, 1e-5f);
  EXPECT_NEAR(ahead.y, 0.0f, 1e-5f);
  EXPECT_LT(ahead.z, 0.0f);
  // Up along the view direction: x becomes zero, no failure.
  const GxVector3 along(0, 0, 1);
  GxMatrixLookAtRH(&view, &eye, &at, &along);
  EXPECT_EQ(view._11, 0.0f);
  EXPECT_EQ(view._21, 0.0f);
  EXPECT_EQ(view._31, 0.0f);

  GxMatrix proj;
  EXPECT_EQ(GxMatrixPerspectiveFovRH(&proj, kPi / 3, 4.0f / 3.0f, 0.01f, 10000.0f), &proj);
  EXPECT_EQ(proj._44, 0.0f);
  EXPECT_EQ(proj._34, -1.0f);
  EXPECT_FLOAT_EQ(proj._33, 10000.0f / (0.01f - 10000.0f));
  EXPECT_FLOAT_EQ(proj._43, 0.01f * 10000.0f / (0.01f - 10000.0f));
  EXPECT_FLOAT_EQ(proj._22, 1.0f / std::tan(kPi / 6));
  EXPECT_FLOAT_EQ(proj._11, proj._22 * 0.75f);
}

}  // namespace
