// Error diffusion inside one 4x4 block, Floyd-Steinberg style: a pixel's
// quantization error goes to the neighbours not yet visited (pixels are
// visited 0 to 15), never across the block's edge.
#pragma once

namespace block_diffusion {

constexpr float kRight = 0.4375f;      // 7/16
constexpr float kBelowLeft = 0.1875f;  // 3/16
constexpr float kBelow = 0.3125f;      // 5/16
constexpr float kBelowRight = 0.0625f; // 1/16

// Adds the shares of `error` (value before quantization minus value after)
// of pixel i to the pending errors of its neighbours.
template <class V>
inline void Diffuse(V* pending, int i, V error) {
  const int column = i & 3;
  if (column < 3) pending[i + 1] += error * kRight;
  if (i < 12) {
    if (column > 0) pending[i + 3] += error * kBelowLeft;
    pending[i + 4] += error * kBelow;
    if (column < 3) pending[i + 5] += error * kBelowRight;
  }
}

}  // namespace block_diffusion
