#include "pixel_output.h"

#include <algorithm>

namespace d3d8pipe {

DepthKind DepthKindOf(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_D16: case D3DFMT_D16_LOCKABLE: return DepthKind::k16;
    case D3DFMT_D15S1: return DepthKind::k15S1;
    case D3DFMT_D24S8: case D3DFMT_D24X8: case D3DFMT_D24X4S4: return DepthKind::k24;
    case D3DFMT_D32: return DepthKind::k32;
    default: return DepthKind::kNone;
  }
}

UINT DepthBytes(DepthKind kind) {
  switch (kind) {
    case DepthKind::k16: case DepthKind::k15S1: return 2;
    case DepthKind::k24: case DepthKind::k32: return 4;
    default: return 0;
  }
}

TargetKind TargetKindOf(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_X8R8G8B8: return TargetKind::kX8R8G8B8;
    case D3DFMT_A8R8G8B8: return TargetKind::kA8R8G8B8;
    case D3DFMT_R5G6B5: return TargetKind::kR5G6B5;
    case D3DFMT_X1R5G5B5: return TargetKind::kX1R5G5B5;
    case D3DFMT_A1R5G5B5: return TargetKind::kA1R5G5B5;
    default: return TargetKind::kNone;
  }
}

UINT TargetBytes(TargetKind kind) {
  switch (kind) {
    case TargetKind::kX8R8G8B8: case TargetKind::kA8R8G8B8: return 4;
    case TargetKind::kNone: return 0;
    default: return 2;
  }
}

uint32_t ReadTarget(TargetKind kind, const BYTE* pixel) {
  uint32_t v32;
  uint16_t v16;
  switch (kind) {
    case TargetKind::kX8R8G8B8: std::memcpy(&v32, pixel, 4); return v32 | 0xFF000000u;
    case TargetKind::kA8R8G8B8: std::memcpy(&v32, pixel, 4); return v32;
    default: break;
  }
  std::memcpy(&v16, pixel, 2);
  const uint32_t v = v16;
  auto five = [](uint32_t c) { return (c << 3) | (c >> 2); };
  if (kind == TargetKind::kR5G6B5) {
    return 0xFF000000u | (five(v >> 11) << 16) | ((((v >> 5) & 63) << 2 | ((v >> 9) & 3)) << 8) | five(v & 31);
  }
  const uint32_t alpha = kind == TargetKind::kA1R5G5B5 ? ((v & 0x8000u) ? 255u : 0u) : 255u;
  return (alpha << 24) | (five((v >> 10) & 31) << 16) | (five((v >> 5) & 31) << 8) | five(v & 31);
}

void WriteTarget(TargetKind kind, BYTE* pixel, uint32_t argb) {
  if (kind == TargetKind::kX8R8G8B8 || kind == TargetKind::kA8R8G8B8) {
    std::memcpy(pixel, &argb, 4);
    return;
  }
  // Round to nearest when narrowing each channel.
  auto narrow = [](uint32_t c, int bits) { return (c * ((1u << bits) - 1) + 127) / 255; };
  const uint32_t r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
  uint16_t v;
  if (kind == TargetKind::kR5G6B5) {
    v = static_cast<uint16_t>((narrow(r, 5) << 11) | (narrow(g, 6) << 5) | narrow(b, 5));
  } else {
    const uint32_t a = kind == TargetKind::kA1R5G5B5 ? ((argb >> 31) << 15) : 0x8000u;
    v = static_cast<uint16_t>(a | (narrow(r, 5) << 10) | (narrow(g, 5) << 5) | narrow(b, 5));
  }
  std::memcpy(pixel, &v, 2);
}

namespace {

Color4 Factor(DWORD factor, const Color4& s, const Color4& d, bool forDest) {
  switch (factor) {
    case D3DBLEND_ZERO: return {0, 0, 0, 0};
    case D3DBLEND_ONE: return {1, 1, 1, 1};
    case D3DBLEND_SRCCOLOR: return s;
    case D3DBLEND_INVSRCCOLOR: return {1 - s.r, 1 - s.g, 1 - s.b, 1 - s.a};
    case D3DBLEND_SRCALPHA: return {s.a, s.a, s.a, s.a};
    case D3DBLEND_INVSRCALPHA: return {1 - s.a, 1 - s.a, 1 - s.a, 1 - s.a};
    case D3DBLEND_DESTALPHA: return {d.a, d.a, d.a, d.a};
    case D3DBLEND_INVDESTALPHA: return {1 - d.a, 1 - d.a, 1 - d.a, 1 - d.a};
    case D3DBLEND_DESTCOLOR: return d;
    case D3DBLEND_INVDESTCOLOR: return {1 - d.r, 1 - d.g, 1 - d.b, 1 - d.a};
    case D3DBLEND_SRCALPHASAT: {
      const float f = std::min(s.a, 1 - d.a);
      return {f, f, f, 1};
    }
    case D3DBLEND_BOTHSRCALPHA:  // source factor SRCALPHA, destination INVSRCALPHA
      return forDest ? Color4{1 - s.a, 1 - s.a, 1 - s.a, 1 - s.a} : Color4{s.a, s.a, s.a, s.a};
    case D3DBLEND_BOTHINVSRCALPHA:
      return forDest ? Color4{s.a, s.a, s.a, s.a} : Color4{1 - s.a, 1 - s.a, 1 - s.a, 1 - s.a};
    default: return {1, 1, 1, 1};
  }
}

float Combine(DWORD op, float s, float d) {
  switch (op) {
    case D3DBLENDOP_SUBTRACT: return s - d;
    case D3DBLENDOP_REVSUBTRACT: return d - s;
    default: return s + d;
  }
}

}  // namespace

uint32_t Blend(const BlendState& state, uint32_t src, uint32_t dst) {
  const Color4 s = UnpackColor(src), d = UnpackColor(dst);
  if (state.op == D3DBLENDOP_MIN) {
    return PackColor({std::min(s.r, d.r), std::min(s.g, d.g), std::min(s.b, d.b), std::min(s.a, d.a)});
  }
  if (state.op == D3DBLENDOP_MAX) {
    return PackColor({std::max(s.r, d.r), std::max(s.g, d.g), std::max(s.b, d.b), std::max(s.a, d.a)});
  }
  DWORD source = state.source, dest = state.dest;
  if (source == D3DBLEND_BOTHSRCALPHA || source == D3DBLEND_BOTHINVSRCALPHA) dest = source;
  const Color4 fs = Factor(source, s, d, false), fd = Factor(dest, s, d, true);
  return PackColor({Combine(state.op, s.r * fs.r, d.r * fd.r), Combine(state.op, s.g * fs.g, d.g * fd.g),
                    Combine(state.op, s.b * fs.b, d.b * fd.b), Combine(state.op, s.a * fs.a, d.a * fd.a)});
}

}  // namespace d3d8pipe
