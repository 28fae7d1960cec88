#include <gtest/gtest.h>

#include "image_builders.h"

namespace {

constexpr uint32_t kRle8 = 1, kRle4 = 2, kBitfields = 3;

TEST(BmpReaderTest, BottomUpRowsAreFlippedAndPaddedToFourBytes) {
  DibSpec s;
  s.width = 3;
  s.height = 2;
  s.pixelData = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,  // bottom row in the file
                 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  const Bytes file = WithFileHeader(BuildDib(s));
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadBmp, file), S_OK);
  EXPECT_EQ(image.format, D3DFMT_R8G8B8);
  EXPECT_EQ(image.rowPitch, 12u);
  EXPECT_EQ(image.width, 3u);
  EXPECT_EQ(image.height, 2u);
  EXPECT_EQ(image.depth, 1u);
  EXPECT_EQ(image.slicePitch, 0u);
  EXPECT_TRUE(image.ownsPixels);
  EXPECT_EQ(Row(image, 0, 9), (Bytes{11, 12, 13, 14, 15, 16, 17, 18, 19}));
  EXPECT_EQ(Row(image, 1, 9), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(BmpReaderTest, TopDownDeepImagesPointIntoTheCallersMemory) {
  DibSpec s;
  s.width = 2;
  s.height = -2;
  s.bitCount = 32;
  s.pixelData = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const Bytes dib = BuildDib(s);
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDib, dib), S_OK);
  EXPECT_EQ(image.format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(image.height, 2u);
  EXPECT_FALSE(image.ownsPixels);
  EXPECT_EQ(image.pixels, dib.data() + 40);
  EXPECT_EQ(Row(image, 1, 8), (Bytes{9, 10, 11, 12, 13, 14, 15, 16}));

  // Shallow top-down images still need expanding, so they are copied.
  DibSpec packed;
  packed.width = 4;
  packed.height = -2;
  packed.bitCount = 4;
  packed.colorsUsed = 2;
  packed.colorTable = Bytes(8, 0);
  packed.pixelData = {0x01, 0x10, 0, 0, 0x11, 0x00, 0, 0};
  SourceImage copy;
  ASSERT_EQ(RunReader(copy, &SourceImage::LoadDib, BuildDib(packed)), S_OK);
  EXPECT_TRUE(copy.ownsPixels);
  EXPECT_EQ(Row(copy, 0, 4), (Bytes{0, 1, 1, 0}));
  EXPECT_EQ(Row(copy, 1, 4), (Bytes{1, 1, 0, 0}));
}

TEST(BmpReaderTest, PackedIndicesExpandMostSignificantFirstWithThePalette) {
  struct Case {
    uint16_t bitCount;
    Bytes row;  // one stored row, padded to 4 bytes
    Bytes expected;
  };
  const Case cases[] = {
      {1, {0b10110000, 0b01000000, 0, 0}, {1, 0, 1, 1, 0, 0, 0, 0, 0, 1}},
      {4, {0x1F, 0x0A, 0x50, 0, 0, 0, 0, 0}, {1, 15, 0, 10, 5, 0, 0, 0, 0, 0}},
      {8, {3, 200, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0}, {3, 200, 0, 0, 0, 0, 0, 0, 0, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bitCount);
    DibSpec s;
    s.width = 10;
    s.height = 1;
    s.bitCount = c.bitCount;
    for (int k = 0; k < 2; ++k) Append(s.colorTable, {static_cast<uint8_t>(10 + k), 20, 30, 99});  // b, g, r
    s.colorsUsed = 2;
    s.pixelData = c.row;
    SourceImage image;
    ASSERT_EQ(RunReader(image, &SourceImage::LoadBmp, WithFileHeader(BuildDib(s))), S_OK);
    EXPECT_EQ(image.format, D3DFMT_P8);
    EXPECT_EQ(image.rowPitch, 12u);
    EXPECT_EQ(Row(image, 0, 10), c.expected);
    ASSERT_NE(image.palette, nullptr);
    EXPECT_TRUE(image.ownsPalette);
    EXPECT_EQ(image.palette[1].peRed, 30);
    EXPECT_EQ(image.palette[1].peGreen, 20);
    EXPECT_EQ(image.palette[1].peBlue, 11);
    EXPECT_EQ(image.palette[1].peFlags, 255);  // the reserved byte is not alpha
    for (int k : {2, 255}) {
      EXPECT_EQ(image.palette[k].peRed + image.palette[k].peGreen + image.palette[k].peBlue, 3 * 255);
      EXPECT_EQ(image.palette[k].peFlags, 255);
    }
  }
}

TEST(BmpReaderTest, ColourTableDefaultsToTwoToTheBitCountEntries) {
  DibSpec s;
  s.width = 1;
  s.bitCount = 1;
  s.colorTable = {1, 2, 3, 0, 4, 5, 6, 0};  // colorsUsed 0: two entries
  s.pixelData = {0x80, 0, 0, 0};
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDib, BuildDib(s)), S_OK);
  EXPECT_EQ(image.pixels[0], 1);
  EXPECT_EQ(image.palette[1].peRed, 6);

  s.colorTable.resize(4);  // the second entry is missing: the table does not fit
  s.pixelData.clear();
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDib, BuildDib(s)), E_FAIL);
}

