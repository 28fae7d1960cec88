// Block decoders: the colour palette in both modes, the two alpha layouts,
// pixel order inside the block and the premultiplied formats.
#include "gfx/pixel/block_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "gfx/pixel/block_format.h"

namespace {

using Block16 = std::array<FloatColor, 16>;

Block16 Decode(uint32_t format, const std::vector<uint8_t>& bytes) {
  Block16 out{};
  GetBlockDecoder(format)(bytes.data(), out.data());
  return out;
}

void ExpectColor(const FloatColor& c, float r, float g, float b, float a) {
  EXPECT_NEAR(c.r, r, 1e-6f);
  EXPECT_NEAR(c.g, g, 1e-6f);
  EXPECT_NEAR(c.b, b, 1e-6f);
  EXPECT_NEAR(c.a, a, 1e-6f);
}

TEST(BlockDecode, SolidColorBlocks) {
  for (const FloatColor& c : Decode(D3DFMT_DXT1, {0xFF, 0xFF, 0, 0, 0, 0, 0, 0})) {
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.b, 1.0f);
    EXPECT_EQ(c.a, 1.0f);
  }
  // color0 <= color1: three-colour mode, index 3 is transparent black.
  for (const FloatColor& c : Decode(D3DFMT_DXT1, {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}))
    ExpectColor(c, 0, 0, 0, 0);
}

TEST(BlockDecode, PaletteAndPixelOrder) {
  // Pixel i takes index i & 3 (0xE4 = 3,2,1,0 from the top bits down).
  const Block16 four = Decode(D3DFMT_DXT1, {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4});  // red > blue
  const Block16 three = Decode(D3DFMT_DXT1, {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4});  // blue <= red
  for (int row = 0; row < 4; ++row) {
    ExpectColor(four[4 * row + 0], 1, 0, 0, 1);
    ExpectColor(four[4 * row + 1], 0, 0, 1, 1);
    ExpectColor(four[4 * row + 2], 2.0f / 3, 0, 1.0f / 3, 1);
    ExpectColor(four[4 * row + 3], 1.0f / 3, 0, 2.0f / 3, 1);
    ExpectColor(three[4 * row + 0], 0, 0, 1, 1);
    ExpectColor(three[4 * row + 1], 1, 0, 0, 1);
    ExpectColor(three[4 * row + 2], 0.5f, 0, 0.5f, 1);
    ExpectColor(three[4 * row + 3], 0, 0, 0, 0);
  }
  // Fields of 5:6:5: green 0x07E0 alone, and only pixel 15 (top bits) set.
  const Block16 green = Decode(D3DFMT_DXT1, {0xE0, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40});
  for (int i = 0; i < 15; ++i) ExpectColor(green[i], 0, 1, 0, 1);
  ExpectColor(green[15], 0, 0, 0, 1);
}

TEST(BlockDecode, ExplicitAlphaNibblesInPixelOrder) {
  // Pixel i has nibble i; the colour part is in three-colour mode with index
  // 3 everywhere, which the 16-byte formats also honour (black colour).
  const Block16 out = Decode(D3DFMT_DXT3, {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,  //
                                           0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF});
  for (int i = 0; i < 16; ++i) ExpectColor(out[i], 0, 0, 0, static_cast<float>(i) / 15.0f);
}

