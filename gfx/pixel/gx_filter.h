// The filter word of the library's surface loaders and mip filtering:
// a type in bits 0-15 and flags above it.
#pragma once

#include <cstdint>

constexpr uint32_t GX_FILTER_NONE = 1;      // place the source at the corner, clip, no resampling
constexpr uint32_t GX_FILTER_POINT = 2;     // nearest sample, not centred
constexpr uint32_t GX_FILTER_LINEAR = 3;    // bilinear / trilinear
constexpr uint32_t GX_FILTER_TRIANGLE = 4;  // tent filter, any ratio
constexpr uint32_t GX_FILTER_BOX = 5;       // 2x2 (2x2x2) average for exact halving

// Along an axis the filter does not wrap around to the opposite edge.
constexpr uint32_t GX_FILTER_MIRROR_U = 0x10000;
constexpr uint32_t GX_FILTER_MIRROR_V = 0x20000;
constexpr uint32_t GX_FILTER_MIRROR_W = 0x40000;
// The destination encodes with ordered dithering.
constexpr uint32_t GX_FILTER_DITHER = 0x80000;
