#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>

#include "gfx/pixel/format_info.h"
#include "png_encoder.h"

namespace {

TEST(PngReaderTest, FormatsByColourTypeDepthAndTransparency) {
  struct Case {
    const char* what;
    int colorType;
    int bitDepth;
    bool transparency;
    uint32_t format;
    uint32_t publicFormat;
    UINT bytesPerPixel;
  };
  const Case cases[] = {
      {"grey 8", PNG_COLOR_TYPE_GRAY, 8, false, D3DFMT_L8, D3DFMT_L8, 1},
      {"grey 1", PNG_COLOR_TYPE_GRAY, 1, false, D3DFMT_L8, D3DFMT_L8, 1},
      {"grey 16", PNG_COLOR_TYPE_GRAY, 16, false, GXFMT_L16, D3DFMT_L8, 2},
      {"grey 4 + tRNS", PNG_COLOR_TYPE_GRAY, 4, true, D3DFMT_A8L8, D3DFMT_A8L8, 2},
      {"grey 16 + tRNS", PNG_COLOR_TYPE_GRAY, 16, true, GXFMT_A16L16, D3DFMT_A8L8, 4},
      {"RGB 8", PNG_COLOR_TYPE_RGB, 8, false, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, 4},
      {"RGB 16", PNG_COLOR_TYPE_RGB, 16, false, GXFMT_R16G16B16, D3DFMT_R8G8B8, 6},
      {"RGB 8 + tRNS", PNG_COLOR_TYPE_RGB, 8, true, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, 4},
      {"RGB 16 + tRNS", PNG_COLOR_TYPE_RGB, 16, true, GXFMT_A16R16G16B16, D3DFMT_A8R8G8B8, 8},
      {"palette 2", PNG_COLOR_TYPE_PALETTE, 2, false, D3DFMT_P8, D3DFMT_P8, 1},
      {"grey + alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, D3DFMT_A8L8, D3DFMT_A8L8, 2},
      {"grey + alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, GXFMT_A16L16, D3DFMT_A8L8, 4},
      {"RGBA 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, 4},
      {"RGBA 16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, GXFMT_A16R16G16B16, D3DFMT_A8R8G8B8, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PngSpec s;
    s.width = 3;
    s.colorType = c.colorType;
    s.bitDepth = c.bitDepth;
    if (c.colorType == PNG_COLOR_TYPE_PALETTE) s.palette = {{1, 2, 3}, {4, 5, 6}};
    if (c.transparency) s.transparentColor = png_color_16{0, 1, 1, 1, 1};
    const Bytes file = EncodePng(s);
    SourceImage image;
    GxImageInfo info{};
    ASSERT_EQ(image.Load(file.data(), static_cast<UINT>(file.size()), &info, TRUE), S_OK);
    EXPECT_EQ(image.fileFormat, GX_IFF_PNG);
    EXPECT_EQ(uint32_t{image.format}, c.format);
    EXPECT_EQ(uint32_t{info.Format}, c.publicFormat);
    EXPECT_EQ(image.rowPitch, 3 * c.bytesPerPixel);
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.slicePitch, 0u);
  }
}

TEST(PngReaderTest, RgbGetsAFillerAndBlueFirst) {
  PngSpec s;
  s.samples = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  const Bytes file = EncodePng(s);
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadPng, file), S_OK);
  EXPECT_EQ(Row(image, 0, 8), (Bytes{30, 20, 10, 255, 60, 50, 40, 255}));
  EXPECT_EQ(Row(image, 1, 8), (Bytes{90, 80, 70, 255, 120, 110, 100, 255}));
}

TEST(PngReaderTest, TransparentColourBecomesZeroAlpha) {
  PngSpec s;
  s.height = 1;
  s.samples = {1, 2, 3, 4, 5, 6};
  s.transparentColor = png_color_16{0, 4, 5, 6, 0};
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadPng, EncodePng(s)), S_OK);
  EXPECT_EQ(image.format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(Row(image, 0, 8), (Bytes{3, 2, 1, 255, 6, 5, 4, 0}));
}

TEST(PngReaderTest, LowGreyDepthsExpandToEightBits) {
  PngSpec s;
  s.width = 4;
  s.height = 1;
  s.colorType = PNG_COLOR_TYPE_GRAY;
  s.bitDepth = 2;
  s.samples = {0b00011011};
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadPng, EncodePng(s)), S_OK);
  EXPECT_EQ(image.format, D3DFMT_L8);
  EXPECT_EQ(Row(image, 0, 4), (Bytes{0, 85, 170, 255}));
}

TEST(PngReaderTest, SixteenBitSamplesAreLittleEndianBlueFirst) {
  PngSpec s;
  s.width = 1;
  s.height = 1;
  s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  s.bitDepth = 16;
  s.samples = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};  // R, G, B, A big-endian
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadPng, EncodePng(s)), S_OK);
  EXPECT_EQ(uint32_t{image.format}, GXFMT_A16R16G16B16);
  EXPECT_EQ(Row(image, 0, 8), (Bytes{0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0x88, 0x77}));
}

