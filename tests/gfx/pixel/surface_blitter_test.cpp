#include "gfx/pixel/surface_blitter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "tests/gfx/pixel/blit_test_util.h"

namespace {

constexpr uint32_t kArgb = D3DFMT_A8R8G8B8;

TEST(SurfaceBlitter, RejectsBadFilterWordsAndBoxesWithoutTouchingTheDestination) {
  TestImage src(kArgb, 4, 4), dst(kArgb, 2, 2, 1, 0x5A);
  src.Randomize(1);
  for (uint32_t filter : {0x100003u, 6u, 0u, 0x80000000u, 0xFFFF0003u, 0x10000u}) {
    EXPECT_EQ(BlitImages(dst, src, filter), D3DERR_INVALIDCALL) << std::hex << filter;
  }
  SurfaceBlitter blitter;
  PixelRegion empty = dst.Region();
  empty.box.Right = empty.box.Left;
  EXPECT_EQ(blitter.Blit(empty, src.Region(), GX_FILTER_POINT), D3DERR_INVALIDCALL);
  PixelRegion inverted = src.Region();
  inverted.box.Top = 3;
  inverted.box.Bottom = 1;
  EXPECT_EQ(blitter.Blit(dst.Region(), inverted, GX_FILTER_POINT), D3DERR_INVALIDCALL);
  for (uint8_t b : dst.bytes) EXPECT_EQ(b, 0x5A);
}

TEST(SurfaceBlitter, FormatsWithoutCodecFail) {
  TestImage src(kArgb, 2, 2), depth(D3DFMT_D24S8, 2, 2, 1, 0x5A);
  EXPECT_EQ(BlitImages(depth, src, GX_FILTER_POINT), E_FAIL);
  EXPECT_EQ(BlitImages(src, depth, GX_FILTER_POINT), E_FAIL);
  for (uint8_t b : depth.bytes) EXPECT_EQ(b, 0x5A);
}

struct PathCase {
  const char* name;
  uint32_t srcFormat, sw, sh, sd;
  uint32_t dstFormat, dw, dh, dd;
  uint32_t filter;
  uint32_t key;
  BlitPath expected;
};

TEST(SurfaceBlitter, TakesEachPathWhenItAppliesAndNotOtherwise) {
  const uint32_t kBox = GX_FILTER_BOX, kLin = GX_FILTER_LINEAR, kTri = GX_FILTER_TRIANGLE;
  const PathCase cases[] = {
      {"same format and size", kArgb, 5, 3, 1, kArgb, 5, 3, 1, GX_FILTER_POINT, 0, BlitPath::kSameFormat},
      {"same format, keyed", kArgb, 5, 3, 1, kArgb, 5, 3, 1, GX_FILTER_POINT, 0xFF000000, BlitPath::kConvert},
      {"other format, same size", kArgb, 5, 3, 1, D3DFMT_R5G6B5, 5, 3, 1, GX_FILTER_POINT, 0, BlitPath::kConvert},
      {"same size volume", kArgb, 2, 2, 3, D3DFMT_L8, 2, 2, 3, kBox, 0, BlitPath::kConvert},
      {"YUV never block-copies", D3DFMT_YUY2, 4, 2, 1, D3DFMT_YUY2, 4, 2, 1, kTri, 0, BlitPath::kConvert},
      {"none", kArgb, 4, 4, 1, kArgb, 8, 2, 1, GX_FILTER_NONE, 0, BlitPath::kNoFilter},
      {"point", kArgb, 3, 1, 1, kArgb, 2, 1, 1, GX_FILTER_POINT, 0, BlitPath::kPoint},
      {"box integer", kArgb, 256, 256, 1, kArgb, 128, 128, 1, kBox, 0, BlitPath::kBox2DInteger},
      {"box integer 565", D3DFMT_R5G6B5, 7, 9, 1, D3DFMT_R5G6B5, 3, 4, 1, kBox, 0, BlitPath::kBox2DInteger},
      {"box with dither", kArgb, 256, 256, 1, kArgb, 128, 128, 1, kBox | GX_FILTER_DITHER, 0, BlitPath::kBox2D},
      {"box keyed", kArgb, 8, 8, 1, kArgb, 4, 4, 1, kBox, 0xFF000000, BlitPath::kBox2D},
      {"box across formats", kArgb, 8, 8, 1, D3DFMT_X8R8G8B8, 4, 4, 1, kBox, 0, BlitPath::kBox2D},
      {"box without integer routine", D3DFMT_A2B10G10R10, 8, 8, 1, D3DFMT_A2B10G10R10, 4, 4, 1, kBox, 0,
       BlitPath::kBox2D},
      {"box 3x3 to 1x1", kArgb, 3, 3, 1, kArgb, 1, 1, 1, kBox, 0, BlitPath::kBox2DInteger},
      {"box one column", kArgb, 1, 8, 1, kArgb, 1, 4, 1, kBox, 0, BlitPath::kBox2D},
      {"box not a halving", kArgb, 100, 100, 1, kArgb, 30, 30, 1, kBox, 0, BlitPath::kTriangle2D},
      {"box volume", kArgb, 4, 4, 4, kArgb, 2, 2, 2, kBox, 0, BlitPath::kBox3D},
      {"box volume, depth not halved", kArgb, 4, 4, 4, kArgb, 2, 2, 3, kBox, 0, BlitPath::kTriangle3D},
      {"linear", kArgb, 4, 4, 1, kArgb, 2, 7, 1, kLin, 0, BlitPath::kLinear2D},
      {"linear volume", kArgb, 4, 4, 2, kArgb, 2, 2, 3, kLin, 0, BlitPath::kLinear3D},
      {"linear surface into volume", kArgb, 4, 4, 1, kArgb, 3, 3, 2, kLin, 0, BlitPath::kLinear3D},
      {"triangle", kArgb, 4, 4, 1, kArgb, 3, 5, 1, kTri, 0, BlitPath::kTriangle2D},
      {"triangle volume", kArgb, 4, 4, 2, kArgb, 3, 5, 3, kTri, 0, BlitPath::kTriangle3D},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestImage src(c.srcFormat, c.sw, c.sh, c.sd), dst(c.dstFormat, c.dw, c.dh, c.dd);
    src.Randomize(7);
    src.colorKey = c.key;
    BlitPath path = BlitPath::kNone;
    ASSERT_EQ(BlitImages(dst, src, c.filter, &path), S_OK);
    EXPECT_EQ(static_cast<int>(path), static_cast<int>(c.expected));
  }
}

TEST(SurfaceBlitter, SameFormatCopiesBytesAndComparesPalettes) {
  // A raw copy keeps even the X byte; a conversion would write it as 0.
  TestImage src(D3DFMT_X8R8G8B8, 3, 2), dst(D3DFMT_X8R8G8B8, 3, 2);
  src.Randomize(3);
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_LINEAR), S_OK);
  EXPECT_EQ(dst.bytes, src.bytes);

  std::vector<PALETTEENTRY> pa(256, PALETTEENTRY{1, 2, 3, 255}), pb = pa;
  pb[200].peGreen = 9;
  TestImage p8(D3DFMT_P8, 4, 1), q8(D3DFMT_P8, 4, 1);
  p8.palette = pa.data();
  q8.palette = pa.data();
  BlitPath path;
  ASSERT_EQ(BlitImages(q8, p8, GX_FILTER_POINT, &path), S_OK);
  EXPECT_EQ(static_cast<int>(path), static_cast<int>(BlitPath::kSameFormat));
  q8.palette = pb.data();
  ASSERT_EQ(BlitImages(q8, p8, GX_FILTER_POINT, &path), S_OK);
  EXPECT_EQ(static_cast<int>(path), static_cast<int>(BlitPath::kConvert));
}

