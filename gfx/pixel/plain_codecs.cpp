#include "gfx/pixel/plain_codecs.h"

#include <emmintrin.h>

#include <cfloat>
#include <cstring>
#include <new>
#include <type_traits>

#include "gfx/pixel/format_info.h"

namespace {

// ---- field helpers ------------------------------------------------------------
// Encoders truncate value * scale + threshold directly (no rounding-mode
// switch). Out-of-range input (including +1.0 in a signed channel and NaN) is
// clamped to the nearest code so that it never spills into another field or
// wraps to the opposite end of the range.

inline uint32_t EncodeUnsigned(float v, float maxCode, float t) {
  float x = v * maxCode + t;
  x = x >= 0.0f ? x : 0.0f;
  x = x <= maxCode ? x : maxCode;
  return static_cast<uint32_t>(static_cast<int32_t>(x));
}

inline uint32_t EncodeSigned(float v, float half, float t, uint32_t mask) {
  float x = v * half + t;
  x = x >= -half ? x : -half;
  x = x <= half - 1.0f ? x : half - 1.0f;
  return static_cast<uint32_t>(static_cast<int32_t>(x)) & mask;
}

template <unsigned kBits>
inline float DecodeSigned(uint32_t field) {
  constexpr unsigned kShift = 32 - kBits;
  return static_cast<float>(static_cast<int32_t>(field << kShift) >> kShift) * (1.0f / static_cast<float>(1u << (kBits - 1)));
}

template <unsigned kBits>
constexpr uint64_t kMask = kBits == 0 ? 0 : (uint64_t{1} << kBits) - 1;
template <unsigned kBits>
constexpr float kMaxCode = static_cast<float>(kMask<kBits>);
template <unsigned kBits>
constexpr float kScale = kBits == 0 ? 0.0f : 1.0f / static_cast<float>(kMask<kBits>);

template <typename Word, unsigned kBytes>
inline Word Load(const uint8_t* p) {
  Word w = 0;
  std::memcpy(&w, p, kBytes);
  return w;
}
template <typename Word, unsigned kBytes>
inline void Store(uint8_t* p, Word w) {
  std::memcpy(p, &w, kBytes);
}

inline float Luminance(const FloatColor& c) { return c.b * 0.0721f + c.g * 0.7154f + c.r * 0.2125f; }

// ---- layouts --------------------------------------------------------------------
// Unsigned RGB(A) fields packed into one little-endian word of kBytes bytes.
// A missing colour channel decodes as 0 (D3DFMT_A8), a missing blue as 1 when
// kBlueDefaultsToOne (D3DFMT_G16R16), a missing alpha as 1; X bits encode as 0.
template <typename Word, unsigned kBytes, unsigned RS, unsigned RB, unsigned GS, unsigned GB, unsigned BS,
          unsigned BB, unsigned AS, unsigned AB, bool kBlueDefaultsToOne = false>
struct PackedRgb {
  static constexpr uint32_t kBitsPerPixel = kBytes * 8;
  static constexpr ColorDomain kDomain = DOMAIN_UNSIGNED;
  using Calc = std::conditional_t<(sizeof(Word) > 4), uint64_t, uint32_t>;

  static void Decode(const uint8_t* src, FloatColor* out, uint32_t n, const FloatColor*) {
    const float missingBlue = kBlueDefaultsToOne ? 1.0f : 0.0f;
    for (uint32_t x = 0; x < n; ++x, src += kBytes) {
      const Calc p = Load<Word, kBytes>(src);
      FloatColor c;
      c.r = RB ? static_cast<float>(static_cast<uint32_t>((p >> RS) & kMask<RB>)) * kScale<RB> : 0.0f;
      c.g = GB ? static_cast<float>(static_cast<uint32_t>((p >> GS) & kMask<GB>)) * kScale<GB> : 0.0f;
      c.b = BB ? static_cast<float>(static_cast<uint32_t>((p >> BS) & kMask<BB>)) * kScale<BB> : missingBlue;
      c.a = AB ? static_cast<float>(static_cast<uint32_t>((p >> AS) & kMask<AB>)) * kScale<AB> : 1.0f;
      out[x] = c;
    }
  }

