#include "texture_sampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace d3d8pipe {

namespace {

// Maps texel index i into [0, size) by the address mode; false: border.
inline bool Address(DWORD mode, int i, int size, int& out) {
  if (static_cast<unsigned>(i) < static_cast<unsigned>(size)) {
    out = i;
    return true;
  }
  switch (mode) {
    case D3DTADDRESS_WRAP: {
      const int m = i % size;
      out = m < 0 ? m + size : m;
      return true;
    }
    case D3DTADDRESS_MIRROR: {
      const int period = 2 * size;
      int m = i % period;
      if (m < 0) m += period;
      out = m < size ? m : period - 1 - m;
      return true;
    }
    case D3DTADDRESS_MIRRORONCE: {
      const int m = i < 0 ? -i - 1 : i;
      out = std::min(m, size - 1);
      return true;
    }
    case D3DTADDRESS_BORDER: return false;
    default:  // clamp
      out = i < 0 ? 0 : size - 1;
      return true;
  }
}

// Keeps coordinates in a range where the conversion to int is defined; so far
// out, wrapping has lost all precision anyway.
inline float Tame(float x) {
  if (!(x > -1.0e7f)) return -1.0e7f;  // NaN lands here too
  return x < 1.0e7f ? x : 1.0e7f;
}

inline uint32_t Lerp8(uint32_t a, uint32_t b, uint32_t w) {  // w in 0..256
  const uint32_t rbA = a & 0x00FF00FFu, rbB = b & 0x00FF00FFu;
  const uint32_t agA = (a >> 8) & 0x00FF00FFu, agB = (b >> 8) & 0x00FF00FFu;
  const uint32_t rb = ((rbA * (256 - w) + rbB * w) >> 8) & 0x00FF00FFu;
  const uint32_t ag = (agA * (256 - w) + agB * w) & 0xFF00FF00u;
  return rb | ag;
}

}  // namespace


bool Sampler::Configure(const TextureView* view, const DWORD* stage) {
  texture = nullptr;
  if (view == nullptr || view->levelCount == 0 || view->levelCount > kMaxTextureLevels) return false;
  fetch = TexelFetchFor(view->format);
  if (fetch == nullptr) return false;
  for (UINT level = 0; level < view->levelCount; ++level) {
    const SurfaceView& l = view->levels[level];
    if (l.bits == nullptr || l.width == 0 || l.height == 0 || l.width > (1u << 24) || l.height > (1u << 24) ||
        RequiredLevelBytes(view->format, l.width, l.height, l.pitch) == 0)
      return false;
  }
  texture = view;
  addressU = stage[D3DTSS_ADDRESSU];
  addressV = stage[D3DTSS_ADDRESSV];
  border = stage[D3DTSS_BORDERCOLOR];
  magFilter = stage[D3DTSS_MAGFILTER];
  minFilter = stage[D3DTSS_MINFILTER];
  mipFilter = stage[D3DTSS_MIPFILTER];
  float bias;
  std::memcpy(&bias, &stage[D3DTSS_MIPMAPLODBIAS], sizeof bias);
  lodBias = std::isfinite(bias) ? bias : 0.0f;
  lastLevel = static_cast<int>(view->levelCount) - 1;
  baseLevel = static_cast<int>(std::min<DWORD>(stage[D3DTSS_MAXMIPLEVEL], static_cast<DWORD>(lastLevel)));
  width = static_cast<float>(view->levels[0].width);
  height = static_cast<float>(view->levels[0].height);
  return true;
}

float Sampler::Lod(float dudx, float dvdx, float dudy, float dvdy) const {
  const float ax = dudx * width, bx = dvdx * height, ay = dudy * width, by = dvdy * height;
  const float rho2 = std::max(ax * ax + bx * bx, ay * ay + by * by);
  if (!(rho2 > 0.0f)) return -100.0f;
  if (!(rho2 < 1.0e30f)) return 100.0f;
  return 0.5f * FastLog2(rho2) + lodBias;
}

uint32_t Sampler::SampleLevel(int level, bool linear, float u, float v) const {
  const SurfaceView& l = texture->levels[level];
  const int w = static_cast<int>(l.width), h = static_cast<int>(l.height);
  if (!linear) {
    int x = 0, y = 0;
    const bool inU = Address(addressU, static_cast<int>(std::floor(Tame(u * static_cast<float>(w)))), w, x);
    const bool inV = Address(addressV, static_cast<int>(std::floor(Tame(v * static_cast<float>(h)))), h, y);
    if (!inU || !inV) return border;
    return fetch(l, static_cast<UINT>(x), static_cast<UINT>(y));
  }
  const float fx = Tame(u * static_cast<float>(w) - 0.5f), fy = Tame(v * static_cast<float>(h) - 0.5f);
  const float flx = std::floor(fx), fly = std::floor(fy);
  const int x0 = static_cast<int>(flx), y0 = static_cast<int>(fly);
  const uint32_t wx = static_cast<uint32_t>((fx - flx) * 256.0f), wy = static_cast<uint32_t>((fy - fly) * 256.0f);
  int xa = 0, xb = 0, ya = 0, yb = 0;
  const bool inXa = Address(addressU, x0, w, xa), inXb = Address(addressU, x0 + 1, w, xb);
  const bool inYa = Address(addressV, y0, h, ya), inYb = Address(addressV, y0 + 1, h, yb);
  auto texel = [&](bool inX, int x, bool inY, int y) {
    return inX && inY ? fetch(l, static_cast<UINT>(x), static_cast<UINT>(y)) : border;
  };
  const uint32_t top = Lerp8(texel(inXa, xa, inYa, ya), texel(inXb, xb, inYa, ya), wx);
  const uint32_t bottom = Lerp8(texel(inXa, xa, inYb, yb), texel(inXb, xb, inYb, yb), wx);
  return Lerp8(top, bottom, wy);
}

uint32_t Sampler::Sample(float u, float v, float lod) const {
  if (lod <= 0.0f || mipFilter == D3DTEXF_NONE || lastLevel == baseLevel) {
    const bool linear = (lod <= 0.0f ? magFilter : minFilter) >= D3DTEXF_LINEAR;
    return SampleLevel(baseLevel, linear, u, v);
  }
  const bool linear = minFilter >= D3DTEXF_LINEAR;
  if (mipFilter == D3DTEXF_POINT) {
    const int level = std::min(baseLevel + static_cast<int>(lod + 0.5f), lastLevel);
    return SampleLevel(level, linear, u, v);
  }
  const float clamped = std::min(lod, static_cast<float>(lastLevel - baseLevel));
  const int first = baseLevel + static_cast<int>(clamped);
  if (first >= lastLevel) return SampleLevel(lastLevel, linear, u, v);
  const uint32_t weight = static_cast<uint32_t>((clamped - std::floor(clamped)) * 256.0f);
  const uint32_t a = SampleLevel(first, linear, u, v);
  if (weight == 0) return a;
  return Lerp8(a, SampleLevel(first + 1, linear, u, v), weight);
}

}  // namespace d3d8pipe