TEST(BmpReaderTest, BitfieldMasksSelectTheFormat) {
  struct Case {
    uint16_t bitCount;
    std::vector<uint32_t> masks;  // red, green, blue, alpha
    D3DFORMAT expected;           // D3DFMT_UNKNOWN: rejected
  };
  const Case cases[] = {
      {16, {0xF800, 0x07E0, 0x001F, 0}, D3DFMT_R5G6B5},
      {16, {0x7C00, 0x03E0, 0x001F, 0}, D3DFMT_X1R5G5B5},
      {16, {0x7C00, 0x03E0, 0x001F, 0x8000}, D3DFMT_A1R5G5B5},
      {16, {0x0F00, 0x00F0, 0x000F, 0}, D3DFMT_X4R4G4B4},
      {16, {0x0F00, 0x00F0, 0x000F, 0xF000}, D3DFMT_A4R4G4B4},
      {16, {0x00E0, 0x001C, 0x0003, 0xFF00}, D3DFMT_A8R3G3B2},
      {16, {0x00FF, 0x00FF, 0x00FF, 0xFF00}, D3DFMT_A8L8},
      {24, {0xFF0000, 0xFF00, 0xFF, 0}, D3DFMT_R8G8B8},
      {32, {0xFF0000, 0xFF00, 0xFF, 0}, D3DFMT_X8R8G8B8},
      {32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, D3DFMT_A8R8G8B8},
      {32, {0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000}, D3DFMT_A2B10G10R10},
      {32, {0xFFFF, 0xFFFF0000, 0, 0}, D3DFMT_G16R16},
      {16, {0xF800, 0x07E0, 0x001F, 0x0001}, D3DFMT_UNKNOWN},
      {32, {0xFF, 0xFF00, 0xFF0000, 0}, D3DFMT_UNKNOWN},  // blue-first masks are not in the table
      {24, {0xF800, 0x07E0, 0x001F, 0}, D3DFMT_UNKNOWN},
  };
  for (const Case& c : cases) {
    for (uint32_t headerSize : {40u, 124u}) {
      SCOPED_TRACE(testing::Message() << c.bitCount << " bits, masks " << std::hex << c.masks[0] << ", header "
                                      << std::dec << headerSize);
      DibSpec s;
      s.headerSize = headerSize;
      s.bitCount = c.bitCount;
      s.compression = kBitfields;
      s.masks = c.masks;
      if (headerSize < 108) {
        if (c.masks[3] != 0) continue;  // alpha can only be given in the long header
        s.masks.pop_back();             // only three masks follow a short header
      }
      s.pixelData = {0xA1, 0xB2, 0xC3, 0xD4};
      SourceImage image;
      const HRESULT hr = RunReader(image, &SourceImage::LoadDib, BuildDib(s));
      if (c.expected == D3DFMT_UNKNOWN) {
        EXPECT_EQ(hr, E_FAIL);
        continue;
      }
      ASSERT_EQ(hr, S_OK);
      EXPECT_EQ(image.format, c.expected);
      // The pixel data starts after the masks, whichever header holds them.
      EXPECT_EQ(Row(image, 0, c.bitCount / 8), Bytes(s.pixelData.begin(), s.pixelData.begin() + c.bitCount / 8));
    }
  }
}

