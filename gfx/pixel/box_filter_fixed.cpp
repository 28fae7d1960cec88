#include "gfx/pixel/box_filter_fixed.h"

#include <cstring>

#include "d3d8_types.h"

namespace {

template <typename Word>
inline Word LoadWord(const uint8_t* p) {
  Word w;
  std::memcpy(&w, p, sizeof(Word));
  return w;
}

template <unsigned kShift, unsigned kBits, typename Word>
inline uint32_t AverageField(Word a, Word b, Word c, Word d) {
  if constexpr (kBits == 0) {
    return 0;
  } else {
    constexpr uint32_t kMask = (1u << kBits) - 1;
    const uint32_t sum = ((a >> kShift) & kMask) + ((b >> kShift) & kMask) + ((c >> kShift) & kMask) +
                         ((d >> kShift) & kMask) + 2;
    return (sum >> 2) << kShift;
  }
}

// Up to four fields of one 8- or 16-bit word; fields of width 0 are absent
// and X bits come out 0.
template <typename Word, unsigned S0, unsigned B0, unsigned S1, unsigned B1, unsigned S2, unsigned B2, unsigned S3,
          unsigned B3>
void BoxPacked(const BoxFilterRows& rows) {
  for (uint32_t y = 0; y < rows.dstHeight; ++y) {
    const uint8_t* r0 = rows.src + 2 * y * rows.srcPitch;
    const uint8_t* r1 = r0 + rows.srcPitch;
    uint8_t* out = rows.dst + y * rows.dstPitch;
    for (uint32_t x = 0; x < rows.dstWidth; ++x) {
      const size_t at = 2 * x * sizeof(Word);
      const Word a = LoadWord<Word>(r0 + at), b = LoadWord<Word>(r0 + at + sizeof(Word));
      const Word c = LoadWord<Word>(r1 + at), d = LoadWord<Word>(r1 + at + sizeof(Word));
      const Word v = static_cast<Word>(AverageField<S0, B0>(a, b, c, d) | AverageField<S1, B1>(a, b, c, d) |
                                       AverageField<S2, B2>(a, b, c, d) | AverageField<S3, B3>(a, b, c, d));
      std::memcpy(out + x * sizeof(Word), &v, sizeof(Word));
    }
  }
}

// Two channels per 32-bit word at a time, in 16-bit lanes.
template <uint32_t kKeepMask>
void Box8888(const BoxFilterRows& rows) {
  for (uint32_t y = 0; y < rows.dstHeight; ++y) {
    const uint8_t* r0 = rows.src + 2 * y * rows.srcPitch;
    const uint8_t* r1 = r0 + rows.srcPitch;
    uint8_t* out = rows.dst + y * rows.dstPitch;
    for (uint32_t x = 0; x < rows.dstWidth; ++x) {
      const uint32_t a = LoadWord<uint32_t>(r0 + 8 * x), b = LoadWord<uint32_t>(r0 + 8 * x + 4);
      const uint32_t c = LoadWord<uint32_t>(r1 + 8 * x), d = LoadWord<uint32_t>(r1 + 8 * x + 4);
      constexpr uint32_t kLanes = 0x00FF00FF;
      const uint32_t lo = (a & kLanes) + (b & kLanes) + (c & kLanes) + (d & kLanes) + 0x00020002;
      const uint32_t hi =
          ((a >> 8) & kLanes) + ((b >> 8) & kLanes) + ((c >> 8) & kLanes) + ((d >> 8) & kLanes) + 0x00020002;
      const uint32_t v = (((lo >> 2) & kLanes) | ((hi << 6) & ~kLanes)) & kKeepMask;
      std::memcpy(out + 4 * x, &v, 4);
    }
  }
}

}  // namespace

void BoxFilter2D32GenericA8R8G8B8(const BoxFilterRows& rows) { Box8888<0xFFFFFFFF>(rows); }
void BoxFilter2D32GenericX8R8G8B8(const BoxFilterRows& rows) { Box8888<0x00FFFFFF>(rows); }

bool BoxFilter2DInteger(uint32_t format, const BoxFilterRows& rows) {
  switch (format) {
    case D3DFMT_A8R8G8B8: BoxFilter2D_32_A8R8G8B8.load(std::memory_order_relaxed)(rows); return true;
    case D3DFMT_X8R8G8B8: BoxFilter2D_32_X8R8G8B8.load(std::memory_order_relaxed)(rows); return true;
    //                                               field 0    field 1    field 2    field 3
    case D3DFMT_R5G6B5: BoxPacked<uint16_t,          11, 5,     5, 6,      0, 5,      0, 0>(rows); return true;
    case D3DFMT_X1R5G5B5: BoxPacked<uint16_t,        10, 5,     5, 5,      0, 5,      0, 0>(rows); return true;
    case D3DFMT_A1R5G5B5: BoxPacked<uint16_t,        10, 5,     5, 5,      0, 5,      15, 1>(rows); return true;
    case D3DFMT_A4R4G4B4: BoxPacked<uint16_t,        8, 4,      4, 4,      0, 4,      12, 4>(rows); return true;
    case D3DFMT_X4R4G4B4: BoxPacked<uint16_t,        8, 4,      4, 4,      0, 4,      0, 0>(rows); return true;
    case D3DFMT_A8R3G3B2: BoxPacked<uint16_t,        5, 3,      2, 3,      0, 2,      8, 8>(rows); return true;
    case D3DFMT_A8L8: BoxPacked<uint16_t,            0, 8,      8, 8,      0, 0,      0, 0>(rows); return true;
    case D3DFMT_R3G3B2: BoxPacked<uint8_t,           5, 3,      2, 3,      0, 2,      0, 0>(rows); return true;
    case D3DFMT_A4L4: BoxPacked<uint8_t,             0, 4,      4, 4,      0, 0,      0, 0>(rows); return true;
    case D3DFMT_A8:  // one 8-bit channel: L8 shares the routine
    case D3DFMT_L8: BoxPacked<uint8_t,               0, 8,      0, 0,      0, 0,      0, 0>(rows); return true;
    default: return false;
  }
}
