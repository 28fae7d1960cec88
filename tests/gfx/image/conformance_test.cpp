// Conformance of the readers with independent encoders and decoders: files
// written by ImageMagick and netpbm (committed under fixtures/, see
// make_fixtures.sh, plus a few written at test time) are decoded by the reader
// and by ImageMagick, and the pixels must agree exactly once ImageMagick's
// values are brought to the reader's format (and, where the reader applies a
// gamma correction, corrected the same way). JPEG files must decode exactly
// as libjpeg-turbo itself decodes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "gfx/pixel/format_info.h"
#include "jpeg_codec.h"

namespace {

std::string FixturePath(const std::string& name) {
  const char* root = std::getenv("KELVANE_SOURCE_DIR");
  return std::string(root ? root : ".") + "/tests/gfx/image/fixtures/" + name;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// ImageMagick's own decoding of the first image in the file: 16-bit RGBA, top
// row first (ImageMagick keeps a TGA's bottom-up origin as an orientation tag
// unless asked to apply it).
struct Reference {
  UINT width = 0, height = 0;
  std::vector<uint16_t> rgba;
};

// `width` x `height` is the size the reader found; a decoding of another size
// has another byte count and is refused.
std::optional<Reference> DecodeWithImageMagick(const std::string& path, UINT width, UINT height) {
  Reference ref;
  ref.width = width;
  ref.height = height;
  const std::string raw = Run("convert '" + path + "[0]' -auto-orient -depth 16 -endian LSB rgba:- 2>/dev/null");
  if (raw.size() != size_t{ref.width} * ref.height * 8) return std::nullopt;
  ref.rgba.resize(raw.size() / 2);
  for (size_t i = 0; i < ref.rgba.size(); ++i) {
    ref.rgba[i] = static_cast<uint16_t>(static_cast<uint8_t>(raw[2 * i]) | static_cast<uint8_t>(raw[2 * i + 1]) << 8);
  }
  return ref;
}

// One decoded pixel with the width of each channel; alpha 0 bits: no alpha.
struct Pixel {
  uint32_t value[4];  // r, g, b, a
  int bits[4];
};

uint32_t Le16(const BYTE* p) { return p[0] | p[1] << 8; }

std::optional<Pixel> ReadPixel(const SourceImage& image, UINT x, UINT y) {
  const BYTE* row = image.pixels + static_cast<size_t>(y) * image.rowPitch;
  auto field = [](uint32_t v, int shift, int bits) { return (v >> shift) & ((1u << bits) - 1); };
  switch (static_cast<uint32_t>(image.format)) {
    case D3DFMT_P8: {
      const PALETTEENTRY& e = image.palette[row[x]];
      return Pixel{{e.peRed, e.peGreen, e.peBlue, e.peFlags}, {8, 8, 8, 8}};
    }
    case D3DFMT_L8:
      return Pixel{{row[x], row[x], row[x], 0}, {8, 8, 8, 0}};
    case D3DFMT_A8L8:
      return Pixel{{row[2 * x], row[2 * x], row[2 * x], row[2 * x + 1]}, {8, 8, 8, 8}};
    case D3DFMT_R8G8B8:
      return Pixel{{row[3 * x + 2], row[3 * x + 1], row[3 * x], 0}, {8, 8, 8, 0}};
    case D3DFMT_X8R8G8B8:
      return Pixel{{row[4 * x + 2], row[4 * x + 1], row[4 * x], 0}, {8, 8, 8, 0}};
    case D3DFMT_A8R8G8B8:
      return Pixel{{row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]}, {8, 8, 8, 8}};
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
      const uint32_t v = Le16(row + 2 * x);
      const int alphaBits = image.format == D3DFMT_A1R5G5B5 ? 1 : 0;
      return Pixel{{field(v, 10, 5), field(v, 5, 5), field(v, 0, 5), field(v, 15, 1)}, {5, 5, 5, alphaBits}};
    }
    case D3DFMT_R5G6B5: {
      const uint32_t v = Le16(row + 2 * x);
      return Pixel{{field(v, 11, 5), field(v, 5, 6), field(v, 0, 5), 0}, {5, 6, 5, 0}};
    }
    case D3DFMT_A4R4G4B4: {
      const uint32_t v = Le16(row + 2 * x);
      return Pixel{{field(v, 8, 4), field(v, 4, 4), field(v, 0, 4), field(v, 12, 4)}, {4, 4, 4, 4}};
    }
    case GXFMT_L16: {
      const uint32_t l = Le16(row + 2 * x);
      return Pixel{{l, l, l, 0}, {16, 16, 16, 0}};
    }
    case GXFMT_A16L16: {
      const uint32_t l = Le16(row + 4 * x);
      return Pixel{{l, l, l, Le16(row + 4 * x + 2)}, {16, 16, 16, 16}};
    }
    case GXFMT_R16G16B16:
      return Pixel{{Le16(row + 6 * x + 4), Le16(row + 6 * x + 2), Le16(row + 6 * x), 0}, {16, 16, 16, 0}};
    case GXFMT_A16R16G16B16:
      return Pixel{{Le16(row + 8 * x + 4), Le16(row + 8 * x + 2), Le16(row + 8 * x), Le16(row + 8 * x + 6)},
                   {16, 16, 16, 16}};
    default:
      return std::nullopt;
  }
}

