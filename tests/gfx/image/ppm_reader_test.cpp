#include <gtest/gtest.h>

#include <string>

#include "image_builders.h"

namespace {

std::vector<uint32_t> Pixels(const SourceImage& image) {
  const auto* p = reinterpret_cast<const uint32_t*>(image.pixels);
  return std::vector<uint32_t>(p, p + image.width * image.height);
}

TEST(PpmReaderTest, DecodesToOpaqueX8R8G8B8) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {"P3", "P3 2 1 255 1 2 3 250 251 252", {0xFF010203, 0xFFFAFBFC}},
      {"P3, comment between width and height", "P3\n2 # width\n# more\n1\n255\n1 2 3\t250 251 252\n",
       {0xFF010203, 0xFFFAFBFC}},
      {"P3, maximum 1000 scales by 255/1000", "P3 1 1 1000 1000 500 3", {0xFFFF7F00}},
      {"P3, maximum 1 is two-level", "P3 2 1 1 1 0 1 0 1 0", {0xFFFF00FF, 0xFF00FF00}},
      {"P3, anything after the last pixel is ignored", "P3 1 1 255 9 9 9 junk", {0xFF090909}},
      {"P3, samples above the maximum saturate", "P3 1 1 15 16 1000 15", {0xFFFFFFFF}},
      {"P6", std::string("P6 2 1 255\n") + "\x01\x02\x03\xFA\xFB\xFC", {0xFF010203, 0xFFFAFBFC}},
      {"P6, CR LF after the maximum", std::string("P6 1 1 255\r\n") + "\x0A\x0B\x0C", {0xFF0A0B0C}},
      {"P6, maximum 15", std::string("P6 1 1 15 ") + std::string("\x0F\x05\x00", 3), {0xFFFF5500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SourceImage image;
    ASSERT_EQ(RunReader(image, &SourceImage::LoadPpm, FromString(c.file)), S_OK);
    EXPECT_EQ(image.format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(image.rowPitch, 4 * image.width);
    EXPECT_EQ(image.depth, 1u);
    EXPECT_EQ(Pixels(image), c.expected);
  }
}

TEST(PpmReaderTest, DecodesEvenWhenOnlyADescriptionIsAsked) {
  SourceImage image;
  ASSERT_EQ(RunReader(image, &SourceImage::LoadPpm, FromString("P3 1 1 255 4 5 6"), FALSE), S_OK);
  EXPECT_EQ(Pixels(image), std::vector<uint32_t>{0xFF040506});
}

TEST(PpmReaderTest, Rejections) {
  const std::pair<const char*, std::string> cases[] = {
      {"no magic", "P5 1 1 255 0"},
      {"magic only", "P3"},
      {"zero width", "P3 0 1 255"},
      {"zero height", "P3 1 0 255"},
      {"zero maximum", "P3 1 1 0 0 0 0"},
      {"letters in a number", "P3 1x 1 255 0 0 0"},
      {"a comment glued to a number", "P3 1 1 255# no\n0 0 0"},
      {"a sample missing", "P3 1 1 255 0 0"},
      {"header cut short", "P3 1 1"},
      {"P6 maximum 65535", std::string("P6 1 1 65535\n") + std::string(6, '\0')},
      {"P6 pixels cut short", std::string("P6 2 1 255\n") + std::string(5, '\0')},
      {"number beyond 32 bits", "P3 99999999999 1 255 0 0 0"},
      {"more pixels than the data could hold", "P6 60000 60000 255\n"},
  };
  for (const auto& [what, file] : cases) {
    SCOPED_TRACE(what);
    SourceImage image;
    EXPECT_EQ(RunReader(image, &SourceImage::LoadPpm, FromString(file)), E_FAIL);
  }
}

}  // namespace
