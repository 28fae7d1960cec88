// A block-compressed surface in plain memory for the codec and blitter tests,
// with helpers to fill it from and read it into FloatColor images.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/pixel/block_format.h"
#include "gfx/pixel/pixel_codec.h"

struct DxtSurface {
  uint32_t format;
  uint32_t width, height, depth;
  uint32_t rowPitch, slicePitch;
  std::vector<uint8_t> memory;

  DxtSurface(uint32_t f, uint32_t w, uint32_t h, uint32_t d = 1)
      : format(f), width(w), height(h), depth(d), rowPitch((w + 3) / 4 * BlockBytes(f)),
        slicePitch(rowPitch * ((h + 3) / 4)), memory(size_t{slicePitch} * d, 0) {}

  PixelRegion Region(D3DBOX box, uint32_t colorKey = 0) {
    PixelRegion r{};
    r.bits = memory.data();
    r.format = format;
    r.rowPitch = rowPitch;
    r.slicePitch = depth > 1 ? slicePitch : 0;
    r.extent = {0, 0, width, height, 0, depth};
    r.box = box;
    r.colorKey = colorKey;
    return r;
  }
  PixelRegion Whole() { return Region({0, 0, width, height, 0, depth}); }
};

// A plain FloatColor image, row-major, slice after slice.
struct ColorImage {
  uint32_t width, height, depth;
  std::vector<FloatColor> pixels;
  ColorImage(uint32_t w, uint32_t h, uint32_t d = 1) : width(w), height(h), depth(d), pixels(size_t{w} * h * d) {}
  FloatColor& at(uint32_t x, uint32_t y, uint32_t z = 0) { return pixels[(size_t{z} * height + y) * width + x]; }
};

// Writes `image` into `box` of the surface through a block codec, rows in
// the order given (all rows of every slice when `order` is empty).
inline void WriteBox(DxtSurface& s, D3DBOX box, ColorImage& image, const std::vector<uint32_t>& order = {}) {
  std::unique_ptr<PixelCodec> codec = CreatePixelCodec(s.Region(box));
  ASSERT_NE(codec, nullptr);
  for (uint32_t z = 0; z < image.depth; ++z) {
    if (order.empty()) {
      for (uint32_t y = 0; y < image.height; ++y) codec->EncodeRow(y, z, &image.at(0, y, z));
    } else {
      for (uint32_t y : order) codec->EncodeRow(y, z, &image.at(0, y, z));
    }
  }
}

// Reads `box` of the surface through a block codec.
inline ColorImage ReadBox(DxtSurface& s, D3DBOX box, uint32_t colorKey = 0) {
  ColorImage image(box.Right - box.Left, box.Bottom - box.Top, box.Back - box.Front);
  std::unique_ptr<PixelCodec> codec = CreatePixelCodec(s.Region(box, colorKey));
  EXPECT_NE(codec, nullptr);
  if (!codec) return image;
  for (uint32_t z = 0; z < image.depth; ++z)
    for (uint32_t y = 0; y < image.height; ++y) codec->DecodeRow(y, z, &image.at(0, y, z));
  return image;
}

// A smooth, opaque test picture with a little texture, different per seed.
inline ColorImage Picture(uint32_t w, uint32_t h, uint32_t seed, uint32_t d = 1) {
  ColorImage image(w, h, d);
  for (uint32_t z = 0; z < d; ++z)
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        const float fx = static_cast<float>(x) / static_cast<float>(w);
        const float fy = static_cast<float>(y) / static_cast<float>(h);
        const float t = static_cast<float>((x * 7 + y * 13 + seed * 5 + z * 3) % 11) / 110.0f;
        image.at(x, y, z) = {0.1f + 0.7f * fx + t, seed % 2 ? 0.9f - 0.6f * fy : 0.2f + 0.5f * fy,
                             0.5f + 0.3f * (fx - fy) + t, 1.0f};
      }
  return image;
}
