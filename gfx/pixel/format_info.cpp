#include "gfx/pixel/format_info.h"

namespace {
constexpr uint32_t kRgb = FORMAT_CLASS_RGB;
constexpr uint32_t kPal = FORMAT_CLASS_PALETTE;
constexpr uint32_t kLum = FORMAT_CLASS_LUMINANCE;
constexpr uint32_t kSig = FORMAT_CLASS_SIGNED;
constexpr uint32_t kDep = FORMAT_CLASS_DEPTH;
}  // namespace

// clang-format off
const FormatInfo kFormatTable[kFormatTableSize] = {
  // format               class bits extra  A   R   G   B  subst
  {D3DFMT_R8G8B8,          kRgb, 24, 0,  0,  8,  8,  8, 0},
  {D3DFMT_A8R8G8B8,        kRgb, 32, 0,  8,  8,  8,  8, 1},
  {D3DFMT_X8R8G8B8,        kRgb, 32, 0,  0,  8,  8,  8, 1},
  {D3DFMT_R5G6B5,          kRgb, 16, 0,  0,  5,  6,  5, 1},
  {D3DFMT_X1R5G5B5,        kRgb, 16, 0,  0,  5,  5,  5, 1},
  {D3DFMT_A8P8,            kPal, 16, 0,  8,  8,  8,  8, 1},
  {D3DFMT_P8,              kPal,  8, 0,  8,  8,  8,  8, 1},
  {D3DFMT_A1R5G5B5,        kRgb, 16, 0,  1,  5,  5,  5, 1},
  {D3DFMT_A4R4G4B4,        kRgb, 16, 0,  4,  4,  4,  4, 1},
  {D3DFMT_R3G3B2,          kRgb,  8, 0,  0,  3,  3,  2, 1},
  {D3DFMT_A8,              kRgb,  8, 0,  8,  0,  0,  0, 1},
  {D3DFMT_A8R3G3B2,        kRgb, 16, 0,  8,  3,  3,  2, 1},
  {D3DFMT_X4R4G4B4,        kRgb, 16, 0,  0,  4,  4,  4, 1},
  {D3DFMT_A2B10G10R10,     kRgb, 32, 0,  2, 10, 10, 10, 1},
  {D3DFMT_G16R16,          kRgb, 32, 0,  0, 16, 16,  0, 1},
  {D3DFMT_L8,              kLum,  8, 0,  0,  8,  8,  8, 1},
  {D3DFMT_A8L8,            kLum, 16, 0,  8,  8,  8,  8, 1},
  {D3DFMT_A4L4,            kLum,  8, 0,  4,  4,  4,  4, 1},
  {D3DFMT_V8U8,            kSig, 16, 0,  0,  0,  8,  8, 1},
  {D3DFMT_L6V5U5,          kSig, 16, 6,  0,  0,  5,  5, 1},
  {D3DFMT_X8L8V8U8,        kSig, 32, 8,  0,  0,  8,  8, 1},
  {D3DFMT_Q8W8V8U8,        kSig, 32, 0,  8,  8,  8,  8, 1},
  {D3DFMT_V16U16,          kSig, 32, 0,  0,  0, 16, 16, 1},
  {D3DFMT_W11V11U10,       kSig, 32, 0,  0, 11, 11, 10, 1},
  {D3DFMT_A2W10V10U10,     kSig, 32, 2,  0, 10, 10, 10, 1},
  {D3DFMT_UYVY,            kRgb, 16, 0,  0,  8,  8,  8, 0},
  {D3DFMT_YUY2,            kRgb, 16, 0,  0,  8,  8,  8, 0},
  {D3DFMT_DXT1,            kRgb, 16, 0,  1,  5,  6,  5, 0},
  {D3DFMT_DXT2,            kRgb, 16, 0,  4,  5,  6,  5, 0},
  {D3DFMT_DXT3,            kRgb, 16, 0,  4,  5,  6,  5, 0},
  {D3DFMT_DXT4,            kRgb, 16, 0,  8,  5,  6,  5, 0},
  {D3DFMT_DXT5,            kRgb, 16, 0,  8,  5,  6,  5, 0},
  {D3DFMT_D16_LOCKABLE,    kDep, 16, 1,  0,  0,  0, 16, 1},
  {D3DFMT_D32,             kDep, 32, 0,  0,  0,  0, 32, 1},
  {D3DFMT_D15S1,           kDep, 16, 0,  0,  0,  1, 15, 1},
  {D3DFMT_D24S8,           kDep, 32, 0,  0,  0,  8, 24, 1},
  {D3DFMT_D16,             kDep, 16, 0,  0,  0,  0, 16, 1},
  {D3DFMT_D24X8,           kDep, 32, 0,  0,  0,  0, 24, 1},
  {D3DFMT_D24X4S4,         kDep, 32, 0,  0,  0,  4, 24, 1},
  {GXFMT_L16,              kLum, 16, 0,  0, 16, 16, 16, 0},
  {GXFMT_A16L16,           kLum, 32, 0, 16, 16, 16, 16, 0},
  {GXFMT_R16G16B16,        kRgb, 48, 0,  0, 16, 16, 16, 0},
  {GXFMT_A16R16G16B16,     kRgb, 64, 0, 16, 16, 16, 16, 0},
};

