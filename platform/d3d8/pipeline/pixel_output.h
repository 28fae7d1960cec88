// Pixel output: depth test and write in every depth format, alpha test,
// blending with every blend factor and operation, colour write mask, and
// reading and writing the render target formats.
#pragma once

#include <cstdint>
#include <cstring>

#include "draw_context.h"

namespace d3d8pipe {

struct Color4 {
  float r, g, b, a;
};

inline Color4 UnpackColor(uint32_t c) {
  constexpr float k = 1.0f / 255.0f;
  return {static_cast<float>((c >> 16) & 255) * k, static_cast<float>((c >> 8) & 255) * k,
          static_cast<float>(c & 255) * k, static_cast<float>(c >> 24) * k};
}

inline uint32_t ToByte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 1.0f) return 255;
  return static_cast<uint32_t>(v * 255.0f + 0.5f);
}

inline uint32_t PackColor(const Color4& c) {
  return (ToByte(c.a) << 24) | (ToByte(c.r) << 16) | (ToByte(c.g) << 8) | ToByte(c.b);
}

// ---- depth ----------------------------------------------------------------------------
enum class DepthKind : uint8_t { kNone, k16, k15S1, k24, k32 };

DepthKind DepthKindOf(D3DFORMAT format);
UINT DepthBytes(DepthKind kind);

// Depth value in the format's units (in place: the high bits of a 32-bit word
// for the 24-bit formats, bits 1..15 for D15S1), z clamped to 0..1.
inline uint32_t QuantizeDepth(DepthKind kind, float z) {
  if (!(z > 0.0f)) z = 0.0f;
  if (z > 1.0f) z = 1.0f;
  switch (kind) {
    case DepthKind::k16: return static_cast<uint32_t>(z * 65535.0f + 0.5f);
    case DepthKind::k15S1: return static_cast<uint32_t>(z * 32767.0f + 0.5f) << 1;
    case DepthKind::k24: {
      // 16777215.5 rounds up to 2^24 in float; keep the top value in 24 bits.
      const uint32_t v = static_cast<uint32_t>(z * 16777215.0f + 0.5f);
      return (v > 0xFFFFFFu ? 0xFFFFFFu : v) << 8;
    }
    case DepthKind::k32: return static_cast<uint32_t>(static_cast<double>(z) * 4294967295.0 + 0.5);
    default: return 0;
  }
}

inline uint32_t DepthMask(DepthKind kind) {
  switch (kind) {
    case DepthKind::k16: return 0xFFFFu;
    case DepthKind::k15S1: return 0xFFFEu;
    case DepthKind::k24: return 0xFFFFFF00u;
    default: return 0xFFFFFFFFu;
  }
}

inline bool Compare(DWORD func, uint32_t value, uint32_t reference) {
  switch (func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return value < reference;
    case D3DCMP_EQUAL: return value == reference;
    case D3DCMP_LESSEQUAL: return value <= reference;
    case D3DCMP_GREATER: return value > reference;
    case D3DCMP_NOTEQUAL: return value != reference;
    case D3DCMP_GREATEREQUAL: return value >= reference;
    default: return true;
  }
}

struct DepthBuffer {
  BYTE* bits = nullptr;
  INT pitch = 0;
  DepthKind kind = DepthKind::kNone;
  bool test = false;
  bool write = false;
  DWORD func = D3DCMP_LESSEQUAL;

  uint32_t Read(int x, int y) const {
    const BYTE* p = bits + static_cast<ptrdiff_t>(y) * pitch;
    if (kind == DepthKind::k16 || kind == DepthKind::k15S1) {
      uint16_t v;
      std::memcpy(&v, p + 2 * x, 2);
      return v;
    }
    uint32_t v;
    std::memcpy(&v, p + 4 * x, 4);
    return v;
  }
  // Writes the depth bits and keeps the stencil bits.
  void Write(int x, int y, uint32_t value) const {
    BYTE* p = bits + static_cast<ptrdiff_t>(y) * pitch;
    const uint32_t mask = DepthMask(kind);
    if (kind == DepthKind::k16 || kind == DepthKind::k15S1) {
      uint16_t v;
      std::memcpy(&v, p + 2 * x, 2);
      v = static_cast<uint16_t>((v & ~mask) | (value & mask));
      std::memcpy(p + 2 * x, &v, 2);
      return;
    }
    uint32_t v;
    std::memcpy(&v, p + 4 * x, 4);
    v = (v & ~mask) | (value & mask);
    std::memcpy(p + 4 * x, &v, 4);
  }
};

// ---- render target ----------------------------------------------------------------------
enum class TargetKind : uint8_t { kNone, kX8R8G8B8, kA8R8G8B8, kR5G6B5, kX1R5G5B5, kA1R5G5B5 };

TargetKind TargetKindOf(D3DFORMAT format);
UINT TargetBytes(TargetKind kind);

uint32_t ReadTarget(TargetKind kind, const BYTE* pixel);    // as A8R8G8B8 (alpha 255 without alpha bits)
void WriteTarget(TargetKind kind, BYTE* pixel, uint32_t argb);

struct BlendState {
  bool enabled = false;
  DWORD source = D3DBLEND_ONE, dest = D3DBLEND_ZERO, op = D3DBLENDOP_ADD;
  DWORD writeMask = 0xF;  // D3DCOLORWRITEENABLE bits
};

// Blends source colour `src` over the target pixel `dst` (both A8R8G8B8).
uint32_t Blend(const BlendState& state, uint32_t src, uint32_t dst);

// Applies the colour write mask: channels switched off keep `dst`.
inline uint32_t MaskChannels(DWORD mask, uint32_t src, uint32_t dst) {
  if ((mask & 0xF) == 0xF) return src;
  uint32_t keep = 0;
  if (!(mask & D3DCOLORWRITEENABLE_RED)) keep |= 0x00FF0000u;
  if (!(mask & D3DCOLORWRITEENABLE_GREEN)) keep |= 0x0000FF00u;
  if (!(mask & D3DCOLORWRITEENABLE_BLUE)) keep |= 0x000000FFu;
  if (!(mask & D3DCOLORWRITEENABLE_ALPHA)) keep |= 0xFF000000u;
  return (src & ~keep) | (dst & keep);
}

}  // namespace d3d8pipe
