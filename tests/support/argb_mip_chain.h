// The next level of an A8R8G8B8 mip chain: each texel the rounded mean of a 2x2
// block, edge texels repeated for odd sizes. Shared by the pipeline's picture
// tests and the render benchmark, which build their textures' chains in code.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<uint32_t> HalveArgbLevel(const std::vector<uint32_t>& src, int w, int h) {
  const int nw = std::max(w / 2, 1), nh = std::max(h / 2, 1);
  std::vector<uint32_t> dst(static_cast<size_t>(nw) * nh);
  for (int y = 0; y < nh; ++y) {
    for (int x = 0; x < nw; ++x) {
      uint32_t sum[4] = {0, 0, 0, 0};
      for (int k = 0; k < 4; ++k) {
        const int sx = std::min(2 * x + (k & 1), w - 1), sy = std::min(2 * y + (k >> 1), h - 1);
        const uint32_t c = src[static_cast<size_t>(sy) * w + sx];
        for (int ch = 0; ch < 4; ++ch) sum[ch] += (c >> (8 * ch)) & 255;
      }
      uint32_t out = 0;
      for (int ch = 0; ch < 4; ++ch) out |= ((sum[ch] + 2) / 4) << (8 * ch);
      dst[static_cast<size_t>(y) * nw + x] = out;
    }
  }
  return dst;
}
