// The colour half of the block encoder: 16 colours into two R5G6B5 endpoints
// and 16 two-bit indices. Written over a lane type (block_lanes.h) so that the
// same code encodes one block or four blocks side by side.
//
// Steps: 5:6:5 quantization with error diffusion; perceptual weighting; the
// endpoint search along the diagonal of the colour box that fits the colours
// best, refined by up to eight least-squares (Newton) steps; rounding the
// endpoints; choosing the indices with error diffusion in the weighted space.
#pragma once

#include "gfx/pixel/block_diffusion.h"
#include "gfx/pixel/block_lanes.h"

namespace block_color {

using namespace block_lanes;  // NOLINT: lane operations read as plain arithmetic

// Perceptual weights (Rec. 709 luma divided by its green weight) and inverses.
constexpr float kWeight[3] = {0.29703665f, 1.0f, 0.10078278f};
constexpr float kInverseWeight[3] = {3.3665881f, 1.0f, 9.9223299f};
constexpr float kSmallestNormal = 1.1754944e-38f;
constexpr float kMinimumSpan = 0.000244140625f;   // 1/4096
constexpr float kConverged = 1.52587890625e-05f;  // 1/65536
constexpr int kRefinementSteps = 8;

// Interpolation weights of endpoint 0 and endpoint 1 by palette position.
constexpr float kFourWeight0[4] = {1.0f, 2.0f / 3.0f, 1.0f / 3.0f, 0.0f};
constexpr float kFourWeight1[4] = {0.0f, 1.0f / 3.0f, 2.0f / 3.0f, 1.0f};
constexpr float kThreeWeight0[4] = {1.0f, 0.5f, 0.0f, 0.0f};
constexpr float kThreeWeight1[4] = {0.0f, 0.5f, 1.0f, 0.0f};

// Result per lane: the two stored colours as exact whole floats and the
// 2-bit index of each pixel.
template <class V>
struct ColorCode {
  V color0;
  V color1;
  V index[16];
};

// Picks entry k (a whole float 0..3) of a four-entry table.
template <class V>
inline V Pick4(V k, V e0, V e1, V e2, V e3) {
  return Select(k == V(0.0f), e0, Select(k == V(1.0f), e1, Select(k == V(2.0f), e2, e3)));
}

template <class V>
inline V Dot3(V a0, V a1, V a2, V b0, V b1, V b2) {
  return a0 * b0 + a1 * b1 + a2 * b2;
}

// Endpoint search over 16 weighted colours. `three` selects the three-point
// palette per lane. Returns the weighted endpoints in e0 and e1.
template <class V, class M>
void SearchEndpoints(const V (*c)[16], M three, V* e0, V* e1) {
  V lo[3] = {V(kWeight[0]), V(kWeight[1]), V(kWeight[2])};
  V hi[3] = {V(0.0f), V(0.0f), V(0.0f)};
  for (int i = 0; i < 16; ++i) {
    for (int ch = 0; ch < 3; ++ch) {
      lo[ch] = Min(lo[ch], c[ch][i]);
      hi[ch] = Max(hi[ch], c[ch][i]);
    }
  }
  const V d[3] = {hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]};
  const V length = Dot3(d[0], d[1], d[2], d[0], d[1], d[2]);
  const M degenerate = length < V(kSmallestNormal);

  // Which of the four diagonals of the box the colours follow best.
  const V u[3] = {d[0] / length, d[1] / length, d[2] / length};
  const V mid[3] = {(hi[0] + lo[0]) * V(0.5f), (hi[1] + lo[1]) * V(0.5f), (hi[2] + lo[2]) * V(0.5f)};
  V sum[4] = {V(0.0f), V(0.0f), V(0.0f), V(0.0f)};
  for (int i = 0; i < 16; ++i) {
    const V x = (c[0][i] - mid[0]) * u[0];
    const V y = (c[1][i] - mid[1]) * u[1];
    const V z = (c[2][i] - mid[2]) * u[2];
    const V p = x + y;
    const V q = x - y;
    const V s0 = p + z, s1 = p - z, s2 = q + z, s3 = q - z;
    sum[0] += s0 * s0;
    sum[1] += s1 * s1;
    sum[2] += s2 * s2;
    sum[3] += s3 * s3;
  }
  V best = sum[0];
  const M pick1 = sum[1] > best;
  best = Select(pick1, sum[1], best);
  const M pick2 = sum[2] > best;
  best = Select(pick2, sum[2], best);
  const M pick3 = sum[3] > best;
  // Diagonal 1 swaps blue, 2 swaps green, 3 swaps both.
  const M swapBlue = AndNot(Or(pick3, AndNot(pick1, pick2)), degenerate);
  const M swapGreen = AndNot(Or(pick2, pick3), degenerate);
  e0[0] = lo[0];
  e1[0] = hi[0];
  e0[1] = Select(swapGreen, hi[1], lo[1]);
  e1[1] = Select(swapGreen, lo[1], hi[1]);
  e0[2] = Select(swapBlue, hi[2], lo[2]);
  e1[2] = Select(swapBlue, lo[2], hi[2]);

