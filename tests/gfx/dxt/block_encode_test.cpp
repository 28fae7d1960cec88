// Block encoders: the fixed blocks, the colour and alpha modes, error
// diffusion, the quality of the endpoint search, and the SIMD paths (four and
// eight blocks side by side) writing exactly the bytes of the one-block
// encoders.
#include "gfx/pixel/block_encode.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "gfx/pixel/block_decode.h"
#include "gfx/pixel/block_format.h"

namespace {

using Block16 = std::array<FloatColor, 16>;
using Bytes = std::vector<uint8_t>;

const uint32_t kFormats[] = {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5};

Bytes Encode(uint32_t format, const Block16& in) {
  Bytes out(BlockBytes(format), 0xCD);
  GetBlockEncoder(format)(in.data(), out.data());
  return out;
}

Block16 Decode(uint32_t format, const Bytes& bytes) {
  Block16 out{};
  GetBlockDecoder(format)(bytes.data(), out.data());
  return out;
}

Block16 Solid(FloatColor c) {
  Block16 b;
  b.fill(c);
  return b;
}

// The colour part (last 8 bytes) of a block.
Bytes ColorPart(const Bytes& block) { return Bytes(block.end() - 8, block.end()); }
Bytes AlphaPart(const Bytes& block) { return Bytes(block.begin(), block.begin() + 8); }

TEST(BlockEncode, FixedBlocks) {
  const Bytes black = {0, 0, 0, 0, 0, 0, 0, 0};
  const Bytes white = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  const Bytes clear = {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  for (uint32_t format : kFormats) {
    SCOPED_TRACE(format);
    EXPECT_EQ(ColorPart(Encode(format, Solid({0, 0, 0, 1}))), black);
    EXPECT_EQ(ColorPart(Encode(format, Solid({1, 1, 1, 1}))), white);
  }
  Block16 faint = Solid({0.2f, 0.9f, 0.4f, 0.0f});
  for (int i = 0; i < 16; ++i) faint[i].a = 0.49f * static_cast<float>(i) / 15.0f;
  EXPECT_EQ(Encode(D3DFMT_DXT1, faint), clear);
  // Opaque alpha: explicit nibbles all 15, interpolated 255/255 with indices 0.
  EXPECT_EQ(AlphaPart(Encode(D3DFMT_DXT3, Solid({0.3f, 0.6f, 0.1f, 1}))), Bytes(8, 0xFF));
  EXPECT_EQ(AlphaPart(Encode(D3DFMT_DXT5, Solid({0.3f, 0.6f, 0.1f, 1}))),
            (Bytes{0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
}

TEST(BlockEncode, Dxt1TransparencyUsesThreeColourMode) {
  Block16 in;
  for (int i = 0; i < 16; ++i) {
    const float f = static_cast<float>(i) / 15.0f;
    in[i] = {f, 0.5f * f, 1.0f - f, (i % 5 == 2) ? 0.3f : 1.0f};
  }
  const Bytes out = Encode(D3DFMT_DXT1, in);
  EXPECT_LE(LoadLe16(out.data()), LoadLe16(out.data() + 2));  // three-colour order
  const uint32_t indices = LoadLe32(out.data() + 4);
  const Block16 back = Decode(D3DFMT_DXT1, out);
  for (int i = 0; i < 16; ++i) {
    const bool clear = in[i].a < 0.5f;
    if (clear) {
      EXPECT_EQ((indices >> (2 * i)) & 3, 3u) << i;
    } else {
      EXPECT_NE((indices >> (2 * i)) & 3, 3u) << i;
    }
    EXPECT_EQ(back[i].a, clear ? 0.0f : 1.0f) << i;
    if (!clear) {
      EXPECT_NEAR(back[i].r, in[i].r, 0.2f) << i;  // three levels over the whole range
    }
  }
}

TEST(BlockEncode, OpaqueBlocksUseFourColourOrder) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (uint32_t format : kFormats) {
    for (int n = 0; n < 200; ++n) {
      Block16 in;
      for (FloatColor& c : in) c = {unit(rng), unit(rng), unit(rng), format == D3DFMT_DXT1 ? 1.0f : unit(rng)};
      // Every colour part must decode in four-colour mode even though the
      // 16-byte formats would honour three-colour mode too.
      const Bytes color = ColorPart(Encode(format, in));
      const uint32_t c0 = LoadLe16(color.data()), c1 = LoadLe16(color.data() + 2);
      EXPECT_TRUE(c0 > c1 || (c0 == c1 && LoadLe32(color.data() + 4) == 0)) << format << " " << n;
    }
  }
}

TEST(BlockEncode, TwoExactColoursComeBackExactly) {
  // Two colours that 5:6:5 represents exactly, in a checkered pattern: the
  // endpoint search must land on them and every index must pick its own.
  const FloatColor x = {10 / 31.0f, 50 / 63.0f, 3 / 31.0f, 1};
  const FloatColor y = {25 / 31.0f, 12 / 63.0f, 28 / 31.0f, 1};
  Block16 in;
  for (int i = 0; i < 16; ++i) in[i] = ((i + i / 4) & 1) ? x : y;
  for (uint32_t format : kFormats) {
    SCOPED_TRACE(format);
    const Block16 back = Decode(format, Encode(format, in));
    for (int i = 0; i < 16; ++i) {
      EXPECT_NEAR(back[i].r, in[i].r, 1e-6f);
      EXPECT_NEAR(back[i].g, in[i].g, 1e-6f);
      EXPECT_NEAR(back[i].b, in[i].b, 1e-6f);
    }
  }
}

TEST(BlockEncode, ErrorDiffusionKeepsTheMean) {
  // Red halfway between two 5-bit levels: diffusion spreads the pixels over
  // both levels so the block's mean stays near the input.
  const float red = 15.5f / 31.0f;
  const Block16 back = Decode(D3DFMT_DXT1, Encode(D3DFMT_DXT1, Solid({red, 0.5f, 0.25f, 1})));
  double mean = 0.0;
  for (const FloatColor& c : back) mean += c.r / 16.0;
  EXPECT_NEAR(mean, red, 0.25 / 31.0);
  EXPECT_NE(back[0].r, back[1].r);
}

TEST(BlockEncode, ExplicitAlphaRoundsAndDiffuses) {
  // Pixel 0: 0.5 * 15 + 0.5 = 8 exactly, so 8 is stored and -1/30 passes on;
  // 7/16 of it takes pixel 1 from 0.1733 * 15 + 0.5 = 3.1 below 3.
  Block16 in = Solid({0, 0, 0, 1});
  in[0].a = 0.5f;
  in[1].a = 2.6f / 15.0f;
  const Bytes out = Encode(D3DFMT_DXT3, in);
  EXPECT_EQ(out[0] & 15, 8);
  EXPECT_EQ(out[0] >> 4, 2);
  // Codes stay inside their nibble even for alpha outside [0, 1].
  in = Solid({0, 0, 0, 1.5f});
  in[3].a = -0.5f;
  const Bytes wild = Encode(D3DFMT_DXT3, in);
  EXPECT_EQ(wild[1], 0x0F);
  EXPECT_EQ(wild[2], 0xFF);
}

TEST(BlockEncode, InterpolatedAlphaModes) {
  // Only 0 and 1: alpha0 = 255, alpha1 = 0, indices 0 (1) and 1 (0), read
  // back exactly in the eight-value mode.
  Block16 in = Solid({0.5f, 0.5f, 0.5f, 1});
  for (int i = 0; i < 16; i += 3) in[i].a = 0;
  Bytes out = Encode(D3DFMT_DXT5, in);
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[1], 0);
  Block16 back = Decode(D3DFMT_DXT5, out);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(back[i].a, in[i].a) << i;

  // Values strictly inside (0, 1): eight-value mode, alpha0 > alpha1, and the
  // decoded alphas stay close.
  for (int i = 0; i < 16; ++i) in[i].a = 0.2f + 0.04f * static_cast<float>(i);
  out = Encode(D3DFMT_DXT5, in);
  EXPECT_GT(out[0], out[1]);
  back = Decode(D3DFMT_DXT5, out);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(back[i].a, in[i].a, 0.04f) << i;

  // Interior values with 0 and 1 present: six-value mode (alpha0 <= alpha1),
  // where 0 and 1 keep their own codes.
  for (int i = 0; i < 16; ++i) in[i].a = (i == 0) ? 0.0f : (i == 15) ? 1.0f : 0.4f + 0.01f * static_cast<float>(i);
  out = Encode(D3DFMT_DXT5, in);
  EXPECT_LE(out[0], out[1]);
  back = Decode(D3DFMT_DXT5, out);
  EXPECT_EQ(back[0].a, 0.0f);
  EXPECT_EQ(back[15].a, 1.0f);
  for (int i = 1; i < 15; ++i) EXPECT_NEAR(back[i].a, in[i].a, 0.04f) << i;
}

TEST(BlockEncode, SixValueModeWithOneInteriorValueKeepsOnes) {
  // One interior level gives equal endpoints; pixels at 1 must still decode
  // as 1 and pixels at 0 as 0.
  Block16 in = Solid({0.5f, 0.5f, 0.5f, 1});
  for (int i = 0; i < 16; i += 2) in[i].a = 0.6f;  // 153/255: every one quantizes alike
  in[5].a = 0.0f;
  const Block16 back = Decode(D3DFMT_DXT5, Encode(D3DFMT_DXT5, in));
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(back[i].a, in[i].a, 2.0f / 255) << i;
}

TEST(BlockEncode, PremultipliedFormatsStoreColourTimesAlpha) {
  const Block16 in = Solid({1.0f, 0.5f, 0.0f, 0.5f});
  for (uint32_t format : {D3DFMT_DXT2, D3DFMT_DXT4}) {
    SCOPED_TRACE(format);
    const Bytes out = Encode(format, in);
    // The stored colour part is the premultiplied colour ...
    const Block16 stored = Decode(format == D3DFMT_DXT2 ? D3DFMT_DXT3 : D3DFMT_DXT5, out);
    EXPECT_NEAR(stored[0].r, 0.5f, 1.0f / 31);
    EXPECT_NEAR(stored[0].g, 0.25f, 1.0f / 63);
    // ... and the format's own decoder gives the straight colour back.
    const Block16 back = Decode(format, out);
    EXPECT_NEAR(back[0].r, 1.0f, 0.1f);
    EXPECT_NEAR(back[0].g, 0.5f, 0.1f);
    EXPECT_NEAR(back[0].a, 0.5f, 0.04f);
  }
}

// Blocks of every kind the encoder branches on: random, flat, two-tone,
// gradients, transparent pixels, all transparent, out-of-range values, NaN.
std::vector<Block16> MixedBlocks(uint32_t count) {
  std::mt19937 rng(1234);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<Block16> blocks(count);
  for (uint32_t n = 0; n < count; ++n) {
    Block16& b = blocks[n];
    const FloatColor base = {unit(rng), unit(rng), unit(rng), unit(rng)};
    for (int i = 0; i < 16; ++i) {
      const float f = static_cast<float>(i) / 15.0f;
      switch (n % 7) {
        case 0: b[i] = {unit(rng), unit(rng), unit(rng), unit(rng)}; break;
        case 1: b[i] = base; break;
        case 2: b[i] = (i & 1) ? base : FloatColor{0, 0, 0, 1}; break;
        case 3: b[i] = {base.r * f, base.g, 1 - f, (i % 3) ? 1.0f : 0.0f}; break;
        case 4: b[i] = {base.r, base.g, base.b, 0.2f * unit(rng)}; break;
        case 5: b[i] = {base.r + 0.01f * f, base.g, base.b, base.a + 0.005f * f}; break;
        default: b[i] = {1.2f * unit(rng) - 0.1f, unit(rng), 1.1f, 1.05f * unit(rng)}; break;
      }
    }
    // Now and then a value no codec produces: the encoders must still write
    // a block (and the sanitizer build sees no undefined conversion).
    if (n % 11 == 5) b[n % 16].g = std::numeric_limits<float>::quiet_NaN();
    if (n % 13 == 6) b[(n + 3) % 16].a = std::numeric_limits<float>::infinity();
  }
  return blocks;
}

TEST(BlockEncode, SimdPathsWriteTheOneBlockBytes) {
  // 87 blocks: ten runs of eight (AVX2, where the processor has it), then
  // one of four (SSE2) and three single blocks; without AVX2, all in fours.
  const uint32_t count = 7 * 12 + 3;
  const std::vector<Block16> blocks = MixedBlocks(count);
  for (bool avx2 : {true, false}) {
    BlockEncodeTestAllowAvx2(avx2);
    for (uint32_t format : kFormats) {
      SCOPED_TRACE(testing::Message() << format << (avx2 ? " avx2 allowed" : " sse2"));
      const uint32_t size = BlockBytes(format);
      Bytes batch(size * count, 0xCD);
      EncodeBlocks(format, blocks[0].data(), count, batch.data());
      for (uint32_t n = 0; n < count; ++n) {
        const Bytes one = Encode(format, blocks[n]);
        ASSERT_EQ(Bytes(batch.begin() + size * n, batch.begin() + size * (n + 1)), one) << "block " << n;
      }
    }
  }
  BlockEncodeTestAllowAvx2(true);
  Bytes untouched(16, 0xCD);
  EncodeBlocks(D3DFMT_A8R8G8B8, blocks[0].data(), 1, untouched.data());
  EXPECT_EQ(untouched, Bytes(16, 0xCD));
  EXPECT_EQ(GetBlockEncoder(D3DFMT_A8R8G8B8), nullptr);
}

}  // namespace
