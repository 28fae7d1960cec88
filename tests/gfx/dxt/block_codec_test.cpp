// BlockCodec: assembling rows into blocks (any row order), replication for
// tiny surfaces, completing partly covered block rows and blocks from the
// surface, decoding boxes off block boundaries, volumes, the colour key.
#include "gfx/pixel/block_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "gfx/pixel/block_encode.h"
#include "dxt_surface.h"

namespace {

const uint32_t kFormats[] = {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5};

// Largest channel difference between two images over a box of `a`.
float MaxDifference(ColorImage& a, ColorImage& b, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1,
                    uint32_t bx = 0, uint32_t by = 0) {
  float worst = 0.0f;
  for (uint32_t y = y0; y < y1; ++y)
    for (uint32_t x = x0; x < x1; ++x) {
      const FloatColor& p = a.at(x, y);
      const FloatColor& q = b.at(x - x0 + bx, y - y0 + by);
      worst = std::max({worst, std::fabs(p.r - q.r), std::fabs(p.g - q.g), std::fabs(p.b - q.b), std::fabs(p.a - q.a)});
    }
  return worst;
}

TEST(BlockCodec, RowsInAnyOrderGiveTheBlocksOfTheEncoder) {
  for (uint32_t format : kFormats) {
    SCOPED_TRACE(format);
    ColorImage image = Picture(12, 8, 1);
    // The blocks the encoder makes from the same pixels.
    std::vector<FloatColor> blocks(6 * 16);
    for (uint32_t y = 0; y < 8; ++y)
      for (uint32_t x = 0; x < 12; ++x) blocks[((y / 4) * 3 + x / 4) * 16 + (y & 3) * 4 + (x & 3)] = image.at(x, y);
    std::vector<uint8_t> expected(6 * BlockBytes(format));
    EncodeBlocks(format, blocks.data(), 6, expected.data());

    DxtSurface inOrder(format, 12, 8), reversed(format, 12, 8);
    WriteBox(inOrder, {0, 0, 12, 8, 0, 1}, image);
    WriteBox(reversed, {0, 0, 12, 8, 0, 1}, image, {7, 3, 6, 2, 5, 1, 4, 0});
    EXPECT_EQ(inOrder.memory, expected);
    EXPECT_EQ(reversed.memory, expected);
  }
}

TEST(BlockCodec, OneBufferServesBlockRowsWrittenInOrder) {
  DxtSurface s(D3DFMT_DXT5, 16, 16);
  ColorImage image = Picture(16, 16, 2);
  std::unique_ptr<PixelCodec> codec = CreatePixelCodec(s.Whole());
  auto* block = dynamic_cast<BlockCodec*>(codec.get());
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->blocksPerRow(), 4u);
  EXPECT_EQ(block->blockRows(), 4u);
  for (uint32_t y = 0; y < 16; ++y) {
    codec->EncodeRow(y, 0, &image.at(0, y));
    EXPECT_LE(block->liveBuffers(), 1u);
  }
  EXPECT_EQ(block->liveBuffers(), 0u);
}

TEST(BlockCodec, BlocksPastTheSurfaceEdgeAreFilledFromTheSurface) {
  // Surfaces 1 or 2 pixels across repeat their pixels through the block
  // (pixel (r, c) is pixel (r & mY, c & mX)); larger ones repeat their last
  // row and column into the padding. Either way the bytes are those of the
  // encoder on the filled blocks, whatever the padding held before.
  struct Case {
    uint32_t w, h;
  };
  for (uint32_t format : {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5}) {
    for (const Case c : {Case{1, 1}, Case{2, 2}, Case{2, 1}, Case{1, 2}, Case{2, 6}, Case{7, 1}, Case{5, 7},
                         Case{3, 3}, Case{6, 2}}) {
      SCOPED_TRACE(testing::Message() << format << " " << c.w << "x" << c.h);
      ColorImage image = Picture(c.w, c.h, 3);
      for (uint32_t y = 0; y < c.h; ++y)
        for (uint32_t x = 0; x < c.w; ++x) image.at(x, y).a = (x + y) % 2 ? 0.25f : 1.0f;
      DxtSurface s(format, c.w, c.h);
      std::fill(s.memory.begin(), s.memory.end(), uint8_t{0x3C});
      WriteBox(s, {0, 0, c.w, c.h, 0, 1}, image);

      const uint32_t maskX = c.w == 1 ? 0 : c.w == 2 ? 1 : 3, maskY = c.h == 1 ? 0 : c.h == 2 ? 1 : 3;
      const uint32_t size = BlockBytes(format);
      for (uint32_t by = 0; by < (c.h + 3) / 4; ++by)
        for (uint32_t bx = 0; bx < (c.w + 3) / 4; ++bx) {
          std::array<FloatColor, 16> px{};
          for (uint32_t r = 0; r < 4; ++r)
            for (uint32_t col = 0; col < 4; ++col) {
              const uint32_t x = bx * 4 + (col & maskX), y = by * 4 + (r & maskY);
              px[r * 4 + col] = image.at(std::min(x, c.w - 1), std::min(y, c.h - 1));
            }
          std::vector<uint8_t> expected(size);
          GetBlockEncoder(format)(px.data(), expected.data());
          EXPECT_TRUE(std::equal(expected.begin(), expected.end(), &s.memory[by * s.rowPitch + bx * size]))
              << bx << "," << by;
        }
    }
  }
}

