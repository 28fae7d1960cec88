// The portable quaternion and plane routines.
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

GxQuaternion Neg(const GxQuaternion& q) { return {-q.x, -q.y, -q.z, -q.w}; }

// q and -q are the same rotation.
::testing::AssertionResult SameRotation(const GxQuaternion& a, const GxQuaternion& b, float tol = 1e-5f) {
  if (Near(a, b, tol)) return ::testing::AssertionSuccess();
  return Near(a, Neg(b), tol);
}

GxQuaternion AxisAngle(float x, float y, float z, float angle) {
  const GxVector3 axis(x, y, z);
  GxQuaternion q;
  portable::QuaternionRotationAxis(&q, &axis, angle);
  return q;
}

TEST(PortableQuaternionTest, MultiplyAppliesTheFirstRotationFirst) {
  Random rng(20);
  for (int i = 0; i < 20; ++i) {
    const GxQuaternion q1 = rng.Rotation(), q2 = rng.Rotation();
    GxQuaternion q;
    portable::QuaternionMultiply(&q, &q1, &q2);
    GxMatrix m1, m2, m, product;
    portable::MatrixRotationQuaternion(&m1, &q1);
    portable::MatrixRotationQuaternion(&m2, &q2);
    portable::MatrixRotationQuaternion(&m, &q);
    portable::MatrixMultiply(&product, &m1, &m2);
    EXPECT_TRUE(Near(m, product, 1e-5f));
    GxQuaternion in_place = q1;
    portable::QuaternionMultiply(&in_place, &in_place, &q2);
    EXPECT_TRUE(SameBits(in_place, q));
  }
}

TEST(PortableQuaternionTest, InverseRules) {
  GxQuaternion out(5, 5, 5, 5);
  const GxQuaternion zero(0, 0, 0, 0);
  portable::QuaternionInverse(&out, &zero);
  EXPECT_EQ(out, zero);
  const GxQuaternion tiny(1e-10f, 0, 0, 0);  // norm 1e-20 <= 2^-63
  portable::QuaternionInverse(&out, &tiny);
  EXPECT_EQ(out, zero);
  // A unit quaternion gives its conjugate exactly, without a division.
  const GxQuaternion unit(0.48f, 0.6f, 0.64f, 0.0f);  // norm 1 within rounding
  portable::QuaternionInverse(&out, &unit);
  EXPECT_EQ(out, GxQuaternion(-0.48f, -0.6f, -0.64f, 0.0f));
  // Otherwise q·q⁻¹ is the identity.
  GxQuaternion q(1, 2, 3, 4), product;
  portable::QuaternionInverse(&out, &q);
  portable::QuaternionMultiply(&product, &q, &out);
  EXPECT_TRUE(Near(product, GxQuaternion(0, 0, 0, 1), 1e-6f));
  portable::QuaternionInverse(&q, &q);
  EXPECT_TRUE(SameBits(q, out));
}

TEST(PortableQuaternionTest, RotationMatrixRoundTripsOnEveryBranch) {
  Random rng(21);
  std::vector<GxQuaternion> cases = {
      AxisAngle(1, 0, 0, 3.0f), AxisAngle(0, 1, 0, 3.0f), AxisAngle(0, 0, 1, 3.0f),  // trace <= 0, each axis largest
      AxisAngle(1, 1, 0, kPi),  // x and y tie
      GxQuaternion(0, 0, 0, 1)};
  for (int i = 0; i < 50; ++i) cases.push_back(rng.Rotation());
  for (const GxQuaternion& q : cases) {
    GxMatrix m;
    GxQuaternion back;
    portable::MatrixRotationQuaternion(&m, &q);
    portable::QuaternionRotationMatrix(&back, &m);
    EXPECT_TRUE(SameRotation(back, q, 2e-5f)) << q.x << " " << q.y << " " << q.z << " " << q.w;
  }
}