TEST(SurfaceBlitter, SubBoxesAddressOnlyTheirPixels) {
  TestImage src(kArgb, 6, 5), dst(kArgb, 7, 6, 1, 0xEE);
  src.Randomize(11);
  PixelRegion s = src.Region(), d = dst.Region();
  s.box = {1, 2, 4, 4, 0, 1};
  d.box = {3, 1, 6, 3, 0, 1};
  SurfaceBlitter blitter;
  ASSERT_EQ(blitter.Blit(d, s, GX_FILTER_TRIANGLE), S_OK);
  for (uint32_t y = 0; y < 6; ++y)
    for (uint32_t x = 0; x < 7; ++x) {
      const bool inside = x >= 3 && x < 6 && y >= 1 && y < 3;
      if (inside) {
        EXPECT_EQ(dst.Get(x, y), src.Get(x - 2, y + 1)) << x << "," << y;
      } else {
        EXPECT_EQ(dst.Get(x, y), 0xEEEEEEEEu) << x << "," << y;
      }
    }
}

TEST(SurfaceBlitter, NoFilterPlacesTheSourceAtTheCornerAndClears) {
  TestImage src(kArgb, 4, 4), dst(kArgb, 8, 2, 1, 0x77);
  src.Randomize(5);
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_NONE), S_OK);
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 8; ++x) EXPECT_EQ(dst.Get(x, y), x < 4 ? src.Get(x, y) : 0u) << x << "," << y;

  // Destination taller and deeper: missing rows and slices become transparent black.
  TestImage small(kArgb, 2, 1), vol(kArgb, 3, 2, 2, 0x77);
  small.Set(0, 0, 0xFF112233);
  small.Set(1, 0, 0x80445566);
  ASSERT_EQ(BlitImages(vol, small, GX_FILTER_NONE), S_OK);
  for (uint32_t z = 0; z < 2; ++z)
    for (uint32_t y = 0; y < 2; ++y)
      for (uint32_t x = 0; x < 3; ++x) {
        const uint64_t expected = (z == 0 && y == 0 && x < 2) ? small.Get(x, 0) : 0;
        EXPECT_EQ(vol.Get(x, y, z), expected) << x << "," << y << "," << z;
      }
}

