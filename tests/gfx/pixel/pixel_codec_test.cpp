#include "gfx/pixel/pixel_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx/pixel/format_info.h"
#include "tests/gfx/pixel/pixel_test_util.h"

namespace {

uint32_t BytesOf(uint32_t format) { return GetFormatInfo(format)->bitsPerPixel / 8; }

// A palette whose entries differ in red, so every index is its own nearest.
std::vector<PALETTEENTRY> DistinctPalette() {
  std::vector<PALETTEENTRY> p(256);
  for (int i = 0; i < 256; ++i) {
    p[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>((i * 7) & 255),
            static_cast<BYTE>(i ^ 0x55)};
  }
  return p;
}

// Decodes `pixels` (one row) of `format` and encodes the result into a fresh row.
std::vector<uint8_t> RoundTrip(uint32_t format, const std::vector<uint8_t>& pixels, const PALETTEENTRY* palette,
                               std::vector<FloatColor>* decoded = nullptr) {
  const uint32_t bytes = BytesOf(format);
  const uint32_t width = static_cast<uint32_t>(pixels.size() / bytes);
  std::vector<uint8_t> src = pixels;
  std::vector<uint8_t> dst(pixels.size(), 0xCD);
  PixelRegion sr = WholeRegion(src.data(), format, static_cast<uint32_t>(src.size()), width, 1);
  PixelRegion dr = WholeRegion(dst.data(), format, static_cast<uint32_t>(dst.size()), width, 1);
  sr.palette = dr.palette = palette;
  auto s = CreatePixelCodec(sr);
  auto d = CreatePixelCodec(dr);
  EXPECT_TRUE(s && d);
  if (!s || !d) return {};
  std::vector<FloatColor> row(width);
  s->DecodeRow(0, 0, row.data());
  d->EncodeRow(0, 0, row.data());
  if (decoded) *decoded = row;
  return dst;
}

struct RoundTripCase {
  uint32_t format;
  uint64_t codeMask;  // bits a code may use (X fields excluded)
};

// Every code of every format of 16 bits or fewer decodes and re-encodes to
// itself, except the negative codes of signed formats, which come back one
// step nearer zero (threshold added, then truncated toward zero).
TEST(PixelCodec, SmallFormatsRoundTripEveryCode) {
  const RoundTripCase cases[] = {
      {D3DFMT_R5G6B5, 0xFFFF},   {D3DFMT_X1R5G5B5, 0x7FFF}, {D3DFMT_A1R5G5B5, 0xFFFF}, {D3DFMT_A4R4G4B4, 0xFFFF},
      {D3DFMT_R3G3B2, 0xFF},     {D3DFMT_A8, 0xFF},         {D3DFMT_A8R3G3B2, 0xFFFF}, {D3DFMT_X4R4G4B4, 0x0FFF},
      {D3DFMT_L8, 0xFF},         {D3DFMT_A8L8, 0xFFFF},     {D3DFMT_A4L4, 0xFF},       {D3DFMT_D16_LOCKABLE, 0xFFFF},
      {GXFMT_L16, 0xFFFF},       {D3DFMT_P8, 0xFF},         {D3DFMT_A8P8, 0xFFFF},     {D3DFMT_V8U8, 0xFFFF},
      {D3DFMT_L6V5U5, 0xFFFF},
  };
  const std::vector<PALETTEENTRY> palette = DistinctPalette();
  for (const RoundTripCase& c : cases) {
    SCOPED_TRACE(c.format);
    const uint32_t bytes = BytesOf(c.format);
    std::vector<uint8_t> codes((c.codeMask + 1) * bytes);
    uint64_t n = 0;
    for (uint64_t code = 0; code <= c.codeMask; ++code) {
      if ((code & c.codeMask) == code) PutPixel(codes, n++, bytes, code);
    }
    codes.resize(n * bytes);
    const std::vector<uint8_t> back = RoundTrip(c.format, codes, palette.data());
    ASSERT_EQ(back.size(), codes.size());
    int mismatches = 0;
    for (uint64_t i = 0; i < n && mismatches < 5; ++i) {
      uint64_t code = GetPixel(codes, i, bytes);
      uint64_t expected = code;
      if (c.format == D3DFMT_V8U8) {
        // U and V bytes: a negative value n becomes n + 1.
        expected = 0;
        for (int f = 0; f < 2; ++f) {
          int v = static_cast<int8_t>((code >> (8 * f)) & 0xFF);
          if (v < 0) ++v;
          expected |= uint64_t(uint8_t(v)) << (8 * f);
        }
      } else if (c.format == D3DFMT_L6V5U5) {
        expected = code & 0xFC00;
        for (int f = 0; f < 2; ++f) {
          int v = static_cast<int>((code >> (5 * f)) & 31);
          if (v >= 16) v -= 32;
          if (v < 0) ++v;
          expected |= uint64_t(v & 31) << (5 * f);
        }
      }
      const uint64_t got = GetPixel(back, i, bytes);
      if (got != expected) {
        ++mismatches;
        ADD_FAILURE() << std::hex << "code 0x" << code << " came back 0x" << got << ", expected 0x" << expected;
      }
    }
  }
}

struct DecodeCase {
  uint32_t format;
  uint64_t pixel;
  FloatColor expected;
};

TEST(PixelCodec, DecodesLayoutsAndEdgeValues) {
  const float kInv255 = 1.0f / 255.0f;
  const DecodeCase cases[] = {
      {D3DFMT_A8R8G8B8, 0x80FF0000, {1, 0, 0, 128 * kInv255}},
      {D3DFMT_R8G8B8, 0x0000FF, {0, 0, 1, 1}},
      {D3DFMT_X8R8G8B8, 0x0000FF00, {0, 1, 0, 1}},
      {D3DFMT_X8R8G8B8, 0x00FF0000, {1, 0, 0, 1}},
      {D3DFMT_R5G6B5, 0xF800, {1, 0, 0, 1}},
      {D3DFMT_R5G6B5, 0x07E0, {0, 1, 0, 1}},
      {D3DFMT_A1R5G5B5, 0x801F, {0, 0, 1, 1}},
      {D3DFMT_A1R5G5B5, 0x7C00, {1, 0, 0, 0}},
      {D3DFMT_A4R4G4B4, 0x1F00, {1, 0, 0, 1.0f / 15}},
      {D3DFMT_R3G3B2, 0x03, {0, 0, 1, 1}},
      {D3DFMT_A8, 0x7F, {0, 0, 0, 127 * kInv255}},
      {D3DFMT_A8R3G3B2, 0xFFE0, {1, 0, 0, 1}},
      {D3DFMT_A2B10G10R10, 0x400003FF, {1, 0, 0, 1.0f / 3}},
      {D3DFMT_A2B10G10R10, 0x3FF00000, {0, 0, 1, 0}},
      {D3DFMT_G16R16, 0xFFFF0000, {0, 1, 1, 1}},
      {D3DFMT_L8, 0x33, {51 * kInv255, 51 * kInv255, 51 * kInv255, 1}},
      {D3DFMT_A8L8, 0xFF00, {0, 0, 0, 1}},
      {D3DFMT_A4L4, 0x0F, {1, 1, 1, 0}},
      {D3DFMT_V8U8, 0x7F80, {-1.0f, 0.9921875f, 0, 1}},
      {D3DFMT_L6V5U5, 0xFC10, {-1.0f, 0, 0, 1}},
      {D3DFMT_L6V5U5, 0x01EF, {0.9375f, 0.9375f, 0, 0}},
      {D3DFMT_X8L8V8U8, 0x00FF8000, {0, -1.0f, 0, 1}},
      {D3DFMT_Q8W8V8U8, 0x807F0080, {-1.0f, 0, 0.9921875f, -1.0f}},
      {D3DFMT_V16U16, 0x80007FFF, {32767.0f / 32768, -1.0f, 0, 1}},
      {D3DFMT_W11V11U10, 0x80000200, {-1.0f, 0, -1.0f, 1}},
      {D3DFMT_W11V11U10, 0x000FFDFF, {511.0f / 512, 1023.0f / 1024, 0, 1}},
      {D3DFMT_A2W10V10U10, 0xA0000000, {0, 0, -1.0f, 2.0f / 3}},
      {D3DFMT_D16_LOCKABLE, 0xFFFF, {1, 1, 1, 1}},
      {GXFMT_A16L16, 0x0000FFFF, {1, 1, 1, 0}},
      {GXFMT_R16G16B16, 0xFFFF00000000ull, {1, 0, 0, 1}},
      {GXFMT_A16R16G16B16, 0x8000000000000000ull | 0xFFFF, {0, 0, 1, 32768.0f / 65535}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format << " pixel 0x" << std::hex << c.pixel);
    const uint32_t bytes = BytesOf(c.format);
    std::vector<uint8_t> px(bytes);
    PutPixel(px, 0, bytes, c.pixel);
    auto codec = CreatePixelCodec(WholeRegion(px.data(), c.format, bytes, 1, 1));
    ASSERT_TRUE(codec);
    FloatColor got{};
    codec->DecodeRow(0, 0, &got);
    EXPECT_FLOAT_EQ(got.r, c.expected.r);
    EXPECT_FLOAT_EQ(got.g, c.expected.g);
    EXPECT_FLOAT_EQ(got.b, c.expected.b);
    EXPECT_FLOAT_EQ(got.a, c.expected.a);
  }
}

struct EncodeCase {
  uint32_t format;
  FloatColor input;
  uint64_t expected;
};

TEST(PixelCodec, EncodesWithRoundingTruncationAndZeroXBits) {
  const EncodeCase cases[] = {
      {D3DFMT_A8R8G8B8, {1, 0, 0, 0.5f}, 0x80FF0000},  // alpha: truncate(127.5 + 0.5)
      {D3DFMT_X8R8G8B8, {0, 0, 1, 0.3f}, 0x000000FF},  // X byte written 0
      {D3DFMT_X1R5G5B5, {1, 1, 1, 1}, 0x7FFF},
      {D3DFMT_X4R4G4B4, {1, 1, 1, 1}, 0x0FFF},
      {D3DFMT_A1R5G5B5, {0, 0, 0, 0.5f}, 0x8000},
      {D3DFMT_A1R5G5B5, {0, 0, 0, 0.49f}, 0x0000},
      {D3DFMT_A2B10G10R10, {1, 0, 0, 0.5f}, 0x800003FF},  // alpha truncate(1.5 + 0.5) = 2
      {D3DFMT_L8, {1, 0, 0, 1}, 54},                     // 0.2125 * 255
      {D3DFMT_L8, {0, 1, 0, 1}, 182},                    // 0.7154 * 255 = 182.4
      {D3DFMT_L8, {0, 0, 1, 1}, 18},                     // 0.0721 * 255
      {D3DFMT_D16_LOCKABLE, {0, 0, 1, 1}, 4725},         // luminance too: truncate(0.0721 * 65535 + 0.5)
      {D3DFMT_V8U8, {-1.0f, 0.9921875f, 0, 1}, 0x7F81},  // -128 + 0.5 truncates to -127
      {D3DFMT_V8U8, {-0.02f, 0.0f, 0, 1}, 0x00FE},       // -2.56 + 0.5 truncates to -2, not -3
      {D3DFMT_Q8W8V8U8, {0.5f, -0.5f, 0.25f, -1.0f}, 0x8120C140},
      {D3DFMT_X8L8V8U8, {0, 0, 0, 1}, 0x00FF0000},
      {D3DFMT_W11V11U10, {-1.0f, 0.5f, 0.5f, 1}, 0x40080201},
      {D3DFMT_A2W10V10U10, {0, 0, 0, 1}, 0xC0000000},
      // Out-of-range input saturates instead of wrapping into the sign bit or
      // spilling into the next field.
      {D3DFMT_V8U8, {1.0f, -1.5f, 0, 1}, 0x807F},
      {D3DFMT_R5G6B5, {2.0f, -1.0f, 1.5f, 1}, 0xF81F},
      {D3DFMT_A8R8G8B8, {NAN, 0, 0, 1}, 0xFF000000},
  };
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format);
    const uint32_t bytes = BytesOf(c.format);
    std::vector<uint8_t> px(bytes, 0xEE);
    auto codec = CreatePixelCodec(WholeRegion(px.data(), c.format, bytes, 1, 1));
    ASSERT_TRUE(codec);
    codec->EncodeRow(0, 0, &c.input);
    EXPECT_EQ(GetPixel(px, 0, bytes), c.expected) << std::hex << GetPixel(px, 0, bytes);
  }
}

