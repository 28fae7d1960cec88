// Texture sampling: address modes (wrap, mirror, clamp, border, mirror once),
// point and linear filtering, mip selection (none, point, linear) from the
// level of detail that the caller derives from screen-space derivatives.
#pragma once

#include <cstdint>
#include <cstring>

#include "draw_context.h"
#include "texel_formats.h"

namespace d3d8pipe {

struct Sampler {
  const TextureView* texture = nullptr;
  TexelFetch fetch = nullptr;
  DWORD addressU = D3DTADDRESS_WRAP, addressV = D3DTADDRESS_WRAP;
  uint32_t border = 0;
  DWORD magFilter = D3DTEXF_POINT, minFilter = D3DTEXF_POINT, mipFilter = D3DTEXF_NONE;
  float lodBias = 0.0f;
  int baseLevel = 0;  // most detailed level used (D3DTSS_MAXMIPLEVEL)
  int lastLevel = 0;
  float width = 1.0f, height = 1.0f;  // of level 0

  // False when the texture cannot be sampled (the stage then reads white).
  bool Configure(const TextureView* texture, const DWORD* stageStates);

  // Level of detail (log2 of texels per pixel, plus the bias) from the
  // derivatives of u and v along x and y.
  float Lod(float dudx, float dvdx, float dudy, float dvdy) const;

  // A8R8G8B8 colour at (u, v) for the given level of detail.
  uint32_t Sample(float u, float v, float lod) const;

  uint32_t SampleLevel(int level, bool linear, float u, float v) const;
};

// Fast log2 approximation, exact at powers of two.
inline float FastLog2(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const float exponent = static_cast<float>(static_cast<int>((bits >> 23) & 255) - 128);
  bits = (bits & 0x007FFFFFu) | 0x3F800000u;  // mantissa in [1, 2)
  float m;
  std::memcpy(&m, &bits, sizeof m);
  // Quadratic fit of log2 on [1, 2], exact at both ends.
  return exponent + (-0.34484843f * m + 2.02466578f) * m - 0.67981732f;
}


}  // namespace d3d8pipe