TEST(PortableQuaternionTest, YawPitchRollAxisAndAxisAngle) {
  GxQuaternion q;
  portable::QuaternionRotationYawPitchRoll(&q, 0.8f, 0, 0);
  EXPECT_TRUE(Near(q, AxisAngle(0, 1, 0, 0.8f), 1e-6f));
  portable::QuaternionRotationYawPitchRoll(&q, 0, 0.8f, 0);
  EXPECT_TRUE(Near(q, AxisAngle(1, 0, 0, 0.8f), 1e-6f));
  portable::QuaternionRotationYawPitchRoll(&q, 0, 0, 0.8f);
  EXPECT_TRUE(Near(q, AxisAngle(0, 0, 1, 0.8f), 1e-6f));

  const GxQuaternion r = AxisAngle(2, -1, 2, 1.2f);
  GxVector3 axis;
  float angle = 0;
  portable::QuaternionToAxisAngle(&r, &axis, &angle);
  EXPECT_TRUE(Near(axis, GxVector3(2.0f / 3, -1.0f / 3, 2.0f / 3) * std::sin(0.6f), 1e-6f));
  EXPECT_NEAR(angle, 1.2f, 1e-5f);
  // A zero quaternion: axis x, angle 0; either output may be null.
  const GxQuaternion zero(0, 0, 0, 0);
  portable::QuaternionToAxisAngle(&zero, &axis, &angle);
  EXPECT_EQ(axis, GxVector3(1, 0, 0));
  EXPECT_EQ(angle, 0.0f);
  portable::QuaternionToAxisAngle(&r, nullptr, &angle);
  portable::QuaternionToAxisAngle(&r, &axis, nullptr);
  // |w| > 1 (not a unit quaternion) still gives a defined angle.
  const GxQuaternion long_w(0, 0, 0.1f, 3.0f);
  portable::QuaternionToAxisAngle(&long_w, &axis, &angle);
  EXPECT_EQ(angle, 0.0f);
}

TEST(PortableQuaternionTest, SlerpTakesTheShortWay) {
  const GxQuaternion a = AxisAngle(0, 0, 1, 0.2f), b = AxisAngle(0, 0, 1, 1.4f);
  GxQuaternion out, flipped;
  portable::QuaternionSlerp(&out, &a, &b, 0.5f);
  EXPECT_TRUE(Near(out, AxisAngle(0, 0, 1, 0.8f), 1e-6f));
  const GxQuaternion minus_b = Neg(b);
  portable::QuaternionSlerp(&flipped, &a, &minus_b, 0.5f);
  EXPECT_TRUE(Near(flipped, out, 1e-6f));
  portable::QuaternionSlerp(&out, &a, &b, 0.0f);
  EXPECT_TRUE(Near(out, a, 1e-6f));
  portable::QuaternionSlerp(&out, &a, &b, 1.0f);
  EXPECT_TRUE(Near(out, b, 1e-6f));
  // Equal inputs fall back to the linear blend.
  portable::QuaternionSlerp(&out, &a, &a, 0.3f);
  EXPECT_TRUE(Near(out, a, 1e-6f));

  // Barycentric: f = g = 0 gives q1 exactly; g = 1 gives q3.
  const GxQuaternion c = AxisAngle(1, 0, 0, 0.5f);
  portable::QuaternionBaryCentric(&out, &a, &b, &c, 0, 0);
  EXPECT_TRUE(SameBits(out, a));
  portable::QuaternionBaryCentric(&out, &a, &b, &c, 0, 1);
  EXPECT_TRUE(Near(out, c, 1e-5f));
}

TEST(PortableQuaternionTest, LnAndExpAreInverse) {
  Random rng(22);
  for (int i = 0; i < 50; ++i) {
    GxQuaternion q = rng.Rotation();
    if (q.w < 0) q = Neg(q);
    GxQuaternion l, e;
    portable::QuaternionLn(&l, &q);
    EXPECT_EQ(l.w, 0.0f);
    portable::QuaternionExp(&e, &l);
    EXPECT_TRUE(Near(e, q, 2e-5f));
  }
  // The identity has a zero logarithm; a zero vector exponentiates to the identity.
  const GxQuaternion id(0, 0, 0, 1), zero(0, 0, 0, 0);
  GxQuaternion out;
  portable::QuaternionLn(&out, &id);
  EXPECT_EQ(out, zero);
  portable::QuaternionExp(&out, &zero);
  EXPECT_EQ(out, id);
}