TEST(BmpReaderTest, SixteenBitWithoutMasksIsX1R5G5B5) {
  DibSpec s;
  s.width = 2;
  s.bitCount = 16;
  s.pixelData = {0x1F, 0x7C, 0xE0, 0x03};
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDib, BuildDib(s)), S_OK);
  EXPECT_EQ(image.format, D3DFMT_X1R5G5B5);
  EXPECT_EQ(image.rowPitch, 4u);
  EXPECT_EQ(Row(image, 0, 4), s.pixelData);
}

// An 8-bit, 6 x 4 run-length image, rows listed top first after decoding.
TEST(BmpReaderTest, Rle8RunsLiteralsDeltasAndLineEnds) {
  DibSpec s;
  s.width = 6;
  s.height = 4;
  s.bitCount = 8;
  s.compression = kRle8;
  s.colorsUsed = 1;
  s.colorTable = {0, 0, 0, 0};
  s.pixelData = {
      3, 7,              // file row 0: 7 7 7
      0, 3, 1, 2, 3, 0,  // literal run of three, padded to an even count
      0, 0,              // end of line
      0, 2, 2, 1,        // delta: two right, one row up -> file row 2, x 2
      2, 9,              // 9 9
      0, 0,              // end of line -> file row 3
      9, 5,              // a run of nine is cut at the row end
      0, 1,              // end of bitmap
      4, 4,              // never read
  };
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadBmp, WithFileHeader(BuildDib(s))), S_OK);
  EXPECT_EQ(image.format, D3DFMT_P8);
  EXPECT_EQ(Row(image, 0, 6), (Bytes{5, 5, 5, 5, 5, 5}));
  EXPECT_EQ(Row(image, 1, 6), (Bytes{0, 0, 9, 9, 0, 0}));
  EXPECT_EQ(Row(image, 2, 6), (Bytes{0, 0, 0, 0, 0, 0}));  // skipped by the delta
  EXPECT_EQ(Row(image, 3, 6), (Bytes{7, 7, 7, 1, 2, 3}));
}

TEST(BmpReaderTest, Rle4AlternatesNibblesAndStopsAtTheEndOfTheStream) {
  DibSpec s;
  s.width = 7;
  s.height = 2;
  s.bitCount = 4;
  s.compression = kRle4;
  s.colorTable = Bytes(16 * 4, 0);
  s.pixelData = {
      5, 0x12,                    // 1 2 1 2 1
      0, 3, 0xAB, 0xC0,           // literal A B C: two bytes, already even
      0, 0,                       // end of line
      0, 5, 0x34, 0x56, 0x70, 0,  // literal 3 4 5 6 7: three bytes padded to four
      // the stream ends here without an end-of-bitmap escape
  };
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDib, BuildDib(s)), S_OK);
  EXPECT_EQ(Row(image, 1, 7), (Bytes{1, 2, 1, 2, 1, 0xA, 0xB}));  // C falls off the row end
  EXPECT_EQ(Row(image, 0, 7), (Bytes{3, 4, 5, 6, 7, 0, 0}));
}

TEST(BmpReaderTest, HostileRunLengthStreamsStayInsideTheImage) {
  const Bytes streams[] = {
      {0, 2, 255, 255, 0, 2, 255, 255, 200, 1},            // deltas far past the edges, then a run
      {0, 255, 1, 2},                                      // a literal run longer than the data
      {0, 2, 1},                                           // a delta cut short
      {255, 3, 0, 0, 255, 3, 0, 0, 255, 3, 0, 0, 255, 3},  // more lines than the image has
  };
  for (const Bytes& stream : streams) {
    DibSpec s;
    s.width = 3;
    s.height = 2;
    s.bitCount = 8;
    s.compression = kRle8;
    s.colorsUsed = 1;
    s.colorTable = {0, 0, 0, 0};
    s.pixelData = stream;
    SourceImage image;
    EXPECT_EQ(RunReader(image, &SourceImage::LoadDib, BuildDib(s)), S_OK);
  }
}

