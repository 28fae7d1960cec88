// The x87, SSE and SSE2 sets against the portable routines: the slots each
// set owns, agreement on many random inputs (in place too), and the numeric
// differences each set is allowed at the edges.
#include <cfloat>
#include <cstring>
#include <numbers>
#include <string_view>

#include "gfx/math/cpu_features.h"
#include "gfx/math/dispatch_table.h"
#include "gfx/math/math_portable.h"
#include "gfx/math/rsqrt_segments.h"
#include "gfx/math/simd_isa.h"
#include "math_test_support.h"

namespace {

using gx_math::kPortableMathTable;
using gx_math::SlotAddresses;
using gx_math_test::Near;
using gx_math_test::Random;
using gx_math_test::SameBits;

MathDispatchTable Built(void (*install)(MathDispatchTable&)) {
  MathDispatchTable t = kPortableMathTable;
  install(t);
  return t;
}

// Which slots each set replaces, slot 0 first: 'y' replaced, '-' portable kept;
// for the SSE2 set 's' means it installs the SSE routine, 'o' a routine of its own.
constexpr std::string_view kSseSlots = "yyyyyyyyyyyy-y--yyyyyyy-yy-yy---------------y--yyyyyyyy--";
constexpr std::string_view kSse2Slots = "sssssssossss-o--ossssos-oo-oo-oo---------------ssssssss--";
static_assert(kSseSlots.size() == 57 && kSse2Slots.size() == 57);

TEST(ProcessorSetsTest, EachSetReplacesTheSlotsItOwns) {
  const auto portable = SlotAddresses(kPortableMathTable);
  const auto x87 = SlotAddresses(Built(gx_math::InstallX87Set));
  const auto sse = SlotAddresses(Built(gx_math::InstallSseSet));
  const auto sse2 = SlotAddresses(Built(gx_math::InstallSse2Set));
  const auto sse2_vex = SlotAddresses(Built(gx_math::InstallSse2VexSet));
  for (size_t i = 0; i < 57; ++i) {
    SCOPED_TRACE(testing::Message() << "slot " << i);
    EXPECT_EQ(x87[i] != portable[i], i < 8);
    EXPECT_EQ(sse[i] != portable[i], kSseSlots[i] == 'y');
    switch (kSse2Slots[i]) {
      case 's': EXPECT_EQ(sse2[i], sse[i]); break;
      case 'o': EXPECT_NE(sse2[i], sse[i]); EXPECT_NE(sse2[i], portable[i]); break;
      default: EXPECT_EQ(sse2[i], portable[i]);
    }
    // The VEX build replaces the same slots, each with a routine of its own.
    if (kSse2Slots[i] == '-') {
      EXPECT_EQ(sse2_vex[i], portable[i]);
    } else {
      EXPECT_NE(sse2_vex[i], sse2[i]);
      EXPECT_NE(sse2_vex[i], portable[i]);
    }
  }
}

struct SetCase {
  const char* name;
  void (*install)(MathDispatchTable&);
  bool needs_avx = false;  // runs only on a processor where AVX may run
};

class AgreementTest : public ::testing::TestWithParam<SetCase> {
 protected:
  void SetUp() override {
    if (GetParam().needs_avx && !AvxUsable()) GTEST_SKIP() << "no AVX on this processor";
    set_ = Built(GetParam().install);
  }
  const MathDispatchTable& P() const { return kPortableMathTable; }
  const MathDispatchTable& S() const { return set_; }
  MathDispatchTable set_;
  Random rng_{42};
  static constexpr int kTrials = 500;
};

// Each trial runs the set's routine out of place and in place and compares both
// with the portable result.
TEST_P(AgreementTest, VectorTransforms) {
  for (int i = 0; i < kTrials; ++i) {
    const GxMatrix m = rng_.Matrix();
    const GxVector2 v2 = rng_.Vec2();
    const GxVector3 v3 = rng_.Vec3();
    const GxVector4 v4 = rng_.Vec4();
    GxVector4 a, b;
    P().Vec2Transform(&a, &v2, &m);
    EXPECT_EQ(S().Vec2Transform(&b, &v2, &m), &b);
    EXPECT_TRUE(Near(b, a));
    P().Vec3Transform(&a, &v3, &m);
    S().Vec3Transform(&b, &v3, &m);
    EXPECT_TRUE(Near(b, a));
    P().Vec4Transform(&a, &v4, &m);
    b = v4;
    S().Vec4Transform(&b, &b, &m);
    EXPECT_TRUE(Near(b, a));

    GxVector2 c2, d2 = v2;
    P().Vec2TransformNormal(&c2, &v2, &m);
    S().Vec2TransformNormal(&d2, &d2, &m);
    EXPECT_TRUE(Near(d2, c2));
    P().Vec2TransformCoord(&c2, &v2, &m);
    d2 = v2;
    S().Vec2TransformCoord(&d2, &d2, &m);
    EXPECT_TRUE(Near(d2, c2));

    GxVector3 c3, d3 = v3;
    P().Vec3TransformNormal(&c3, &v3, &m);
    S().Vec3TransformNormal(&d3, &d3, &m);
    EXPECT_TRUE(Near(d3, c3));
    P().Vec3TransformCoord(&c3, &v3, &m);
    d3 = v3;
    EXPECT_EQ(S().Vec3TransformCoord(&d3, &d3, &m), &d3);
    EXPECT_TRUE(Near(d3, c3));
  }
}

TEST_P(AgreementTest, MatrixProductsDeterminantAndInverse) {
  for (int i = 0; i < kTrials; ++i) {
    GxMatrix m = rng_.Matrix();
    const GxMatrix n = rng_.Matrix();
    if (i % 2) {
      for (float& x : m.m[2]) x = -x;  // a negative determinant: the cofactor signs must hold
    }
    GxMatrix a, b = m;
    P().MatrixMultiply(&a, &m, &n);
    S().MatrixMultiply(&b, &b, &n);
    EXPECT_TRUE(Near(b, a));
    b = n;
    S().MatrixMultiply(&b, &m, &b);
    EXPECT_TRUE(Near(b, a));
    P().MatrixMultiplyTranspose(&a, &m, &n);
    b = n;
    S().MatrixMultiplyTranspose(&b, &m, &b);
    EXPECT_TRUE(Near(b, a));

    const float det = P().MatrixDeterminant(&m);
    EXPECT_NEAR(S().MatrixDeterminant(&m), det, 1e-5f * std::fabs(det));
    float det_p = 0, det_s = 0;
    ASSERT_NE(P().MatrixInverse(&a, &det_p, &m), nullptr);
    b = m;
    ASSERT_EQ(S().MatrixInverse(&b, &det_s, &b), &b);
    EXPECT_NEAR(det_s, det_p, 1e-5f * std::fabs(det_p));
    EXPECT_TRUE(Near(b, a, 2e-5f));
  }
}

TEST_P(AgreementTest, NormalizationAndPlanes) {
  for (int i = 0; i < kTrials; ++i) {
    const GxVector3 v3 = rng_.Vec3();
    const GxVector4 v4 = rng_.Vec4();
    const GxQuaternion q(v4.x, v4.y, v4.z, v4.w);
    const GxPlane pl = rng_.Plane();
    GxVector3 a3, b3 = v3;
    P().Vec3Normalize(&a3, &v3);
    S().Vec3Normalize(&b3, &b3);
    EXPECT_TRUE(Near(b3, a3, 2e-6f));
    GxVector4 a4, b4 = v4;
    P().Vec4Normalize(&a4, &v4);
    S().Vec4Normalize(&b4, &b4);
    EXPECT_TRUE(Near(b4, a4, 2e-6f));
    GxQuaternion aq, bq = q;
    P().QuaternionNormalize(&aq, &q);
    S().QuaternionNormalize(&bq, &bq);
    EXPECT_TRUE(Near(bq, aq, 2e-6f));
    GxPlane ap, bp = pl;
    P().PlaneNormalize(&ap, &pl);
    S().PlaneNormalize(&bp, &bp);
    EXPECT_TRUE(Near(bp, ap, 2e-6f));

    const GxVector3 p1 = rng_.Vec3(), p2 = rng_.Vec3(), p3 = rng_.Vec3();
    P().PlaneFromPoints(&ap, &p1, &p2, &p3);
    S().PlaneFromPoints(&bp, &p1, &p2, &p3);
    EXPECT_TRUE(Near(bp, ap, 1e-5f));
    GxVector3 hit_p(0, 0, 0), hit_s(0, 0, 0);
    const bool found = P().PlaneIntersectLine(&hit_p, &pl, &p1, &p2) != nullptr;
    EXPECT_EQ(S().PlaneIntersectLine(&hit_s, &pl, &p1, &p2) != nullptr, found);
    if (found) {
      EXPECT_TRUE(Near(hit_s, hit_p, 1e-4f));
    }

    const GxVector4 u = rng_.Vec4(), w = rng_.Vec4();
    P().Vec4Cross(&a4, &v4, &u, &w);
    b4 = v4;
    S().Vec4Cross(&b4, &b4, &u, &w);
    EXPECT_TRUE(Near(b4, a4, 1e-5f));
  }
}

TEST_P(AgreementTest, ShadowAndReflection) {
  for (int i = 0; i < kTrials; ++i) {
    const GxVector4 light = rng_.Vec4();
    const GxPlane plane = rng_.Plane();
    GxMatrix a, b;
    P().MatrixShadow(&a, &light, &plane);
    S().MatrixShadow(&b, &light, &plane);
    EXPECT_TRUE(Near(b, a, 1e-5f));
    P().MatrixReflect(&a, &plane);
    S().MatrixReflect(&b, &plane);
    EXPECT_TRUE(Near(b, a, 1e-5f));
  }
}

TEST_P(AgreementTest, Quaternions) {
  for (int i = 0; i < kTrials; ++i) {
    const GxQuaternion q1 = rng_.Rotation(), q2 = rng_.Rotation();
    GxQuaternion a, b = q1;
    P().QuaternionMultiply(&a, &q1, &q2);
    S().QuaternionMultiply(&b, &b, &q2);
    EXPECT_TRUE(Near(b, a, 1e-6f));
    const GxVector4 raw = rng_.Vec4(2.0f);
    const GxQuaternion q(raw.x, raw.y, raw.z, raw.w);
    P().QuaternionInverse(&a, &q);
    b = q;
    S().QuaternionInverse(&b, &b);
    EXPECT_TRUE(Near(b, a, 1e-6f));

    GxMatrix m;
    P().MatrixRotationQuaternion(&m, &q1);
    P().QuaternionRotationMatrix(&a, &m);
    S().QuaternionRotationMatrix(&b, &m);
    EXPECT_TRUE(Near(b, a, 2e-6f));

    const float yaw = rng_.Uniform(-20, 20), pitch = rng_.Uniform(-20, 20), roll = rng_.Uniform(-20, 20);
    P().QuaternionRotationYawPitchRoll(&a, yaw, pitch, roll);
    S().QuaternionRotationYawPitchRoll(&b, yaw, pitch, roll);
    EXPECT_TRUE(Near(b, a, 1e-6f));
    GxMatrix ma, mb;
    P().MatrixRotationX(&ma, yaw);
    S().MatrixRotationX(&mb, yaw);
    EXPECT_TRUE(Near(mb, ma, 1e-6f));
    P().MatrixRotationY(&ma, pitch);
    S().MatrixRotationY(&mb, pitch);
    EXPECT_TRUE(Near(mb, ma, 1e-6f));
  }
  // Every branch of the matrix-to-quaternion conversion: trace <= 0 with each axis largest.
  const GxQuaternion turns[] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0.6f, 0.6f, 0.5f, 0.17f}};
  for (const GxQuaternion& q : turns) {
    GxMatrix m;
    GxQuaternion a, b;
    P().MatrixRotationQuaternion(&m, &q);
    P().QuaternionRotationMatrix(&a, &m);
    S().QuaternionRotationMatrix(&b, &m);
    EXPECT_TRUE(Near(b, a, 1e-6f));
  }
}

