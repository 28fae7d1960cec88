#include <gtest/gtest.h>

#include <fstream>

#include "gfx/math/cpu_features.h"
#include "jpeg_codec.h"
#include "win_registry.h"
#include "win_sysinfo.h"

namespace {

Bytes AllPixels(const SourceImage& image) {
  return Bytes(image.pixels, image.pixels + static_cast<size_t>(image.rowPitch) * image.height);
}

TEST(JpegReaderTest, MatchesLibjpegOwnDecoding) {
  struct Case {
    const char* what;
    JpegSpec layout;
    D3DFORMAT format;
    UINT pitch;
  };
  const Case cases[] = {
      {"colour", {16, 16, 3, false, 90}, D3DFMT_X8R8G8B8, 64},
      {"colour, odd size", {21, 13, 3, false, 75}, D3DFMT_X8R8G8B8, 84},
      {"progressive colour", {33, 17, 3, true, 85}, D3DFMT_X8R8G8B8, 132},
      // Greyscale rows are the width, not rounded up to four bytes.
      {"greyscale", {13, 9, 1, false, 90}, D3DFMT_L8, 13},
      {"progressive greyscale", {7, 5, 1, true, 90}, D3DFMT_L8, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes file = EncodeJpeg(c.layout);
    SourceImage image;
    GxImageInfo info{};
    ASSERT_EQ(image.Load(file.data(), static_cast<UINT>(file.size()), &info, TRUE), S_OK);
    EXPECT_EQ(info.ImageFileFormat, GX_IFF_JPG);
    EXPECT_EQ(image.format, c.format);
    EXPECT_EQ(image.width, static_cast<UINT>(c.layout.width));
    EXPECT_EQ(image.height, static_cast<UINT>(c.layout.height));
    EXPECT_EQ(image.rowPitch, c.pitch);
    EXPECT_EQ(image.slicePitch, 0u);
    EXPECT_TRUE(image.ownsPixels);
    EXPECT_EQ(AllPixels(image), ReferenceDecode(file).value());  // top bytes of colour pixels are 0
  }
}

TEST(JpegReaderTest, DescriptionOnlyReadsNoRows) {
  const Bytes file = EncodeJpeg({40, 8, 3, false, 90});
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadJpeg, file, FALSE), S_OK);
  EXPECT_EQ(image.width, 40u);
  EXPECT_EQ(image.rowPitch, 160u);
  EXPECT_EQ(image.pixels, nullptr);
}

TEST(JpegReaderTest, RejectsCmykAndOtherData) {
  SourceImage image;
  EXPECT_EQ(RunReader(image, &SourceImage::LoadJpeg, EncodeJpeg({8, 8, 4, false, 90})), E_FAIL);
  EXPECT_EQ(RunReader(image, &SourceImage::LoadJpeg, FromString("P3 1 1 255 0 0 0")), E_FAIL);
  EXPECT_EQ(RunReader(image, &SourceImage::LoadJpeg, Bytes{}), E_FAIL);
  EXPECT_EQ(RunReader(image, &SourceImage::LoadJpeg, Bytes{0xFF, 0xD8}), E_FAIL);
}

TEST(JpegReaderTest, TruncatedFilesEndAsShortOnes) {
  const Bytes file = EncodeJpeg({64, 64, 3, false, 95});
  const Bytes full = ReferenceDecode(file).value();
  for (size_t keep : {file.size() / 2, file.size() - 2}) {
    SCOPED_TRACE(keep);
    const Bytes cut(file.begin(), file.begin() + keep);
    SourceImage image;
    ASSERT_EQ(RunReader(image, &SourceImage::LoadJpeg, cut), S_OK);
    // The rows decoded before the data ran out are those of the whole file,
    // and the cut file decodes as libjpeg's own source (which also ends it) does.
    EXPECT_TRUE(std::equal(image.pixels, image.pixels + 64 * 4 * 8, full.begin()));
    EXPECT_EQ(AllPixels(image), ReferenceDecode(cut).value());
  }
}

TEST(JpegReaderTest, AbsurdDimensionsForTheDataAreRefused) {
  Bytes file = EncodeJpeg({8, 8, 3, false, 90});
  // Patch the frame header (FF C0, length, precision, height, width) to 60000 x 60000.
  for (size_t i = 0; i + 8 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == 0xC0) {
      file[i + 5] = file[i + 7] = 0xEA;
      file[i + 6] = file[i + 8] = 0x60;
      break;
    }
  }
  SourceImage image;
  EXPECT_EQ(RunReader(image, &SourceImage::LoadJpeg, file), E_FAIL);
  EXPECT_EQ(image.pixels, nullptr);
}

class JpegDctMethodTest : public testing::Test {
 protected:
  void TearDown() override {
    KernelTestResetRegistry((testing::TempDir() + "kelvane_no_registry").c_str());
    MathTestResetMmxCache();
  }
};

TEST_F(JpegDctMethodTest, DisableMmxSelectsTheFastIntegerTransform) {
  const Bytes file = EncodeJpeg({48, 48, 3, false, 60});
  const Bytes slow = ReferenceDecode(file, JDCT_ISLOW).value();
  const Bytes fast = ReferenceDecode(file, JDCT_IFAST).value();
  ASSERT_NE(slow, fast);  // the picture must tell the two methods apart

  const std::string path = testing::TempDir() + "kelvane_disable_mmx_registry";
  std::ofstream(path) << "[HKEY_LOCAL_MACHINE\\Software\\Direct3D]\n\"DisableMMX\"=dword:00000001\n";
  KernelTestResetRegistry(path.c_str());
  MathTestResetMmxCache();
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadJpeg, file), S_OK);
  EXPECT_EQ(AllPixels(image), fast);

  if (IsProcessorFeaturePresent(PF_MMX_INSTRUCTIONS_AVAILABLE)) {
    KernelTestResetRegistry((testing::TempDir() + "kelvane_no_registry").c_str());
    MathTestResetMmxCache();
    ASSERT_EQ(RunReader(image, &SourceImage::LoadJpeg, file), S_OK);
    EXPECT_EQ(AllPixels(image), slow);
  }
}

}  // namespace
