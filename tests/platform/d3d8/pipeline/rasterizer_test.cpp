#include "rasterizer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace d3d8pipe;

namespace {

// A target larger than the scissor, so that a pixel drawn outside it shows.
constexpr int kSize = 72;
constexpr Scissor kScissor{5, 3, 60, 50};

struct Coverage {
  std::vector<int> hits = std::vector<int>(kSize * kSize, 0);
};

void Count(const void* context, const RasterPrimitive&, int y, int x0, int x1) {
  auto& c = *static_cast<Coverage*>(const_cast<void*>(context));
  for (int x = x0; x <= x1; ++x) ++c.hits[y * kSize + x];
}

ScreenVertex At(int64_t x16, int64_t y16) {  // position in 1/16 pixels
  ScreenVertex v{};
  v.x = static_cast<float>(x16) / 16.0f;
  v.y = static_cast<float>(y16) / 16.0f;
  v.invW = 1;
  return v;
}

// Pixel centres inside the triangle by its edge functions, evaluated per pixel:
// inside when every edge function is positive, or zero on a top or left edge.
Coverage Reference(const int64_t X[3], const int64_t Y[3]) {
  Coverage c;
  const int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  int order[3] = {0, 1, 2};
  if (area < 0) std::swap(order[1], order[2]);
  for (int y = kScissor.minY; y <= kScissor.maxY; ++y)
    for (int x = kScissor.minX; x <= kScissor.maxX; ++x) {
      bool inside = area != 0;
      for (int e = 0; e < 3 && inside; ++e) {
        const int from = order[e], to = order[(e + 1) % 3];
        const int64_t dx = X[to] - X[from], dy = Y[to] - Y[from];
        const int64_t value = dx * (16 * y - Y[from]) - dy * (16 * x - X[from]);
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        inside = value > 0 || (value == 0 && topLeft);
      }
      if (inside) ++c.hits[y * kSize + x];
    }
  return c;
}

// Random triangles of the shapes that stress the row walk: huge ones reaching
// far past the scissor (as near-clipped geometry does), long slivers under a
// pixel wide, flat tops and bottoms, and vertices on pixel centres. Each is
// drawn whole and cut into row bands; both must match the per-pixel rule.
TEST(RasterizerTest, RowWalkMatchesEdgeFunctionsPerPixel) {
  std::mt19937 random(11);
  auto uniform = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(random); };
  const SetupOptions options{D3DCULL_NONE, 0, kScissor};
  for (int n = 0; n < 3000; ++n) {
    int64_t X[3], Y[3];
    const int shape = n % 6;
    for (int i = 0; i < 3; ++i) {
      if (shape == 0) {  // huge
        X[i] = uniform(-40000, 40000);
        Y[i] = uniform(-40000, 40000);
      } else if (shape == 5) {  // out to nearly the largest coordinates set-up accepts
        X[i] = uniform(-16000000, 16000000);
        Y[i] = uniform(-16000000, 16000000);
      } else {
        X[i] = uniform(-160, 16 * kSize + 160);
        Y[i] = uniform(-160, 16 * kSize + 160);
      }
      if (shape == 3) {  // on pixel centres
        X[i] &= ~int64_t{15};
        Y[i] &= ~int64_t{15};
      }
    }
    if (shape == 1) {  // sliver: the third vertex just beside the second
      X[2] = X[1] + uniform(-12, 12);
      Y[2] = Y[1] + uniform(-12, 12);
    } else if (shape == 2) {  // flat top or bottom
      Y[1] = Y[0];
    }
    const Coverage expected = Reference(X, Y);
    RasterPrimitive p;
    Coverage whole, banded;
    if (SetupTriangle(At(X[0], Y[0]), At(X[1], Y[1]), At(X[2], Y[2]), options, p)) {
      RasterizePrimitive(p, RowBands{}, Count, &whole);
      const int bandRows = static_cast<int>(uniform(1, 9));
      for (int first = 0; first < kSize; first += bandRows)
        RasterizePrimitive(p, RowBands{first, first + bandRows - 1}, Count, &banded);
    }
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const int i = y * kSize + x;
        ASSERT_EQ(whole.hits[i], expected.hits[i]) << "triangle " << n << " pixel " << x << "," << y;
        ASSERT_EQ(banded.hits[i], expected.hits[i]) << "triangle " << n << " banded, pixel " << x << "," << y;
      }
  }
}

}  // namespace
