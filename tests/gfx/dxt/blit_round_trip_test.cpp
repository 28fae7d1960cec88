// Round trips through the surface blitter: 32-bit pixels into DXT surfaces and
// back out, for whole surfaces of awkward sizes and for boxes on and off the
// block grid; DXT to DXT copies; a resampling path that writes rows out of
// order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "dxt_surface.h"
#include "gfx/pixel/surface_blitter.h"

namespace {

const uint32_t kFormats[] = {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5};

struct ArgbSurface {
  uint32_t width, height;
  std::vector<uint32_t> pixels;
  ArgbSurface(uint32_t w, uint32_t h) : width(w), height(h), pixels(size_t{w} * h, 0) {}
  uint32_t& at(uint32_t x, uint32_t y) { return pixels[size_t{y} * width + x]; }
  PixelRegion Region(D3DBOX box) {
    PixelRegion r{};
    r.bits = reinterpret_cast<uint8_t*>(pixels.data());
    r.format = D3DFMT_A8R8G8B8;
    r.rowPitch = width * 4;
    r.extent = {0, 0, width, height, 0, 1};
    r.box = box;
    return r;
  }
};

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

int MaxChannelDifference(uint32_t a, uint32_t b, bool withAlpha) {
  int worst = 0;
  for (int shift : {0, 8, 16, 24}) {
    if (shift == 24 && !withAlpha) continue;
    worst = std::max(worst, std::abs(Channel(a, shift) - Channel(b, shift)));
  }
  return worst;
}

// The premultiplied formats store colour times alpha; dividing by a 4-bit
// (DXT2) or interpolated alpha magnifies the loss, so their pixels are
// compared as stored: each colour channel times the pixel's own alpha.
uint32_t Premultiply(uint32_t argb) {
  const uint32_t a = argb >> 24;
  uint32_t out = a << 24;
  for (int shift : {0, 8, 16}) out |= ((((argb >> shift) & 0xFF) * a + 127) / 255) << shift;
  return out;
}

// A picture a block can hold well: colours along one line of colour space,
// moving slowly with x, y and the seed, and a slow alpha ramp (at least 129,
// so DXT1 keeps every pixel opaque). A pixel in the wrong place or a block
// left unwritten is far off; encoding loss is small.
ArgbSurface Source(uint32_t w, uint32_t h, uint32_t seed) {
  ArgbSurface s(w, h);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t t = 2 * x + y + 40 * seed;  // below 270 for seeds up to 2 at 64x64
      const uint32_t r = 40 + 180 * t / 270, g = 60 + 120 * t / 270, b = 200 - 80 * t / 270;
      const uint32_t a = 255 - 2 * y;
      s.at(x, y) = (a << 24) | (r << 16) | (g << 8) | b;
    }
  return s;
}

TEST(BlitRoundTrip, WholeSurfacesAndBoxesOnAndOffTheBlockGrid) {
  struct Case {
    uint32_t w, h;
    D3DBOX box;  // of the DXT surface
  };
  const Case cases[] = {
      {1, 1, {0, 0, 1, 1, 0, 1}},       {2, 2, {0, 0, 2, 2, 0, 1}},      {4, 4, {0, 0, 4, 4, 0, 1}},
      {4, 4, {1, 1, 3, 3, 0, 1}},       {5, 7, {0, 0, 5, 7, 0, 1}},      {5, 7, {1, 2, 4, 6, 0, 1}},
      {64, 64, {0, 0, 64, 64, 0, 1}},   {64, 64, {8, 4, 40, 60, 0, 1}},  {64, 64, {3, 5, 61, 50, 0, 1}},
      {64, 64, {0, 0, 2, 64, 0, 1}},
  };
  SurfaceBlitter blitter;
  for (uint32_t format : kFormats) {
    for (const Case& c : cases) {
      const D3DBOX& b = c.box;
      const uint32_t bw = b.Right - b.Left, bh = b.Bottom - b.Top;
      SCOPED_TRACE(testing::Message() << format << " " << c.w << "x" << c.h << " box " << b.Left << "," << b.Top
                                      << "-" << b.Right << "," << b.Bottom);
      // The surface first holds a background; then the box receives a picture.
      DxtSurface dxt(format, c.w, c.h);
      ArgbSurface background = Source(c.w, c.h, 0);
      ASSERT_EQ(blitter.Blit(dxt.Whole(), background.Region({0, 0, c.w, c.h, 0, 1}), GX_FILTER_NONE), S_OK);
      ArgbSurface before(c.w, c.h);
      ASSERT_EQ(blitter.Blit(before.Region({0, 0, c.w, c.h, 0, 1}), dxt.Whole(), GX_FILTER_NONE), S_OK);

      ArgbSurface picture = Source(bw, bh, 2);
      ASSERT_EQ(blitter.Blit(dxt.Region(b), picture.Region({0, 0, bw, bh, 0, 1}), GX_FILTER_POINT), S_OK);
      EXPECT_EQ(blitter.path(), BlitPath::kConvert);
      ArgbSurface after(c.w, c.h);
      ASSERT_EQ(blitter.Blit(after.Region({0, 0, c.w, c.h, 0, 1}), dxt.Whole(), GX_FILTER_NONE), S_OK);

      // Inside the box the picture, outside the old contents (re-encoded at
      // most once). In blocks holding both, the error diffusion may move a
      // pixel by a palette step, a third of the distance between the two.
      // Misplaced or unwritten pixels are off by 50 or more. DXT1 stores no
      // alpha.
      const bool alpha = format != D3DFMT_DXT1;
      const bool premultiplied = format == D3DFMT_DXT2 || format == D3DFMT_DXT4;
      for (uint32_t y = 0; y < c.h; ++y)
        for (uint32_t x = 0; x < c.w; ++x) {
          const bool inside = x >= b.Left && x < b.Right && y >= b.Top && y < b.Bottom;
          uint32_t want = inside ? picture.at(x - b.Left, y - b.Top) : before.at(x, y);
          uint32_t got = after.at(x, y);
          if (premultiplied) {
            want = Premultiply(want);
            got = Premultiply(got);
          }
          ASSERT_LE(MaxChannelDifference(got, want, alpha), 24)
              << (inside ? "inside" : "outside") << " " << x << "," << y;
          if (!alpha) {
            ASSERT_EQ(Channel(after.at(x, y), 24), 255);
          }
        }
    }
  }
}

