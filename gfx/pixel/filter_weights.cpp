#include "gfx/pixel/filter_weights.h"

#include <cmath>
#include <new>

std::unique_ptr<LinearTap[]> BuildLinearTaps(uint32_t n, uint32_t m, bool wrap) {
  std::unique_ptr<LinearTap[]> taps(new (std::nothrow) LinearTap[n ? n : 1]);
  if (!taps) return taps;
  const float scale = static_cast<float>(m) / static_cast<float>(n);
  const int32_t last = static_cast<int32_t>(m) - 1;
  for (uint32_t k = 0; k < n; ++k) {
    const float s = static_cast<float>(k) * scale - 0.5f;
    int32_t i0 = static_cast<int32_t>(std::floor(s));
    int32_t i1 = i0 + 1;
    const float f = s - static_cast<float>(i0);
    if (i0 < 0) i0 = wrap ? last : 0;
    if (i1 > last) i1 = wrap ? 0 : last;
    taps[k] = {i0, 1.0f - f, i1, f};
  }
  return taps;
}

bool TriangleWeights::Build(uint32_t m, uint32_t n, bool wrap) {
  const float b = static_cast<float>(n) / static_cast<float>(m);
  // Room for every pair a tent can produce: per source index one size word
  // plus 2 * truncate(b + 1 + wrap) + 1 pairs.
  const uint64_t pairsPerRecord = 2 * static_cast<uint64_t>(b + 1.0f + (wrap ? 1.0f : 0.0f)) + 1;
  const uint64_t capacity = 1 + uint64_t{m} * (1 + 2 * pairsPerRecord);
  if (capacity > (uint64_t{1} << 28)) return false;  // sizes are 32-bit byte counts
  words_.reset(new (std::nothrow) WeightWord[capacity]);
  if (!words_) return false;

  // Positions are formed in double: in single precision the cell edges of
  // large images drift by 1e-4, which the per-pixel weight sums would show.
  const double bd = static_cast<double>(n) / static_cast<double>(m);
  const double halfOverB = 0.5 / bd;
  const double dn = static_cast<double>(n);
  const int32_t in = static_cast<int32_t>(n);
  uint64_t at = 1;
  bool overflow = false;
  for (uint32_t j = 0; j < m; ++j) {
    const uint64_t recordStart = at++;
    const uint64_t recordEnd = recordStart + 1 + 2 * pairsPerRecord;
    int32_t pendingIndex = -1;
    double pendingSum = 0.0;
    auto flush = [&]() {
      if (pendingSum > 9.9999997e-06) {
        if (at + 2 > recordEnd) {
          overflow = true;  // cannot happen with the bound above; never write past it
        } else {
          words_[at++].index = static_cast<uint32_t>(pendingIndex);
          words_[at++].weight = static_cast<float>(pendingSum);
        }
      }
      pendingSum = 0.0;
    };
    for (int h = 0; h < 2; ++h) {
      const double e = static_cast<double>(j) + h - 0.5;
      double g = e * bd;
      double o = g + bd;
      if (!wrap) {
        if (g < 0.0) g = 0.0;
        if (o > dn) o = dn;
      }
      for (int32_t t = static_cast<int32_t>(std::floor(g)); static_cast<double>(t) < o; ++t) {
        const double dt = static_cast<double>(t);
        const double v = dt > g ? dt : g;
        const double w = dt + 1.0 < o ? dt + 1.0 : o;
        double a = (v + w) * halfOverB - e;
        if (!wrap) {
          // Flat at the image's edges: the part of the tent inside the image
          // carries the whole pixel.
          if (h == 0 && e < 0.0) a = 1.0;
          if (h == 1 && e + 1.0 >= static_cast<double>(m)) a = 0.0;
        }
        const double height = h == 0 ? a : 1.0 - a;
        const int32_t index = t < 0 ? t + in : (t >= in ? t - in : t);
        if (index != pendingIndex) {
          flush();
          pendingIndex = index;
        }
        pendingSum += (w - v) * height;
      }
    }
    flush();
    words_[recordStart].bytes = static_cast<uint32_t>((at - recordStart) * 4);
  }
  words_[0].bytes = static_cast<uint32_t>(at * 4);
  if (overflow) words_.reset();
  return !overflow;
}