  static void Encode(const FloatColor* in, uint8_t* dst, uint32_t n, const float* t, const FloatColor*) {
    for (uint32_t x = 0; x < n; ++x, dst += kBytes) {
      const FloatColor c = in[x];
      const float th = t[x & 3];
      Calc p = 0;
      if constexpr (RB != 0) p |= Calc{EncodeUnsigned(c.r, kMaxCode<RB>, th)} << RS;
      if constexpr (GB != 0) p |= Calc{EncodeUnsigned(c.g, kMaxCode<GB>, th)} << GS;
      if constexpr (BB != 0) p |= Calc{EncodeUnsigned(c.b, kMaxCode<BB>, th)} << BS;
      if constexpr (AB != 0) p |= Calc{EncodeUnsigned(c.a, kMaxCode<AB>, th)} << AS;
      Store<Word, kBytes>(dst, static_cast<Word>(p));
    }
  }
};

// A8R8G8B8 and X8R8G8B8, the formats of nearly every load, with SSE2: one
// pixel per 128-bit register, the same arithmetic as the scalar layouts
// (multiply, add the threshold, clamp with NaN going to 0, truncate).
template <bool kHasAlpha>
struct Bgra8888 {
  static constexpr uint32_t kBitsPerPixel = 32;
  static constexpr ColorDomain kDomain = DOMAIN_UNSIGNED;

  static void Decode(const uint8_t* src, FloatColor* out, uint32_t n, const FloatColor*) {
    const __m128i zero = _mm_setzero_si128();
    const __m128 scale = _mm_set1_ps(kScale<8>);
    // Lane 3 (alpha) is 1 when the format has none.
    const __m128 keep = _mm_castsi128_ps(_mm_set_epi32(kHasAlpha ? -1 : 0, -1, -1, -1));
    const __m128 fill = _mm_set_ps(kHasAlpha ? 0.0f : 1.0f, 0.0f, 0.0f, 0.0f);
    for (uint32_t x = 0; x < n; ++x, src += 4) {
      int32_t word;
      std::memcpy(&word, src, 4);
      const __m128i bytes = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
      // b, g, r, a -> r, g, b, a
      const __m128i rgba = _mm_shuffle_epi32(bytes, _MM_SHUFFLE(3, 0, 1, 2));
      __m128 c = _mm_mul_ps(_mm_cvtepi32_ps(rgba), scale);
      c = _mm_or_ps(_mm_and_ps(c, keep), fill);
      _mm_storeu_ps(&out[x].r, c);
    }
  }

  static void Encode(const FloatColor* in, uint8_t* dst, uint32_t n, const float* t, const FloatColor*) {
    const __m128 maxCode = _mm_set1_ps(255.0f);
    const __m128 zero = _mm_setzero_ps();
    const __m128i keep = _mm_set_epi32(kHasAlpha ? -1 : 0, -1, -1, -1);
    const __m128 thresholds[4] = {_mm_set1_ps(t[0]), _mm_set1_ps(t[1]), _mm_set1_ps(t[2]), _mm_set1_ps(t[3])};
    for (uint32_t x = 0; x < n; ++x, dst += 4) {
      __m128 v = _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(&in[x].r), maxCode), thresholds[x & 3]);
      v = _mm_min_ps(_mm_max_ps(v, zero), maxCode);  // max first: a NaN lane becomes 0
      __m128i codes = _mm_and_si128(_mm_cvttps_epi32(v), keep);
      codes = _mm_shuffle_epi32(codes, _MM_SHUFFLE(3, 0, 1, 2));  // r, g, b, a -> b, g, r, a
      codes = _mm_packs_epi32(codes, codes);
      codes = _mm_packus_epi16(codes, codes);
      const int32_t word = _mm_cvtsi128_si32(codes);
      std::memcpy(dst, &word, 4);
    }
  }
};

// Luminance in the low kLumBits bits, optional alpha above it. Encoders use
// the Rec. 709 weights.
template <typename Word, unsigned kLumBits, unsigned AS, unsigned AB>
struct PackedLuminance {
  static constexpr uint32_t kBitsPerPixel = sizeof(Word) * 8;
  static constexpr ColorDomain kDomain = DOMAIN_UNSIGNED;

