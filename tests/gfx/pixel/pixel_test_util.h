// Small builders shared by the pixel-engine tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "gfx/pixel/pixel_region.h"

// A region covering a whole w x h x d surface at `bits`.
inline PixelRegion WholeRegion(void* bits, uint32_t format, uint32_t rowPitch, uint32_t w, uint32_t h,
                               uint32_t d = 1, uint32_t slicePitch = 0) {
  PixelRegion r{};
  r.bits = static_cast<uint8_t*>(bits);
  r.format = format;
  r.rowPitch = rowPitch;
  r.slicePitch = slicePitch;
  r.extent = {0, 0, w, h, 0, d};
  r.box = r.extent;
  return r;
}

// Packs/unpacks little-endian pixels of `bytes` bytes each.
inline void PutPixel(std::vector<uint8_t>& buf, size_t index, uint32_t bytes, uint64_t value) {
  std::memcpy(&buf[index * bytes], &value, bytes);
}
inline uint64_t GetPixel(const std::vector<uint8_t>& buf, size_t index, uint32_t bytes) {
  uint64_t v = 0;
  std::memcpy(&v, &buf[index * bytes], bytes);
  return v;
}
