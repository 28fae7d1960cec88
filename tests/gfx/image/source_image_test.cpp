#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "dds_builder.h"
#include "image_builders.h"

namespace {

HRESULT LoadBytes(SourceImage& image, const Bytes& data, GxImageInfo* info) {
  return image.Load(data.data(), static_cast<UINT>(data.size()), info, TRUE);
}

Bytes SmallDib() {
  DibSpec s;
  s.width = 3;
  s.height = 2;
  s.pixelData = Bytes(24, 0x5A);
  return BuildDib(s);
}

TEST(SourceImageTest, TheFirstReaderThatAcceptsTheDataDescribesIt) {
  struct Case {
    const char* what;
    Bytes data;
    GxImageFileFormat fileFormat;
    D3DFORMAT format;
    UINT width, height;
  };
  Bytes tga = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0x20, 7, 9};
  const Case cases[] = {
      {"bitmap file", WithFileHeader(SmallDib()), GX_IFF_BMP, D3DFMT_R8G8B8, 3, 2},
      // The same pixels without the file header reach only the last reader.
      {"bare DIB", SmallDib(), GX_IFF_DIB, D3DFMT_R8G8B8, 3, 2},
      {"pixmap", FromString("P3 1 1 255 1 2 3"), GX_IFF_PPM, D3DFMT_X8R8G8B8, 1, 1},
      {"greyscale TGA", tga, GX_IFF_TGA, D3DFMT_L8, 2, 1},
      {"DDS", BuildDds(DdsSpec{}, 64), GX_IFF_DDS, D3DFMT_A8R8G8B8, 4, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SourceImage image;
    GxImageInfo info;
    std::memset(&info, 0xCD, sizeof(info));
    ASSERT_EQ(LoadBytes(image, c.data, &info), S_OK);
    EXPECT_EQ(info.ImageFileFormat, c.fileFormat);
    EXPECT_EQ(image.fileFormat, c.fileFormat);
    EXPECT_EQ(info.Format, c.format);
    EXPECT_EQ(info.Width, c.width);
    EXPECT_EQ(info.Height, c.height);
    EXPECT_EQ(info.Depth, 1u);
    EXPECT_EQ(info.MipLevels, 1u);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    EXPECT_TRUE(image.loadPixels);
    EXPECT_EQ(image.box.Right, c.width);
    EXPECT_EQ(image.box.Bottom, c.height);
    EXPECT_EQ(image.box.Back, 1u);
    EXPECT_EQ(image.box.Left + image.box.Top + image.box.Front, 0u);
  }
}

TEST(SourceImageTest, CubeMapsAndMipChainsAreCountedAndBoxed) {
  DdsSpec s;
  s.width = s.height = 4;
  s.mipCount = 3;
  s.caps2 = 0xFE00;
  const Bytes file = BuildDds(s, 6 * (64 + 16 + 4));
  SourceImage image;
  GxImageInfo info{};
  ASSERT_EQ(LoadBytes(image, file, &info), S_OK);
  EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
  EXPECT_EQ(info.MipLevels, 3u);
  EXPECT_EQ(info.ImageFileFormat, GX_IFF_DDS);
  int records = 0;
  for (const SourceImage* face = &image; face; face = face->nextFace.get()) {
    for (const SourceImage* level = face; level; level = level->nextLevel.get(), ++records) {
      EXPECT_EQ(level->box.Right, level->width);
      EXPECT_EQ(level->box.Bottom, level->height);
      EXPECT_EQ(level->box.Back, 1u);
    }
  }
  EXPECT_EQ(records, 18);
}

TEST(SourceImageTest, DataNoReaderAcceptsLeavesTheRecordCleared) {
  std::mt19937 random(42);
  Bytes noiseBytes(4096);
  for (auto& b : noiseBytes) b = static_cast<uint8_t>(random());
  noiseBytes[0] = 0x11;  // not a TGA colour-map type a reader could take
  noiseBytes[1] = 0x22;
  const Bytes& noise = noiseBytes;

  // A bitmap whose header passes but whose pixels are missing: the BMP reader
  // allocates a palette before it fails.
  DibSpec s;
  s.width = 16;
  s.height = 16;
  s.bitCount = 8;
  s.colorsUsed = 4;
  s.colorTable = Bytes(16, 1);
  const Bytes truncated = WithFileHeader(BuildDib(s));

  for (const Bytes* data : {&noise, &truncated}) {
    SourceImage image;
    GxImageInfo info{};
    info.Width = 77;
    EXPECT_EQ(LoadBytes(image, *data, &info), GXERR_INVALID_DATA);
    EXPECT_EQ(info.Width, 77u);  // untouched on failure
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.palette, nullptr);
    EXPECT_FALSE(image.ownsPixels);
    EXPECT_FALSE(image.ownsPalette);
    EXPECT_EQ(image.nextLevel, nullptr);
    EXPECT_EQ(image.nextFace, nullptr);
  }
}

TEST(SourceImageTest, MissingDataAndEmptyData) {
  SourceImage image;
  EXPECT_EQ(image.Load(nullptr, 10, nullptr, TRUE), D3DERR_INVALIDCALL);
  const BYTE one = 0;
  EXPECT_EQ(image.Load(&one, 0, nullptr, TRUE), GXERR_INVALID_DATA);
}

TEST(SourceImageTest, AReloadReplacesEverythingOfTheLastImage) {
  DdsSpec s;
  s.width = s.height = 2;
  s.mipCount = 2;
  SourceImage image;
  ASSERT_EQ(LoadBytes(image, BuildDds(s, 20), nullptr), S_OK);
  ASSERT_NE(image.nextLevel, nullptr);
  GxImageInfo info{};
  ASSERT_EQ(LoadBytes(image, WithFileHeader(SmallDib()), &info), S_OK);
  EXPECT_EQ(image.nextLevel, nullptr);
  EXPECT_EQ(info.MipLevels, 1u);
  EXPECT_EQ(image.resourceType, D3DRTYPE_TEXTURE);
}

}  // namespace