  static void Decode(const uint8_t* src, FloatColor* out, uint32_t n, const FloatColor*) {
    for (uint32_t x = 0; x < n; ++x, src += sizeof(Word)) {
      const uint32_t p = Load<Word, sizeof(Word)>(src);
      const float l = static_cast<float>(p & kMask<kLumBits>) * kScale<kLumBits>;
      const float a = AB ? static_cast<float>((p >> AS) & kMask<AB>) * kScale<AB> : 1.0f;
      out[x] = {l, l, l, a};
    }
  }

  static void Encode(const FloatColor* in, uint8_t* dst, uint32_t n, const float* t, const FloatColor*) {
    for (uint32_t x = 0; x < n; ++x, dst += sizeof(Word)) {
      const FloatColor c = in[x];
      const float th = t[x & 3];
      uint32_t p = EncodeUnsigned(Luminance(c), kMaxCode<kLumBits>, th);
      if constexpr (AB != 0) p |= EncodeUnsigned(c.a, kMaxCode<AB>, th) << AS;
      Store<Word, sizeof(Word)>(dst, static_cast<Word>(p));
    }
  }
};

// Signed U (bits 0..), V, W fields; the alpha slot carries either a signed Q
// or an unsigned luminance/alpha field, or is missing (1). A missing W is 0.
template <unsigned UB, unsigned VS, unsigned VB, unsigned WS, unsigned WB, unsigned AS, unsigned AB,
          bool kAlphaSigned, typename Word = uint32_t>
struct PackedSigned {
  static constexpr uint32_t kBitsPerPixel = sizeof(Word) * 8;
  static constexpr ColorDomain kDomain = kAlphaSigned ? DOMAIN_SIGNED_ALL : DOMAIN_SIGNED_RGB;

  static void Decode(const uint8_t* src, FloatColor* out, uint32_t n, const FloatColor*) {
    for (uint32_t x = 0; x < n; ++x, src += sizeof(Word)) {
      const uint32_t p = Load<Word, sizeof(Word)>(src);
      FloatColor c;
      c.r = DecodeSigned<UB>(p & kMask<UB>);
      c.g = DecodeSigned<VB>((p >> VS) & kMask<VB>);
      if constexpr (WB != 0) {
        c.b = DecodeSigned<WB>((p >> WS) & kMask<WB>);
      } else {
        c.b = 0.0f;
      }
      if constexpr (AB == 0) {
        c.a = 1.0f;
      } else if constexpr (kAlphaSigned) {
        c.a = DecodeSigned<AB>((p >> AS) & kMask<AB>);
      } else {
        c.a = static_cast<float>((p >> AS) & kMask<AB>) * kScale<AB>;
      }
      out[x] = c;
    }
  }

  static void Encode(const FloatColor* in, uint8_t* dst, uint32_t n, const float* t, const FloatColor*) {
    constexpr float kHalfU = static_cast<float>(1u << (UB - 1));
    constexpr float kHalfV = static_cast<float>(1u << (VB - 1));
    for (uint32_t x = 0; x < n; ++x, dst += sizeof(Word)) {
      const FloatColor c = in[x];
      const float th = t[x & 3];
      uint32_t p = EncodeSigned(c.r, kHalfU, th, kMask<UB>);
      p |= EncodeSigned(c.g, kHalfV, th, kMask<VB>) << VS;
      if constexpr (WB != 0) {
        constexpr float kHalfW = static_cast<float>(1u << (WB - 1));
        p |= EncodeSigned(c.b, kHalfW, th, kMask<WB>) << WS;
      }
      if constexpr (AB != 0 && kAlphaSigned) {
        constexpr float kHalfA = static_cast<float>(1u << (AB - 1));
        p |= EncodeSigned(c.a, kHalfA, th, kMask<AB>) << AS;
      } else if constexpr (AB != 0) {
        p |= EncodeUnsigned(c.a, kMaxCode<AB>, th) << AS;
      }
      Store<Word, sizeof(Word)>(dst, static_cast<Word>(p));
    }
  }
};

// Index of the palette entry nearest to `c` over the first kChannels channels
// (r, g, b and optionally a); the first of equal distances wins.
template <int kChannels>
inline uint32_t NearestPaletteIndex(const FloatColor& c, const FloatColor* palette) {
  float best = FLT_MAX;
  uint32_t index = 0;
  for (uint32_t i = 0; i < 256; ++i) {
    const FloatColor& p = palette[i];
    const float dr = c.r - p.r, dg = c.g - p.g, db = c.b - p.b;
    float d = dr * dr + dg * dg + db * db;
    if constexpr (kChannels == 4) {
      const float da = c.a - p.a;
      d += da * da;
    }
    if (d < best) {
      best = d;
      index = i;
    }
  }
  return index;
}

