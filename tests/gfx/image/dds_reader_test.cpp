#include <gtest/gtest.h>

#include "dds_builder.h"

namespace {

std::vector<const SourceImage*> Levels(const SourceImage& face) {
  std::vector<const SourceImage*> out;
  for (const SourceImage* level = &face; level != nullptr; level = level->nextLevel.get()) out.push_back(level);
  return out;
}

TEST(DdsReaderTest, Dxt1MipChainDownToOneByOne) {
  DdsSpec s;
  s.width = s.height = 256;
  s.mipCount = 9;
  s.pf = kDdsDxt1;
  size_t total = 0;
  for (uint32_t size = 256; size >= 1; size /= 2) total += ((size + 3) / 4) * ((size + 3) / 4) * 8;
  const Bytes file = BuildDds(s, total);
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDds, file), S_OK);
  const auto levels = Levels(image);
  ASSERT_EQ(levels.size(), 9u);
  size_t offset = 128;
  for (size_t i = 0; i < levels.size(); ++i) {
    SCOPED_TRACE(i);
    const SourceImage& level = *levels[i];
    EXPECT_EQ(level.format, D3DFMT_DXT1);
    EXPECT_EQ(level.width, 256u >> i);
    EXPECT_EQ(level.height, 256u >> i);
    EXPECT_EQ(level.depth, 1u);
    EXPECT_EQ(level.pixels, file.data() + offset);  // nothing is copied
    EXPECT_FALSE(level.ownsPixels);
    EXPECT_EQ(level.resourceType, D3DRTYPE_TEXTURE);
    offset += level.slicePitch;
  }
  EXPECT_EQ(levels[8]->rowPitch, 8u);
  EXPECT_EQ(levels[8]->slicePitch, 8u);
  EXPECT_EQ(levels[0]->rowPitch, 64u * 8);

  Bytes cut(file.begin(), file.end() - 1);  // the last level does not fit
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, cut), E_FAIL);
}

TEST(DdsReaderTest, VolumeSlicesHalveWithTheLevels) {
  DdsSpec s;
  s.width = s.height = 64;
  s.depth = 4;
  s.mipCount = 3;
  const size_t bytes = 64 * 64 * 4 * 4 + 32 * 32 * 4 * 2 + 16 * 16 * 4 * 1;
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, bytes)), S_OK);
  EXPECT_EQ(image.resourceType, D3DRTYPE_VOLUMETEXTURE);
  const auto levels = Levels(image);
  ASSERT_EQ(levels.size(), 3u);
  const UINT depths[] = {4, 2, 1};
  const UINT slices[] = {64 * 64 * 4, 32 * 32 * 4, 16 * 16 * 4};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(levels[i]->depth, depths[i]);
    EXPECT_EQ(levels[i]->slicePitch, slices[i]);
    EXPECT_EQ(levels[i]->rowPitch, slices[i] / levels[i]->height);
  }
  EXPECT_EQ(levels[2]->pixels - levels[0]->pixels, 64 * 64 * 4 * 4 + 32 * 32 * 4 * 2);
}

TEST(DdsReaderTest, CubeMapsNeedAllSixFaces) {
  DdsSpec s;
  s.width = s.height = 8;
  s.mipCount = 2;
  s.caps2 = 0x200 | 0xFC00;
  const size_t perFace = 8 * 8 * 4 + 4 * 4 * 4;
  const Bytes file = BuildDds(s, 6 * perFace);
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDds, file), S_OK);
  int faces = 0;
  for (const SourceImage* face = &image; face != nullptr; face = face->nextFace.get(), ++faces) {
    SCOPED_TRACE(faces);
    EXPECT_EQ(face->resourceType, D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(face->pixels, file.data() + 128 + faces * perFace);
    ASSERT_EQ(Levels(*face).size(), 2u);
    EXPECT_EQ(face->nextLevel->width, 4u);
  }
  EXPECT_EQ(faces, 6);

  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, 6 * perFace - 1)), E_FAIL);
  s.caps2 = 0x200 | 0x7C00;  // five faces
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, 6 * perFace)), E_FAIL);
}

TEST(DdsReaderTest, PalettedFilesCarryTheirPaletteBeforeThePixels) {
  DdsSpec s;
  s.pf = kDdsP8;
  const Bytes file = BuildDds(s, 1024 + 16);
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDds, file), S_OK);
  EXPECT_EQ(image.format, D3DFMT_P8);
  EXPECT_EQ(reinterpret_cast<const BYTE*>(image.palette), file.data() + 128);
  EXPECT_FALSE(image.ownsPalette);
  EXPECT_EQ(image.pixels, file.data() + 1152);
  EXPECT_EQ(image.rowPitch, 4u);

  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, 1023)), E_FAIL);
}