const FormatInfo kUnknownFormatInfo = {D3DFMT_UNKNOWN, kRgb, 32, 0, 8, 8, 8, 8, 0};

const uint8_t kClassCompatibility[kFormatClassCount * kFormatClassCount] = {
  // candidate: RGB PAL LUM SIG DEP
  1, 0, 0, 0, 0,  // wanted RGB
  1, 1, 0, 0, 0,  // wanted PALETTE
  1, 0, 1, 0, 0,  // wanted LUMINANCE
  0, 0, 0, 1, 0,  // wanted SIGNED
  0, 0, 0, 0, 1,  // wanted DEPTH
};
// clang-format on

const FormatInfo* GetFormatInfo(uint32_t format) {
  for (const FormatInfo& row : kFormatTable) {
    if (row.format == format) return &row;
  }
  return &kUnknownFormatInfo;
}

uint32_t FormatDistance(const FormatInfo& wanted, const FormatInfo& candidate) {
  // Rows edited by callers may carry any class value: treat one outside the
  // table as incompatible rather than read past it.
  if (wanted.formatClass >= kFormatClassCount || candidate.formatClass >= kFormatClassCount) return FORMAT_NO_MATCH;
  if (!kClassCompatibility[wanted.formatClass * kFormatClassCount + candidate.formatClass]) return FORMAT_NO_MATCH;

  const uint32_t w[5] = {wanted.extraBits, wanted.alphaBits, wanted.redBits, wanted.greenBits, wanted.blueBits};
  const uint32_t c[5] = {candidate.extraBits, candidate.alphaBits, candidate.redBits, candidate.greenBits,
                         candidate.blueBits};
  uint32_t cost = 0;
  uint32_t channels = 0;
  for (int i = 0; i < 5; ++i) {
    if (w[i] != 0) ++channels;
    if (c[i] > w[i]) {
      cost += w[i] == 0 ? 256u : c[i] - w[i];
    } else if (c[i] < w[i]) {
      cost += c[i] == 0 ? 0x1000000u : (w[i] - c[i]) << 16;
    }
  }
  if ((cost >> 24) == channels) return FORMAT_NO_MATCH;
  return cost;
}

uint32_t ToPublicFormat(uint32_t format) {
  switch (format) {
    case GXFMT_L16: return D3DFMT_L8;
    case GXFMT_A16L16: return D3DFMT_A8L8;
    case GXFMT_R16G16B16: return D3DFMT_R8G8B8;
    case GXFMT_A16R16G16B16: return D3DFMT_A8R8G8B8;
    default: return format;
  }
}