// Constant 0.5 in the 2-bit blue of R3G3B2 (1.5 before the threshold) becomes
// 2 where the dither threshold is at least 0.5 and 1 below it; the pattern is
// anchored at the box corner and moves one column per slice.
TEST(PixelCodec, DitherPatternAndItsShiftPerSlice) {
  const int kMatrix[4][4] = {{31, 15, 27, 11}, {7, 23, 3, 19}, {25, 9, 29, 13}, {1, 17, 5, 21}};
  const uint32_t W = 9, H = 7, D = 3;
  std::vector<uint8_t> mem(W * H * D, 0xAA);
  PixelRegion r = WholeRegion(mem.data(), D3DFMT_R3G3B2, W, W, H, D, W * H);
  r.box = {2, 1, 8, 6, 0, 3};  // 6 x 5 x 3 inside the volume
  r.dither = 1;
  auto codec = CreatePixelCodec(r);
  ASSERT_TRUE(codec);
  const std::vector<FloatColor> row(6, FloatColor{0, 0, 0.5f, 1});
  for (uint32_t z = 0; z < 3; ++z)
    for (uint32_t y = 0; y < 5; ++y) codec->EncodeRow(y, z, row.data());

  for (uint32_t z = 0; z < D; ++z)
    for (uint32_t y = 0; y < H; ++y)
      for (uint32_t x = 0; x < W; ++x) {
        const uint8_t got = mem[z * W * H + y * W + x];
        const bool inside = x >= 2 && x < 8 && y >= 1 && y < 6;
        if (!inside) {
          EXPECT_EQ(got, 0xAA) << x << "," << y << "," << z;
          continue;
        }
        const uint32_t bx = x - 2, by = y - 1;
        const int threshold = kMatrix[by & 3][(bx + z) & 3];
        EXPECT_EQ(got, threshold >= 16 ? 2 : 1) << bx << "," << by << "," << z;
      }
}

