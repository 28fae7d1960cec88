// The plain data that pixel codecs and the blitter work on: the intermediate
// colour form, its value ranges, and the description of a region of memory.
#pragma once

#include <cstdint>

#include "d3d8_types.h"

// The intermediate colour of every conversion: one row of pixels is an array of these.
struct FloatColor {
  float r;
  float g;
  float b;
  float a;
};

// The value range a codec's FloatColors use.
enum ColorDomain : uint32_t {
  DOMAIN_UNSIGNED = 1,    // all four channels in [0, 1]
  DOMAIN_SIGNED_RGB = 2,  // r, g, b in [-1, 1]; a in [0, 1]
  DOMAIN_SIGNED_ALL = 3,  // all four in [-1, 1]
};

// A rectangular or box-shaped piece of memory in one pixel format.
struct PixelRegion {
  uint8_t* bits;        // pixel (0, 0, 0) of the coordinate system of `box`
  uint32_t format;      // D3DFORMAT code or private GXFMT_ code
  uint32_t rowPitch;    // bytes per row (per row of 4x4 blocks when block-compressed)
  uint32_t slicePitch;  // bytes per depth slice (0 for a single surface)
  D3DBOX extent;        // the whole surface or volume
  D3DBOX box;           // the pixels to transfer; right, bottom, back exclusive
  uint32_t dither;      // non-zero: encode with ordered dithering
  uint32_t colorKey;    // ARGB; 0 means no key
  const PALETTEENTRY* palette;  // 256 entries or null
};