struct PaletteP8 {
  static constexpr uint32_t kBitsPerPixel = 8;
  static constexpr ColorDomain kDomain = DOMAIN_UNSIGNED;
  static void Decode(const uint8_t* src, FloatColor* out, uint32_t n, const FloatColor* palette) {
    for (uint32_t x = 0; x < n; ++x) out[x] = palette[src[x]];
  }
  static void Encode(const FloatColor* in, uint8_t* dst, uint32_t n, const float*, const FloatColor* palette) {
    for (uint32_t x = 0; x < n; ++x) dst[x] = static_cast<uint8_t>(NearestPaletteIndex<4>(in[x], palette));
  }
};

struct PaletteA8P8 {
  static constexpr uint32_t kBitsPerPixel = 16;
  static constexpr ColorDomain kDomain = DOMAIN_UNSIGNED;
  static void Decode(const uint8_t* src, FloatColor* out, uint32_t n, const FloatColor* palette) {
    for (uint32_t x = 0; x < n; ++x, src += 2) {
      FloatColor c = palette[src[0]];
      c.a = static_cast<float>(src[1]) * kScale<8>;
      out[x] = c;
    }
  }
  static void Encode(const FloatColor* in, uint8_t* dst, uint32_t n, const float* t, const FloatColor* palette) {
    for (uint32_t x = 0; x < n; ++x, dst += 2) {
      dst[0] = static_cast<uint8_t>(NearestPaletteIndex<3>(in[x], palette));
      dst[1] = static_cast<uint8_t>(EncodeUnsigned(in[x].a, 255.0f, t[x & 3]));
    }
  }
};

// ---- the codec ------------------------------------------------------------------
template <class Layout>
class PlainCodec final : public PixelCodec {
 public:
  explicit PlainCodec(const PixelRegion& region) : PixelCodec(region, Layout::kBitsPerPixel, Layout::kDomain) {}

  void DecodeRow(uint32_t y, uint32_t z, FloatColor* out) override {
    Layout::Decode(RowAddress(y, z), out, width_, palette_.data());
    if (colorKey_ != 0) ApplyColorKey(out);
  }

  void EncodeRow(uint32_t y, uint32_t z, const FloatColor* in) override {
    Layout::Encode(ConvertRange(in), RowAddress(y, z), width_, Thresholds(y, z), palette_.data());
  }
};

template <class Layout>
std::unique_ptr<PixelCodec> Make(const PixelRegion& region) {
  return std::unique_ptr<PixelCodec>(new (std::nothrow) PlainCodec<Layout>(region));
}

// clang-format off
//                            word      bytes  R-shift,bits  G        B        A
using A8R8G8B8    = Bgra8888<true>;
using X8R8G8B8    = Bgra8888<false>;
using R8G8B8      = PackedRgb<uint32_t, 3,     16, 8,        8, 8,    0, 8,    0, 0>;
using R5G6B5      = PackedRgb<uint16_t, 2,     11, 5,        5, 6,    0, 5,    0, 0>;
using X1R5G5B5    = PackedRgb<uint16_t, 2,     10, 5,        5, 5,    0, 5,    0, 0>;
using A1R5G5B5    = PackedRgb<uint16_t, 2,     10, 5,        5, 5,    0, 5,    15, 1>;
using A4R4G4B4    = PackedRgb<uint16_t, 2,     8, 4,         4, 4,    0, 4,    12, 4>;
using R3G3B2      = PackedRgb<uint8_t,  1,     5, 3,         2, 3,    0, 2,    0, 0>;
using A8          = PackedRgb<uint8_t,  1,     0, 0,         0, 0,    0, 0,    0, 8>;
using A8R3G3B2    = PackedRgb<uint16_t, 2,     5, 3,         2, 3,    0, 2,    8, 8>;
using X4R4G4B4    = PackedRgb<uint16_t, 2,     8, 4,         4, 4,    0, 4,    0, 0>;
using A2B10G10R10 = PackedRgb<uint32_t, 4,     0, 10,        10, 10,  20, 10,  30, 2>;
using G16R16      = PackedRgb<uint32_t, 4,     0, 16,        16, 16,  0, 0,    0, 0, true>;
using R16G16B16   = PackedRgb<uint64_t, 6,     32, 16,       16, 16,  0, 16,   0, 0>;
using A16R16G16B16 = PackedRgb<uint64_t, 8,    32, 16,       16, 16,  0, 16,   48, 16>;