TEST(PixelCodec, WithoutDitherEveryPixelRoundsHalfUp) {
  std::vector<uint8_t> mem(8, 0);
  auto codec = CreatePixelCodec(WholeRegion(mem.data(), D3DFMT_R3G3B2, 8, 8, 1));
  const std::vector<FloatColor> row(8, FloatColor{0, 0, 0.5f, 1});
  codec->EncodeRow(0, 0, row.data());
  for (uint8_t v : mem) EXPECT_EQ(v, 2);
}

// Decodes one row of 32-bit pixels with `key`.
std::vector<FloatColor> DecodeWithKey(uint32_t format, std::vector<uint32_t> pixels, uint32_t key,
                                      const PALETTEENTRY* palette = nullptr) {
  const uint32_t bytes = BytesOf(format);
  std::vector<uint8_t> mem(pixels.size() * bytes);
  for (size_t i = 0; i < pixels.size(); ++i) PutPixel(mem, i, bytes, pixels[i]);
  PixelRegion r = WholeRegion(mem.data(), format, static_cast<uint32_t>(mem.size()),
                              static_cast<uint32_t>(pixels.size()), 1);
  r.colorKey = key;
  r.palette = palette;
  auto codec = CreatePixelCodec(r);
  std::vector<FloatColor> out(pixels.size());
  if (codec) codec->DecodeRow(0, 0, out.data());
  return out;
}

