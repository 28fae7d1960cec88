#include "gfx/pixel/filter_weights.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Per destination index, the sum of the weights it receives from all sources.
std::vector<double> WeightSums(const TriangleWeights& w, uint32_t m, uint32_t n) {
  std::vector<double> sums(n, 0.0);
  TriangleWeights::Cursor cursor = w.Begin();
  uint32_t bytes = 4;
  for (uint32_t j = 0; j < m; ++j) {
    const WeightWord* pairs;
    uint32_t count;
    cursor.Next(pairs, count);
    bytes += 4 + 8 * count;
    for (uint32_t i = 0; i < count; ++i) {
      EXPECT_LT(pairs[2 * i].index, n);
      if (pairs[2 * i].index < n) sums[pairs[2 * i].index] += pairs[2 * i + 1].weight;
    }
  }
  EXPECT_EQ(bytes, w.totalBytes());
  return sums;
}

TEST(TriangleWeights, EveryDestinationPixelSumsToOne) {
  std::vector<std::pair<uint32_t, uint32_t>> sizes;
  for (uint32_t m = 1; m <= 24; ++m)
    for (uint32_t n = 1; n <= 24; ++n) sizes.push_back({m, n});
  sizes.insert(sizes.end(), {{2048, 700}, {700, 2048}, {1024, 3}, {3, 1024}, {1000, 999}, {257, 64}, {1, 300}});
  for (auto [m, n] : sizes) {
    for (bool wrap : {false, true}) {
      TriangleWeights w;
      ASSERT_TRUE(w.Build(m, n, wrap));
      const std::vector<double> sums = WeightSums(w, m, n);
      for (uint32_t t = 0; t < n; ++t) {
        ASSERT_NEAR(sums[t], 1.0, 1e-4) << m << " -> " << n << (wrap ? " wrapping" : "") << ", destination " << t;
      }
    }
  }
}

TEST(TriangleWeights, SingleSourcePixelCoversEveryDestinationPixel) {
  for (bool wrap : {false, true}) {
    TriangleWeights w;
    ASSERT_TRUE(w.Build(1, 4, wrap));
    TriangleWeights::Cursor cursor = w.Begin();
    const WeightWord* pairs;
    uint32_t count;
    cursor.Next(pairs, count);
    std::vector<double> sums(4, 0.0);
    for (uint32_t i = 0; i < count; ++i) sums[pairs[2 * i].index] += pairs[2 * i + 1].weight;
    for (double s : sums) EXPECT_NEAR(s, 1.0, 1e-6);
    // Wrapping, the tent passes over every cell twice.
    if (wrap) {
      EXPECT_EQ(count, 8u);
    }
  }
}

TEST(TriangleWeights, ReductionByTwoWeightsNeighboursAsATent) {
  // 4 -> 2 without wrapping: b = 0.5. Source 0's rising half is flat at the
  // edge; source 1's tent over [0.25, 1.25) gives destination 0 the area
  // 0.25 * 0.5 + 0.25 * 0.75 and destination 1 the area 0.25 * 0.25.
  TriangleWeights w;
  ASSERT_TRUE(w.Build(4, 2, false));
  TriangleWeights::Cursor cursor = w.Begin();
  const WeightWord* pairs;
  uint32_t count;
  cursor.Next(pairs, count);  // source 0: flat rising half, all into destination 0
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(pairs[0].index, 0u);
  EXPECT_FLOAT_EQ(pairs[1].weight, 0.5f);
  cursor.Next(pairs, count);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(pairs[0].index, 0u);
  EXPECT_FLOAT_EQ(pairs[1].weight, 0.4375f);
  EXPECT_EQ(pairs[2].index, 1u);
  EXPECT_FLOAT_EQ(pairs[3].weight, 0.0625f);
}

TEST(LinearTaps, PositionsAreNotCentredAndEdgesWrapOrClamp) {
  auto wrap = BuildLinearTaps(2, 4, true);
  ASSERT_TRUE(wrap);
  EXPECT_EQ(wrap[0].index0, 3);  // s = -0.5 wraps to the last pixel
  EXPECT_FLOAT_EQ(wrap[0].weight0, 0.5f);
  EXPECT_EQ(wrap[0].index1, 0);
  EXPECT_FLOAT_EQ(wrap[0].weight1, 0.5f);
  EXPECT_EQ(wrap[1].index0, 1);  // s = 1.5
  EXPECT_EQ(wrap[1].index1, 2);
  EXPECT_FLOAT_EQ(wrap[1].weight0, 0.5f);

  auto clamp = BuildLinearTaps(2, 4, false);
  EXPECT_EQ(clamp[0].index0, 0);
  EXPECT_EQ(clamp[0].index1, 0);

  // Enlarging 2 -> 4: the last destination reaches past the right edge.
  auto grow = BuildLinearTaps(4, 2, true);
  EXPECT_EQ(grow[3].index0, 1);  // s = 1.0
  EXPECT_EQ(grow[3].index1, 0);
  EXPECT_FLOAT_EQ(grow[3].weight1, 0.0f);
  auto growClamped = BuildLinearTaps(4, 2, false);
  EXPECT_EQ(growClamped[3].index1, 1);
}

}  // namespace