TEST(BlockCodec, PartlyCoveredBlockRowsAndBlocksKeepTheRest) {
  // Boxes whose block rows or blocks reach outside them: every row written
  // lands, and the pixels around the box keep the old picture.
  struct Case {
    D3DBOX box;
  };
  const Case cases[] = {
      {{0, 2, 12, 12, 0, 1}},  // top inside a block row
      {{0, 0, 12, 6, 0, 1}},   // bottom inside a block row
      {{0, 5, 12, 7, 0, 1}},   // inside one block row, top and bottom
      {{0, 0, 2, 12, 0, 1}},   // narrower than a block at the left edge
      {{3, 1, 10, 11, 0, 1}},  // off block boundaries everywhere
      {{5, 5, 6, 6, 0, 1}},    // one pixel
  };
  for (uint32_t format : {D3DFMT_DXT1, D3DFMT_DXT5}) {
    for (const Case& c : cases) {
      const D3DBOX& b = c.box;
      SCOPED_TRACE(testing::Message() << format << " box " << b.Left << "," << b.Top << "-" << b.Right << "," << b.Bottom);
      // A dark old picture and a bright new one: a pixel of either in the
      // place of the other is off by at least 0.2, a lost pixel by its alpha.
      DxtSurface s(format, 12, 12);
      ColorImage old = Picture(12, 12, 4);
      for (FloatColor& p : old.pixels) p = {0.05f + 0.35f * p.r, 0.05f + 0.35f * p.g, 0.05f + 0.35f * p.b, 1.0f};
      WriteBox(s, {0, 0, 12, 12, 0, 1}, old);
      ColorImage before = ReadBox(s, {0, 0, 12, 12, 0, 1});

      ColorImage fresh = Picture(b.Right - b.Left, b.Bottom - b.Top, 5);
      for (FloatColor& p : fresh.pixels) p = {0.6f + 0.35f * p.r, 0.6f + 0.35f * p.g, 0.6f + 0.35f * p.b, 1.0f};
      WriteBox(s, b, fresh);
      ColorImage after = ReadBox(s, {0, 0, 12, 12, 0, 1});

      EXPECT_LT(MaxDifference(after, fresh, b.Left, b.Top, b.Right, b.Bottom), 0.12f);
      for (uint32_t y = 0; y < 12; ++y)
        for (uint32_t x = 0; x < 12; ++x) {
          if (x >= b.Left && x < b.Right && y >= b.Top && y < b.Bottom) continue;
          // Outside the box: the old picture, at most re-encoded once.
          ASSERT_LT(MaxDifference(after, before, x, y, x + 1, y + 1, x, y), 0.12f) << x << "," << y;
        }
    }
  }
}

TEST(BlockCodec, UnwrittenBlockRowsStayUntouched) {
  DxtSurface s(D3DFMT_DXT1, 8, 8);
  std::fill(s.memory.begin(), s.memory.end(), uint8_t{0x5A});
  ColorImage image = Picture(8, 8, 6);
  {
    std::unique_ptr<PixelCodec> codec = CreatePixelCodec(s.Whole());
    for (uint32_t y = 0; y < 6; ++y) codec->EncodeRow(y, 0, &image.at(0, y));  // block row 1 incomplete
  }
  EXPECT_NE(s.memory[0], 0x5A);
  EXPECT_TRUE(std::all_of(s.memory.begin() + s.rowPitch, s.memory.end(), [](uint8_t v) { return v == 0x5A; }));
}

TEST(BlockCodec, DecodesBoxesOffBlockBoundaries) {
  DxtSurface s(D3DFMT_DXT5, 12, 12);
  ColorImage image = Picture(12, 12, 7);
  WriteBox(s, {0, 0, 12, 12, 0, 1}, image);
  ColorImage whole = ReadBox(s, {0, 0, 12, 12, 0, 1});
  ColorImage part = ReadBox(s, {3, 2, 11, 9, 0, 1});
  EXPECT_EQ(MaxDifference(whole, part, 3, 2, 11, 9), 0.0f);
}