TEST(SurfaceBlitter, PointSamplesWithoutCentring) {
  TestImage src(kArgb, 3, 3), dst(kArgb, 2, 2);
  src.Randomize(9);
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_POINT), S_OK);
  // Steps of 1.5 truncated: columns and rows 0 and 1, not 0 and 2.
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 2; ++x) EXPECT_EQ(dst.Get(x, y), src.Get(x, y));

  TestImage vol(kArgb, 2, 2, 4), thin(kArgb, 4, 1, 2);
  vol.Randomize(10);
  ASSERT_EQ(BlitImages(thin, vol, GX_FILTER_POINT), S_OK);
  for (uint32_t z = 0; z < 2; ++z)
    for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(thin.Get(x, 0, z), vol.Get(x / 2, 0, 2 * z));
}

// ---- box -----------------------------------------------------------------------

TEST(SurfaceBlitter, Box3x3To1x1AveragesTheTopLeftFour) {
  TestImage src(kArgb, 3, 3), dst(kArgb, 1, 1);
  src.Randomize(21);
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_BOX), S_OK);
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t sum = 2;
    for (uint32_t y = 0; y < 2; ++y)
      for (uint32_t x = 0; x < 2; ++x) sum += (src.Get(x, y) >> shift) & 0xFF;
    EXPECT_EQ((dst.Get(0, 0) >> shift) & 0xFF, sum >> 2) << shift;
  }
}

// A channel of the integer path: (a + b + c + d + 2) >> 2 per field; X fields 0.
struct Field {
  unsigned shift, bits;
};
struct BoxFormatCase {
  uint32_t format;
  std::vector<Field> fields;
};

