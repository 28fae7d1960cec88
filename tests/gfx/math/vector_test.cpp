// The portable vector routines: normalisation rules, transforms and interpolation.
#include <cfloat>

#include "gfx/math/math_portable.h"
#include "math_test_support.h"

namespace {

namespace portable = gx_math::portable;
using gx_math_test::Near;
using gx_math_test::Random;
using gx_math_test::SameBits;

TEST(PortableNormalizeTest, ZeroAndDenormalLengthsGiveZero) {
  const float tiny = 1e-20f;  // squares underflow below the smallest normal float
  for (const GxVector3& v : {GxVector3(0, 0, 0), GxVector3(tiny, 0, 0), GxVector3(-tiny, tiny, tiny)}) {
    GxVector3 out(7, 7, 7);
    EXPECT_EQ(portable::Vec3Normalize(&out, &v), &out);
    EXPECT_EQ(out, GxVector3(0, 0, 0));
  }
  const GxVector2 v2(tiny, tiny);
  GxVector2 out2(7, 7);
  portable::Vec2Normalize(&out2, &v2);
  EXPECT_EQ(out2, GxVector2(0, 0));
  const GxVector4 v4(0, 0, 0, 0);
  GxVector4 out4(7, 7, 7, 7);
  portable::Vec4Normalize(&out4, &v4);
  EXPECT_EQ(out4, GxVector4(0, 0, 0, 0));
}

TEST(PortableNormalizeTest, NearUnitLengthIsReturnedBitForBit) {
  // Squared length 1 + 2^-24: within the unit tolerance, so not rescaled.
  const GxVector3 v(0.6f, 0.8f, std::sqrt(0x1p-24f));
  GxVector3 out;
  portable::Vec3Normalize(&out, &v);
  EXPECT_TRUE(SameBits(out, v));
  // Just outside the tolerance the vector is rescaled.
  const GxVector3 w(0.0f, 0.0f, 1.0f + 0x1p-21f);
  portable::Vec3Normalize(&out, &w);
  EXPECT_FLOAT_EQ(out.z, 1.0f);
  EXPECT_NE(out.z, w.z);
}

TEST(PortableNormalizeTest, GivesUnitVectorsInPlace) {
  Random rng(1);
  for (int i = 0; i < 200; ++i) {
    GxVector3 v = rng.Vec3(100.0f);
    const GxVector3 original = v;
    portable::Vec3Normalize(&v, &v);
    EXPECT_NEAR(gx_math_test::Length(v), 1.0f, 2e-7f);
    EXPECT_NEAR(gx_math_test::Dot(v, original), gx_math_test::Length(original), 1e-4f);
    GxVector4 q = rng.Vec4(100.0f);
    portable::Vec4Normalize(&q, &q);
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 5e-7f);
    GxVector2 u = rng.Vec2(100.0f);
    portable::Vec2Normalize(&u, &u);
    EXPECT_NEAR(u.x * u.x + u.y * u.y, 1.0f, 5e-7f);
  }
}

TEST(PortableTransformTest, CoordDividesByWUnlessNearOne) {
  GxMatrix m = GxMatrix::Identity();
  m._44 = 2.0f;  // w' = 2
  const GxVector3 v(2, 4, 6);
  GxVector3 out;
  EXPECT_EQ(portable::Vec3TransformCoord(&out, &v, &m), &out);
  EXPECT_EQ(out, GxVector3(1, 2, 3));
  const GxVector2 v2(2, 4);
  GxVector2 out2;
  portable::Vec2TransformCoord(&out2, &v2, &m);
  EXPECT_EQ(out2, GxVector2(1, 2));

  // w' within 2^-23 of 1 is not divided by.
  m._44 = 1.0f + FLT_EPSILON;
  const GxVector3 big(3e7f, 0, 0);
  portable::Vec3TransformCoord(&out, &big, &m);
  EXPECT_EQ(out.x, 3e7f);
}