bool IsClear(const FloatColor& c) { return c.r == 0 && c.g == 0 && c.b == 0 && c.a == 0; }

TEST(PixelCodec, ColorKeyOnFormatsWithAndWithoutAlpha) {
  // Without alpha the key's alpha does not matter: every black pixel matches.
  auto x = DecodeWithKey(D3DFMT_X8R8G8B8, {0x00000000, 0xFF000000, 0x00000001, 0x00FFFFFF}, 0xFF000000);
  EXPECT_TRUE(IsClear(x[0]));
  EXPECT_TRUE(IsClear(x[1]));
  EXPECT_EQ(x[2].a, 1.0f);
  EXPECT_EQ(x[3].a, 1.0f);
  auto x2 = DecodeWithKey(D3DFMT_X8R8G8B8, {0xFFFF0000}, 0x00FF0000);
  EXPECT_TRUE(IsClear(x2[0]));

  // With alpha only opaque black matches.
  auto a = DecodeWithKey(D3DFMT_A8R8G8B8, {0xFF000000, 0x80000000, 0xFF000001}, 0xFF000000);
  EXPECT_TRUE(IsClear(a[0]));
  EXPECT_FLOAT_EQ(a[1].a, 128.0f / 255);
  EXPECT_FLOAT_EQ(a[2].b, 1.0f / 255);

  // A key is first quantized to what the format can hold: 0x0A0B0C in 5:6:5
  // is red 1, green 3, blue 1.
  auto q = DecodeWithKey(D3DFMT_R5G6B5, {0x0861, 0x0841}, 0xFF0A0B0C);
  EXPECT_TRUE(IsClear(q[0]));
  EXPECT_FALSE(IsClear(q[1]));

  // D3DFMT_A8: only the key's alpha matters.
  auto a8 = DecodeWithKey(D3DFMT_A8, {0x80, 0x7F}, 0x80123456);
  EXPECT_TRUE(IsClear(a8[0]));
  EXPECT_FLOAT_EQ(a8[1].a, 127.0f / 255);
}