TEST(SurfaceBlitter, BoxIntegerPathAveragesEveryFieldOfEveryListedFormat) {
  const BoxFormatCase cases[] = {
      {D3DFMT_A8R8G8B8, {{0, 8}, {8, 8}, {16, 8}, {24, 8}}},
      {D3DFMT_R5G6B5, {{0, 5}, {5, 6}, {11, 5}}},
      {D3DFMT_X1R5G5B5, {{0, 5}, {5, 5}, {10, 5}}},
      {D3DFMT_A1R5G5B5, {{0, 5}, {5, 5}, {10, 5}, {15, 1}}},
      {D3DFMT_A4R4G4B4, {{0, 4}, {4, 4}, {8, 4}, {12, 4}}},
      {D3DFMT_X4R4G4B4, {{0, 4}, {4, 4}, {8, 4}}},
      {D3DFMT_R3G3B2, {{0, 2}, {2, 3}, {5, 3}}},
      {D3DFMT_A8R3G3B2, {{0, 2}, {2, 3}, {5, 3}, {8, 8}}},
      {D3DFMT_A8, {{0, 8}}},
      {D3DFMT_L8, {{0, 8}}},
      {D3DFMT_A8L8, {{0, 8}, {8, 8}}},
      {D3DFMT_A4L4, {{0, 4}, {4, 4}}},
  };
  for (const BoxFormatCase& c : cases) {
    SCOPED_TRACE(c.format);
    TestImage src(c.format, 10, 7), dst(c.format, 5, 3, 1, 0xCC);
    src.Randomize(c.format);
    BlitPath path;
    ASSERT_EQ(BlitImages(dst, src, GX_FILTER_BOX, &path), S_OK);
    EXPECT_EQ(static_cast<int>(path), static_cast<int>(BlitPath::kBox2DInteger));
    for (uint32_t y = 0; y < 3; ++y)
      for (uint32_t x = 0; x < 5; ++x) {
        uint64_t expected = 0;
        for (const Field& f : c.fields) {
          const uint64_t mask = (uint64_t{1} << f.bits) - 1;
          uint64_t sum = 2;
          for (uint32_t k = 0; k < 4; ++k) sum += (src.Get(2 * x + (k & 1), 2 * y + k / 2) >> f.shift) & mask;
          expected |= (sum >> 2) << f.shift;
        }
        EXPECT_EQ(dst.Get(x, y), expected) << x << "," << y;
      }
  }
}

TEST(SurfaceBlitter, BoxFloatPathAgreesWithTheIntegerPathWithinOneStep) {
  TestImage src(kArgb, 64, 32), fast(kArgb, 32, 16), slow(kArgb, 32, 16);
  src.Randomize(4);
  ASSERT_EQ(BlitImages(fast, src, GX_FILTER_BOX), S_OK);
  ASSERT_EQ(BlitImages(slow, src, GX_FILTER_BOX | GX_FILTER_DITHER), S_OK);
  for (size_t i = 0; i < fast.bytes.size(); ++i) EXPECT_NEAR(fast.bytes[i], slow.bytes[i], 1) << i;
}

TEST(SurfaceBlitter, BoxFloatPathAppliesTheColourKeyBeforeAveraging) {
  TestImage src(kArgb, 2, 2), dst(kArgb, 1, 1);
  src.Set(0, 0, 0xFF000000);  // the key: becomes transparent black
  src.Set(1, 0, 0xFFFFFFFF);
  src.Set(0, 1, 0xFFFFFFFF);
  src.Set(1, 1, 0xFFFFFFFF);
  src.colorKey = 0xFF000000;
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_BOX), S_OK);
  // Alpha (0 + 3 * 1) / 4 = 0.75 -> 191; colours likewise.
  EXPECT_EQ(dst.Get(0, 0), 0xBFBFBFBFu);
}

TEST(SurfaceBlitter, Box3DAveragesEightSamples) {
  TestImage src(D3DFMT_L8, 3, 2, 5), dst(D3DFMT_L8, 1, 1, 2);
  src.Randomize(8);
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_BOX), S_OK);
  for (uint32_t z = 0; z < 2; ++z) {
    double sum = 0;
    for (uint32_t k = 0; k < 8; ++k) sum += static_cast<double>(src.Get(k & 1, (k >> 1) & 1, 2 * z + (k >> 2)));
    EXPECT_EQ(dst.Get(0, 0, z), static_cast<uint64_t>(sum / 8 + 0.5)) << z;
  }
}

