#include "texel_formats.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace d3d8pipe;

namespace {

uint32_t Decode(D3DFORMAT format, const std::vector<uint8_t>& bytes, UINT x = 0, UINT y = 0, INT pitch = 64) {
  std::vector<uint8_t> memory(256, 0);
  std::memcpy(memory.data(), bytes.data(), bytes.size());
  SurfaceView level{memory.data(), pitch, format, 4, 4};
  const TexelFetch fetch = TexelFetchFor(format);
  EXPECT_NE(fetch, nullptr);
  return fetch ? fetch(level, x, y) : 0;
}

TEST(TexelFormatsTest, PlainFormatsExpandToEightBitChannels) {
  struct Case {
    D3DFORMAT format;
    std::vector<uint8_t> bytes;
    uint32_t argb;
  };
  const Case cases[] = {
      {D3DFMT_A8R8G8B8, {0x11, 0x22, 0x33, 0x44}, 0x44332211},
      {D3DFMT_X8R8G8B8, {0x11, 0x22, 0x33, 0x00}, 0xFF332211},
      {D3DFMT_R8G8B8, {0x11, 0x22, 0x33}, 0xFF332211},
      {D3DFMT_R5G6B5, {0x1F, 0xF8}, 0xFFFF00FF},            // red and blue full
      {D3DFMT_X1R5G5B5, {0xE0, 0x03}, 0xFF00FF00},          // green full
      {D3DFMT_A1R5G5B5, {0x00, 0x80}, 0xFF000000},          // alpha bit only
      {D3DFMT_A4R4G4B4, {0x21, 0x8F}, 0x88FF2211},
      {D3DFMT_L8, {0x40}, 0xFF404040},
      {D3DFMT_A8L8, {0x40, 0x80}, 0x80404040},
      {D3DFMT_A8, {0x80}, 0x80000000},                      // alpha only: colour black
      {D3DFMT_A4L4, {0x3C}, 0x33CCCCCC},
      {D3DFMT_R3G3B2, {0xE3}, 0xFFFF00FF},
  };
  for (const Case& c : cases) EXPECT_EQ(Decode(c.format, c.bytes), c.argb) << c.format;
}

TEST(TexelFormatsTest, Dxt1FourAndThreeColourBlocks) {
  // c0 = red (0xF800) > c1 = blue (0x001F): four colours; texel indices 0, 1, 2, 3 in the first row.
  const std::vector<uint8_t> four = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0};
  EXPECT_EQ(Decode(D3DFMT_DXT1, four, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Decode(D3DFMT_DXT1, four, 1, 0), 0xFF0000FFu);
  EXPECT_EQ(Decode(D3DFMT_DXT1, four, 2, 0), 0xFFAA0055u);  // 2/3 red + 1/3 blue
  // c0 <= c1: three colours and transparent black for index 3.
  const std::vector<uint8_t> three = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0, 0, 0};
  EXPECT_EQ(Decode(D3DFMT_DXT1, three, 2, 0), 0xFF800080u);
  EXPECT_EQ(Decode(D3DFMT_DXT1, three, 3, 0), 0x00000000u);
}

TEST(TexelFormatsTest, Dxt3AndDxt5Alpha) {
  // DXT3: explicit 4-bit alpha; texel (1, 0) has 0xF, texel (0, 0) 0x3; colour block all white.
  std::vector<uint8_t> dxt3 = {0xF3, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  EXPECT_EQ(Decode(D3DFMT_DXT3, dxt3, 0, 0), 0x33FFFFFFu);
  EXPECT_EQ(Decode(D3DFMT_DXT3, dxt3, 1, 0), 0xFFFFFFFFu);
  // DXT5: a0 = 255 > a1 = 0: eight-step ramp; index 2 gives (6·255 + 0) / 7.
  std::vector<uint8_t> dxt5 = {255, 0, 0x02, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  EXPECT_EQ(Decode(D3DFMT_DXT5, dxt5, 0, 0) >> 24, 219u);
  // a0 <= a1: six steps plus 0 and 255 for indices 6 and 7.
  std::vector<uint8_t> dxt5b = {0, 255, 0x06 | (0x07 << 3), 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  EXPECT_EQ(Decode(D3DFMT_DXT5, dxt5b, 0, 0) >> 24, 0u);
  EXPECT_EQ(Decode(D3DFMT_DXT5, dxt5b, 1, 0) >> 24, 255u);
}

TEST(TexelFormatsTest, LevelSizeChecksRejectShortPitches) {
  EXPECT_EQ(RequiredLevelBytes(D3DFMT_A8R8G8B8, 4, 4, 12), 0u);
  EXPECT_EQ(RequiredLevelBytes(D3DFMT_A8R8G8B8, 4, 4, 16), 64u);
  EXPECT_EQ(RequiredLevelBytes(D3DFMT_DXT1, 5, 5, 16), 32u);  // 2x2 blocks
  EXPECT_EQ(RequiredLevelBytes(D3DFMT_P8, 4, 4, 16), 0u);     // not sampled
  EXPECT_EQ(TexelFetchFor(D3DFMT_UYVY), nullptr);
}

}  // namespace
