#include <gtest/gtest.h>

#include "image_builders.h"

namespace {

struct TgaSpec {
  uint8_t idLength = 0;
  uint8_t colorMapType = 0;
  uint8_t imageType = 2;
  uint16_t mapFirst = 0;
  uint16_t mapLength = 0;
  uint8_t mapEntryBits = 0;
  uint16_t width = 2;
  uint16_t height = 2;
  uint8_t pixelDepth = 32;
  uint8_t descriptor = 0;
  Bytes id;
  Bytes map;
  Bytes pixelData;
};

Bytes BuildTga(const TgaSpec& s) {
  Bytes out = {s.idLength, s.colorMapType, s.imageType};
  PutLe16(out, s.mapFirst);
  PutLe16(out, s.mapLength);
  out.push_back(s.mapEntryBits);
  PutLe16(out, 0);
  PutLe16(out, 0);
  PutLe16(out, s.width);
  PutLe16(out, s.height);
  out.push_back(s.pixelDepth);
  out.push_back(s.descriptor);
  Append(out, s.id);
  Append(out, s.map);
  Append(out, s.pixelData);
  return out;
}

// 2 x 2 pixels of 4 bytes, in the file's order.
const Bytes kFourPixels = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4};

TEST(TgaReaderTest, RawTopFirstImagesPointIntoTheCallersMemory) {
  TgaSpec s;
  s.descriptor = 0x28;  // top first, 8 alpha bits
  s.idLength = 3;
  s.id = {'a', 'b', 'c'};
  s.pixelData = kFourPixels;
  const Bytes file = BuildTga(s);
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadTga, file), S_OK);
  EXPECT_EQ(image.format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(image.rowPitch, 8u);
  EXPECT_FALSE(image.ownsPixels);
  EXPECT_EQ(image.pixels, file.data() + 18 + 3);

  s.pixelData.pop_back();  // one byte short
  EXPECT_EQ(RunReader(image, &SourceImage::LoadTga, BuildTga(s)), E_FAIL);
  // A description alone does not look at the pixel data, and points at none.
  ASSERT_EQ(RunReader(image, &SourceImage::LoadTga, BuildTga(s), FALSE), S_OK);
  EXPECT_EQ(image.format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(image.pixels, nullptr);
}

TEST(TgaReaderTest, OtherOriginsAreCopiedIntoTopFirstRows) {
  struct Case {
    uint8_t descriptor;
    Bytes expected;  // output rows, top first
  };
  const Case cases[] = {
      {0x00, {3, 3, 3, 3, 4, 4, 4, 4, 1, 1, 1, 1, 2, 2, 2, 2}},  // bottom up
      {0x10, {4, 4, 4, 4, 3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1}},  // bottom up, right to left
      {0x30, {2, 2, 2, 2, 1, 1, 1, 1, 4, 4, 4, 4, 3, 3, 3, 3}},  // top first, right to left
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.descriptor);
    TgaSpec s;
    s.descriptor = c.descriptor;
    s.pixelData = kFourPixels;
    SourceImage image;
    ASSERT_EQ(RunReader(image, &SourceImage::LoadTga, BuildTga(s)), S_OK);
    EXPECT_TRUE(image.ownsPixels);
    EXPECT_EQ(Bytes(image.pixels, image.pixels + 16), c.expected);
  }
}

TEST(TgaReaderTest, RunLengthPacketsMayCrossRowsAndRunsTakeOnePixelOfData) {
  TgaSpec s;
  s.imageType = 10;
  s.width = 3;
  s.height = 2;
  s.pixelDepth = 24;
  s.descriptor = 0x20;
  s.pixelData = {0x84, 9, 8, 7,           // run of five: one pixel value
                 0x00, 1, 2, 3,           // raw packet of one
                 0xFF, 0xFF, 0xFF, 0xFF};  // trailing bytes are ignored
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadTga, BuildTga(s)), S_OK);
  EXPECT_EQ(image.format, D3DFMT_R8G8B8);
  EXPECT_EQ(image.rowPitch, 9u);  // not rounded to 4
  EXPECT_EQ(Row(image, 0, 9), (Bytes{9, 8, 7, 9, 8, 7, 9, 8, 7}));
  EXPECT_EQ(Row(image, 1, 9), (Bytes{9, 8, 7, 9, 8, 7, 1, 2, 3}));

  // A run past the last pixel is cut there; a stream that ends early fails.
  s.pixelData = {0xFF, 5, 5, 5};
  EXPECT_EQ(RunReader(image, &SourceImage::LoadTga, BuildTga(s)), S_OK);
  EXPECT_EQ(Row(image, 1, 9), (Bytes{5, 5, 5, 5, 5, 5, 5, 5, 5}));
  for (const Bytes& cut : {Bytes{0x84, 9, 8, 7}, Bytes{0x85, 9, 8}, Bytes{0x05, 1, 2, 3, 4, 5, 6}}) {
    s.pixelData = cut;
    EXPECT_EQ(RunReader(image, &SourceImage::LoadTga, BuildTga(s)), E_FAIL);
  }
}