  const V last = Select(three, V(2.0f), V(3.0f));  // position of endpoint 1
  const V w0[4] = {Select(three, V(kThreeWeight0[0]), V(kFourWeight0[0])),
                   Select(three, V(kThreeWeight0[1]), V(kFourWeight0[1])),
                   Select(three, V(kThreeWeight0[2]), V(kFourWeight0[2])),
                   Select(three, V(kThreeWeight0[3]), V(kFourWeight0[3]))};
  const V w1[4] = {Select(three, V(kThreeWeight1[0]), V(kFourWeight1[0])),
                   Select(three, V(kThreeWeight1[1]), V(kFourWeight1[1])),
                   Select(three, V(kThreeWeight1[2]), V(kFourWeight1[2])),
                   Select(three, V(kThreeWeight1[3]), V(kFourWeight1[3]))};

  M active = Not(length < V(kMinimumSpan));
  for (int step = 0; step < kRefinementSteps && Any(active); ++step) {
    const V dir[3] = {e1[0] - e0[0], e1[1] - e0[1], e1[2] - e0[2]};
    const V span = Dot3(dir[0], dir[1], dir[2], dir[0], dir[1], dir[2]);
    active = AndNot(active, span < V(kMinimumSpan));
    if (!Any(active)) break;
    const V scale = last / span;
    V g0[3] = {V(0.0f), V(0.0f), V(0.0f)};
    V g1[3] = {V(0.0f), V(0.0f), V(0.0f)};
    V h0 = V(0.0f), h1 = V(0.0f);
    for (int i = 0; i < 16; ++i) {
      const V t = Dot3(c[0][i] - e0[0], c[1][i] - e0[1], c[2][i] - e0[2], dir[0], dir[1], dir[2]) * scale;
      const V k = Select(t >= last, last, Select(t <= V(0.0f), V(0.0f), Trunc(t + V(0.5f))));
      const V wk0 = Pick4(k, w0[0], w0[1], w0[2], w0[3]);
      const V wk1 = Pick4(k, w1[0], w1[1], w1[2], w1[3]);
      for (int ch = 0; ch < 3; ++ch) {
        const V diff = (e0[ch] * wk0 + e1[ch] * wk1) - c[ch][i];
        g0[ch] += diff * wk0 * V(0.125f);
        g1[ch] += diff * wk1 * V(0.125f);
      }
      h0 += wk0 * wk0 * V(0.125f);
      h1 += wk1 * wk1 * V(0.125f);
    }
    const M move0 = And(active, h0 > V(0.0f));
    const M move1 = And(active, h1 > V(0.0f));
    M small = V(1.0f) > V(0.0f);
    for (int ch = 0; ch < 3; ++ch) {
      e0[ch] = Select(move0, e0[ch] - g0[ch] / h0, e0[ch]);
      e1[ch] = Select(move1, e1[ch] - g1[ch] / h1, e1[ch]);
      small = And(small, And(g0[ch] * g0[ch] < V(kConverged), g1[ch] * g1[ch] < V(kConverged)));
    }
    active = AndNot(active, small);
  }
}

