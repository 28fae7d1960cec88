// The driver of the block encoders over a lane type: load 16 colours per
// lane, premultiply where the format asks, run the colour and alpha halves,
// pack each lane's fields into its block. The lane type brings its own
// LoadLanes and Store (found by argument-dependent lookup), so this template
// serves the one-block, SSE2 and AVX2 paths alike. Everything here is a
// template, so a translation unit compiled for another instruction set
// shares no compiled code with the others.
#pragma once

#include <cstdint>

#include "d3d8_types.h"
#include "gfx/pixel/block_alpha_encode.h"
#include "gfx/pixel/block_color_encode.h"
#include "gfx/pixel/pixel_region.h"

namespace block_encode {

// The plain-float and SSE2 forms; other lane types are found through their
// own namespace.
using block_lanes::LoadLanes;
using block_lanes::Store;

// Channels of pixel i of each lane's block.
template <class V>
struct LanePixels {
  V r[16], g[16], b[16], a[16];
};

// Codes are whole floats in range for finite input; anything else (NaN from
// NaN input) packs as 0 rather than converting out of range.
template <class V>
inline uint32_t Whole(float v) {
  return v >= 0.0f && v < 65536.0f ? static_cast<uint32_t>(v) : 0;
}

template <class V>
inline void PutLe16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

template <class V>
void EncodeLanes(uint32_t format, const FloatColor* const* blocks, uint8_t* const* out) {
  constexpr int kLanes = block_lanes::kLaneCount<V>;
  LanePixels<V> p;
  LoadLanes(blocks, p.r, p.g, p.b, p.a);
  if (format == D3DFMT_DXT2 || format == D3DFMT_DXT4) {
    for (int i = 0; i < 16; ++i) {
      p.r[i] = p.r[i] * p.a[i];
      p.g[i] = p.g[i] * p.a[i];
      p.b[i] = p.b[i] * p.a[i];
    }
  }

  block_color::ColorCode<V> color;
  block_color::EncodeColors(p.r, p.g, p.b, p.a, format == D3DFMT_DXT1, color);
  float color0[kLanes], color1[kLanes], index[16][kLanes];
  Store(color.color0, color0);
  Store(color.color1, color1);
  for (int i = 0; i < 16; ++i) Store(color.index[i], index[i]);
  const uint32_t colorOffset = format == D3DFMT_DXT1 ? 0 : 8;
  for (int lane = 0; lane < kLanes; ++lane) {
    uint8_t* block = out[lane] + colorOffset;
    uint32_t word = 0;
    for (int i = 0; i < 16; ++i) word |= Whole<V>(index[i][lane]) << (2 * i);
    PutLe16<V>(block, Whole<V>(color0[lane]));
    PutLe16<V>(block + 2, Whole<V>(color1[lane]));
    PutLe16<V>(block + 4, word);
    PutLe16<V>(block + 6, word >> 16);
  }

  if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) {
    V nibble[16];
    block_alpha::EncodeExplicitAlpha(p.a, nibble);
    float codes[16][kLanes];
    for (int i = 0; i < 16; ++i) Store(nibble[i], codes[i]);
    for (int lane = 0; lane < kLanes; ++lane)
      for (int i = 0; i < 16; i += 2)
        out[lane][i / 2] = static_cast<uint8_t>(Whole<V>(codes[i][lane]) | (Whole<V>(codes[i + 1][lane]) << 4));
  } else if (format == D3DFMT_DXT4 || format == D3DFMT_DXT5) {
    block_alpha::AlphaCode<V> alpha;
    block_alpha::EncodeInterpolatedAlpha(p.a, alpha);
    float alpha0[kLanes], alpha1[kLanes], codes[16][kLanes];
    Store(alpha.alpha0, alpha0);
    Store(alpha.alpha1, alpha1);
    for (int i = 0; i < 16; ++i) Store(alpha.index[i], codes[i]);
    for (int lane = 0; lane < kLanes; ++lane) {
      uint8_t* block = out[lane];
      block[0] = static_cast<uint8_t>(Whole<V>(alpha0[lane]));
      block[1] = static_cast<uint8_t>(Whole<V>(alpha1[lane]));
      for (int half = 0; half < 2; ++half) {
        uint32_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= Whole<V>(codes[8 * half + i][lane]) << (3 * i);
        block[2 + 3 * half] = static_cast<uint8_t>(bits);
        block[3 + 3 * half] = static_cast<uint8_t>(bits >> 8);
        block[4 + 3 * half] = static_cast<uint8_t>(bits >> 16);
      }
    }
  }
}

}  // namespace block_encode
