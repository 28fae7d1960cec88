#include "clipper.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace d3d8pipe;

namespace {

ClipVertex V(float x, float y, float z, float w, float attr0 = 0) {
  ClipVertex v{};
  v.pos[0] = x;
  v.pos[1] = y;
  v.pos[2] = z;
  v.pos[3] = w;
  v.attr[0] = attr0;
  return v;
}

TEST(ClipperTest, NearPlaneCutIsExactAndInterpolatesAttributes) {
  const Clipper clipper(2, 2, 1);
  ClipVertex out[kMaxClippedVertices];
  // One vertex in front of the near plane (z < 0), two behind it.
  const int n = clipper.ClipTriangle(V(0, 0, -1, 1, 0), V(0, 0.5f, 1, 1, 1), V(0.5f, 0, 1, 1, 1), out);
  ASSERT_EQ(n, 4);
  int onPlane = 0;
  for (int i = 0; i < n; ++i) {
    EXPECT_GE(out[i].pos[2], 0.0f);
    if (out[i].pos[2] == 0.0f) {
      ++onPlane;
      EXPECT_FLOAT_EQ(out[i].attr[0], 0.5f);  // half way from 0 to 1
    }
  }
  EXPECT_EQ(onPlane, 2);
}

TEST(ClipperTest, FarPlaneAndGuardBand) {
  const Clipper clipper(2, 2, 0);
  ClipVertex out[kMaxClippedVertices];
  // Two vertices beyond the far plane: the inside one and two cut points remain.
  const int n = clipper.ClipTriangle(V(0, 0, 0.5f, 1), V(0, 0, 3, 1), V(0.1f, 0, 3, 1), out);
  ASSERT_EQ(n, 3);
  for (int i = 0; i < n; ++i) EXPECT_LE(out[i].pos[2], out[i].pos[3] * 1.000001f);
  // Within the guard band nothing is cut, even beyond the viewport edge (|x| > w).
  EXPECT_EQ(clipper.ClipTriangle(V(-1.5f, 0, 0.5f, 1), V(1.5f, 0, 0.5f, 1), V(0, 1.5f, 0.5f, 1), out), 3);
  EXPECT_EQ(clipper.ClipTriangle(V(-5, 0, 0.5f, 1), V(5, 0, 0.5f, 1), V(0, 1, 0.5f, 1), out), 5);  // both sides cut
}

TEST(ClipperTest, RejectsTrianglesOutsideOrNotFinite) {
  const Clipper clipper(2, 2, 0);
  ClipVertex out[kMaxClippedVertices];
  EXPECT_EQ(clipper.ClipTriangle(V(0, 0, -1, 1), V(1, 0, -2, 1), V(0, 1, -1, 1), out), 0);
  EXPECT_EQ(clipper.ClipTriangle(V(0, 0, 0.5f, 1), V(NAN, 0, 0.5f, 1), V(0, 1, 0.5f, 1), out), 0);
  // Behind the eye (w < 0) everything fails the near plane too.
  EXPECT_EQ(clipper.ClipTriangle(V(0, 0, -2, -1), V(1, 0, -2, -1), V(0, 1, -2, -1), out), 0);
}

TEST(ClipperTest, LineIsCutToTheVolume) {
  const Clipper clipper(1, 1, 1);
  ClipVertex a = V(0, 0, -1, 1, 0), b = V(0, 0, 3, 1, 4);
  ASSERT_TRUE(clipper.ClipLine(a, b));
  EXPECT_FLOAT_EQ(a.pos[2], 0.0f);
  EXPECT_FLOAT_EQ(a.attr[0], 1.0f);
  EXPECT_FLOAT_EQ(b.pos[2], 1.0f);
  EXPECT_FLOAT_EQ(b.attr[0], 2.0f);
  ClipVertex c = V(2, 0, 0.5f, 1), d = V(3, 0, 0.5f, 1);
  EXPECT_FALSE(clipper.ClipLine(c, d));
}

}  // namespace