TEST(PortableQuaternionTest, SquadThroughEvenTurnsIsSlerp) {
  // Four orientations a steady quarter-radian apart about one axis: the control
  // points collapse onto the keys and Squad runs at constant speed.
  const GxQuaternion q0 = AxisAngle(1, 2, 3, 0.25f), q1 = AxisAngle(1, 2, 3, 0.5f), q2 = AxisAngle(1, 2, 3, 0.75f),
                     q3 = AxisAngle(1, 2, 3, 1.0f);
  GxQuaternion a, b, c;
  const GxQuaternion minus_q0 = Neg(q0);  // from the other hemisphere: aligned first
  portable::QuaternionSquadSetup(&a, &b, &c, &minus_q0, &q1, &q2, &q3);
  EXPECT_TRUE(Near(a, q1, 1e-5f));
  EXPECT_TRUE(Near(b, q2, 1e-5f));
  EXPECT_TRUE(Near(c, q2, 1e-6f));
  GxQuaternion out;
  portable::QuaternionSquad(&out, &q1, &a, &b, &c, 0.5f);
  EXPECT_TRUE(Near(out, AxisAngle(1, 2, 3, 0.625f), 1e-5f));

  // Uneven keys still give a curve through q1 and q2.
  const GxQuaternion r0 = AxisAngle(1, 0, 0, 0.1f), r1 = AxisAngle(0, 1, 0, 0.7f), r2 = AxisAngle(0, 0, 1, 0.4f),
                     r3 = AxisAngle(1, 1, 0, 0.9f);
  portable::QuaternionSquadSetup(&a, &b, &c, &r0, &r1, &r2, &r3);
  portable::QuaternionSquad(&out, &r1, &a, &b, &c, 0.0f);
  EXPECT_TRUE(SameRotation(out, r1));
  portable::QuaternionSquad(&out, &r1, &a, &b, &c, 1.0f);
  EXPECT_TRUE(SameRotation(out, r2));
  EXPECT_NEAR(a.x * a.x + a.y * a.y + a.z * a.z + a.w * a.w, 1.0f, 1e-5f);
}

TEST(PortablePlaneTest, IntersectLine) {
  const GxPlane plane(0, 0, 2, -4);  // z = 2
  const GxVector3 p1(1, 1, 0), p2(3, 5, 4);
  GxVector3 out(7, 7, 7);
  EXPECT_EQ(portable::PlaneIntersectLine(&out, &plane, &p1, &p2), &out);
  EXPECT_TRUE(Near(out, GxVector3(2, 3, 2)));
  // Parallel to the plane: null, output untouched.
  const GxVector3 q1(0, 0, 5), q2(4, -1, 5);
  out = GxVector3(7, 7, 7);
  EXPECT_EQ(portable::PlaneIntersectLine(&out, &plane, &q1, &q2), nullptr);
  EXPECT_EQ(out, GxVector3(7, 7, 7));
  // A degenerate plane with NaN gives a non-finite parameter: null too.
  const GxPlane nan_plane(0, 0, 1, std::nanf(""));
  EXPECT_EQ(portable::PlaneIntersectLine(&out, &nan_plane, &p1, &p2), nullptr);
  EXPECT_EQ(out, GxVector3(7, 7, 7));
}

TEST(PortablePlaneTest, BuildNormalizeAndTransform) {
  const GxVector3 a(1, 0, 0), b(0, 1, 0), c(0, 0, 1);
  GxPlane p;
  portable::PlaneFromPoints(&p, &a, &b, &c);
  const float k = 1.0f / std::sqrt(3.0f);
  EXPECT_TRUE(Near(p, GxPlane(k, k, k, -k), 1e-6f));
  const GxVector3 n(0, 0, 3), point(1, 2, 3);
  portable::PlaneFromPointNormal(&p, &point, &n);
  EXPECT_EQ(p, GxPlane(0, 0, 3, -9));  // normal kept as given

  portable::PlaneNormalize(&p, &p);
  EXPECT_TRUE(Near(p, GxPlane(0, 0, 1, -3)));
  const GxPlane unitish(0.6f, 0.8f, 0.0f, 5.0f), zero(0, 0, 0, 5);
  GxPlane out;
  portable::PlaneNormalize(&out, &unitish);
  EXPECT_TRUE(SameBits(out, unitish));
  portable::PlaneNormalize(&out, &zero);
  EXPECT_EQ(out, GxPlane(0, 0, 0, 0));

  // A plane moved by M: (a, b, c, d) times the inverse transpose keeps points on it.
  GxMatrix m, inv, inv_t;
  const GxVector3 axis(1, 2, 3);
  portable::MatrixRotationAxis(&m, &axis, 0.9f);
  m._41 = 4;
  m._42 = -2;
  portable::MatrixInverse(&inv, nullptr, &m);
  portable::MatrixTranspose(&inv_t, &inv);
  const GxPlane plane(1, 2, 2, -6);
  portable::PlaneTransform(&out, &plane, &inv_t);
  const GxVector3 on_plane(2, 1, 1);
  GxVector3 moved;
  portable::Vec3TransformCoord(&moved, &on_plane, &m);
  EXPECT_NEAR(out.a * moved.x + out.b * moved.y + out.c * moved.z + out.d, 0.0f, 1e-5f);
}

}  // namespace
