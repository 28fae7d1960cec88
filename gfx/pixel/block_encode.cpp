// The block encoders: one block through the plain-float lanes, runs of
// blocks eight at a time with AVX2 where the processor has it, then four at a
// time with SSE2, the rest one by one. All paths write the same bytes.
#include "gfx/pixel/block_encode.h"

#include "gfx/pixel/block_encode_avx2.h"
#include "gfx/pixel/block_encode_lanes.h"
#include "gfx/pixel/block_format.h"

namespace block_lanes {

void LoadLanes(const FloatColor* const* blocks, float* r, float* g, float* b, float* a) {
  for (int i = 0; i < 16; ++i) {
    const FloatColor& c = blocks[0][i];
    r[i] = c.r;
    g[i] = c.g;
    b[i] = c.b;
    a[i] = c.a;
  }
}

void LoadLanes(const FloatColor* const* blocks, Float4* r, Float4* g, Float4* b, Float4* a) {
  for (int i = 0; i < 16; ++i) {
    __m128 c0 = _mm_loadu_ps(&blocks[0][i].r);
    __m128 c1 = _mm_loadu_ps(&blocks[1][i].r);
    __m128 c2 = _mm_loadu_ps(&blocks[2][i].r);
    __m128 c3 = _mm_loadu_ps(&blocks[3][i].r);
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
    r[i] = Float4(c0);
    g[i] = Float4(c1);
    b[i] = Float4(c2);
    a[i] = Float4(c3);
  }
}

}  // namespace block_lanes

bool HasAvx2() {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2") != 0;
  return hasAvx2;
}

namespace {

bool allowAvx2 = true;

void EncodeOne(uint32_t format, const FloatColor* in, uint8_t* block) {
  const FloatColor* const blocks[1] = {in};
  uint8_t* const out[1] = {block};
  block_encode::EncodeLanes<float>(format, blocks, out);
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
  if (allowAvx2 && HasAvx2()) {
    for (; done + 8 <= count; done += 8) {
      const FloatColor* blocks[8];
      uint8_t* blocksOut[8];
      for (uint32_t k = 0; k < 8; ++k) {
        blocks[k] = in + 16 * (done + k);
        blocksOut[k] = out + blockBytes * (done + k);
      }
      EncodeEightBlocksAvx2(format, blocks, blocksOut);
    }
  }
  for (; done + 4 <= count; done += 4) {
    const FloatColor* const blocks[4] = {in + 16 * done, in + 16 * (done + 1), in + 16 * (done + 2),
                                         in + 16 * (done + 3)};
    uint8_t* const blocksOut[4] = {out + blockBytes * done, out + blockBytes * (done + 1),
                                   out + blockBytes * (done + 2), out + blockBytes * (done + 3)};
    block_encode::EncodeLanes<block_lanes::Float4>(format, blocks, blocksOut);
  }
  for (; done < count; ++done) EncodeOne(format, in + 16 * done, out + blockBytes * done);
}

void BlockEncodeTestAllowAvx2(bool allow) { allowAvx2 = allow; }