TEST_P(AgreementTest, Splines) {
  for (int i = 0; i < kTrials; ++i) {
    const float s = rng_.Uniform(-0.5f, 1.5f), f = rng_.Uniform(-1, 1), g = rng_.Uniform(-1, 1);
    const GxVector2 a2 = rng_.Vec2(), b2 = rng_.Vec2(), c2 = rng_.Vec2(), d2 = rng_.Vec2();
    GxVector2 p2, s2 = a2;
    P().Vec2Hermite(&p2, &a2, &b2, &c2, &d2, s);
    S().Vec2Hermite(&s2, &s2, &b2, &c2, &d2, s);
    EXPECT_TRUE(Near(s2, p2, 1e-5f));
    P().Vec2CatmullRom(&p2, &a2, &b2, &c2, &d2, s);
    s2 = d2;
    S().Vec2CatmullRom(&s2, &a2, &b2, &c2, &s2, s);
    EXPECT_TRUE(Near(s2, p2, 1e-5f));
    P().Vec2BaryCentric(&p2, &a2, &b2, &c2, f, g);
    s2 = c2;
    S().Vec2BaryCentric(&s2, &a2, &b2, &s2, f, g);
    EXPECT_TRUE(Near(s2, p2, 1e-5f));

    const GxVector3 a3 = rng_.Vec3(), b3 = rng_.Vec3(), c3 = rng_.Vec3(), d3 = rng_.Vec3();
    GxVector3 p3, s3 = b3;
    P().Vec3Hermite(&p3, &a3, &b3, &c3, &d3, s);
    S().Vec3Hermite(&s3, &a3, &s3, &c3, &d3, s);
    EXPECT_TRUE(Near(s3, p3, 1e-5f));
    P().Vec3CatmullRom(&p3, &a3, &b3, &c3, &d3, s);
    S().Vec3CatmullRom(&s3, &a3, &b3, &c3, &d3, s);
    EXPECT_TRUE(Near(s3, p3, 1e-5f));
    P().Vec3BaryCentric(&p3, &a3, &b3, &c3, f, g);
    s3 = a3;
    S().Vec3BaryCentric(&s3, &s3, &b3, &c3, f, g);
    EXPECT_TRUE(Near(s3, p3, 1e-5f));

    const GxVector4 a4 = rng_.Vec4(), b4 = rng_.Vec4(), c4 = rng_.Vec4(), d4 = rng_.Vec4();
    GxVector4 p4, s4 = c4;
    P().Vec4Hermite(&p4, &a4, &b4, &c4, &d4, s);
    S().Vec4Hermite(&s4, &a4, &b4, &s4, &d4, s);
    EXPECT_TRUE(Near(s4, p4, 1e-5f));
    P().Vec4CatmullRom(&p4, &a4, &b4, &c4, &d4, s);
    S().Vec4CatmullRom(&s4, &a4, &b4, &c4, &d4, s);
    EXPECT_TRUE(Near(s4, p4, 1e-5f));
    P().Vec4BaryCentric(&p4, &a4, &b4, &c4, f, g);
    s4 = b4;
    S().Vec4BaryCentric(&s4, &a4, &s4, &c4, f, g);
    EXPECT_TRUE(Near(s4, p4, 1e-5f));
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, AgreementTest,
                         ::testing::Values(SetCase{"x87", gx_math::InstallX87Set},
                                           SetCase{"SSE", gx_math::InstallSseSet},
                                           SetCase{"SSE2", gx_math::InstallSse2Set},
                                           SetCase{"SSE2_VEX", gx_math::InstallSse2VexSet, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the differences each set is allowed ---------------------------------------------------

TEST(X87SetTest, SegmentTableApproximatesTheReciprocalSquareRoot) {
  EXPECT_EQ(gx_math::kRsqrtSegments[0].slope, -1.41009521484375f);
  EXPECT_EQ(gx_math::kRsqrtSegments[0].intercept, 2.1192612648010254f);
  EXPECT_EQ(gx_math::kRsqrtSegments[1].slope, -1.40185546875f);
  EXPECT_EQ(gx_math::kRsqrtSegments[1].intercept, 2.1151251792907715f);
  for (int i = 0; i < 512; ++i) {
    const double base = i < 256 ? 0.5 : 1.0, width = base / 256;
    const double lo = base + (i & 255) * width;
    for (int k = 0; k <= 8; ++k) {
      const double m = lo + width * k / 8;
      const double r = gx_math::kRsqrtSegments[i].slope * m + gx_math::kRsqrtSegments[i].intercept;
      ASSERT_NEAR(r * std::sqrt(m), 1.0, 1.6e-6) << "segment " << i << " m " << m;
    }
  }
  // The lookup over the whole float range, denormals included.
  for (float s : {1e-44f, 3e-39f, 1.1754944e-38f, 1e-20f, 0.3f, 1.0f, 2.0f, 3.99f, 1e10f, 3e38f}) {
    EXPECT_NEAR(gx_math::SegmentRsqrt(s) * std::sqrt(double(s)), 1.0, 2e-6) << s;
  }
}

TEST(X87SetTest, NormalizeZeroAndUnitRules) {
  const MathDispatchTable x87 = Built(gx_math::InstallX87Set);
  GxVector3 out(7, 7, 7);
  const GxVector3 zero(0, 0, 0);
  x87.Vec3Normalize(&out, &zero);
  EXPECT_EQ(out, zero);
  // Only a zero length counts as zero: a tiny vector still normalises.
  const GxVector3 tiny(1e-20f, 0, 0);
  x87.Vec3Normalize(&out, &tiny);
  EXPECT_NEAR(out.x, 1.0f, 2e-6f);
  // |s - 1| <= 1e-5 returns the input bit for bit (the portable rule would rescale it).
  const GxVector3 almost(0, 0, 1.000004f);
  x87.Vec3Normalize(&out, &almost);
  EXPECT_TRUE(SameBits(out, almost));
  kPortableMathTable.Vec3Normalize(&out, &almost);
  EXPECT_FALSE(SameBits(out, almost));
}

class SimdSetTest : public ::testing::TestWithParam<SetCase> {
 protected:
  void SetUp() override {
    if (GetParam().needs_avx && !AvxUsable()) GTEST_SKIP() << "no AVX on this processor";
    set_ = Built(GetParam().install);
  }
  MathDispatchTable set_;
};

TEST_P(SimdSetTest, NormalizeZeroBoundAndNoUnitShortcut) {
  GxVector3 out(7, 7, 7);
  const GxVector3 below(1e-7f, 1e-8f, 0);  // s ≈ 1e-14 < 2^-46
  set_.Vec3Normalize(&out, &below);
  EXPECT_TRUE(SameBits(out, GxVector3(0, 0, 0)));
  const GxVector3 above(2e-7f, 0, 0);  // s = 4e-14
  set_.Vec3Normalize(&out, &above);
  EXPECT_NEAR(out.x, 1.0f, 1e-6f);
  const GxVector3 almost(0, 0, 1.000004f);
  set_.Vec3Normalize(&out, &almost);
  EXPECT_NEAR(out.z, 1.0f, 5e-7f);
  // The same bound in the other normalisations.
  GxVector4 v4(1e-7f, 0, 1e-8f, 0);
  set_.Vec4Normalize(&v4, &v4);
  EXPECT_EQ(v4, GxVector4(0, 0, 0, 0));
  GxQuaternion q(0, 1e-7f, 0, 0);
  set_.QuaternionNormalize(&q, &q);
  EXPECT_EQ(q, GxQuaternion(0, 0, 0, 0));
  GxPlane p(0, 0, 1e-7f, 5);
  set_.PlaneNormalize(&p, &p);
  EXPECT_EQ(p, GxPlane(0, 0, 0, 0));
}

TEST_P(SimdSetTest, InverseLeavesTheDeterminantOfASingularMatrixUnstored) {
  const GxMatrix sentinel(9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9);
  struct Case {
    const char* name;
    GxMatrix m;
  } cases[] = {
      {"repeated row", GxMatrix(1, 2, 3, 4, 1, 2, 3, 4, 0, 0, 1, 0, 0, 0, 0, 1)},
      {"not a number", GxMatrix(NAN, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)},
      // det = 1e-40 is denormal: no usable reciprocal, so no inverse either.
      {"denormal determinant", GxMatrix(1e-10f, 0, 0, 0, 0, 1e-10f, 0, 0, 0, 0, 1e-10f, 0, 0, 0, 0, 1e-10f)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GxMatrix out = sentinel;
    float det = 123.0f;
    EXPECT_EQ(set_.MatrixInverse(&out, &det, &c.m), nullptr);
    EXPECT_EQ(det, 123.0f);
    EXPECT_TRUE(SameBits(out, sentinel));
  }
  // No overflow test: a small but normal determinant still inverts.
  const GxMatrix small(1e-9f, 0, 0, 0, 0, 1e-9f, 0, 0, 0, 0, 1e-9f, 0, 0, 0, 0, 1e-9f);
  GxMatrix out;
  float det = 0;
  ASSERT_EQ(set_.MatrixInverse(&out, &det, &small), &out);
  EXPECT_FLOAT_EQ(det, 1e-36f);
  EXPECT_NEAR(out._11, 1e9f, 1e3f);
  EXPECT_EQ(out._12, 0.0f);
}

TEST_P(SimdSetTest, TransformCoordAlwaysDivides) {
  GxMatrix m = GxMatrix::Identity();
  m._44 = 1.0f + FLT_EPSILON;  // near 1: the portable routine would not divide
  const GxVector3 v(3e7f, -3e7f, 1.0f);
  GxVector3 out;
  set_.Vec3TransformCoord(&out, &v, &m);
  EXPECT_NEAR(out.x, 3e7f / (1.0f + FLT_EPSILON), 2.0f);
  EXPECT_LT(out.x, 3e7f);
}

TEST_P(SimdSetTest, PolynomialSineAndCosine) {
  constexpr float kQuarter = std::numbers::pi_v<float> / 2;
  std::vector<float> angles = {0.0f, -0.0f, kQuarter, -kQuarter, 2 * kQuarter, 3 * kQuarter, -5 * kQuarter};
  for (int i = -4000; i <= 4000; ++i) angles.push_back(i * 0.025f);
  for (size_t i = 0; i + 4 <= angles.size(); i += 4) {
    const __m128 x = _mm_loadu_ps(&angles[i]);
    __m128 s1, c1, s2, c2;
    gx_math::simd::SseIsa::SinCos(x, &s1, &c1);
    gx_math::simd::Sse2Isa::SinCos(x, &s2, &c2);
    float sa[4], ca[4], sb[4], cb[4];
    _mm_storeu_ps(sa, s1);
    _mm_storeu_ps(ca, c1);
    _mm_storeu_ps(sb, s2);
    _mm_storeu_ps(cb, c2);
    for (int k = 0; k < 4; ++k) {
      const double a = angles[i + k];
      ASSERT_NEAR(sa[k], std::sin(a), 3e-7) << a;
      ASSERT_NEAR(ca[k], std::cos(a), 3e-7) << a;
      ASSERT_EQ(sa[k], sb[k]) << a;  // the two range reductions agree exactly
      ASSERT_EQ(ca[k], cb[k]) << a;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, SimdSetTest,
                         ::testing::Values(SetCase{"SSE", gx_math::InstallSseSet},
                                           SetCase{"SSE2", gx_math::InstallSse2Set},
                                           SetCase{"SSE2_VEX", gx_math::InstallSse2VexSet, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the VEX build of the SSE2 set ------------------------------------------------------------

// Calls the same slot of two tables with the same arguments; true when the
// outputs and the returned pointers agree bit for bit.
template <typename Out, typename Fn, typename... Args>
bool SameOutput(Fn a, Fn b, Args... args) {
  Out x, y;
  std::memset(&x, 0x55, sizeof(x));
  std::memset(&y, 0x55, sizeof(y));
  const bool a_done = a(&x, args...) == &x, b_done = b(&y, args...) == &y;
  return a_done == b_done && SameBits(x, y);
}

// The same routines with the same arithmetic in another encoding: every
// result must be the SSE2 set's, to the bit (a fused multiply-add or another
// order of operations would show here).
TEST(Sse2VexSetTest, GivesTheSse2SetsResultsBitForBit) {
  if (!AvxUsable()) GTEST_SKIP() << "no AVX on this processor";
  const MathDispatchTable sse2 = Built(gx_math::InstallSse2Set), vex = Built(gx_math::InstallSse2VexSet);
  Random rng(7);
  for (int i = 0; i < 300; ++i) {
    SCOPED_TRACE(testing::Message() << "trial " << i);
    const GxMatrix m = rng.Matrix(), n = rng.Matrix();
    const GxVector2 a2 = rng.Vec2(), b2 = rng.Vec2(), c2 = rng.Vec2(), d2 = rng.Vec2();
    const GxVector3 a3 = rng.Vec3(), b3 = rng.Vec3(), c3 = rng.Vec3(), d3 = rng.Vec3();
    const GxVector4 a4 = rng.Vec4(), b4 = rng.Vec4(), c4 = rng.Vec4(), d4 = rng.Vec4();
    const GxPlane plane = rng.Plane();
    const GxQuaternion q1 = rng.Rotation(), q2 = rng.Rotation(), q(a4.x, a4.y, a4.z, a4.w);
    const float s = rng.Uniform(-20, 20), f = rng.Uniform(-1, 1), g = rng.Uniform(-1, 1);
    GxMatrix rotation;
    kPortableMathTable.MatrixRotationQuaternion(&rotation, &q1);

    EXPECT_TRUE(SameOutput<GxVector4>(sse2.Vec2Transform, vex.Vec2Transform, &a2, &m));
    EXPECT_TRUE(SameOutput<GxVector4>(sse2.Vec3Transform, vex.Vec3Transform, &a3, &m));
    EXPECT_TRUE(SameOutput<GxVector4>(sse2.Vec4Transform, vex.Vec4Transform, &a4, &m));
    EXPECT_TRUE(SameOutput<GxVector2>(sse2.Vec2TransformNormal, vex.Vec2TransformNormal, &a2, &m));
    EXPECT_TRUE(SameOutput<GxVector3>(sse2.Vec3TransformNormal, vex.Vec3TransformNormal, &a3, &m));
    EXPECT_TRUE(SameOutput<GxVector2>(sse2.Vec2TransformCoord, vex.Vec2TransformCoord, &a2, &m));
    EXPECT_TRUE(SameOutput<GxVector3>(sse2.Vec3TransformCoord, vex.Vec3TransformCoord, &a3, &m));
    EXPECT_TRUE(SameOutput<GxMatrix>(sse2.MatrixMultiply, vex.MatrixMultiply, &m, &n));
    EXPECT_TRUE(SameOutput<GxMatrix>(sse2.MatrixMultiplyTranspose, vex.MatrixMultiplyTranspose, &m, &n));
    GxMatrix inverse_sse2, inverse_vex;
    float det_sse2 = 0, det_vex = 1;
    ASSERT_NE(sse2.MatrixInverse(&inverse_sse2, &det_sse2, &m), nullptr);
    ASSERT_NE(vex.MatrixInverse(&inverse_vex, &det_vex, &m), nullptr);
    EXPECT_TRUE(SameBits(inverse_vex, inverse_sse2));
    EXPECT_TRUE(SameBits(det_vex, det_sse2));
    const float determinant_sse2 = sse2.MatrixDeterminant(&m), determinant_vex = vex.MatrixDeterminant(&m);
    EXPECT_TRUE(SameBits(determinant_vex, determinant_sse2));

    EXPECT_TRUE(SameOutput<GxVector3>(sse2.Vec3Normalize, vex.Vec3Normalize, &a3));
    EXPECT_TRUE(SameOutput<GxVector4>(sse2.Vec4Normalize, vex.Vec4Normalize, &a4));
    EXPECT_TRUE(SameOutput<GxQuaternion>(sse2.QuaternionNormalize, vex.QuaternionNormalize, &q));
    EXPECT_TRUE(SameOutput<GxPlane>(sse2.PlaneNormalize, vex.PlaneNormalize, &plane));
    EXPECT_TRUE(SameOutput<GxPlane>(sse2.PlaneFromPoints, vex.PlaneFromPoints, &a3, &b3, &c3));
    EXPECT_TRUE(SameOutput<GxVector3>(sse2.PlaneIntersectLine, vex.PlaneIntersectLine, &plane, &a3, &b3));
    EXPECT_TRUE(SameOutput<GxVector4>(sse2.Vec4Cross, vex.Vec4Cross, &a4, &b4, &c4));
    EXPECT_TRUE(SameOutput<GxMatrix>(sse2.MatrixShadow, vex.MatrixShadow, &a4, &plane));
    EXPECT_TRUE(SameOutput<GxMatrix>(sse2.MatrixReflect, vex.MatrixReflect, &plane));

    EXPECT_TRUE(SameOutput<GxQuaternion>(sse2.QuaternionMultiply, vex.QuaternionMultiply, &q1, &q2));
    EXPECT_TRUE(SameOutput<GxQuaternion>(sse2.QuaternionRotationMatrix, vex.QuaternionRotationMatrix, &rotation));
    EXPECT_TRUE(SameOutput<GxQuaternion>(sse2.QuaternionRotationYawPitchRoll, vex.QuaternionRotationYawPitchRoll, s,
                                         f * 10, g * 10));
    EXPECT_TRUE(SameOutput<GxMatrix>(sse2.MatrixRotationX, vex.MatrixRotationX, s));
    EXPECT_TRUE(SameOutput<GxMatrix>(sse2.MatrixRotationY, vex.MatrixRotationY, s));

    EXPECT_TRUE(SameOutput<GxVector2>(sse2.Vec2Hermite, vex.Vec2Hermite, &a2, &b2, &c2, &d2, f));
    EXPECT_TRUE(SameOutput<GxVector2>(sse2.Vec2CatmullRom, vex.Vec2CatmullRom, &a2, &b2, &c2, &d2, f));
    EXPECT_TRUE(SameOutput<GxVector2>(sse2.Vec2BaryCentric, vex.Vec2BaryCentric, &a2, &b2, &c2, f, g));
    EXPECT_TRUE(SameOutput<GxVector3>(sse2.Vec3Hermite, vex.Vec3Hermite, &a3, &b3, &c3, &d3, f));
    EXPECT_TRUE(SameOutput<GxVector3>(sse2.Vec3CatmullRom, vex.Vec3CatmullRom, &a3, &b3, &c3, &d3, f));
    EXPECT_TRUE(SameOutput<GxVector3>(sse2.Vec3BaryCentric, vex.Vec3BaryCentric, &a3, &b3, &c3, f, g));
    EXPECT_TRUE(SameOutput<GxVector4>(sse2.Vec4Hermite, vex.Vec4Hermite, &a4, &b4, &c4, &d4, f));
    EXPECT_TRUE(SameOutput<GxVector4>(sse2.Vec4CatmullRom, vex.Vec4CatmullRom, &a4, &b4, &c4, &d4, f));
    EXPECT_TRUE(SameOutput<GxVector4>(sse2.Vec4BaryCentric, vex.Vec4BaryCentric, &a4, &b4, &c4, f, g));
  }
}

}  // namespace