TEST(PixelCodec, ColorKeyOnPalettisedFormatsUsesTheNearestEntry) {
  std::vector<PALETTEENTRY> pal(256, PALETTEENTRY{0, 0, 255, 255});
  pal[3] = {250, 0, 0, 255};
  pal[7] = {0, 250, 0, 255};
  // Key pure red: nearest entry 3.
  auto p = DecodeWithKey(D3DFMT_P8, {3, 7, 0}, 0xFFFF0000, pal.data());
  EXPECT_TRUE(IsClear(p[0]));
  EXPECT_FLOAT_EQ(p[1].g, 250.0f / 255);
  EXPECT_FLOAT_EQ(p[2].b, 1.0f);
  // A8P8: the alpha byte takes part in the match.
  auto ap = DecodeWithKey(D3DFMT_A8P8, {0xFF03, 0x8003}, 0xFFFF0000, pal.data());
  EXPECT_TRUE(IsClear(ap[0]));
  EXPECT_FLOAT_EQ(ap[1].a, 128.0f / 255);
}

TEST(PixelCodec, PalettesWithoutEntriesAndNearestSearch) {
  // No palette: every index is opaque white.
  auto white = DecodeWithKey(D3DFMT_P8, {0, 200}, 0);
  for (const FloatColor& c : white) EXPECT_TRUE(c.r == 1 && c.g == 1 && c.b == 1 && c.a == 1);

  std::vector<PALETTEENTRY> pal(256, PALETTEENTRY{255, 255, 255, 255});
  pal[10] = {100, 0, 0, 255};
  pal[20] = {100, 0, 0, 255};  // equal to 10: the first wins
  pal[30] = {100, 0, 0, 0};    // nearer for a transparent colour, over four channels
  std::vector<uint8_t> p8(2), a8p8(4);
  PixelRegion r8 = WholeRegion(p8.data(), D3DFMT_P8, 2, 2, 1);
  PixelRegion r16 = WholeRegion(a8p8.data(), D3DFMT_A8P8, 4, 2, 1);
  r8.palette = r16.palette = pal.data();
  const FloatColor in[2] = {{0.4f, 0, 0, 1}, {0.4f, 0, 0, 0.1f}};
  CreatePixelCodec(r8)->EncodeRow(0, 0, in);
  CreatePixelCodec(r16)->EncodeRow(0, 0, in);
  EXPECT_EQ(p8[0], 10);
  EXPECT_EQ(p8[1], 30);
  // A8P8 searches red, green and blue only and stores its own alpha.
  EXPECT_EQ(a8p8[0], 10);
  EXPECT_EQ(a8p8[1], 255);
  EXPECT_EQ(a8p8[2], 10);
  EXPECT_EQ(a8p8[3], 26);  // truncate(0.1 * 255 + 0.5)
}

