// Images in memory for the blitter tests.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "gfx/pixel/format_info.h"
#include "gfx/pixel/pixel_codec.h"
#include "gfx/pixel/surface_blitter.h"
#include "tests/gfx/pixel/pixel_test_util.h"

struct TestImage {
  uint32_t format;
  uint32_t w, h, d;
  uint32_t bpp;
  std::vector<uint8_t> bytes;
  const PALETTEENTRY* palette = nullptr;
  uint32_t colorKey = 0;

  TestImage(uint32_t fmt, uint32_t width, uint32_t height, uint32_t depth = 1, uint8_t fill = 0)
      : format(fmt), w(width), h(height), d(depth), bpp(GetFormatInfo(fmt)->bitsPerPixel / 8),
        bytes(size_t{width} * height * depth * bpp, fill) {}

  uint32_t pitch() const { return w * bpp; }
  PixelRegion Region() {
    PixelRegion r = WholeRegion(bytes.data(), format, pitch(), w, h, d, pitch() * h);
    r.palette = palette;
    r.colorKey = colorKey;
    return r;
  }
  uint64_t Get(uint32_t x, uint32_t y, uint32_t z = 0) const {
    return GetPixel(bytes, (size_t{z} * h + y) * w + x, bpp);
  }
  void Set(uint32_t x, uint32_t y, uint64_t v, uint32_t z = 0) { PutPixel(bytes, (size_t{z} * h + y) * w + x, bpp, v); }
  void Randomize(uint32_t seed) {
    std::mt19937 gen(seed);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(gen());
  }
  // Every pixel decoded, slice by slice, row by row (no colour key).
  std::vector<FloatColor> Decode() {
    PixelRegion r = Region();
    r.colorKey = 0;
    auto codec = CreatePixelCodec(r);
    std::vector<FloatColor> out(size_t{w} * h * d);
    for (uint32_t z = 0; z < d; ++z)
      for (uint32_t y = 0; y < h; ++y) codec->DecodeRow(y, z, &out[(size_t{z} * h + y) * w]);
    return out;
  }
};

inline HRESULT BlitImages(TestImage& dst, TestImage& src, uint32_t filter, BlitPath* path = nullptr) {
  SurfaceBlitter blitter;
  const HRESULT hr = blitter.Blit(dst.Region(), src.Region(), filter);
  if (path) *path = blitter.path();
  return hr;
}