// ---- resampling against double-precision references --------------------------------

// Linear taps in double: sample position k * m / n - 0.5.
struct RefTap {
  int i0, i1;
  double w0, w1;
};
std::vector<RefTap> RefLinear(uint32_t n, uint32_t m, bool wrap) {
  std::vector<RefTap> taps(n);
  for (uint32_t k = 0; k < n; ++k) {
    const double s = k * (double(m) / n) - 0.5;
    int i0 = static_cast<int>(std::floor(s)), i1 = i0 + 1;
    const double f = s - i0;
    if (i0 < 0) i0 = wrap ? int(m) - 1 : 0;
    if (i1 >= int(m)) i1 = wrap ? 0 : int(m) - 1;
    taps[k] = {i0, i1, 1 - f, f};
  }
  return taps;
}

// Triangle weights in double, dense: w[source][destination].
std::vector<std::vector<double>> RefTriangle(uint32_t m, uint32_t n, bool wrap) {
  std::vector<std::vector<double>> w(m, std::vector<double>(n, 0.0));
  const double b = double(n) / m;
  for (uint32_t j = 0; j < m; ++j)
    for (int h = 0; h < 2; ++h) {
      const double e = j + h - 0.5;
      double g = e * b, o = g + b;
      if (!wrap) {
        g = std::max(g, 0.0);
        o = std::min(o, double(n));
      }
      for (int t = int(std::floor(g)); t < o; ++t) {
        const double v = std::max<double>(t, g), ww = std::min<double>(t + 1, o);
        double a = (v + ww) * (0.5 / b) - e;
        if (!wrap && h == 0 && e < 0) a = 1;
        if (!wrap && h == 1 && e + 1 >= m) a = 0;
        const int idx = t < 0 ? t + int(n) : (t >= int(n) ? t - int(n) : t);
        w[j][idx] += (ww - v) * (h == 0 ? a : 1 - a);
      }
    }
  return w;
}

double Channel(const FloatColor& c, int k) { return k == 0 ? c.r : k == 1 ? c.g : k == 2 ? c.b : c.a; }

void ExpectNear(const std::vector<FloatColor>& got, const std::vector<std::vector<double>>& want, double tol) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i)
    for (int k = 0; k < 4; ++k) ASSERT_NEAR(Channel(got[i], k), want[i][k], tol) << "pixel " << i << " channel " << k;
}

struct ResampleCase {
  uint32_t sw, sh, sd, dw, dh, dd;
  uint32_t flags;
};

const ResampleCase kResampleCases[] = {
    {7, 5, 1, 11, 3, 1, 0},
    {16, 16, 1, 5, 9, 1, GX_FILTER_MIRROR_U},
    {9, 4, 1, 4, 13, 1, GX_FILTER_MIRROR_V},
    {1, 3, 1, 4, 2, 1, GX_FILTER_MIRROR_U | GX_FILTER_MIRROR_V},
    {33, 17, 1, 12, 6, 1, 0},
    {5, 4, 3, 3, 6, 2, 0},
    {4, 3, 2, 7, 2, 5, GX_FILTER_MIRROR_W},
    {6, 6, 6, 2, 3, 4, GX_FILTER_MIRROR_U | GX_FILTER_MIRROR_W},
};

// A 16-bit-per-channel destination keeps the filtered values nearly exact.
constexpr uint32_t kWide = GXFMT_A16R16G16B16;
constexpr double kWideTolerance = 1.0 / 65535 + 2e-5;