TEST(PngReaderTest, PaletteTakesTheTransparencyAlphas) {
  PngSpec s;
  s.width = 16;
  s.height = 1;
  s.colorType = PNG_COLOR_TYPE_PALETTE;
  s.bitDepth = 4;
  for (uint8_t i = 0; i < 16; ++i) s.palette.push_back({i, static_cast<uint8_t>(i * 2), static_cast<uint8_t>(i * 3)});
  s.paletteAlphas = {0, 100, 200};
  s.samples = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadPng, EncodePng(s)), S_OK);
  EXPECT_EQ(image.format, D3DFMT_P8);
  EXPECT_EQ(Row(image, 0, 4), (Bytes{0, 1, 2, 3}));
  ASSERT_NE(image.palette, nullptr);
  EXPECT_TRUE(image.ownsPalette);
  const Bytes alphas = {image.palette[0].peFlags, image.palette[1].peFlags, image.palette[2].peFlags,
                        image.palette[3].peFlags, image.palette[15].peFlags};
  EXPECT_EQ(alphas, (Bytes{0, 100, 200, 255, 255}));
  EXPECT_EQ(image.palette[5].peRed, 5);
  EXPECT_EQ(image.palette[5].peGreen, 10);
  EXPECT_EQ(image.palette[5].peBlue, 15);
  for (int i : {16, 255}) {
    EXPECT_EQ(image.palette[i].peRed & image.palette[i].peGreen & image.palette[i].peBlue & image.palette[i].peFlags,
              255);
  }
}

// The palette is gamma-corrected once, with exponent 1 / (file gamma x 2.2).
TEST(PngReaderTest, PaletteGamma) {
  struct Case {
    const char* what;
    std::optional<double> gamma;
    std::optional<int> srgb;
    uint8_t expected;  // for palette value 128
  };
  const Case cases[] = {
      {"no gamma", std::nullopt, std::nullopt, 128},
      {"gamma 1/2.2 is the identity", 1 / 2.2, std::nullopt, 128},
      {"linear file", 1.0, std::nullopt, 186},  // (128/255)^(1/2.2) * 255
      {"sRGB asks for no correction", std::nullopt, 0, 128},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PngSpec s;
    s.width = 1;
    s.height = 1;
    s.colorType = PNG_COLOR_TYPE_PALETTE;
    s.palette = {{128, 0, 255}};
    s.gamma = c.gamma;
    s.srgbIntent = c.srgb;
    SourceImage image;
    ASSERT_EQ(RunReader(image, &SourceImage::LoadPng, EncodePng(s)), S_OK);
    EXPECT_EQ(image.palette[0].peRed, c.expected);
    EXPECT_EQ(image.palette[0].peGreen, 0);
    EXPECT_EQ(image.palette[0].peBlue, 255);
  }
}

TEST(PngReaderTest, InterlacedFilesDecodeLikeProgressiveOnes) {
  PngSpec s;
  s.width = 9;
  s.height = 7;
  for (int i = 0; i < 9 * 7 * 3; ++i) s.samples.push_back(static_cast<uint8_t>(i * 7));
  SourceImage plain, interlaced;
  ASSERT_EQ(RunReader(plain, &SourceImage::LoadPng, EncodePng(s)), S_OK);
  s.interlaced = true;
  ASSERT_EQ(RunReader(interlaced, &SourceImage::LoadPng, EncodePng(s)), S_OK);
  EXPECT_EQ(Bytes(plain.pixels, plain.pixels + 9 * 4 * 7), Bytes(interlaced.pixels, interlaced.pixels + 9 * 4 * 7));
}

TEST(PngReaderTest, DescriptionOnly) {
  PngSpec s;
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadPng, EncodePng(s), FALSE), S_OK);
  EXPECT_EQ(image.format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(image.rowPitch, 8u);
  EXPECT_EQ(image.pixels, nullptr);
}

TEST(PngReaderTest, Rejections) {
  PngSpec s;
  s.width = 40;
  s.height = 40;
  for (int i = 0; i < 40 * 40 * 3; ++i) s.samples.push_back(static_cast<uint8_t>(i * i * 31 >> 3));
  const Bytes good = EncodePng(s);
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadPng, good), S_OK);

  Bytes badSignature = good;
  badSignature[1] = 'Q';
  EXPECT_EQ(RunReader(image, &SourceImage::LoadPng, badSignature), E_FAIL);
  EXPECT_EQ(RunReader(image, &SourceImage::LoadPng, Bytes(good.begin(), good.begin() + 7)), E_FAIL);
  for (size_t keep : {size_t{20}, size_t{40}, good.size() / 2, good.size() - 30}) {
    SCOPED_TRACE(keep);
    EXPECT_EQ(RunReader(image, &SourceImage::LoadPng, Bytes(good.begin(), good.begin() + keep)), E_FAIL);
  }
  Bytes badCrc = good;
  badCrc[29] ^= 1;  // the IHDR CRC
  EXPECT_EQ(RunReader(image, &SourceImage::LoadPng, badCrc), E_FAIL);
}

TEST(PngReaderTest, ImagesFarLargerThanTheirDataCouldInflateToAreRefused) {
  // A valid header claiming 100000 x 100000 pixels in a file of a few dozen bytes.
  PngSpec s;
  s.width = 1;
  s.height = 1;
  Bytes file = EncodePng(s);
  const uint8_t big[4] = {0x00, 0x01, 0x86, 0xA0};
  std::copy(big, big + 4, file.begin() + 16);
  std::copy(big, big + 4, file.begin() + 20);
  const uint32_t crc = static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), file.data() + 12, 17));
  for (int i = 0; i < 4; ++i) file[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  SourceImage image;
  EXPECT_EQ(RunReader(image, &SourceImage::LoadPng, file, FALSE), S_OK);  // describing it is harmless
  EXPECT_EQ(image.width, 100000u);
  EXPECT_EQ(RunReader(image, &SourceImage::LoadPng, file), E_FAIL);
  EXPECT_EQ(image.pixels, nullptr);
}

}  // namespace
