#include "gfx/pixel/format_info.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const FormatInfo& Info(uint32_t format) { return *GetFormatInfo(format); }

TEST(FormatTable, RowsAreUniqueAndFoundByLookup) {
  std::set<uint32_t> seen;
  for (const FormatInfo& row : kFormatTable) {
    EXPECT_TRUE(seen.insert(row.format).second) << "duplicate " << row.format;
    EXPECT_EQ(GetFormatInfo(row.format), &row);
    EXPECT_LT(row.formatClass, kFormatClassCount);
  }
  // The stored order matters to the closest-format walk.
  EXPECT_EQ(kFormatTable[0].format, D3DFMT_R8G8B8);
  EXPECT_EQ(kFormatTable[5].format, D3DFMT_A8P8);
  EXPECT_EQ(kFormatTable[7].format, D3DFMT_A1R5G5B5);
  EXPECT_EQ(kFormatTable[36].format, D3DFMT_D16);
  EXPECT_EQ(kFormatTable[42].format, GXFMT_A16R16G16B16);
}

TEST(FormatTable, PrivateCodesAreLittleEndianFourCCs) {
  EXPECT_EQ(GXFMT_L16, 0x36314C20u);
  EXPECT_EQ(GXFMT_A16L16, 0x36314C41u);
  EXPECT_EQ(GXFMT_R16G16B16, 0x36315220u);
  EXPECT_EQ(GXFMT_A16R16G16B16, 0x36315241u);
}

TEST(FormatTable, UnknownCodesGiveTheFallbackRow) {
  for (uint32_t code : {0u, uint32_t{D3DFMT_D32} + 1, 0xFFFFFFFFu, uint32_t{D3DFMT_VERTEXDATA}}) {
    const FormatInfo* row = GetFormatInfo(code);
    EXPECT_EQ(row, &kUnknownFormatInfo);
    EXPECT_EQ(row->formatClass, FORMAT_CLASS_RGB);
    EXPECT_EQ(row->bitsPerPixel, 32u);
    EXPECT_EQ(row->alphaBits, 8u);
    EXPECT_EQ(row->redBits, 8u);
    EXPECT_EQ(row->greenBits, 8u);
    EXPECT_EQ(row->blueBits, 8u);
    EXPECT_EQ(row->substitutable, 0u);
  }
}

TEST(FormatTable, ClassCompatibility) {
  // RGB never becomes palettised or luminance; those may become RGB; signed
  // and depth stay in their class.
  const uint8_t expected[5][5] = {
      {1, 0, 0, 0, 0}, {1, 1, 0, 0, 0}, {1, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}};
  for (int w = 0; w < 5; ++w)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(kClassCompatibility[w * 5 + c], expected[w][c]) << w << "," << c;
}

struct DistanceCase {
  uint32_t wanted;
  uint32_t candidate;
  uint32_t cost;
};

TEST(FormatDistance, Costs) {
  const DistanceCase cases[] = {
      {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, 0x1000000},  // alpha lost
      {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, 256},        // extra channel
      {D3DFMT_R5G6B5, D3DFMT_A8R8G8B8, 256 + 3 + 2 + 3},
      {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, 4u * (4 << 16)},
      {D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, 0},
      {D3DFMT_A8, D3DFMT_R5G6B5, FORMAT_NO_MATCH},  // the only channel is lost
      {D3DFMT_A8, D3DFMT_A8R3G3B2, 768},
      {D3DFMT_R5G6B5, D3DFMT_P8, FORMAT_NO_MATCH},
      {D3DFMT_A8R8G8B8, D3DFMT_L8, FORMAT_NO_MATCH},
      {D3DFMT_L8, D3DFMT_X8R8G8B8, 0},
      {D3DFMT_P8, D3DFMT_A8R8G8B8, 0},
      {D3DFMT_V8U8, D3DFMT_A8R8G8B8, FORMAT_NO_MATCH},
      {D3DFMT_V8U8, D3DFMT_Q8W8V8U8, 256 + 256},
      {D3DFMT_D16_LOCKABLE, D3DFMT_D16, 0x1000000},  // depth survives
      {D3DFMT_D16, D3DFMT_D24S8, 256 + 8},
      {D3DFMT_D24S8, D3DFMT_R8G8B8, FORMAT_NO_MATCH},
  };
  for (const DistanceCase& c : cases) {
    EXPECT_EQ(FormatDistance(Info(c.wanted), Info(c.candidate)), c.cost) << c.wanted << " -> " << c.candidate;
  }
}

TEST(FormatDistance, EditedRowsAndEmptyWantedFormat) {
  // The texture loader asks for "the same with one alpha bit" by editing a copy.
  FormatInfo oneBitAlpha = Info(D3DFMT_R5G6B5);
  oneBitAlpha.format = 0;
  oneBitAlpha.alphaBits = 1;
  EXPECT_EQ(FormatDistance(oneBitAlpha, Info(D3DFMT_A1R5G5B5)), 1u << 16);  // green loses a bit
  EXPECT_EQ(FormatDistance(oneBitAlpha, Info(D3DFMT_R5G6B5)), 0x1000000u);

  FormatInfo empty = {0, FORMAT_CLASS_RGB, 32, 0, 0, 0, 0, 0, 0};
  for (const FormatInfo& row : kFormatTable) EXPECT_EQ(FormatDistance(empty, row), FORMAT_NO_MATCH);

  FormatInfo badClass = Info(D3DFMT_A8R8G8B8);
  badClass.formatClass = 7;
  EXPECT_EQ(FormatDistance(badClass, Info(D3DFMT_A8R8G8B8)), FORMAT_NO_MATCH);
  EXPECT_EQ(FormatDistance(Info(D3DFMT_A8R8G8B8), badClass), FORMAT_NO_MATCH);
}

TEST(FormatTable, ToPublicFormat) {
  EXPECT_EQ(ToPublicFormat(GXFMT_L16), uint32_t{D3DFMT_L8});
  EXPECT_EQ(ToPublicFormat(GXFMT_A16L16), uint32_t{D3DFMT_A8L8});
  EXPECT_EQ(ToPublicFormat(GXFMT_R16G16B16), uint32_t{D3DFMT_R8G8B8});
  EXPECT_EQ(ToPublicFormat(GXFMT_A16R16G16B16), uint32_t{D3DFMT_A8R8G8B8});
  EXPECT_EQ(ToPublicFormat(D3DFMT_DXT3), uint32_t{D3DFMT_DXT3});
  EXPECT_EQ(ToPublicFormat(0), 0u);
}

}  // namespace