TEST(PixelCodec, RangeConversionBetweenDomains) {
  // An unsigned normal map into V8U8: 128/255 * 2 - 1 = 0.0039 -> code 1.
  uint32_t argb = 0xFF808000;
  uint16_t uv = 0xEEEE;
  auto src = CreatePixelCodec(WholeRegion(&argb, D3DFMT_A8R8G8B8, 4, 1, 1));
  auto dst = CreatePixelCodec(WholeRegion(&uv, D3DFMT_V8U8, 2, 1, 1));
  ASSERT_EQ(dst->SetSourceDomain(*src), S_OK);
  FloatColor c;
  src->DecodeRow(0, 0, &c);
  dst->EncodeRow(0, 0, &c);
  EXPECT_EQ(uv, 0x0101);

  // And back: U = -1 -> red 0, V = 0 -> 0.5 -> 128, W (0) -> 0.5 -> 128.
  uv = 0x0080;
  auto back = CreatePixelCodec(WholeRegion(&argb, D3DFMT_A8R8G8B8, 4, 1, 1));
  auto signedSrc = CreatePixelCodec(WholeRegion(&uv, D3DFMT_V8U8, 2, 1, 1));
  ASSERT_EQ(back->SetSourceDomain(*signedSrc), S_OK);
  signedSrc->DecodeRow(0, 0, &c);
  back->EncodeRow(0, 0, &c);
  EXPECT_EQ(argb, 0xFF008080u);

  // Signed-all into signed-rgb converts alpha only.
  FloatColor rgb[1] = {{-1.0f, 0.5f, 0.25f, -1.0f}};
  ConvertColorDomain(DOMAIN_SIGNED_RGB, DOMAIN_SIGNED_ALL, rgb, rgb, 1);
  EXPECT_EQ(rgb[0].r, -1.0f);
  EXPECT_EQ(rgb[0].a, 0.0f);
  ConvertColorDomain(DOMAIN_SIGNED_ALL, DOMAIN_UNSIGNED, rgb, rgb, 1);
  EXPECT_EQ(rgb[0].r, -3.0f);
  EXPECT_EQ(rgb[0].a, -1.0f);
}

TEST(PixelCodec, BoxRelativeAddressing) {
  // 4x3 surface of 16-bit pixels, box (1,1)-(3,2): row 0 of the box is surface row 1.
  std::vector<uint16_t> mem(12);
  for (int i = 0; i < 12; ++i) mem[i] = static_cast<uint16_t>(i);
  PixelRegion r = WholeRegion(mem.data(), D3DFMT_A8L8, 8, 4, 3);
  r.box = {1, 1, 3, 2, 0, 1};
  auto codec = CreatePixelCodec(r);
  ASSERT_EQ(codec->width(), 2u);
  EXPECT_EQ(codec->bytesPerRow(), 4u);
  FloatColor row[2];
  codec->DecodeRow(0, 0, row);
  EXPECT_FLOAT_EQ(row[0].r, 5.0f / 255);
  EXPECT_FLOAT_EQ(row[1].r, 6.0f / 255);
  const FloatColor white[2] = {{1, 1, 1, 1}, {1, 1, 1, 1}};
  codec->EncodeRow(0, 0, white);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(mem[i], (i == 5 || i == 6) ? 0xFFFF : i) << i;
}

TEST(PixelCodec, FormatsWithoutCodecAndMalformedRegions) {
  uint32_t px = 0;
  for (uint32_t f : {uint32_t{D3DFMT_D24S8}, uint32_t{D3DFMT_D16}, uint32_t{D3DFMT_D32}, uint32_t{D3DFMT_UNKNOWN},
                     uint32_t{D3DFMT_INDEX16}, 12345u}) {
    EXPECT_EQ(CreatePixelCodec(WholeRegion(&px, f, 4, 1, 1)), nullptr) << f;
  }
  PixelRegion inverted = WholeRegion(&px, D3DFMT_A8R8G8B8, 4, 1, 1);
  inverted.box = {1, 0, 0, 1, 0, 1};
  EXPECT_EQ(CreatePixelCodec(inverted), nullptr);
  EXPECT_EQ(CreatePixelCodec(WholeRegion(nullptr, D3DFMT_A8R8G8B8, 4, 1, 1)), nullptr);
}

// ---- YUV --------------------------------------------------------------------------

std::vector<FloatColor> DecodeYuv(uint32_t format, std::vector<uint8_t> bytes) {
  const uint32_t w = static_cast<uint32_t>(bytes.size() / 2);
  auto codec = CreatePixelCodec(WholeRegion(bytes.data(), format, w * 2, w, 1));
  std::vector<FloatColor> out(w);
  codec->DecodeRow(0, 0, out.data());
  return out;
}