TEST(BlockDecode, InterpolatedAlphaModes) {
  // Pixel i takes index i & 7: group bits 0xFAC688 hold 0,1,...,7.
  const std::vector<uint8_t> indices = {0x88, 0xC6, 0xFA, 0x88, 0xC6, 0xFA};
  auto block = [&](uint8_t a0, uint8_t a1) {
    std::vector<uint8_t> b(16, 0);
    b[0] = a0;
    b[1] = a1;
    std::copy(indices.begin(), indices.end(), b.begin() + 2);
    std::fill(b.begin() + 8, b.begin() + 12, 0xFF);  // opaque white colour part
    return b;
  };
  const float eight[8] = {1.0f, 0.0f, 6 / 7.0f, 5 / 7.0f, 4 / 7.0f, 3 / 7.0f, 2 / 7.0f, 1 / 7.0f};
  const float six[8] = {0.0f, 1.0f, 0.2f, 0.4f, 0.6f, 0.8f, 0.0f, 1.0f};
  const Block16 eightOut = Decode(D3DFMT_DXT5, block(255, 0));
  const Block16 sixOut = Decode(D3DFMT_DXT5, block(0, 255));
  for (int i = 0; i < 16; ++i) {
    ExpectColor(eightOut[i], 1, 1, 1, eight[i & 7]);
    ExpectColor(sixOut[i], 1, 1, 1, six[i & 7]);
  }
  // Equal endpoints read as the six-value mode: 6 and 7 still give 0 and 1.
  const Block16 equal = Decode(D3DFMT_DXT5, block(51, 51));
  EXPECT_NEAR(equal[3].a, 0.2f, 1e-6f);
  EXPECT_EQ(equal[6].a, 0.0f);
  EXPECT_EQ(equal[7].a, 1.0f);
}

TEST(BlockDecode, UnpremultiplyRule) {
  struct Case {
    FloatColor in, expected;
  };
  const Case cases[] = {
      {{0.25f, 0.5f, 0.75f, 0.5f}, {0.5f, 1.0f, 1.0f, 0.5f}},  // at or above alpha saturates
      {{0.3f, 0.2f, 0.1f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}},    // alpha 0: black
      {{0.3f, 0.2f, 0.1f, 1.0f}, {0.3f, 0.2f, 0.1f, 1.0f}},    // alpha 1: unchanged
  };
  for (const Case& c : cases) {
    FloatColor p = c.in;
    UnpremultiplyAlpha(&p, 1);
    ExpectColor(p, c.expected.r, c.expected.g, c.expected.b, c.expected.a);
  }
}

TEST(BlockDecode, PremultipliedFormatsDivideByAlpha) {
  // Colour red 10/31, green 63/63, blue 0; alpha nibble 10 (2/3) everywhere.
  const std::vector<uint8_t> dxt3 = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA,  //
                                     0xE0, 0x57, 0x00, 0x00, 0, 0, 0, 0};
  const Block16 straight = Decode(D3DFMT_DXT3, dxt3);
  const Block16 premultiplied = Decode(D3DFMT_DXT2, dxt3);
  ExpectColor(straight[5], 10.0f / 31, 1, 0, 2.0f / 3);
  ExpectColor(premultiplied[5], (10.0f / 31) / (2.0f / 3), 1, 0, 2.0f / 3);

  // DXT4 reads like DXT5, then divides: alpha0 = alpha1 = 128, index 6 (0).
  std::vector<uint8_t> dxt5 = {128, 128, 0x80, 0x01, 0x00, 0x00, 0x00, 0x00,  //
                               0xE0, 0x57, 0x00, 0x00, 0, 0, 0, 0};
  const Block16 four = Decode(D3DFMT_DXT4, dxt5);
  ExpectColor(four[1], (10.0f / 31) / (128.0f / 255), 1, 0, 128.0f / 255);  // green 1 >= alpha: 1
  ExpectColor(four[2], 0, 0, 0, 0);  // index 6: alpha 0 makes the colour black
  ExpectColor(Decode(D3DFMT_DXT5, dxt5)[2], 10.0f / 31, 1, 0, 0);
}

TEST(BlockDecode, FormatsWithoutBlocksHaveNoDecoder) {
  EXPECT_EQ(GetBlockDecoder(D3DFMT_A8R8G8B8), nullptr);
  EXPECT_EQ(GetBlockDecoder(D3DFMT_UYVY), nullptr);
  EXPECT_EQ(BlockBytes(D3DFMT_DXT1), 8u);
  EXPECT_EQ(BlockBytes(D3DFMT_DXT4), 16u);
  EXPECT_EQ(BlockBytes(D3DFMT_R5G6B5), 0u);
}

}  // namespace