TEST(PortableTransformTest, AffineTransformsMatchTheRowVectorProduct) {
  Random rng(2);
  for (int i = 0; i < 50; ++i) {
    GxMatrix m = rng.Matrix();
    m._14 = m._24 = m._34 = 0.0f;
    m._44 = 1.0f;
    GxVector3 v = rng.Vec3();
    GxVector4 full;
    portable::Vec3Transform(&full, &v, &m);
    EXPECT_EQ(full.w, 1.0f);
    const GxVector4 by_hand(v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41,
                            v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42,
                            v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43, 1.0f);
    EXPECT_TRUE(Near(full, by_hand));
    GxVector3 normal;
    portable::Vec3TransformNormal(&normal, &v, &m);
    EXPECT_TRUE(Near(normal, GxVector3(by_hand.x - m._41, by_hand.y - m._42, by_hand.z - m._43), 1e-4f));
    // In place, every output reads the original input.
    portable::Vec3TransformCoord(&v, &v, &m);
    EXPECT_TRUE(Near(v, GxVector3(by_hand.x, by_hand.y, by_hand.z)));
  }
  // A 2-vector is (x, y, 0, 1); a 4-vector carries its own w.
  const GxMatrix m = rng.Matrix();
  const GxVector2 v2(1.5f, -2.0f);
  const GxVector4 v4(1.5f, -2.0f, 0.0f, 1.0f);
  GxVector4 a, b;
  portable::Vec2Transform(&a, &v2, &m);
  portable::Vec4Transform(&b, &v4, &m);
  EXPECT_TRUE(Near(a, b));
  GxVector2 n2;
  portable::Vec2TransformNormal(&n2, &v2, &m);
  EXPECT_TRUE(Near(n2, GxVector2(b.x - m._41, b.y - m._42)));
}

TEST(PortableVectorTest, Vec4CrossIsOrthogonalToAllThree) {
  Random rng(3);
  for (int i = 0; i < 50; ++i) {
    const GxVector4 u = rng.Vec4(), v = rng.Vec4(), w = rng.Vec4();
    GxVector4 c;
    portable::Vec4Cross(&c, &u, &v, &w);
    for (const GxVector4& x : {u, v, w}) {
      EXPECT_NEAR(c.x * x.x + c.y * x.y + c.z * x.z + c.w * x.w, 0.0f, 0.05f);
    }
  }
  // The basis: x × y × z = -w with this orientation, and in place works.
  GxVector4 e1(1, 0, 0, 0), e2(0, 1, 0, 0), e3(0, 0, 1, 0);
  portable::Vec4Cross(&e1, &e1, &e2, &e3);
  EXPECT_EQ(e1, GxVector4(0, 0, 0, -1));
}

