// The pixel format table: one constant row per format the library can read,
// write or choose, with its class, size and channel widths.
#pragma once

#include <cstdint>

#include "d3d8_types.h"

// Private formats with 16 bits per channel, used by image readers for decoded
// pixels wider than 8 bits. Four-character codes, first character lowest.
constexpr uint32_t GXFMT_L16 = MakeFourCC(' ', 'L', '1', '6');
constexpr uint32_t GXFMT_A16L16 = MakeFourCC('A', 'L', '1', '6');
constexpr uint32_t GXFMT_R16G16B16 = MakeFourCC(' ', 'R', '1', '6');
constexpr uint32_t GXFMT_A16R16G16B16 = MakeFourCC('A', 'R', '1', '6');

enum FormatClass : uint32_t {
  FORMAT_CLASS_RGB = 0,
  FORMAT_CLASS_PALETTE = 1,
  FORMAT_CLASS_LUMINANCE = 2,
  FORMAT_CLASS_SIGNED = 3,
  FORMAT_CLASS_DEPTH = 4,
};
constexpr uint32_t kFormatClassCount = 5;

// One row. The five widths extraBits..blueBits are compared position by
// position, so channels are filed by role: luminance fills red, green and blue;
// signed formats put W, V, U in red, green, blue and Q in alpha; depth formats
// put stencil in green and depth in blue.
struct FormatInfo {
  uint32_t format;
  uint32_t formatClass;
  uint32_t bitsPerPixel;  // block-compressed formats store 16
  uint32_t extraBits;     // signed luminance, A2W10V10U10 alpha, 1 for D16_LOCKABLE
  uint32_t alphaBits;
  uint32_t redBits;
  uint32_t greenBits;
  uint32_t blueBits;
  uint32_t substitutable;  // 1: may be chosen as the closest substitute
};

constexpr uint32_t kFormatTableSize = 43;
// The rows in their stored order; the closest-format walk depends on it.
extern const FormatInfo kFormatTable[kFormatTableSize];
// Describes an unknown source as 32-bit ARGB with 8 bits per channel.
extern const FormatInfo kUnknownFormatInfo;
// Indexed by wanted class * 5 + candidate class: 1 where the candidate class
// can represent the wanted class.
extern const uint8_t kClassCompatibility[kFormatClassCount * kFormatClassCount];

constexpr uint32_t FORMAT_NO_MATCH = 0xFFFFFFFFu;

// The first row for `format`, or kUnknownFormatInfo. Never null.
const FormatInfo* GetFormatInfo(uint32_t format);

// Cost of representing `wanted` in `candidate`; FORMAT_NO_MATCH when the
// candidate's class cannot hold the wanted class or keeps none of its channels.
// Whole lost channels (0x1000000 each) outweigh lost bits ((w - c) << 16),
// which outweigh extra channels (256), which outweigh spare bits (c - w).
uint32_t FormatDistance(const FormatInfo& wanted, const FormatInfo& candidate);

// The public format that stands for a private one; other codes unchanged.
uint32_t ToPublicFormat(uint32_t format);