//                                 word      lum  A-shift,bits
using L8     = PackedLuminance<uint8_t,  8,   0, 0>;
using A8L8   = PackedLuminance<uint16_t, 8,   8, 8>;
using A4L4   = PackedLuminance<uint8_t,  4,   4, 4>;
using L16    = PackedLuminance<uint16_t, 16,  0, 0>;
using A16L16 = PackedLuminance<uint32_t, 16,  16, 16>;

//                              U   V-shift,bits  W-shift,bits  A-shift,bits  signed A
using V8U8        = PackedSigned<8,  8, 8,         0, 0,         0, 0,         false, uint16_t>;
using L6V5U5      = PackedSigned<5,  5, 5,         0, 0,         10, 6,        false, uint16_t>;
using X8L8V8U8    = PackedSigned<8,  8, 8,         0, 0,         16, 8,        false>;
using Q8W8V8U8    = PackedSigned<8,  8, 8,         16, 8,        24, 8,        true>;
using V16U16      = PackedSigned<16, 16, 16,       0, 0,         0, 0,         false>;
using W11V11U10   = PackedSigned<10, 10, 11,       21, 11,       0, 0,         false>;
using A2W10V10U10 = PackedSigned<10, 10, 10,       20, 10,       30, 2,        false>;
// clang-format on

}  // namespace

std::unique_ptr<PixelCodec> CreatePlainCodec(const PixelRegion& region) {
  switch (region.format) {
    case D3DFMT_R8G8B8: return Make<R8G8B8>(region);
    case D3DFMT_A8R8G8B8: return Make<A8R8G8B8>(region);
    case D3DFMT_X8R8G8B8: return Make<X8R8G8B8>(region);
    case D3DFMT_R5G6B5: return Make<R5G6B5>(region);
    case D3DFMT_X1R5G5B5: return Make<X1R5G5B5>(region);
    case D3DFMT_A1R5G5B5: return Make<A1R5G5B5>(region);
    case D3DFMT_A4R4G4B4: return Make<A4R4G4B4>(region);
    case D3DFMT_R3G3B2: return Make<R3G3B2>(region);
    case D3DFMT_A8: return Make<A8>(region);
    case D3DFMT_A8R3G3B2: return Make<A8R3G3B2>(region);
    case D3DFMT_X4R4G4B4: return Make<X4R4G4B4>(region);
    case D3DFMT_A2B10G10R10: return Make<A2B10G10R10>(region);
    case D3DFMT_G16R16: return Make<G16R16>(region);
    case D3DFMT_A8P8: return Make<PaletteA8P8>(region);
    case D3DFMT_P8: return Make<PaletteP8>(region);
    case D3DFMT_L8: return Make<L8>(region);
    case D3DFMT_A8L8: return Make<A8L8>(region);
    case D3DFMT_A4L4: return Make<A4L4>(region);
    case D3DFMT_V8U8: return Make<V8U8>(region);
    case D3DFMT_L6V5U5: return Make<L6V5U5>(region);
    case D3DFMT_X8L8V8U8: return Make<X8L8V8U8>(region);
    case D3DFMT_Q8W8V8U8: return Make<Q8W8V8U8>(region);
    case D3DFMT_V16U16: return Make<V16U16>(region);
    case D3DFMT_W11V11U10: return Make<W11V11U10>(region);
    case D3DFMT_A2W10V10U10: return Make<A2W10V10U10>(region);
    case D3DFMT_D16_LOCKABLE: return Make<L16>(region);
    case GXFMT_L16: return Make<L16>(region);
    case GXFMT_A16L16: return Make<A16L16>(region);
    case GXFMT_R16G16B16: return Make<R16G16B16>(region);
    case GXFMT_A16R16G16B16: return Make<A16R16G16B16>(region);
    default: return nullptr;
  }
}