TEST(SurfaceBlitter, LinearMatchesADoublePrecisionReference) {
  for (const ResampleCase& c : kResampleCases) {
    SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << "x" << c.sd << " -> " << c.dw << "x" << c.dh << "x" << c.dd);
    TestImage src(kArgb, c.sw, c.sh, c.sd), dst(kWide, c.dw, c.dh, c.dd);
    src.Randomize(c.sw * 131 + c.dw);
    if (c.sd == c.dd && c.sw == c.dw && c.sh == c.dh) continue;
    ASSERT_EQ(BlitImages(dst, src, GX_FILTER_LINEAR | c.flags), S_OK);
    const std::vector<FloatColor> s = src.Decode();
    const auto tx = RefLinear(c.dw, c.sw, !(c.flags & GX_FILTER_MIRROR_U));
    const auto ty = RefLinear(c.dh, c.sh, !(c.flags & GX_FILTER_MIRROR_V));
    const auto tz = RefLinear(c.dd, c.sd, !(c.flags & GX_FILTER_MIRROR_W));
    std::vector<std::vector<double>> want;
    for (uint32_t z = 0; z < c.dd; ++z)
      for (uint32_t y = 0; y < c.dh; ++y)
        for (uint32_t x = 0; x < c.dw; ++x) {
          std::vector<double> v(4, 0.0);
          for (int a = 0; a < 2; ++a)
            for (int b = 0; b < 2; ++b)
              for (int e = 0; e < 2; ++e) {
                // A single-slice source and destination weighs the one slice fully.
                const bool flat = c.sd == 1 && c.dd == 1;
                const int sz = flat ? 0 : (a ? tz[z].i1 : tz[z].i0);
                const double wz = flat ? (a ? 0.0 : 1.0) : (a ? tz[z].w1 : tz[z].w0);
                const int sy = b ? ty[y].i1 : ty[y].i0;
                const int sx = e ? tx[x].i1 : tx[x].i0;
                const double w = wz * (b ? ty[y].w1 : ty[y].w0) * (e ? tx[x].w1 : tx[x].w0);
                for (int k = 0; k < 4; ++k) v[k] += w * Channel(s[(size_t(sz) * c.sh + sy) * c.sw + sx], k);
              }
          want.push_back(v);
        }
    ExpectNear(dst.Decode(), want, kWideTolerance);
  }
}

TEST(SurfaceBlitter, LinearFourToTwoWrapsOrTakesTheEdge) {
  TestImage src(D3DFMT_L8, 4, 1), dst(D3DFMT_L8, 2, 1);
  for (uint32_t x = 0; x < 4; ++x) src.Set(x, 0, 10 + 40 * x);  // 10 50 90 130
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_LINEAR), S_OK);
  EXPECT_EQ(dst.Get(0, 0), 70u);  // half of pixel 3 (wrapped) and half of pixel 0
  EXPECT_EQ(dst.Get(1, 0), 70u);  // halves of pixels 1 and 2
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_LINEAR | GX_FILTER_MIRROR_U), S_OK);
  EXPECT_EQ(dst.Get(0, 0), 10u);
}

TEST(SurfaceBlitter, TriangleMatchesADoublePrecisionReference) {
  for (const ResampleCase& c : kResampleCases) {
    SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << "x" << c.sd << " -> " << c.dw << "x" << c.dh << "x" << c.dd);
    TestImage src(kArgb, c.sw, c.sh, c.sd), dst(kWide, c.dw, c.dh, c.dd, 0xAB);
    src.Randomize(c.sh * 71 + c.dh);
    ASSERT_EQ(BlitImages(dst, src, GX_FILTER_TRIANGLE | c.flags), S_OK);
    const std::vector<FloatColor> s = src.Decode();
    const auto wx = RefTriangle(c.sw, c.dw, !(c.flags & GX_FILTER_MIRROR_U));
    const auto wy = RefTriangle(c.sh, c.dh, !(c.flags & GX_FILTER_MIRROR_V));
    const auto wz = RefTriangle(c.sd, c.dd, !(c.flags & GX_FILTER_MIRROR_W));
    std::vector<std::vector<double>> want(size_t{c.dw} * c.dh * c.dd, std::vector<double>(4, 0.0));
    for (uint32_t sz = 0; sz < c.sd; ++sz)
      for (uint32_t sy = 0; sy < c.sh; ++sy)
        for (uint32_t sx = 0; sx < c.sw; ++sx)
          for (uint32_t z = 0; z < c.dd; ++z)
            for (uint32_t y = 0; y < c.dh; ++y)
              for (uint32_t x = 0; x < c.dw; ++x) {
                const double w = wz[sz][z] * wy[sy][y] * wx[sx][x];
                if (w == 0) continue;
                for (int k = 0; k < 4; ++k)
                  want[(size_t(z) * c.dh + y) * c.dw + x][k] += w * Channel(s[(size_t(sz) * c.sh + sy) * c.sw + sx], k);
              }
    ExpectNear(dst.Decode(), want, kWideTolerance + 1e-4);
  }
}