TEST(PortableVectorTest, SplinesHitTheirControlPoints) {
  Random rng(4);
  const GxVector3 a = rng.Vec3(), b = rng.Vec3(), c = rng.Vec3(), d = rng.Vec3();
  GxVector3 out;
  portable::Vec3Hermite(&out, &a, &b, &c, &d, 0.0f);
  EXPECT_TRUE(Near(out, a));
  portable::Vec3Hermite(&out, &a, &b, &c, &d, 1.0f);
  EXPECT_TRUE(Near(out, c));
  // The Hermite tangent at s = 0 is t1: a small step moves along it.
  portable::Vec3Hermite(&out, &a, &b, &c, &d, 1e-3f);
  EXPECT_TRUE(Near((out - a) * 1e3f, b, 0.05f));
  portable::Vec3CatmullRom(&out, &a, &b, &c, &d, 0.0f);
  EXPECT_TRUE(Near(out, b));
  portable::Vec3CatmullRom(&out, &a, &b, &c, &d, 1.0f);
  EXPECT_TRUE(Near(out, c));
  // Catmull-Rom through evenly spaced points on a line stays on it.
  const GxVector3 p0(0, 0, 0), p1(1, 2, 3), p2(2, 4, 6), p3(3, 6, 9);
  portable::Vec3CatmullRom(&out, &p0, &p1, &p2, &p3, 0.25f);
  EXPECT_TRUE(Near(out, GxVector3(1.25f, 2.5f, 3.75f)));
  portable::Vec3BaryCentric(&out, &a, &b, &c, 0.0f, 1.0f);
  EXPECT_TRUE(Near(out, c));
  portable::Vec3BaryCentric(&out, &a, &b, &c, 0.25f, 0.25f);
  EXPECT_TRUE(Near(out, a * 0.5f + b * 0.25f + c * 0.25f));

  const GxVector2 a2(1, 2), b2(3, 4), c2(5, 6), d2(7, 8);
  GxVector2 out2;
  portable::Vec2Hermite(&out2, &a2, &b2, &c2, &d2, 1.0f);
  EXPECT_TRUE(Near(out2, c2));
  portable::Vec2CatmullRom(&out2, &a2, &b2, &c2, &d2, 0.5f);
  EXPECT_TRUE(Near(out2, GxVector2(4, 5)));
  portable::Vec2BaryCentric(&out2, &a2, &b2, &c2, 1.0f, 0.0f);
  EXPECT_TRUE(Near(out2, b2));
  const GxVector4 a4(1, 2, 3, 4), b4(2, 3, 4, 5), c4(3, 4, 5, 6), d4(4, 5, 6, 7);
  GxVector4 out4;
  portable::Vec4Hermite(&out4, &a4, &b4, &c4, &d4, 0.0f);
  EXPECT_TRUE(Near(out4, a4));
  portable::Vec4CatmullRom(&out4, &a4, &b4, &c4, &d4, 0.5f);
  EXPECT_TRUE(Near(out4, GxVector4(2.5f, 3.5f, 4.5f, 5.5f)));
  portable::Vec4BaryCentric(&out4, &a4, &b4, &c4, 0.5f, 0.5f);
  EXPECT_TRUE(Near(out4, GxVector4(2.5f, 3.5f, 4.5f, 5.5f)));
}

TEST(PortableProjectTest, ProjectAndUnprojectAreInverse) {
  Random rng(5);
  GxMatrix world, view, proj;
  const GxVector3 eye(3, 4, 12), at(0, 0, 0), up(0, 1, 0);
  GxMatrixLookAtRH(&view, &eye, &at, &up);
  GxMatrixPerspectiveFovRH(&proj, 0.9f, 4.0f / 3.0f, 0.5f, 100.0f);
  portable::MatrixRotationY(&world, 0.3f);
  const D3DVIEWPORT8 viewport{10, 20, 640, 480, 0.0f, 1.0f};
  for (int i = 0; i < 50; ++i) {
    const GxVector3 p = rng.Vec3(3.0f);
    GxVector3 screen, back;
    portable::Vec3Project(&screen, &p, &viewport, &proj, &view, &world);
    EXPECT_GE(screen.z, 0.0f);
    EXPECT_LE(screen.z, 1.0f);
    portable::Vec3Unproject(&back, &screen, &viewport, &proj, &view, &world);
    EXPECT_TRUE(Near(back, p, 2e-3f));
  }
  // The centre of the view lands in the middle of the viewport.
  GxVector3 centre;
  portable::Vec3Project(&centre, &at, &viewport, &proj, &view, nullptr);
  EXPECT_NEAR(centre.x, 10 + 320, 1e-3f);
  EXPECT_NEAR(centre.y, 20 + 240, 1e-3f);
  // Without matrices and viewport both are the identity.
  const GxVector3 q(0.25f, -0.5f, 0.75f);
  portable::Vec3Project(&centre, &q, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(centre, q);
  // A singular combination still gives a defined point.
  GxMatrix flat;
  portable::MatrixScaling(&flat, 1, 1, 0);
  GxVector3 out(9, 9, 9);
  portable::Vec3Unproject(&out, &q, &viewport, nullptr, nullptr, &flat);
  EXPECT_TRUE(std::isfinite(out.x) && std::isfinite(out.y) && std::isfinite(out.z));
}

}  // namespace