TEST(BlockCodec, VolumesKeepTheirSlicesApart) {
  // Each slice of a volume holds the blocks a single surface of that slice
  // would hold.
  DxtSurface s(D3DFMT_DXT3, 8, 8, 3);
  ColorImage image = Picture(8, 8, 8, 3);
  WriteBox(s, {0, 0, 8, 8, 0, 3}, image);
  ColorImage back = ReadBox(s, {0, 0, 8, 8, 0, 3});
  for (uint32_t z = 0; z < 3; ++z) {
    ColorImage slice(8, 8);
    std::copy(&image.at(0, 0, z), &image.at(0, 0, z) + 64, slice.pixels.begin());
    DxtSurface single(D3DFMT_DXT3, 8, 8);
    WriteBox(single, {0, 0, 8, 8, 0, 1}, slice);
    EXPECT_TRUE(std::equal(single.memory.begin(), single.memory.end(), s.memory.begin() + z * s.slicePitch)) << z;
  }
  // A box of the middle slice only, off the block grid.
  ColorImage middle = ReadBox(s, {1, 1, 7, 7, 1, 2});
  for (uint32_t y = 0; y < 6; ++y)
    for (uint32_t x = 0; x < 6; ++x) ASSERT_EQ(middle.at(x, y).b, back.at(x + 1, y + 1, 1).b) << x << "," << y;
}

TEST(BlockCodec, ColourKeyMatchesColoursAsStored) {
  // color0 red (0xF800), color1 black, index 2: red = 2/3, which is not a
  // 5-bit level; the key 0xFFAD0000 rounds to the same 5:6:5 colour (21/31).
  DxtSurface s(D3DFMT_DXT1, 4, 4);
  const uint8_t block[8] = {0x00, 0xF8, 0x00, 0x00, 0xA2, 0xA2, 0xA2, 0xA2};  // indices 2, 0, 2, 2 per row
  std::copy(block, block + 8, s.memory.begin());
  ColorImage plain = ReadBox(s, {0, 0, 4, 4, 0, 1});
  ColorImage keyed = ReadBox(s, {0, 0, 4, 4, 0, 1}, 0xFFAD0000);
  EXPECT_NEAR(plain.at(0, 0).r, 2.0f / 3.0f, 1e-6f);
  for (uint32_t y = 0; y < 4; ++y) {
    EXPECT_EQ(keyed.at(0, y).a, 0.0f);
    EXPECT_EQ(keyed.at(0, y).r, 0.0f);
    EXPECT_EQ(keyed.at(1, y).r, 1.0f);  // index 0 keeps its colour
    EXPECT_EQ(keyed.at(1, y).a, 1.0f);
  }
  // A key one 5-bit step away matches nothing.
  ColorImage missed = ReadBox(s, {0, 0, 4, 4, 0, 1}, 0xFFB50000);
  EXPECT_EQ(missed.at(0, 0).r, plain.at(0, 0).r);
  // Explicit alpha compares 4-bit alpha: key alpha 0x80 (8/15) matches a nibble of 8.
  DxtSurface s3(D3DFMT_DXT3, 4, 4);
  const uint8_t block3[16] = {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  std::copy(block3, block3 + 16, s3.memory.begin());
  EXPECT_EQ(ReadBox(s3, {0, 0, 4, 4, 0, 1}, 0x80FFFFFF).at(2, 2).a, 0.0f);
  EXPECT_EQ(ReadBox(s3, {0, 0, 4, 4, 0, 1}, 0xFFFFFFFF).at(2, 2).a, 8.0f / 15.0f);
}

TEST(BlockCodec, RejectsBoxesOutsideTheSurface) {
  DxtSurface s(D3DFMT_DXT1, 8, 8);
  EXPECT_EQ(CreatePixelCodec(s.Region({0, 0, 9, 8, 0, 1})), nullptr);
  EXPECT_EQ(CreatePixelCodec(s.Region({4, 0, 2, 8, 0, 1})), nullptr);
  EXPECT_EQ(CreatePixelCodec(s.Region({0, 0, 8, 8, 0, 2})), nullptr);
  PixelRegion noBits = s.Whole();
  noBits.bits = nullptr;
  EXPECT_EQ(CreatePixelCodec(noBits), nullptr);
  EXPECT_NE(CreatePixelCodec(s.Region({0, 0, 8, 8, 0, 1})), nullptr);
}

}  // namespace
