// Layouts of the 4x4 blocks of the five block-compressed formats.
//
// A block covers 4x4 pixels numbered 0-15 in row-major order (pixel 4r + c is
// row r, column c). All multi-byte fields are little-endian.
//
// Colour block, 8 bytes (all of DXT1, bytes 8-15 of the others):
//   0-1  color0, R5G6B5 (red 11-15, green 5-10, blue 0-4)
//   2-3  color1, same layout
//   4-7  2-bit indices, pixel 0 in bits 0-1 ... pixel 15 in bits 30-31
// Explicit alpha, bytes 0-7 of DXT2/DXT3: 4 bits per pixel, pixels 0-7 in
//   the first 32-bit word and 8-15 in the second, lowest nibble first.
// Interpolated alpha, bytes 0-7 of DXT4/DXT5:
//   0 alpha0, 1 alpha1, 2-4 3-bit indices of pixels 0-7 (pixel 0 lowest),
//   5-7 the same for pixels 8-15.
// DXT2 and DXT4 store red, green and blue premultiplied by alpha.
#pragma once

#include <cstdint>

#include "d3d8_types.h"

constexpr uint32_t kBlockPixels = 16;

inline bool IsBlockFormat(uint32_t format) {
  return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
         format == D3DFMT_DXT5;
}

// 8 for DXT1, 16 for DXT2-DXT5, 0 for any other format.
inline uint32_t BlockBytes(uint32_t format) {
  if (format == D3DFMT_DXT1) return 8;
  return IsBlockFormat(format) ? 16 : 0;
}

inline uint16_t LoadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadLe32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline void StoreLe16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t v) {
  StoreLe16(p, v);
  StoreLe16(p + 2, v >> 16);
}