TEST(SurfaceBlitter, TriangleEnlargingOnePixelCopiesIt) {
  for (uint32_t flags : {0u, uint32_t{GX_FILTER_MIRROR_U}}) {
    TestImage src(kArgb, 1, 1), dst(kArgb, 4, 1);
    src.Set(0, 0, 0x80FF4010);
    ASSERT_EQ(BlitImages(dst, src, GX_FILTER_TRIANGLE | flags), S_OK);
    for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(dst.Get(x, 0), 0x80FF4010u) << x << " flags " << flags;
  }
}

// ---- conversions through the blitter ----------------------------------------------

TEST(SurfaceBlitter, ConvertsRangesAndHonoursTheSourceKey) {
  TestImage argb(kArgb, 2, 1), uv(D3DFMT_V8U8, 2, 1);
  argb.Set(0, 0, 0xFF808000);
  argb.Set(1, 0, 0xFF00FF00);
  ASSERT_EQ(BlitImages(uv, argb, GX_FILTER_POINT), S_OK);
  EXPECT_EQ(uv.Get(0, 0), 0x0101u);
  EXPECT_EQ(uv.Get(1, 0), 0x7F81u);  // U = -1 -> -127; V = +1 saturates at 127

  // A keyed point-sampled reduction: keyed pixels arrive as transparent black.
  TestImage src(D3DFMT_X8R8G8B8, 4, 1), dst(kArgb, 2, 1);
  src.Set(0, 0, 0x00FF00FF);
  src.Set(2, 0, 0x00123456);
  src.colorKey = 0xFFFF00FF;
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_POINT), S_OK);
  EXPECT_EQ(dst.Get(0, 0), 0u);
  EXPECT_EQ(dst.Get(1, 0), 0xFF123456u);
}

TEST(SurfaceBlitter, DitherFlagReachesTheDestinationEncoder) {
  TestImage src(D3DFMT_L8, 4, 4, 1, 0x80), plain(D3DFMT_R3G3B2, 4, 4), dithered(D3DFMT_R3G3B2, 4, 4);
  ASSERT_EQ(BlitImages(plain, src, GX_FILTER_POINT), S_OK);
  ASSERT_EQ(BlitImages(dithered, src, GX_FILTER_POINT | GX_FILTER_DITHER), S_OK);
  for (uint32_t i = 1; i < 16; ++i) EXPECT_EQ(plain.bytes[i], plain.bytes[0]);
  bool varies = false;
  for (uint32_t i = 1; i < 16; ++i) varies |= dithered.bytes[i] != dithered.bytes[0];
  EXPECT_TRUE(varies);
}

TEST(SurfaceBlitter, YuvDestinationIsFlushedWhenTheBlitEnds) {
  TestImage src(kArgb, 4, 2, 1, 0xFF), dst(D3DFMT_UYVY, 4, 2);
  ASSERT_EQ(BlitImages(dst, src, GX_FILTER_TRIANGLE), S_OK);
  for (size_t i = 0; i < dst.bytes.size(); ++i) EXPECT_EQ(dst.bytes[i], (i & 1) ? 235 : 128) << i;
}

}  // namespace