TEST(DdsReaderTest, PixelFormatMatching) {
  struct Case {
    const char* what;
    DdsPixelFormatSpec pf;
    D3DFORMAT expected;  // D3DFMT_UNKNOWN: no row matches
  };
  const Case cases[] = {
      {"24-bit RGB", {0x40, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0}, D3DFMT_R8G8B8},
      {"24-bit RGB with an extra alpha flag", {0x41, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0}, D3DFMT_UNKNOWN},
      {"X8R8G8B8", {0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0}, D3DFMT_X8R8G8B8},
      {"A2B10G10R10", {0x41, 0, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}, D3DFMT_A2B10G10R10},
      {"L8 ignores the bit count", {0x20000, 0, 99, 0xFF, 0, 0, 0}, D3DFMT_L8},
      {"A4L4", {0x20001, 0, 8, 0xF, 0, 0, 0xF0}, D3DFMT_A4L4},
      {"FourCC ignores the masks", {0x4, MakeFourCC('D', 'X', 'T', '5'), 7, 1, 2, 3, 4}, D3DFMT_DXT5},
      {"YUY2", {0x4, MakeFourCC('Y', 'U', 'Y', '2'), 0, 0, 0, 0, 0}, D3DFMT_YUY2},
      {"unknown FourCC", {0x4, MakeFourCC('A', 'T', 'I', '1'), 0, 0, 0, 0, 0}, D3DFMT_UNKNOWN},
      {"Q8W8V8U8", {0x80000, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000}, D3DFMT_Q8W8V8U8},
      {"16-bit depth", {0x400, 0, 16, 0, 0xFFFF, 0, 0}, D3DFMT_D16_LOCKABLE},
      {"BGR masks", {0x40, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0}, D3DFMT_UNKNOWN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DdsSpec s;
    s.pf = c.pf;
    SourceImage image;
    const HRESULT hr = RunReader(image, &SourceImage::LoadDds, BuildDds(s, 64));
    if (c.expected == D3DFMT_UNKNOWN) {
      EXPECT_EQ(hr, E_FAIL);
    } else {
      ASSERT_EQ(hr, S_OK);
      EXPECT_EQ(image.format, c.expected);
    }
  }
  DdsSpec s;
  s.pixelFormatSize = 24;
  SourceImage image;
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, 64)), E_FAIL);
}

TEST(DdsReaderTest, PitchesOfBlockAndPairFormats) {
  struct Case {
    DdsPixelFormatSpec pf;
    uint32_t width, height;
    UINT pitch, slice;
  };
  const Case cases[] = {
      {kDdsDxt1, 5, 3, 16, 16},
      {{0x4, MakeFourCC('D', 'X', 'T', '3'), 0, 0, 0, 0, 0}, 5, 5, 32, 64},
      {{0x4, MakeFourCC('U', 'Y', 'V', 'Y'), 0, 0, 0, 0, 0}, 5, 3, 12, 36},
      {{0x40, 0, 16, 0xF800, 0x7E0, 0x1F, 0}, 5, 3, 10, 30},
  };
  for (const Case& c : cases) {
    DdsSpec s;
    s.pf = c.pf;
    s.width = c.width;
    s.height = c.height;
    SourceImage image;
    ASSERT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, c.slice)), S_OK);
    EXPECT_EQ(image.rowPitch, c.pitch);
    EXPECT_EQ(image.slicePitch, c.slice);
  }
}

TEST(DdsReaderTest, LevelCounts) {
  DdsSpec s;
  s.width = s.height = 128;
  s.mipCount = 0;  // counts as one
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, 128 * 128 * 4 * 2)), S_OK);
  EXPECT_EQ(Levels(image).size(), 1u);

  // More levels than a chain down to 1 x 1 has, or an empty image, is corrupt.
  s.width = s.height = 1;
  s.mipCount = 2;
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, 1 << 16)), E_FAIL);
  s.mipCount = 0xFFFFFFFF;
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, 1 << 16)), E_FAIL);
  s.mipCount = 1;
  s.width = 0;
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, BuildDds(s, 64)), E_FAIL);

  Bytes shortHeader = BuildDds(DdsSpec{}, 0);
  shortHeader.pop_back();
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, shortHeader), E_FAIL);
  Bytes wrongMagic = BuildDds(DdsSpec{}, 64);
  wrongMagic[3] = 'X';
  EXPECT_EQ(RunReader(image, &SourceImage::LoadDds, wrongMagic), E_FAIL);
}

}  // namespace