// Encodes the colours r, g, b (alpha a) of each lane. With honourAlpha
// (DXT1) pixels with alpha below 0.5 select the three-colour mode and are
// stored as transparent black; otherwise the four-colour mode is used.
template <class V>
void EncodeColors(const V* r, const V* g, const V* b, const V* a, bool honourAlpha, ColorCode<V>& out) {
  using M = typename MaskOf<V>::type;
  const M no = V(0.0f) > V(0.0f);
  M anyClear = no;
  M allClear = V(1.0f) > V(0.0f);
  M clear[16];
  for (int i = 0; i < 16; ++i) {
    clear[i] = honourAlpha ? (a[i] < V(0.5f)) : no;
    anyClear = Or(anyClear, clear[i]);
    allClear = And(allClear, clear[i]);
  }
  const M three = anyClear;

  // 5:6:5 quantization with error diffusion, then perceptual weighting.
  V weighted[3][16];
  {
    const V* in[3] = {r, g, b};
    const float levels[3] = {31.0f, 63.0f, 31.0f};
    for (int ch = 0; ch < 3; ++ch) {
      V pending[16];
      for (V& p : pending) p = V(0.0f);
      const V scale = V(levels[ch]);
      for (int i = 0; i < 16; ++i) {
        const V v = in[ch][i] + pending[i];
        const V q = Trunc(v * scale + V(0.5f)) / scale;
        block_diffusion::Diffuse(pending, i, v - q);
        weighted[ch][i] = q * V(kWeight[ch]);
      }
    }
  }

  V e0[3], e1[3];
  SearchEndpoints(weighted, three, e0, e1);

  // Round the endpoints to 5:6:5 (A from e0, B from e1).
  const float levels[3] = {31.0f, 63.0f, 31.0f};
  V fieldA[3], fieldB[3];
  for (int ch = 0; ch < 3; ++ch) {
    const V x0 = Min(Max(e0[ch] * V(kInverseWeight[ch]), V(0.0f)), V(1.0f));
    const V x1 = Min(Max(e1[ch] * V(kInverseWeight[ch]), V(0.0f)), V(1.0f));
    fieldA[ch] = Trunc(x0 * V(levels[ch]) + V(0.5f));
    fieldB[ch] = Trunc(x1 * V(levels[ch]) + V(0.5f));
  }
  const V codeA = fieldA[0] * V(2048.0f) + fieldA[1] * V(32.0f) + fieldA[2];
  const V codeB = fieldB[0] * V(2048.0f) + fieldB[1] * V(32.0f) + fieldB[2];
  const M sameFour = AndNot(codeA == codeB, three);

  // Four-colour mode needs color0 > color1, three-colour mode color0 <= color1.
  const M keep = Xor(codeB < codeA, three);
  const V color0 = Select(keep, codeA, codeB);
  const V color1 = Select(keep, codeB, codeA);
  V p0[3], p1[3], p2[3], p3[3], dir[3];
  for (int ch = 0; ch < 3; ++ch) {
    const V f0 = Select(keep, fieldA[ch], fieldB[ch]);
    const V f1 = Select(keep, fieldB[ch], fieldA[ch]);
    p0[ch] = f0 / V(levels[ch]) * V(kWeight[ch]);
    p1[ch] = f1 / V(levels[ch]) * V(kWeight[ch]);
    dir[ch] = p1[ch] - p0[ch];
    const V third = p0[ch] + dir[ch] * V(1.0f / 3.0f);
    const V half = p0[ch] + dir[ch] * V(0.5f);
    // Palette by position along the segment: p0, p2, p3, then p1 (the
    // three-colour palette ends at position 2, so its p3 is p1).
    p2[ch] = Select(three, half, third);
    p3[ch] = Select(three, p1[ch], p0[ch] + dir[ch] * V(2.0f / 3.0f));
  }
  const V last = Select(three, V(2.0f), V(3.0f));
  const V scale = Select(color0 == color1, V(0.0f), last / Dot3(dir[0], dir[1], dir[2], dir[0], dir[1], dir[2]));
  // Position to index: four colours 0, 2, 3, 1; three colours 0, 2, 1.
  const V indexAt2 = Select(three, V(1.0f), V(3.0f));

  V pending[3][16];
  for (auto& channel : pending)
    for (V& p : channel) p = V(0.0f);
  for (int i = 0; i < 16; ++i) {
    const V cr = weighted[0][i] + pending[0][i];
    const V cg = weighted[1][i] + pending[1][i];
    const V cb = weighted[2][i] + pending[2][i];
    const V t = Dot3(cr - p0[0], cg - p0[1], cb - p0[2], dir[0], dir[1], dir[2]) * scale;
    const V k = Select(t >= last, last, Select(t <= V(0.0f), V(0.0f), Trunc(t + V(0.5f))));
    const M skip = And(three, clear[i]);
    out.index[i] = Select(skip, V(3.0f), Pick4(k, V(0.0f), V(2.0f), indexAt2, V(1.0f)));
    const V er = Select(skip, V(0.0f), cr - Pick4(k, p0[0], p2[0], p3[0], p1[0]));
    const V eg = Select(skip, V(0.0f), cg - Pick4(k, p0[1], p2[1], p3[1], p1[1]));
    const V eb = Select(skip, V(0.0f), cb - Pick4(k, p0[2], p2[2], p3[2], p1[2]));
    block_diffusion::Diffuse(pending[0], i, er);
    block_diffusion::Diffuse(pending[1], i, eg);
    block_diffusion::Diffuse(pending[2], i, eb);
  }

  // Equal endpoints in four-colour mode: every pixel takes color0. All pixels
  // transparent: the fixed all-transparent block.
  out.color0 = Select(allClear, V(0.0f), Select(sameFour, codeA, color0));
  out.color1 = Select(allClear, V(65535.0f), Select(sameFour, codeB, color1));
  for (int i = 0; i < 16; ++i)
    out.index[i] = Select(allClear, V(3.0f), Select(sameFour, V(0.0f), out.index[i]));
}

}  // namespace block_color