namespace {

// ---- block-compressed surfaces ----------------------------------------------------

struct BlockSurface {
  uint32_t format, w, h, d, blockBytes;
  std::vector<uint8_t> bytes;
  BlockSurface(uint32_t fmt, uint32_t width, uint32_t height, uint32_t depth, uint8_t fill)
      : format(fmt), w(width), h(height), d(depth), blockBytes(fmt == D3DFMT_DXT1 ? 8 : 16),
        bytes(size_t{width / 4} * (height / 4) * depth * blockBytes, fill) {}
  uint32_t rowPitch() const { return w / 4 * blockBytes; }
  PixelRegion Region(D3DBOX box) {
    PixelRegion r = WholeRegion(bytes.data(), format, rowPitch(), w, h, d, rowPitch() * (h / 4));
    r.box = box;
    return r;
  }
  const uint8_t* Block(uint32_t bx, uint32_t by, uint32_t z = 0) const {
    return &bytes[size_t{z} * rowPitch() * (h / 4) + size_t{by} * rowPitch() + size_t{bx} * blockBytes];
  }
};

TEST(SurfaceBlitter, BlockAlignedBoxesCopyBlocksOthersReencode) {
  BlockSurface src(D3DFMT_DXT3, 12, 8, 1, 0), dst(D3DFMT_DXT3, 12, 8, 1, 0xEE);
  std::mt19937 gen(12);
  for (uint8_t& b : src.bytes) b = static_cast<uint8_t>(gen());
  SurfaceBlitter blitter;
  ASSERT_EQ(blitter.Blit(dst.Region({4, 0, 12, 8, 0, 1}), src.Region({4, 0, 12, 8, 0, 1}), GX_FILTER_TRIANGLE), S_OK);
  EXPECT_EQ(static_cast<int>(blitter.path()), static_cast<int>(BlitPath::kBlockCopy));
  for (uint32_t by = 0; by < 2; ++by) {
    EXPECT_EQ(std::vector<uint8_t>(dst.Block(0, by), dst.Block(0, by) + 16), std::vector<uint8_t>(16, 0xEE));
    for (uint32_t bx = 1; bx < 3; ++bx) EXPECT_EQ(std::memcmp(dst.Block(bx, by), src.Block(bx, by), 16), 0);
  }

  ASSERT_EQ(blitter.Blit(dst.Region({2, 0, 10, 8, 0, 1}), src.Region({2, 0, 10, 8, 0, 1}), GX_FILTER_TRIANGLE), S_OK);
  EXPECT_EQ(static_cast<int>(blitter.path()), static_cast<int>(BlitPath::kConvert));

  // DXT1 volume: 8-byte blocks, every slice.
  BlockSurface v(D3DFMT_DXT1, 8, 4, 2, 0), w(D3DFMT_DXT1, 8, 4, 2, 0xEE);
  for (uint8_t& b : v.bytes) b = static_cast<uint8_t>(gen());
  ASSERT_EQ(blitter.Blit(w.Region({0, 0, 8, 4, 0, 2}), v.Region({0, 0, 8, 4, 0, 2}), GX_FILTER_BOX), S_OK);
  EXPECT_EQ(static_cast<int>(blitter.path()), static_cast<int>(BlitPath::kBlockCopy));
  EXPECT_EQ(w.bytes, v.bytes);
}

TEST(SurfaceBlitter, BlockCompressedDestinationIsWrittenWhenTheBlitEnds) {
  TestImage white(kArgb, 4, 4, 1, 0xFF);
  BlockSurface dxt(D3DFMT_DXT1, 4, 4, 1, 0x11);
  SurfaceBlitter blitter;
  ASSERT_EQ(blitter.Blit(dxt.Region({0, 0, 4, 4, 0, 1}), white.Region(), GX_FILTER_POINT), S_OK);
  EXPECT_EQ(dxt.bytes, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
}

}  // namespace
