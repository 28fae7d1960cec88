// Drivers of the block encoders: load 16 colours per lane, run the colour and
// alpha halves, pack the fields of each lane into its block.
#include "gfx/pixel/block_encode.h"

#include "gfx/pixel/block_alpha_encode.h"
#include "gfx/pixel/block_color_encode.h"
#include "gfx/pixel/block_format.h"

namespace {

using block_lanes::Float4;

// Channels of pixel i of each lane's block.
struct Pixels {
  template <class V>
  struct Of {
    V r[16], g[16], b[16], a[16];
  };
};

void Load(const FloatColor* const* blocks, Pixels::Of<float>& p) {
  for (int i = 0; i < 16; ++i) {
    const FloatColor& c = blocks[0][i];
    p.r[i] = c.r;
    p.g[i] = c.g;
    p.b[i] = c.b;
    p.a[i] = c.a;
  }
}

void Load(const FloatColor* const* blocks, Pixels::Of<Float4>& p) {
  for (int i = 0; i < 16; ++i) {
    __m128 c0 = _mm_loadu_ps(&blocks[0][i].r);
    __m128 c1 = _mm_loadu_ps(&blocks[1][i].r);
    __m128 c2 = _mm_loadu_ps(&blocks[2][i].r);
    __m128 c3 = _mm_loadu_ps(&blocks[3][i].r);
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
    p.r[i] = Float4(c0);
    p.g[i] = Float4(c1);
    p.b[i] = Float4(c2);
    p.a[i] = Float4(c3);
  }
}

// Codes are whole floats in range for finite input; anything else (NaN from
// NaN input) packs as 0 rather than converting out of range.
uint32_t Whole(float v) { return v >= 0.0f && v < 65536.0f ? static_cast<uint32_t>(v) : 0; }

template <class V>
void EncodeLanes(uint32_t format, const FloatColor* const* blocks, uint8_t* const* out) {
  constexpr int kLanes = block_lanes::kLaneCount<V>;
  Pixels::Of<V> p;
  Load(blocks, p);
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
  block_lanes::Store(color.color0, color0);
  block_lanes::Store(color.color1, color1);
  for (int i = 0; i < 16; ++i) block_lanes::Store(color.index[i], index[i]);
  const uint32_t colorOffset = format == D3DFMT_DXT1 ? 0 : 8;
  for (int lane = 0; lane < kLanes; ++lane) {
    uint8_t* block = out[lane] + colorOffset;
    uint32_t word = 0;
    for (int i = 0; i < 16; ++i) word |= Whole(index[i][lane]) << (2 * i);
    StoreLe16(block, Whole(color0[lane]));
    StoreLe16(block + 2, Whole(color1[lane]));
    StoreLe32(block + 4, word);
  }

  if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) {
    V nibble[16];
    block_alpha::EncodeExplicitAlpha(p.a, nibble);
    float codes[16][kLanes];
    for (int i = 0; i < 16; ++i) block_lanes::Store(nibble[i], codes[i]);
    for (int lane = 0; lane < kLanes; ++lane)
      for (int i = 0; i < 16; i += 2)
        out[lane][i / 2] = static_cast<uint8_t>(Whole(codes[i][lane]) | (Whole(codes[i + 1][lane]) << 4));
  } else if (format == D3DFMT_DXT4 || format == D3DFMT_DXT5) {
    block_alpha::AlphaCode<V> alpha;
    block_alpha::EncodeInterpolatedAlpha(p.a, alpha);
    float alpha0[kLanes], alpha1[kLanes], codes[16][kLanes];
    block_lanes::Store(alpha.alpha0, alpha0);
    block_lanes::Store(alpha.alpha1, alpha1);
    for (int i = 0; i < 16; ++i) block_lanes::Store(alpha.index[i], codes[i]);
    for (int lane = 0; lane < kLanes; ++lane) {
      uint8_t* block = out[lane];
      block[0] = static_cast<uint8_t>(Whole(alpha0[lane]));
      block[1] = static_cast<uint8_t>(Whole(alpha1[lane]));
      for (int half = 0; half < 2; ++half) {
        uint32_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= Whole(codes[8 * half + i][lane]) << (3 * i);
        block[2 + 3 * half] = static_cast<uint8_t>(bits);
        block[3 + 3 * half] = static_cast<uint8_t>(bits >> 8);
        block[4 + 3 * half] = static_cast<uint8_t>(bits >> 16);
      }
    }
  }
}

void EncodeOne(uint32_t format, const FloatColor* in, uint8_t* block) {
  const FloatColor* const blocks[1] = {in};
  uint8_t* const out[1] = {block};
  EncodeLanes<float>(format, blocks, out);
}

}  // namespace

void EncodeBlockDxt1(const FloatColor* in, uint8_t* block) { EncodeOne(D3DFMT_DXT1, in, block); }
void EncodeBlockDxt2(const FloatColor* in, uint8_t* block) { EncodeOne(D3DFMT_DXT2, in, block); }
void EncodeBlockDxt3(const FloatColor* in, uint8_t* block) { EncodeOne(D3DFMT_DXT3, in, block); }
void EncodeBlockDxt4(const FloatColor* in, uint8_t* block) { EncodeOne(D3DFMT_DXT4, in, block); }
void EncodeBlockDxt5(const FloatColor* in, uint8_t* block) { EncodeOne(D3DFMT_DXT5, in, block); }

BlockEncoder GetBlockEncoder(uint32_t format) {
  switch (format) {
    case D3DFMT_DXT1: return EncodeBlockDxt1;
    case D3DFMT_DXT2: return EncodeBlockDxt2;
    case D3DFMT_DXT3: return EncodeBlockDxt3;
    case D3DFMT_DXT4: return EncodeBlockDxt4;
    case D3DFMT_DXT5: return EncodeBlockDxt5;
    default: return nullptr;
  }
}

void EncodeBlocks(uint32_t format, const FloatColor* in, uint32_t count, uint8_t* out) {
  const uint32_t blockBytes = BlockBytes(format);
  if (blockBytes == 0) return;
  uint32_t done = 0;
  for (; done + 4 <= count; done += 4) {
    const FloatColor* const blocks[4] = {in + 16 * done, in + 16 * (done + 1), in + 16 * (done + 2),
                                         in + 16 * (done + 3)};
    uint8_t* const blocksOut[4] = {out + blockBytes * done, out + blockBytes * (done + 1),
                                   out + blockBytes * (done + 2), out + blockBytes * (done + 3)};
    EncodeLanes<Float4>(format, blocks, blocksOut);
  }
  for (; done < count; ++done) EncodeOne(format, in + 16 * done, out + blockBytes * done);
}