TEST(YuvCodec, DecodesBlackAndWhiteInBothByteOrders) {
  for (const FloatColor& c : DecodeYuv(D3DFMT_YUY2, {0x10, 0x80, 0x10, 0x80})) {
    EXPECT_NEAR(c.r, 0, 1e-6);
    EXPECT_NEAR(c.g, 0, 1e-6);
    EXPECT_NEAR(c.b, 0, 1e-6);
    EXPECT_EQ(c.a, 1.0f);
  }
  for (const FloatColor& c : DecodeYuv(D3DFMT_YUY2, {0xEB, 0x80, 0xEB, 0x80})) {
    EXPECT_NEAR(c.r, 1, 1e-5);
    EXPECT_NEAR(c.g, 1, 1e-5);
    EXPECT_NEAR(c.b, 1, 1e-5);
  }
  // UYVY: chroma first. U = 0x80, Y0 = 0xEB, V = 0x80, Y1 = 0x10: white then black.
  auto u = DecodeYuv(D3DFMT_UYVY, {0x80, 0xEB, 0x80, 0x10});
  EXPECT_NEAR(u[0].g, 1, 1e-5);
  EXPECT_NEAR(u[1].g, 0, 1e-6);
  // Strong chroma saturates into [0, 1].
  auto red = DecodeYuv(D3DFMT_YUY2, {0x51, 0x5A, 0x51, 0xF0});
  EXPECT_NEAR(red[0].r, 1.0f, 0.01f);
  EXPECT_NEAR(red[0].g, 0.0f, 0.01f);
  EXPECT_GE(red[0].b, 0.0f);
}

TEST(YuvCodec, EncodesPairsWithChromaFromTheEvenPixel) {
  std::vector<uint8_t> mem(8, 0);
  {
    auto codec = CreatePixelCodec(WholeRegion(mem.data(), D3DFMT_YUY2, 8, 4, 1));
    const FloatColor row[4] = {{1, 1, 1, 1}, {1, 0, 0, 1}, {0, 0, 0, 1}, {1, 1, 1, 1}};
    codec->EncodeRow(0, 0, row);
    EXPECT_EQ(mem[0], 0) << "rows reach memory when the codec moves on or is destroyed";
  }
  // White: Y = round(219) + 16 = 235; U = V = 128. Red luma: round(65.481) + 16 = 81.
  EXPECT_EQ(mem, (std::vector<uint8_t>{235, 128, 81, 128, 16, 128, 235, 128}));
}

TEST(YuvCodec, OddBoxEdgeKeepsTheUntouchedNeighbour) {
  // 4 pixels of UYVY: U Y0 V Y1 | U Y2 V Y3.
  std::vector<uint8_t> mem = {0x80, 0x10, 0x80, 0x50, 0x80, 0x60, 0x80, 0x70};
  {
    PixelRegion r = WholeRegion(mem.data(), D3DFMT_UYVY, 8, 4, 1);
    r.box = {1, 0, 3, 1, 0, 1};  // pixels 1 and 2: odd left and right edges
    auto codec = CreatePixelCodec(r);
    const FloatColor white[2] = {{1, 1, 1, 1}, {1, 1, 1, 1}};
    codec->EncodeRow(0, 0, white);
  }
  EXPECT_EQ(mem[1], 0x10);  // pixel 0 untouched
  EXPECT_EQ(mem[3], 235);
  EXPECT_EQ(mem[5], 235);
  EXPECT_EQ(mem[7], 0x70);  // pixel 3 untouched
  // Pixel 0 is the even pixel of its pair, so its (grey) chroma stays.
  EXPECT_EQ(mem[0], 0x80);
  EXPECT_EQ(mem[2], 0x80);
}

TEST(YuvCodec, KeyIsComparedUnquantized) {
  // Black decodes to exactly (0, 0, 0, 1): a key of opaque black matches it.
  std::vector<uint8_t> mem = {0x10, 0x80, 0xEB, 0x80};
  PixelRegion r = WholeRegion(mem.data(), D3DFMT_YUY2, 4, 2, 1);
  r.colorKey = 0xFF000000;
  auto codec = CreatePixelCodec(r);
  EXPECT_EQ(codec->keyColor().r, 0.0f);
  EXPECT_EQ(codec->keyColor().a, 1.0f);
  FloatColor out[2];
  codec->DecodeRow(0, 0, out);
  EXPECT_TRUE(IsClear(out[0]));
  EXPECT_FALSE(IsClear(out[1]));
}

}  // namespace
