#include "triangle_setup.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "rasterizer.h"

using namespace d3d8pipe;

namespace {

constexpr int kSize = 48;

struct Coverage {
  std::vector<int> hits = std::vector<int>(kSize * kSize, 0);
};

void Count(const void* context, const RasterPrimitive&, int y, int x0, int x1) {
  auto& c = *static_cast<Coverage*>(const_cast<void*>(context));
  for (int x = x0; x <= x1; ++x) ++c.hits[y * kSize + x];
}

ScreenVertex At(float x, float y) {
  ScreenVertex v{};
  v.x = x;
  v.y = y;
  v.invW = 1;
  return v;
}

SetupOptions Options(DWORD cull) { return SetupOptions{cull, 0, {0, 0, kSize - 1, kSize - 1}}; }

bool Draw(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, DWORD cull, Coverage& coverage) {
  RasterPrimitive p;
  if (!SetupTriangle(a, b, c, Options(cull), p)) return false;
  RasterizePrimitive(p, RowBands{}, Count, &coverage);
  return true;
}

// A mesh over (0.3, 0.3)–(40.3, 40.3): interior vertices on pixel centres and
// off them, triangles of both windings. Every pixel centre inside is drawn
// exactly once: shared edges through pixel centres go to one side only.
TEST(TriangleSetupTest, TopLeftRuleCoversSharedEdgesExactlyOnce) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> jitter(-24, 24);
  constexpr int kCells = 5;
  float px[kCells + 1][kCells + 1], py[kCells + 1][kCells + 1];
  for (int j = 0; j <= kCells; ++j) {
    for (int i = 0; i <= kCells; ++i) {
      const bool border = i == 0 || j == 0 || i == kCells || j == kCells;
      const bool onCentre = (i + j) % 2 == 0;
      px[j][i] = 0.3f + 8.0f * static_cast<float>(i);
      py[j][i] = 0.3f + 8.0f * static_cast<float>(j);
      if (!border) {
        px[j][i] = onCentre ? std::round(px[j][i]) : px[j][i] + static_cast<float>(jitter(random)) / 16.0f;
        py[j][i] = onCentre ? std::round(py[j][i]) : py[j][i] + static_cast<float>(jitter(random)) / 16.0f;
      }
    }
  }
  Coverage coverage;
  for (int j = 0; j < kCells; ++j) {
    for (int i = 0; i < kCells; ++i) {
      const ScreenVertex a = At(px[j][i], py[j][i]), b = At(px[j][i + 1], py[j][i + 1]);
      const ScreenVertex c = At(px[j + 1][i], py[j + 1][i]), d = At(px[j + 1][i + 1], py[j + 1][i + 1]);
      if ((i + j) % 2) {
        Draw(a, b, d, D3DCULL_NONE, coverage);
        Draw(a, c, d, D3DCULL_NONE, coverage);  // opposite winding
      } else {
        Draw(a, b, c, D3DCULL_NONE, coverage);
        Draw(b, d, c, D3DCULL_NONE, coverage);
      }
    }
  }
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const bool inside = x >= 1 && x <= 40 && y >= 1 && y <= 40;
      ASSERT_EQ(coverage.hits[y * kSize + x], inside ? 1 : 0) << x << "," << y;
    }
}

TEST(TriangleSetupTest, EdgesThroughPixelCentresBelongToTopAndLeftEdges) {
  // Square (2,2)-(6,6) as two triangles: pixel centres on the left and top
  // edges are in, those on the right and bottom edges are out.
  Coverage coverage;
  Draw(At(2, 2), At(6, 2), At(2, 6), D3DCULL_NONE, coverage);
  Draw(At(6, 2), At(6, 6), At(2, 6), D3DCULL_NONE, coverage);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(coverage.hits[y * kSize + x], (x >= 2 && x < 6 && y >= 2 && y < 6) ? 1 : 0);
}

TEST(TriangleSetupTest, CullingByScreenWinding) {
  Coverage coverage;
  const ScreenVertex a = At(1, 1), b = At(9, 1), c = At(1, 9);  // clockwise on screen
  EXPECT_FALSE(Draw(a, b, c, D3DCULL_CW, coverage));
  EXPECT_TRUE(Draw(a, b, c, D3DCULL_CCW, coverage));
  EXPECT_TRUE(Draw(a, c, b, D3DCULL_CW, coverage));
  EXPECT_FALSE(Draw(a, c, b, D3DCULL_CCW, coverage));
  EXPECT_FALSE(Draw(a, b, At(17, 1), D3DCULL_NONE, coverage));  // degenerate
  EXPECT_FALSE(Draw(At(-50, -50), At(-40, -50), At(-50, -40), D3DCULL_NONE, coverage));  // off the scissor
}

TEST(TriangleSetupTest, PlanesReproduceVertexValuesPerspectiveCorrectly) {
  ScreenVertex a = At(0, 0), b = At(40, 0), c = At(0, 40);
  a.invW = 1.0f;
  b.invW = 0.25f;  // four times as far
  c.invW = 1.0f;
  a.attr[0] = 0;
  b.attr[0] = 1;
  c.attr[0] = 0;
  RasterPrimitive p;
  ASSERT_TRUE(SetupTriangle(a, b, c, SetupOptions{D3DCULL_NONE, 1, {0, 0, kSize - 1, kSize - 1}}, p));
  auto value = [&](float x, float y) {
    const float q = p.invW.base + p.invW.dx * (x - p.originX) + p.invW.dy * (y - p.originY);
    const float u = p.attr[0].base + p.attr[0].dx * (x - p.originX) + p.attr[0].dy * (y - p.originY);
    return u / q;
  };
  EXPECT_NEAR(value(40, 0), 1.0f, 1e-5);
  // Half way along the edge on screen is only a fifth of the way in u.
  EXPECT_NEAR(value(20, 0), 0.2f, 1e-5);
}

}  // namespace