TEST(BlitRoundTrip, DxtToDxtCopiesBlocksOnTheGridAndReencodesOffIt) {
  for (uint32_t format : kFormats) {
    SCOPED_TRACE(format);
    DxtSurface from(format, 16, 16), to(format, 16, 16);
    ArgbSurface picture = Source(16, 16, 1);
    SurfaceBlitter blitter;
    ASSERT_EQ(blitter.Blit(from.Whole(), picture.Region({0, 0, 16, 16, 0, 1}), GX_FILTER_NONE), S_OK);

    ASSERT_EQ(blitter.Blit(to.Region({4, 0, 16, 8, 0, 1}), from.Region({0, 8, 12, 16, 0, 1}), GX_FILTER_NONE), S_OK);
    EXPECT_EQ(blitter.path(), BlitPath::kBlockCopy);
    const uint32_t size = BlockBytes(format);
    for (uint32_t row = 0; row < 2; ++row)
      EXPECT_TRUE(std::equal(&from.memory[(2 + row) * from.rowPitch], &from.memory[(2 + row) * from.rowPitch + 3 * size],
                             &to.memory[row * to.rowPitch + size]));

    ASSERT_EQ(blitter.Blit(to.Region({2, 1, 14, 9, 0, 1}), from.Region({0, 8, 12, 16, 0, 1}), GX_FILTER_NONE), S_OK);
    EXPECT_EQ(blitter.path(), BlitPath::kConvert);
    ArgbSurface a(16, 16), b(16, 16);
    ASSERT_EQ(blitter.Blit(a.Region({0, 0, 16, 16, 0, 1}), from.Whole(), GX_FILTER_NONE), S_OK);
    ASSERT_EQ(blitter.Blit(b.Region({0, 0, 16, 16, 0, 1}), to.Whole(), GX_FILTER_NONE), S_OK);
    for (uint32_t y = 0; y < 8; ++y)
      for (uint32_t x = 0; x < 12; ++x)
        ASSERT_LE(MaxChannelDifference(b.at(x + 2, y + 1), a.at(x, y + 8), format != D3DFMT_DXT1), 12) << x << "," << y;
  }
}

TEST(BlitRoundTrip, ResamplingIntoDxtWritesEveryRow) {
  // The triangle filter hands rows over as they complete, not in order; a
  // 2x2 box reduction makes each mip level; both must reach every block.
  // (Mirroring keeps the filters from blending opposite edges together.)
  const ArgbSurface picture = Source(40, 24, 1);
  struct Case {
    uint32_t filter, w, h;
  };
  for (const Case c : {Case{GX_FILTER_TRIANGLE | GX_FILTER_MIRROR_U | GX_FILTER_MIRROR_V, 27, 13}, Case{GX_FILTER_BOX, 20, 12},
                       Case{GX_FILTER_LINEAR | GX_FILTER_MIRROR_U | GX_FILTER_MIRROR_V, 9, 6}}) {
    SCOPED_TRACE(c.filter);
    ArgbSurface source = picture;
    DxtSurface dxt(D3DFMT_DXT5, c.w, c.h);
    std::fill(dxt.memory.begin(), dxt.memory.end(), uint8_t{0});
    ArgbSurface reference(c.w, c.h), back(c.w, c.h);
    SurfaceBlitter blitter;
    ASSERT_EQ(blitter.Blit(reference.Region({0, 0, c.w, c.h, 0, 1}), source.Region({0, 0, 40, 24, 0, 1}), c.filter),
              S_OK);
    ASSERT_EQ(blitter.Blit(dxt.Whole(), source.Region({0, 0, 40, 24, 0, 1}), c.filter), S_OK);
    ASSERT_EQ(blitter.Blit(back.Region({0, 0, c.w, c.h, 0, 1}), dxt.Whole(), GX_FILTER_NONE), S_OK);
    for (uint32_t y = 0; y < c.h; ++y)
      for (uint32_t x = 0; x < c.w; ++x)
        ASSERT_LE(MaxChannelDifference(back.at(x, y), reference.at(x, y), true), 12) << x << "," << y;
  }
}

}  // namespace
