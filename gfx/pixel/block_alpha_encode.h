// The alpha half of the block encoder: explicit 4-bit alpha (DXT2/DXT3) and
// interpolated alpha with its six- and eight-value modes (DXT4/DXT5). Written
// over a lane type like the colour half (block_color_encode.h).
#pragma once

#include "gfx/pixel/block_diffusion.h"
#include "gfx/pixel/block_lanes.h"

namespace block_alpha {

using namespace block_lanes;  // NOLINT: lane operations read as plain arithmetic

constexpr float kMinimumSpan = 0.00390625f;  // 1/256
constexpr float kConverged = 0.015625f;      // 1/64
constexpr int kRefinementSteps = 8;

// Explicit alpha: each pixel's alpha rounded to 4 bits with error diffusion.
// Codes are held to 0..15 so that input outside [0, 1] cannot spill into the
// neighbouring nibble.
template <class V>
void EncodeExplicitAlpha(const V* a, V* nibble) {
  V pending[16];
  for (V& p : pending) p = V(0.0f);
  for (int i = 0; i < 16; ++i) {
    const V v = a[i] + pending[i];
    const V q = Min(Max(Trunc(v * V(15.0f) + V(0.5f)), V(0.0f)), V(15.0f));
    block_diffusion::Diffuse(pending, i, v - q / V(15.0f));
    nibble[i] = q;
  }
}

template <class V>
struct AlphaCode {
  V alpha0;
  V alpha1;
  V index[16];  // 3-bit indices
};

// Least-squares refinement of the two alpha endpoints over the quantized
// values q. `six` selects the six-value mode per lane, in which 0 and 1 have
// codes of their own and values that will take them are left out. Returns lo
// and hi clamped to [0, 1].
template <class V, class M>
void RefineAlphaEndpoints(const V* q, M six, V n, V& lo, V& hi) {
  lo = V(1.0f);
  hi = V(0.0f);
  for (int i = 0; i < 16; ++i) {
    const M use = Or(Not(six), And(q[i] > V(0.0f), q[i] < V(1.0f)));
    lo = Select(And(use, q[i] < lo), q[i], lo);
    hi = Select(And(use, q[i] > hi), q[i], hi);
  }
  M active = V(1.0f) > V(0.0f);
  for (int step = 0; step < kRefinementSteps; ++step) {
    active = AndNot(active, hi - lo < V(kMinimumSpan));
    if (!Any(active)) break;
    const V scale = n / (hi - lo);
    const V toZero = lo * V(0.5f);
    const V toOne = (hi + V(1.0f)) * V(0.5f);
    V gLo = V(0.0f), gHi = V(0.0f), hLo = V(0.0f), hHi = V(0.0f);
    for (int i = 0; i < 16; ++i) {
      const V v = q[i];
      const V t = (v - lo) * scale;
      const M under = t <= V(0.0f);
      const M over = t >= n;
      const M skip = And(six, Or(And(under, v <= toZero), And(over, v >= toOne)));
      const V k = Select(over, n, Select(under, V(0.0f), Trunc(t + V(0.5f))));
      const V wLo = (n - k) / n;
      const V wHi = k / n;
      const V diff = Select(skip, V(0.0f), v - (lo * wLo + hi * wHi));
      gLo += diff * wLo;
      gHi += diff * wHi;
      hLo += Select(skip, V(0.0f), wLo * wLo);
      hHi += Select(skip, V(0.0f), wHi * wHi);
    }
    const V newLo = Select(hLo > V(0.0f), lo + gLo / hLo, lo);
    const V newHi = Select(hHi > V(0.0f), hi + gHi / hHi, hi);
    const M swap = newLo > newHi;
    lo = Select(active, Select(swap, newHi, newLo), lo);
    hi = Select(active, Select(swap, newLo, newHi), hi);
    active = AndNot(active, And(gLo * gLo < V(kConverged), gHi * gHi < V(kConverged)));
  }
  lo = Min(Max(lo, V(0.0f)), V(1.0f));
  hi = Min(Max(hi, V(0.0f)), V(1.0f));
}

// Interpolated alpha of 16 pixels.
template <class V>
void EncodeInterpolatedAlpha(const V* a, AlphaCode<V>& out) {
  using M = typename MaskOf<V>::type;

  // 8-bit quantization with error diffusion; min and max start at pixel 0's
  // own alpha.
  V q[16];
  V lowest = a[0], highest = a[0];
  {
    V pending[16];
    for (V& p : pending) p = V(0.0f);
    for (int i = 0; i < 16; ++i) {
      const V v = a[i] + pending[i];
      q[i] = Trunc(v * V(255.0f) + V(0.5f)) / V(255.0f);
      block_diffusion::Diffuse(pending, i, v - q[i]);
      const M below = q[i] < lowest;
      lowest = Select(below, q[i], lowest);
      highest = Select(AndNot(q[i] > highest, below), q[i], highest);
    }
  }
  const M allOpaque = lowest == V(1.0f);
  const M six = Or(lowest == V(0.0f), highest == V(1.0f));
  const V n = Select(six, V(5.0f), V(7.0f));

  V lo, hi;
  RefineAlphaEndpoints(q, six, n, lo, hi);
  const V codeLo = Trunc(lo * V(255.0f) + V(0.5f));
  const V codeHi = Trunc(hi * V(255.0f) + V(0.5f));
  const M eightEqual = AndNot(codeLo == codeHi, six);
  // Eight values run from HI down to LO; six values from LO up to HI.
  const V alpha0 = Select(six, codeLo, codeHi);
  const V alpha1 = Select(six, codeHi, codeLo);
  const V p0 = alpha0 / V(255.0f);
  const V p1 = alpha1 / V(255.0f);
  const M flat = p0 == p1;
  const V scale = Select(flat, V(0.0f), n / (p1 - p0));
  const V toZero = p0 * V(0.5f);
  const V toOne = (p1 + V(1.0f)) * V(0.5f);

  V pending[16];
  for (V& p : pending) p = V(0.0f);
  for (int i = 0; i < 16; ++i) {
    const V v = a[i] + pending[i];
    const V t = (v - p0) * scale;
    const M under = t <= V(0.0f);
    const M over = t >= n;
    const M zero = And(six, And(under, v <= toZero));
    // With equal six-value endpoints every t is 0; values near 1 must still
    // reach the code for 1 rather than the endpoint.
    const M one = AndNot(And(six, And(Or(over, flat), v >= toOne)), zero);
    const V k = Select(over, n, Select(under, V(0.0f), Trunc(t + V(0.5f))));
    const V between = Select(six, ((V(5.0f) - k) * p0 + k * p1) * V(0.2f), ((V(7.0f) - k) * p0 + k * p1) / V(7.0f));
    const V value = Select(zero, V(0.0f),
                           Select(one, V(1.0f), Select(k == V(0.0f), p0, Select(k == n, p1, between))));
    const V index = Select(zero, V(6.0f),
                           Select(one, V(7.0f), Select(k == V(0.0f), V(0.0f), Select(k == n, V(1.0f), k + V(1.0f)))));
    block_diffusion::Diffuse(pending, i, v - value);
    out.index[i] = Select(Or(allOpaque, eightEqual), V(0.0f), index);
  }
  out.alpha0 = Select(allOpaque, V(255.0f), alpha0);
  out.alpha1 = Select(allOpaque, V(255.0f), alpha1);
}

}  // namespace block_alpha