// ImageMagick widens an n-bit sample so that its top n bits are the sample
// (by scaling or by repeating the bits), so the top bits give it back.
uint32_t Quantize(uint32_t value16, int bits) { return value16 >> (16 - bits); }

// The correction the PNG reader asks of libpng for a file gamma without sRGB.
uint32_t GammaCorrect(uint32_t value8, double fileGamma) {
  return static_cast<uint32_t>(std::floor(255.0 * std::pow(value8 / 255.0, 1.0 / (fileGamma * 2.2)) + 0.5));
}

struct Fixture {
  const char* file;
  uint32_t format;  // expected SourceImage format
  GxImageFileFormat fileFormat;
  double fileGamma = 0;     // nonzero: the reader corrects colour by this file gamma
  // ImageMagick decodes this file instead: the same samples without the
  // header or chunk that ImageMagick would act on itself.
  const char* reference = nullptr;
};

void ExpectMatchesImageMagick(const SourceImage& image, const Reference& ref, double fileGamma) {
  ASSERT_EQ(image.width, ref.width);
  ASSERT_EQ(image.height, ref.height);
  int mismatches = 0;
  for (UINT y = 0; y < image.height; ++y) {
    for (UINT x = 0; x < image.width; ++x) {
      const std::optional<Pixel> px = ReadPixel(image, x, y);
      ASSERT_TRUE(px.has_value()) << "format " << image.format;
      for (int c = 0; c < 4; ++c) {
        if (px->bits[c] == 0) continue;
        uint32_t expected = Quantize(ref.rgba[(size_t{y} * ref.width + x) * 4 + c], px->bits[c]);
        if (fileGamma != 0 && c < 3) expected = GammaCorrect(expected, fileGamma);
        if (px->value[c] != expected && ++mismatches <= 5) {
          ADD_FAILURE() << "pixel " << x << "," << y << " channel " << c << ": " << px->value[c] << " != "
                        << expected;
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

void CheckFixture(const Fixture& f, const std::string& path) {
  SCOPED_TRACE(f.file);
  const Bytes data = ReadFile(path);
  ASSERT_FALSE(data.empty()) << path;
  SourceImage image;
  GxImageInfo info{};
  ASSERT_EQ(image.Load(data.data(), static_cast<UINT>(data.size()), &info, TRUE), S_OK);
  EXPECT_EQ(image.fileFormat, f.fileFormat);
  EXPECT_EQ(uint32_t{image.format}, f.format);
  EXPECT_EQ(uint32_t{info.Format}, ToPublicFormat(f.format));
  const std::optional<Reference> ref =
      DecodeWithImageMagick(f.reference ? FixturePath(f.reference) : path, image.width, image.height);
  ASSERT_TRUE(ref.has_value()) << "ImageMagick could not decode " << path;
  ExpectMatchesImageMagick(image, *ref, f.fileGamma);
}

const Fixture kLosslessFixtures[] = {
    {"bmp_1bit.bmp", D3DFMT_P8, GX_IFF_BMP},
    {"bmp_4bit.bmp", D3DFMT_P8, GX_IFF_BMP},
    {"bmp_8bit.bmp", D3DFMT_P8, GX_IFF_BMP},
    {"bmp_8bit_rle.bmp", D3DFMT_P8, GX_IFF_BMP},
    {"bmp_16bit_555_v5.bmp", D3DFMT_X1R5G5B5, GX_IFF_BMP},
    {"bmp_16bit_565_v5.bmp", D3DFMT_R5G6B5, GX_IFF_BMP},
    {"bmp_16bit_4444_v5.bmp", D3DFMT_A4R4G4B4, GX_IFF_BMP},
    {"bmp_16bit_1555_v5.bmp", D3DFMT_A1R5G5B5, GX_IFF_BMP},
    {"bmp_24bit.bmp", D3DFMT_R8G8B8, GX_IFF_BMP},
    {"bmp_24bit_v5.bmp", D3DFMT_R8G8B8, GX_IFF_BMP},
    {"bmp_32bit_alpha_v5.bmp", D3DFMT_A8R8G8B8, GX_IFF_BMP},
    {"dib_4bit.dib", D3DFMT_P8, GX_IFF_DIB, 0, "bmp_4bit.bmp"},
    {"tga_24bit.tga", D3DFMT_R8G8B8, GX_IFF_TGA},
    {"tga_24bit_top.tga", D3DFMT_R8G8B8, GX_IFF_TGA},
    {"tga_32bit.tga", D3DFMT_A8R8G8B8, GX_IFF_TGA},
    {"tga_32bit_top.tga", D3DFMT_A8R8G8B8, GX_IFF_TGA},
    {"tga_24bit_rle.tga", D3DFMT_R8G8B8, GX_IFF_TGA},
    {"tga_32bit_rle_top.tga", D3DFMT_A8R8G8B8, GX_IFF_TGA},
    {"tga_mapped.tga", D3DFMT_P8, GX_IFF_TGA},
    {"tga_mapped_rle.tga", D3DFMT_P8, GX_IFF_TGA},
    {"tga_grey.tga", D3DFMT_L8, GX_IFF_TGA},
    {"tga_grey_rle.tga", D3DFMT_L8, GX_IFF_TGA},
    {"ppm_p3.ppm", D3DFMT_X8R8G8B8, GX_IFF_PPM},
    {"ppm_p6.ppm", D3DFMT_X8R8G8B8, GX_IFF_PPM},
    {"png_grey1_plain.png", D3DFMT_L8, GX_IFF_PNG},
    {"png_grey1_interlaced.png", D3DFMT_L8, GX_IFF_PNG},
    {"png_grey2_plain.png", D3DFMT_L8, GX_IFF_PNG},
    {"png_grey2_interlaced.png", D3DFMT_L8, GX_IFF_PNG},
    {"png_grey4_plain.png", D3DFMT_L8, GX_IFF_PNG},
    {"png_grey4_interlaced.png", D3DFMT_L8, GX_IFF_PNG},
    {"png_grey8_plain.png", D3DFMT_L8, GX_IFF_PNG},
    {"png_grey8_interlaced.png", D3DFMT_L8, GX_IFF_PNG},
    {"png_grey16_plain.png", GXFMT_L16, GX_IFF_PNG},
    {"png_grey16_interlaced.png", GXFMT_L16, GX_IFF_PNG},
    {"png_rgb8_plain.png", D3DFMT_X8R8G8B8, GX_IFF_PNG},
    {"png_rgb8_interlaced.png", D3DFMT_X8R8G8B8, GX_IFF_PNG},
    {"png_rgb16_plain.png", GXFMT_R16G16B16, GX_IFF_PNG},
    {"png_rgb16_interlaced.png", GXFMT_R16G16B16, GX_IFF_PNG},
    {"png_palette2colours_plain.png", D3DFMT_P8, GX_IFF_PNG},
    {"png_palette2colours_interlaced.png", D3DFMT_P8, GX_IFF_PNG},
    {"png_palette4colours_plain.png", D3DFMT_P8, GX_IFF_PNG},
    {"png_palette4colours_interlaced.png", D3DFMT_P8, GX_IFF_PNG},
    {"png_palette16colours_plain.png", D3DFMT_P8, GX_IFF_PNG},
    {"png_palette16colours_interlaced.png", D3DFMT_P8, GX_IFF_PNG},
    {"png_palette100colours_plain.png", D3DFMT_P8, GX_IFF_PNG},
    {"png_palette100colours_interlaced.png", D3DFMT_P8, GX_IFF_PNG},
    {"png_greyalpha8_plain.png", D3DFMT_A8L8, GX_IFF_PNG},
    {"png_greyalpha8_interlaced.png", D3DFMT_A8L8, GX_IFF_PNG},
    {"png_greyalpha16_plain.png", GXFMT_A16L16, GX_IFF_PNG},
    {"png_greyalpha16_interlaced.png", GXFMT_A16L16, GX_IFF_PNG},
    {"png_rgba8_plain.png", D3DFMT_A8R8G8B8, GX_IFF_PNG},
    {"png_rgba8_interlaced.png", D3DFMT_A8R8G8B8, GX_IFF_PNG},
    {"png_rgba16_plain.png", GXFMT_A16R16G16B16, GX_IFF_PNG},
    {"png_rgba16_interlaced.png", GXFMT_A16R16G16B16, GX_IFF_PNG},
    {"png_grey8_trns.png", D3DFMT_A8L8, GX_IFF_PNG},
    {"png_rgb8_trns.png", D3DFMT_A8R8G8B8, GX_IFF_PNG},
    {"png_rgb16_trns.png", GXFMT_A16R16G16B16, GX_IFF_PNG},
    {"png_palette_trns.png", D3DFMT_P8, GX_IFF_PNG},
    {"png_rgb8_gamma1.png", D3DFMT_X8R8G8B8, GX_IFF_PNG, 1.0, "png_rgb8_nogamma.png"},
    {"png_palette_gamma08.png", D3DFMT_P8, GX_IFF_PNG, 0.8, "png_palette16colours_plain.png"},
    {"png_rgb8_srgb.png", D3DFMT_X8R8G8B8, GX_IFF_PNG},  // sRGB: no correction
    {"dds_argb_mips.dds", D3DFMT_A8R8G8B8, GX_IFF_DDS},
    {"dds_rgb.dds", D3DFMT_R8G8B8, GX_IFF_DDS},
};

void CheckFixturesOf(std::initializer_list<GxImageFileFormat> formats) {
  for (const Fixture& f : kLosslessFixtures) {
    if (std::find(formats.begin(), formats.end(), f.fileFormat) != formats.end()) CheckFixture(f, FixturePath(f.file));
  }
}

// One test per format, so that they can run side by side.
TEST(ImageConformanceTest, BmpAndDibMatchImageMagick) { CheckFixturesOf({GX_IFF_BMP, GX_IFF_DIB}); }
TEST(ImageConformanceTest, TgaMatchesImageMagick) { CheckFixturesOf({GX_IFF_TGA}); }
TEST(ImageConformanceTest, PpmMatchesImageMagick) { CheckFixturesOf({GX_IFF_PPM}); }
TEST(ImageConformanceTest, PngMatchesImageMagick) { CheckFixturesOf({GX_IFF_PNG}); }
TEST(ImageConformanceTest, UncompressedDdsMatchesImageMagick) { CheckFixturesOf({GX_IFF_DDS}); }

TEST(ImageConformanceTest, FilesWrittenNowMatchImageMagick) {
  // Odd sizes and a fresh picture each run of the encoder, for what the
  // committed files cannot vary.
  const std::string dir = testing::TempDir();
  const std::string source = dir + "kelvane_conformance_source.png";
  ASSERT_EQ(std::system(("convert -size 37x23 -seed 3 plasma:red-blue '" + source + "'").c_str()), 0);
  const struct {
    const char* name;
    const char* options;
    Fixture fixture;
  } cases[] = {
      {"now_24bit.bmp", "-depth 8 BMP3:", {"now_24bit.bmp", D3DFMT_R8G8B8, GX_IFF_BMP}},
      {"now_rle.tga", "-depth 8 -compress RLE -orient TopLeft ", {"now_rle.tga", D3DFMT_R8G8B8, GX_IFF_TGA}},
      {"now_rgb16.png", "-depth 16 -interlace PNG -define png:color-type=2 ",
       {"now_rgb16.png", GXFMT_R16G16B16, GX_IFF_PNG}},
      {"now_p3.ppm", "-depth 8 -compress none ", {"now_p3.ppm", D3DFMT_X8R8G8B8, GX_IFF_PPM}},
  };
  for (const auto& c : cases) {
    const std::string path = dir + c.name;
    ASSERT_EQ(std::system(("convert '" + source + "' " + c.options + "'" + path + "'").c_str()), 0);
    CheckFixture(c.fixture, path);
  }
}

TEST(ImageConformanceTest, DdsMipChainsFromImageMagick) {
  struct Case {
    const char* file;
    D3DFORMAT format;
    UINT width, height, levels;
  };
  const Case cases[] = {
      {"dds_argb_mips.dds", D3DFMT_A8R8G8B8, 16, 16, 5},
      {"dds_dxt1_mips.dds", D3DFMT_DXT1, 16, 8, 5},
      {"dds_dxt5_mips.dds", D3DFMT_DXT5, 8, 8, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes data = ReadFile(FixturePath(c.file));
    SourceImage image;
    GxImageInfo info{};
    ASSERT_EQ(image.Load(data.data(), static_cast<UINT>(data.size()), &info, TRUE), S_OK);
    EXPECT_EQ(info.Format, c.format);
    EXPECT_EQ(info.MipLevels, c.levels);
    UINT w = c.width, h = c.height;
    const BYTE* expectedStart = data.data() + 128;
    for (const SourceImage* level = &image; level; level = level->nextLevel.get()) {
      EXPECT_EQ(level->width, w);
      EXPECT_EQ(level->height, h);
      EXPECT_EQ(level->pixels, expectedStart);
      expectedStart += level->slicePitch;
      w = w > 1 ? w / 2 : 1;
      h = h > 1 ? h / 2 : 1;
    }
    EXPECT_EQ(expectedStart, data.data() + data.size());  // the chain covers the file exactly
  }
}

TEST(ImageConformanceTest, JpegFromImageMagickDecodesAsLibjpegDecodesIt) {
  const std::pair<const char*, D3DFORMAT> cases[] = {
      {"jpeg_baseline.jpg", D3DFMT_X8R8G8B8},
      {"jpeg_444.jpg", D3DFMT_X8R8G8B8},
      {"jpeg_progressive.jpg", D3DFMT_X8R8G8B8},
      {"jpeg_grey.jpg", D3DFMT_L8},
  };
  for (const auto& [file, format] : cases) {
    SCOPED_TRACE(file);
    const Bytes data = ReadFile(FixturePath(file));
    SourceImage image;
    GxImageInfo info{};
    ASSERT_EQ(image.Load(data.data(), static_cast<UINT>(data.size()), &info, TRUE), S_OK);
    EXPECT_EQ(info.ImageFileFormat, GX_IFF_JPG);
    EXPECT_EQ(image.format, format);
    const Bytes decoded(image.pixels, image.pixels + size_t{image.rowPitch} * image.height);
    EXPECT_EQ(decoded, ReferenceDecode(data).value());
  }
}

}  // namespace