TEST(TgaReaderTest, ColourMapEntriesOfEachSize) {
  struct Case {
    uint8_t bits;
    Bytes entry;
    PALETTEENTRY expected;
  };
  const Case cases[] = {
      {15, {0xFF, 0x7F}, {255, 255, 255, 255}},
      {16, {0xFF, 0x7F}, {255, 255, 255, 0}},
      {16, {0xFF, 0xFF}, {255, 255, 255, 255}},
      {16, {0x1F, 0x80}, {0, 0, 255, 255}},       // blue 31
      {16, {0x00, 0x04}, {8, 0, 0, 0}},           // red 1 widens to 8
      {16, {0x00, 0x40}, {132, 0, 0, 0}},         // red 16 widens to 16 * 8 + 4
      {24, {10, 20, 30}, {30, 20, 10, 255}},
      {32, {10, 20, 30, 40}, {30, 20, 10, 40}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int{c.bits} << " bits, entry " << int{c.entry[0]} << " " << int{c.entry[1]});
    TgaSpec s;
    s.colorMapType = 1;
    s.imageType = 1;
    s.mapFirst = 7;
    s.mapLength = 1;
    s.mapEntryBits = c.bits;
    s.map = c.entry;
    s.pixelDepth = 8;
    s.width = 1;
    s.height = 1;
    s.descriptor = 0x20;
    s.pixelData = {7};
    SourceImage image;
    ASSERT_EQ(RunReader(image, &SourceImage::LoadTga, BuildTga(s)), S_OK);
    EXPECT_EQ(image.format, D3DFMT_P8);
    ASSERT_NE(image.palette, nullptr);
    const PALETTEENTRY& e = image.palette[7];
    EXPECT_EQ((Bytes{e.peRed, e.peGreen, e.peBlue, e.peFlags}),
              (Bytes{c.expected.peRed, c.expected.peGreen, c.expected.peBlue, c.expected.peFlags}));
    EXPECT_EQ(image.palette[6].peFlags, 255);
    EXPECT_EQ(image.palette[6].peRed, 255);
  }
}

TEST(TgaReaderTest, GreyscaleAndSkippedColourMaps) {
  TgaSpec s;
  s.imageType = 3;
  s.pixelDepth = 8;
  s.colorMapType = 1;  // a map in a greyscale file is skipped
  s.mapLength = 2;
  s.mapEntryBits = 24;
  s.map = Bytes(6, 0xEE);
  s.pixelData = {10, 20, 30, 40};
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadTga, BuildTga(s)), S_OK);
  EXPECT_EQ(image.format, D3DFMT_L8);
  EXPECT_EQ(image.palette, nullptr);
  EXPECT_EQ(Bytes(image.pixels, image.pixels + 4), (Bytes{30, 40, 10, 20}));
}

TEST(TgaReaderTest, Rejections) {
  auto make = [](auto edit) {
    TgaSpec s;
    s.pixelData = kFourPixels;
    edit(s);
    return s;
  };
  const std::pair<const char*, TgaSpec> cases[] = {
      {"colour-map type 2", make([](TgaSpec& s) { s.colorMapType = 2; })},
      {"image type 4", make([](TgaSpec& s) { s.imageType = 4; })},
      {"image type 32 (Huffman)", make([](TgaSpec& s) { s.imageType = 32; })},
      {"no image", make([](TgaSpec& s) { s.imageType = 0; })},
      {"zero width", make([](TgaSpec& s) { s.width = 0; })},
      {"zero height", make([](TgaSpec& s) { s.height = 0; })},
      {"true colour at 8 bits", make([](TgaSpec& s) { s.pixelDepth = 8; })},
      {"greyscale at 16 bits", make([](TgaSpec& s) { s.imageType = 3, s.pixelDepth = 16; })},
      {"colour-mapped without a map", make([](TgaSpec& s) { s.imageType = 1, s.pixelDepth = 8; })},
      {"map entries of 8 bits",
       make([](TgaSpec& s) { s.colorMapType = 1, s.mapLength = 1, s.mapEntryBits = 8, s.map = {0}; })},
      {"map past the end of the data",
       make([](TgaSpec& s) { s.colorMapType = 1, s.mapLength = 100, s.mapEntryBits = 24, s.pixelData.clear(); })},
      {"map beyond entry 255",
       make([](TgaSpec& s) {
         s.colorMapType = 1, s.imageType = 1, s.pixelDepth = 8, s.mapFirst = 250, s.mapLength = 10;
         s.mapEntryBits = 24, s.map = Bytes(30, 0);
       })},
      {"ID past the end of the data", make([](TgaSpec& s) { s.idLength = 200; })},
      {"far more pixels than data",
       make([](TgaSpec& s) { s.width = 0xFFFF, s.height = 0xFFFF, s.imageType = 10, s.descriptor = 0x20; })},
  };
  for (const auto& [what, layout] : cases) {
    SCOPED_TRACE(what);
    SourceImage image;
    EXPECT_EQ(RunReader(image, &SourceImage::LoadTga, BuildTga(layout)), E_FAIL);
  }
  SourceImage image;
  EXPECT_EQ(RunReader(image, &SourceImage::LoadTga, Bytes(17, 0)), E_FAIL);
}

}  // namespace