TEST(BmpReaderTest, DescriptionOnlyAllocatesNothing) {
  DibSpec s;
  s.width = 5;
  s.height = 3;
  s.bitCount = 8;
  Bytes dib = BuildDib(s);
  dib.resize(40 + 256 * 4);  // the colour table, but no pixel data
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDib, dib, FALSE), S_OK);
  EXPECT_EQ(image.format, D3DFMT_P8);
  EXPECT_EQ(image.rowPitch, 8u);
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(image.palette, nullptr);
}

TEST(BmpReaderTest, Rejections) {
  struct Case {
    const char* what;
    DibSpec layout;
    HRESULT expected;
  };
  auto make = [](auto edit) {
    DibSpec s;
    s.width = 2;
    s.height = 2;
    s.pixelData = Bytes(16, 0);
    edit(s);
    return s;
  };
  const Case cases[] = {
      {"core header", make([](DibSpec& s) { s.headerSize = 12; }), E_FAIL},
      {"two planes", make([](DibSpec& s) { s.planes = 2; }), E_FAIL},
      {"2-bit", make([](DibSpec& s) { s.bitCount = 2; }), E_FAIL},
      {"top-down RLE", make([](DibSpec& s) { s.bitCount = 8, s.compression = kRle8, s.height = -2; }), E_FAIL},
      {"RLE8 at 24 bits", make([](DibSpec& s) { s.compression = kRle8; }), E_FAIL},
      {"JPEG inside", make([](DibSpec& s) { s.compression = 4; }), E_NOTIMPL},
      {"PNG inside", make([](DibSpec& s) { s.compression = 5; }), E_NOTIMPL},
      {"short pixel data", make([](DibSpec& s) { s.pixelData.resize(15); }), E_FAIL},
      {"zero width", make([](DibSpec& s) { s.width = 0; }), E_FAIL},
      {"negative width", make([](DibSpec& s) { s.width = -2; }), E_FAIL},
      {"zero height", make([](DibSpec& s) { s.height = 0; }), E_FAIL},
      {"colour table beyond data", make([](DibSpec& s) { s.colorsUsed = 0x40000000; }), E_FAIL},
      {"rows too wide for 32 bits", make([](DibSpec& s) { s.width = 0x7FFFFFFF, s.bitCount = 32; }), E_FAIL},
      {"image too big for its data", make([](DibSpec& s) { s.width = 0x10000, s.height = 0x10000; }), E_FAIL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SourceImage image;
    EXPECT_EQ(RunReader(image, &SourceImage::LoadBmp, WithFileHeader(BuildDib(c.layout))), c.expected);
  }

  const Bytes good = WithFileHeader(BuildDib(make([](DibSpec&) {})));
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadBmp, good), S_OK);
  Bytes wrongMagic = good;
  wrongMagic[1] = 'A';
  EXPECT_EQ(RunReader(image, &SourceImage::LoadBmp, wrongMagic), E_FAIL);
  const Bytes cut(good.begin(), good.end() - 1);  // shorter than the file header says
  EXPECT_EQ(RunReader(image, &SourceImage::LoadBmp, cut), E_FAIL);
  EXPECT_EQ(RunReader(image, &SourceImage::LoadBmp, Bytes(good.begin(), good.begin() + 13)), E_FAIL);
  Bytes longHeader = good;
  longHeader[14 + 1] = 0x10;  // a 4136-byte header in a 68-byte file
  EXPECT_EQ(RunReader(image, &SourceImage::LoadBmp, longHeader), E_FAIL);
}

TEST(BmpReaderTest, RunLengthImagesMayNotClaimMoreThanTheirDataCanPlausiblyCover) {
  DibSpec s;
  s.width = 30000;
  s.height = 30000;  // 900 MB of indices from a four-byte stream
  s.bitCount = 8;
  s.compression = kRle8;
  s.colorsUsed = 1;
  s.colorTable = {0, 0, 0, 0};
  s.pixelData = {0, 1, 0, 0};
  SourceImage image;
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDib, BuildDib(s)), E_FAIL);
  EXPECT_EQ(image.pixels, nullptr);
}

}  // namespace
