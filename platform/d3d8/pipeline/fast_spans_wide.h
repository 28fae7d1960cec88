// The eight-pixel span routines (eight pixels at a time, two 64-bit texel
// pair loads per pixel and mip level). Included once per instruction set by
// fast_spans_avx2.cpp and fast_spans_avx512.cpp, which define
// KELVANE_WIDE_TARGET; everything here uses intrinsics and local helpers
// only, so no shared inline code is built for either. The AVX-512 build runs
// the same 256-bit code, with 32 vector registers instead of 16.
// No include guard: each including file gets its own copy.
#include <immintrin.h>

#include <cstddef>
#include <cstring>
#include <new>

#include "fast_state.h"
#include "pixel_shader.h"

#define KELVANE_WIDE __attribute__((target(KELVANE_WIDE_TARGET)))
#define KELVANE_WIDE_INLINE __attribute__((target(KELVANE_WIDE_TARGET), always_inline)) inline

namespace d3d8pipe {

namespace {

struct Texels16 {
  __m256i lo, hi;  // pixels 0, 1, 4, 5 and 2, 3, 6, 7; four 16-bit channels (b, g, r, a) each
};

KELVANE_WIDE inline __m256 Lanes(float base, float step) {
  return _mm256_fmadd_ps(_mm256_set1_ps(step), _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_ps(base));
}

KELVANE_WIDE inline __m256 Clamp(__m256 x, float lo, float hi) {
  return _mm256_min_ps(_mm256_max_ps(x, _mm256_set1_ps(lo)), _mm256_set1_ps(hi));  // NaN becomes lo
}

KELVANE_WIDE inline __m256 Log2(__m256 x) {
  const __m256i bits = _mm256_castps_si256(x);
  const __m256 exponent = _mm256_cvtepi32_ps(
      _mm256_sub_epi32(_mm256_and_si256(_mm256_srli_epi32(bits, 23), _mm256_set1_epi32(255)), _mm256_set1_epi32(128)));
  const __m256 m = _mm256_castsi256_ps(
      _mm256_or_si256(_mm256_and_si256(bits, _mm256_set1_epi32(0x007FFFFF)), _mm256_set1_epi32(0x3F800000)));
  const __m256 poly = _mm256_fmadd_ps(_mm256_set1_ps(-0.34484843f), m, _mm256_set1_ps(2.02466578f));
  return _mm256_add_ps(exponent, _mm256_fmsub_ps(poly, m, _mm256_set1_ps(0.67981732f)));
}

KELVANE_WIDE inline __m256i Div255(__m256i x) {
  x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

// Per-pixel weights (the low 16 bits of 32-bit lanes) spread to the channel
// layout of Texels16.
KELVANE_WIDE inline void Spread(__m256i w, __m256i& lo, __m256i& hi) {
  lo = _mm256_shuffle_epi8(w, _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5,  //
                                               0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5));
  hi = _mm256_shuffle_epi8(w, _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13,  //
                                               8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13));
}

KELVANE_WIDE inline Texels16 Widen(__m256i argb) {
  const __m256i zero = _mm256_setzero_si256();
  return {_mm256_unpacklo_epi8(argb, zero), _mm256_unpackhi_epi8(argb, zero)};
}

// Bilinear results keep six more bits than the texels: channels are 0..255·64.
constexpr int kFilterBits = 6;

// Texel pairs (left, right) of two pixels, read as one 64-bit load each.
KELVANE_WIDE inline __m128i Pairs(const BYTE* base, uint32_t a, uint32_t b) {
  const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(base + a));
  return _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(first), reinterpret_cast<const double*>(base + b)));
}

KELVANE_WIDE inline __m256i Pairs(const BYTE* base, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(Pairs(base, a, b)), Pairs(base, c, d), 1);
}

// Pairs of pixels 0, 1, 4, 5 (lo) and 2, 3, 6, 7 (hi), the layout of
// Texels16, from the row at each offset and the row below it.
KELVANE_WIDE inline void PairsOf8(const BYTE* bits, INT pitch, __m256i offsets, Texels16& top, Texels16& bottom) {
  alignas(32) uint32_t o[8];  // unsigned: no sign extension when addressing
  _mm256_store_si256(reinterpret_cast<__m256i*>(o), offsets);
  const BYTE* below = bits + pitch;
  top = {Pairs(bits, o[0], o[1], o[4], o[5]), Pairs(bits, o[2], o[3], o[6], o[7])};
  bottom = {Pairs(below, o[0], o[1], o[4], o[5]), Pairs(below, o[2], o[3], o[6], o[7])};
}

// The same pairs built from separate left and right texels, for footprints
// that wrap around the level's edge.
KELVANE_WIDE Texels16 SplitPairsOf8(const BYTE* base, __m256i left, __m256i right) {
  alignas(32) int l[8], r[8];
  alignas(32) uint32_t pairs[16];
  _mm256_store_si256(reinterpret_cast<__m256i*>(l), left);
  _mm256_store_si256(reinterpret_cast<__m256i*>(r), right);
  for (int i = 0; i < 8; ++i) {
    std::memcpy(&pairs[2 * i], base + l[i], 4);
    std::memcpy(&pairs[2 * i + 1], base + r[i], 4);
  }
  const auto at = [&](int i) { return _mm_load_si128(reinterpret_cast<const __m128i*>(pairs + 2 * i)); };
  return {_mm256_inserti128_si256(_mm256_castsi128_si256(at(0)), at(4), 1),
          _mm256_inserti128_si256(_mm256_castsi128_si256(at(2)), at(6), 1)};
}

// One pair of texels per pixel → the horizontally filtered colour (16-bit
// channels scaled by 64), using byte weights (64 − w, w) per pair.
KELVANE_WIDE inline __m256i FilterPairs(__m256i pairs, __m256i weights) {
  const __m256i byChannel = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15,  //
                                             0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
  return _mm256_maddubs_epi16(_mm256_shuffle_epi8(pairs, byChannel), weights);
}

// a + (b − a)·w for 16-bit lanes, w in 0..32767 (a fraction scaled by 2^15).
KELVANE_WIDE inline __m256i LerpFraction(__m256i a, __m256i b, __m256i w) {
  return _mm256_add_epi16(a, _mm256_mulhrs_epi16(_mm256_sub_epi16(b, a), w));
}

KELVANE_WIDE inline Texels16 LerpFraction(const Texels16& a, const Texels16& b, __m256i w) {
  __m256i lo, hi;
  Spread(w, lo, hi);
  return {LerpFraction(a.lo, b.lo, lo), LerpFraction(a.hi, b.hi, hi)};
}

// Texture coordinates in texels of level 0, with kCoordBits fraction bits.
constexpr int kCoordBits = 8;
struct Coords {
  __m256i x, y;
};

// From a coordinate already scaled to those units.
KELVANE_WIDE inline __m256i Fixed(__m256 scaled) {
  const float limit = static_cast<float>(1 << 30);  // far beyond any sensible coordinate
  return _mm256_cvtps_epi32(Clamp(scaled, -limit, limit));
}

// One axis of a level's footprint: the first texel (its neighbour comes next
// unless `edge` says it wraps around) and the weight of the second, as a
// fraction with `weightBits` bits (its full value standing for 1).
struct Axis {
  __m256i first, weight, edge;
};

template <bool kClamp, int kWeightBits>
KELVANE_WIDE_INLINE Axis Footprint(__m256i coord, int shift, int mask) {
  constexpr int weightBits = kWeightBits;
  const __m256i at = _mm256_sub_epi32(_mm256_sra_epi32(coord, _mm_cvtsi32_si128(shift)), _mm256_set1_epi32(1 << (kCoordBits - 1)));
  const __m256i i = _mm256_srai_epi32(at, kCoordBits);
  const __m256i fraction = _mm256_and_si256(at, _mm256_set1_epi32((1 << kCoordBits) - 1));
  const int full = (1 << weightBits) - (weightBits > kCoordBits ? 1 : 0);
  __m256i weight = weightBits >= kCoordBits ? _mm256_slli_epi32(fraction, weightBits - kCoordBits)
                                            : _mm256_srli_epi32(_mm256_add_epi32(fraction, _mm256_set1_epi32(1 << (kCoordBits - weightBits - 1))),
                                                                kCoordBits - weightBits);
  const __m256i last = _mm256_set1_epi32(mask);
  if constexpr (kClamp) {
    // Before the first texel both are the first, past the last both are the
    // last: read the edge pair and weigh only the texel that counts.
    const __m256i below = _mm256_set1_epi32(mask - 1);
    weight = _mm256_andnot_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), i), weight);
    weight = _mm256_blendv_epi8(weight, _mm256_set1_epi32(full), _mm256_cmpgt_epi32(i, below));
    return {_mm256_min_epi32(_mm256_max_epi32(i, _mm256_setzero_si256()), below), weight, _mm256_setzero_si256()};
  }
  const __m256i first = _mm256_and_si256(i, last);
  return {first, weight, _mm256_cmpeq_epi32(first, last)};
}

// Both rows of texel pairs read texel by texel: the clamped edge pairs of
// Footprint need two texels per axis, and wrapped footprints continue at the
// other edge.
template <bool kClampU, bool kClampV>
KELVANE_WIDE __attribute__((noinline)) void SplitPairs(const FastLevel& l, const Axis& ax, const Axis& ay, Texels16& top,
                                                       Texels16& bottom) {
  const __m256i one = _mm256_set1_epi32(1), zero = _mm256_setzero_si256();
  const __m256i maskX = _mm256_set1_epi32(l.widthMask), maskY = _mm256_set1_epi32(l.heightMask);
  const __m256i x0 = _mm256_max_epi32(ax.first, zero), y0 = _mm256_max_epi32(ay.first, zero);  // a one-texel level
  const __m256i x1 = kClampU ? _mm256_min_epi32(_mm256_add_epi32(x0, one), maskX) : _mm256_and_si256(_mm256_add_epi32(x0, one), maskX);
  const __m256i y1 = kClampV ? _mm256_min_epi32(_mm256_add_epi32(y0, one), maskY) : _mm256_and_si256(_mm256_add_epi32(y0, one), maskY);
  const __m256i left = _mm256_slli_epi32(x0, 2), right = _mm256_slli_epi32(x1, 2);
  const __m256i pitch = _mm256_set1_epi32(l.pitch);
  const __m256i row0 = _mm256_mullo_epi32(y0, pitch), row1 = _mm256_mullo_epi32(y1, pitch);
  top = SplitPairsOf8(l.bits, _mm256_add_epi32(row0, left), _mm256_add_epi32(row0, right));
  bottom = SplitPairsOf8(l.bits, _mm256_add_epi32(row1, left), _mm256_add_epi32(row1, right));
}

// Bilinear sample of one level, channels scaled by 2^kFilterBits.
template <bool kClampU, bool kClampV>
KELVANE_WIDE_INLINE Texels16 Bilinear(const FastLevel& l, const Coords& c) {
  const Axis ax = Footprint<kClampU, kFilterBits>(c.x, l.shiftX, l.widthMask);
  const Axis ay = Footprint<kClampV, 15>(c.y, l.shiftY, l.heightMask);
  Texels16 top, bottom;
  const __m256i edge = _mm256_or_si256(ax.edge, ay.edge);
  if (l.pairs && _mm256_testz_si256(edge, edge)) [[likely]] {
    PairsOf8(l.bits, l.pitch, _mm256_add_epi32(_mm256_mullo_epi32(ay.first, _mm256_set1_epi32(l.pitch)), _mm256_slli_epi32(ax.first, 2)),
             top, bottom);
  } else {
    SplitPairs<kClampU, kClampV>(l, ax, ay, top, bottom);
  }
  __m256i wxLo, wxHi;
  Spread(_mm256_or_si256(_mm256_sub_epi32(_mm256_set1_epi32(64), ax.weight), _mm256_slli_epi32(ax.weight, 8)), wxLo, wxHi);
  const Texels16 h0{FilterPairs(top.lo, wxLo), FilterPairs(top.hi, wxHi)};
  const Texels16 h1{FilterPairs(bottom.lo, wxLo), FilterPairs(bottom.hi, wxHi)};
  return LerpFraction(h0, h1, ay.weight);
}

KELVANE_WIDE inline Texels16 Select(const Texels16& a, const Texels16& b, __m256i pick) {  // b where pick
  __m256i lo, hi;
  Spread(pick, lo, hi);
  return {_mm256_blendv_epi8(a.lo, b.lo, lo), _mm256_blendv_epi8(a.hi, b.hi, hi)};
}

KELVANE_WIDE inline int HorizontalMin(__m256i v) {
  v = _mm256_min_epi32(v, _mm256_permute4x64_epi64(v, 0x4E));
  v = _mm256_min_epi32(v, _mm256_shuffle_epi32(v, 0x4E));
  return _mm256_cvtsi256_si32(_mm256_min_epi32(v, _mm256_shuffle_epi32(v, 0xB1)));
}

// Back from 2^kFilterBits to 0..255, rounded.
KELVANE_WIDE inline Texels16 Unscale(const Texels16& t) {
  const __m256i half = _mm256_set1_epi16(1 << (kFilterBits - 1));
  return {_mm256_srli_epi16(_mm256_add_epi16(t.lo, half), kFilterBits), _mm256_srli_epi16(_mm256_add_epi16(t.hi, half), kFilterBits)};
}

// Groups whose pixels use different levels: filter each level once and keep,
// per pixel, the blend of its own level and the next.
template <bool kClampU, bool kClampV>
KELVANE_WIDE __attribute__((noinline)) Texels16 SampleLevels(const FastState& s, const Coords& uv, __m256i level, __m256i weight,
                                                            __m256i active, int lowest) {
  const __m256i active8 = _mm256_blendv_epi8(_mm256_set1_epi32(lowest), level, active);
  __m256i highest8 = _mm256_max_epi32(active8, _mm256_permute4x64_epi64(active8, 0x4E));
  highest8 = _mm256_max_epi32(highest8, _mm256_shuffle_epi32(highest8, 0x4E));
  const int highest = _mm256_cvtsi256_si32(_mm256_max_epi32(highest8, _mm256_shuffle_epi32(highest8, 0xB1)));
  const bool blendsLevels = !_mm256_testz_si256(weight, active);
  Texels16 here = Bilinear<kClampU, kClampV>(s.levels[lowest], uv);
  Texels16 result = here;
  for (int l = lowest; l <= highest; ++l) {
    Texels16 mixed = here;
    if (l < s.lastLevel && (blendsLevels || l < highest)) {
      const Texels16 next = Bilinear<kClampU, kClampV>(s.levels[l + 1], uv);
      if (blendsLevels) mixed = LerpFraction(here, next, weight);
      here = next;
    }
    result = Select(result, mixed, _mm256_cmpeq_epi32(level, _mm256_set1_epi32(l)));
  }
  return result;
}

// Texture colour of eight pixels; `active` marks the pixels that count.
// `guess` is the level the previous group used: when every pixel uses it
// again, the texel addresses need not wait for the level of detail (the
// check is a well-predicted branch instead of a dependency).
template <bool kClampU, bool kClampV>
KELVANE_WIDE_INLINE Texels16 SampleTexture(const FastState& s, const Coords& uv, __m256 lod, __m256i active, int& guess) {
  __m256i level;
  __m256i weight = _mm256_setzero_si256();  // toward the next level, 0..32767
  const __m256i base = _mm256_set1_epi32(s.baseLevel), last = _mm256_set1_epi32(s.lastLevel);
  if (s.mipFilter == D3DTEXF_NONE || s.lastLevel == s.baseLevel) {
    return Unscale(Bilinear<kClampU, kClampV>(s.levels[s.baseLevel], uv));
  } else if (s.mipFilter == D3DTEXF_POINT) {
    const __m256 positive = _mm256_cmp_ps(lod, _mm256_setzero_ps(), _CMP_GT_OQ);
    const __m256i step = _mm256_cvttps_epi32(_mm256_add_ps(Clamp(lod, 0.0f, 64.0f), _mm256_set1_ps(0.5f)));
    level = _mm256_min_epi32(_mm256_add_epi32(base, _mm256_and_si256(step, _mm256_castps_si256(positive))), last);
  } else {
    // Level and weight from one fixed-point number; at the last level the
    // clamped LOD is whole, so its weight is 0.
    const __m256 clamped = Clamp(lod, 0.0f, static_cast<float>(s.lastLevel - s.baseLevel));
    const __m256i fixed = _mm256_cvttps_epi32(_mm256_mul_ps(clamped, _mm256_set1_ps(32768.0f)));
    level = _mm256_add_epi32(base, _mm256_srli_epi32(fixed, 15));
    weight = _mm256_and_si256(fixed, _mm256_set1_epi32(32767));
  }
  const __m256i missed = _mm256_andnot_si256(_mm256_cmpeq_epi32(level, _mm256_set1_epi32(guess)), active);
  if (!_mm256_testz_si256(missed, missed)) [[unlikely]] {
    const int lowest = HorizontalMin(_mm256_blendv_epi8(last, level, active));
    guess = lowest;
    const __m256i other = _mm256_andnot_si256(_mm256_cmpeq_epi32(level, _mm256_set1_epi32(lowest)), active);
    if (!_mm256_testz_si256(other, other)) return Unscale(SampleLevels<kClampU, kClampV>(s, uv, level, weight, active, lowest));
  }
  const int lowest = guess;
  const Texels16 here = Bilinear<kClampU, kClampV>(s.levels[lowest], uv);
  if (_mm256_testz_si256(weight, active)) return Unscale(here);
  return Unscale(LerpFraction(here, Bilinear<kClampU, kClampV>(s.levels[lowest + 1], uv), weight));
}

KELVANE_WIDE inline __m256i PickSource(Source source, __m256i diffuse, __m256i texture, __m256i modulated) {
  switch (source) {
    case Source::kDiffuse: return diffuse;
    case Source::kTexture: return texture;
    case Source::kModulate: return modulated;
    default: return _mm256_set1_epi16(255);
  }
}

KELVANE_WIDE inline __m256 Start(const Plane& plane, float fx, float fy) {
  return Lanes(plane.base + plane.dx * fx + plane.dy * fy, plane.dx);
}

KELVANE_WIDE inline __m256 Step8(const Plane& plane) { return _mm256_set1_ps(8.0f * plane.dx); }

KELVANE_WIDE inline __m256i Channel(__m256 c, __m256 w255) { return _mm256_cvtps_epi32(Clamp(_mm256_mul_ps(c, w255), 0.0f, 255.0f)); }

KELVANE_WIDE inline __m256i Combine(const FastState& s, __m256i dif, __m256i tex, __m256i mod) {
  const __m256i alphaLanes = _mm256_set1_epi64x(static_cast<long long>(0xFFFF000000000000ull));
  const __m256i rgb = PickSource(s.color, dif, tex, mod), a = PickSource(s.alpha, dif, tex, mod);
  return _mm256_or_si256(_mm256_andnot_si256(alphaLanes, rgb), _mm256_and_si256(alphaLanes, a));
}

// Source alpha over destination: src·a + dst·(1 − a).
KELVANE_WIDE inline __m256i BlendOver(__m256i src, __m256i dest) {
  const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(src, 0xFF), 0xFF);
  const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(255), alpha);
  return Div255(_mm256_add_epi16(_mm256_mullo_epi16(src, alpha), _mm256_mullo_epi16(dest, inverse)));
}

template <DepthMode kDepth, bool kTextured, bool kBlend, bool kClampU, bool kClampV>
KELVANE_WIDE void WideSpan(const void* opaque, const RasterPrimitive& p, int y, int x0, int x1) {
  const PixelShader& shader = *static_cast<const PixelShader*>(opaque);
  const FastState& s = *std::launder(reinterpret_cast<const FastState*>(shader.fastState));
  const float fy = static_cast<float>(y) - p.originY;
  const float fx = static_cast<float>(x0) - p.originX;
  __m256 z = Start(p.z, fx, fy), q = Start(p.invW, fx, fy);
  const __m256 zStep = Step8(p.z), qStep = Step8(p.invW);
  const Plane* d = p.attr + kDiffuseAttr;
  __m256 dr = Start(d[0], fx, fy), dg = Start(d[1], fx, fy), db = Start(d[2], fx, fy), da = Start(d[3], fx, fy);
  const __m256 drStep = Step8(d[0]), dgStep = Step8(d[1]), dbStep = Step8(d[2]), daStep = Step8(d[3]);
  const Plane& pu = p.attr[kTexAttr];
  const Plane& pv = p.attr[kTexAttr + 1];
  // u/w and v/w scaled to Coords units, so that u and v come out as such.
  const float scaleU = s.width0 * (1 << kCoordBits), scaleV = s.height0 * (1 << kCoordBits);
  __m256 uq = _mm256_setzero_ps(), vq = _mm256_setzero_ps(), uqStep = uq, vqStep = vq;
  if (kTextured) {
    uq = _mm256_mul_ps(Start(pu, fx, fy), _mm256_set1_ps(scaleU));
    vq = _mm256_mul_ps(Start(pv, fx, fy), _mm256_set1_ps(scaleV));
    uqStep = _mm256_set1_ps(8.0f * pu.dx * scaleU);
    vqStep = _mm256_set1_ps(8.0f * pv.dx * scaleV);
  }
  const __m256i laneIndex = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  // Neighbouring spans mostly use the same mip level: start from the last one.
  thread_local int lastLevel = 0;
  int levelGuess = lastLevel;
  int* target = reinterpret_cast<int*>(shader.target + static_cast<ptrdiff_t>(y) * shader.targetPitch);
  BYTE* depthRow = kDepth == DepthMode::kNone ? nullptr : shader.depth.bits + static_cast<ptrdiff_t>(y) * shader.depth.pitch;

  // 1/q and the texture coordinates run one group ahead: the next group's
  // division starts while this group's texels are fetched and filtered.
  __m256 w = _mm256_div_ps(_mm256_set1_ps(1.0f), q);
  __m256 u = _mm256_mul_ps(uq, w), v = _mm256_mul_ps(vq, w);
  Coords uv{Fixed(u), Fixed(v)};
  for (int x = x0; x <= x1; x += 8) {
    q = _mm256_add_ps(q, qStep);
    const __m256 wNext = _mm256_div_ps(_mm256_set1_ps(1.0f), q);
    __m256 uNext = u, vNext = v;
    if constexpr (kTextured) {
      uq = _mm256_add_ps(uq, uqStep);
      vq = _mm256_add_ps(vq, vqStep);
      uNext = _mm256_mul_ps(uq, wNext);
      vNext = _mm256_mul_ps(vq, wNext);
    }
    const Coords uvNext{Fixed(uNext), Fixed(vNext)};
    __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(x1 - x + 1), laneIndex);
    // All eight pixels lie inside the primitive's bounds, so inside the row:
    // plain loads and stores can carry the pixels outside the span unchanged
    // (a row belongs to one thread at a time).
    const bool whole = x + 7 <= p.maxX;
    if constexpr (kDepth == DepthMode::k24) {
      int* row = reinterpret_cast<int*>(depthRow) + x;
      const __m256i stored = whole ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row)) : _mm256_maskload_epi32(row, mask);
      const __m256 zc = Clamp(z, 0.0f, 1.0f);
      const __m256i value = _mm256_min_epi32(
          _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(zc, _mm256_set1_ps(16777215.0f)), _mm256_set1_ps(0.5f))),
          _mm256_set1_epi32(0xFFFFFF));
      const __m256i limit = _mm256_add_epi32(_mm256_srli_epi32(stored, 8), _mm256_set1_epi32(static_cast<int>(s.depthInclusive)));
      mask = _mm256_and_si256(mask, _mm256_cmpgt_epi32(limit, value));
      if (s.depthWrite) {
        const __m256i merged = _mm256_or_si256(_mm256_and_si256(stored, _mm256_set1_epi32(0xFF)), _mm256_slli_epi32(value, 8));
        if (whole) {
          _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), _mm256_blendv_epi8(stored, merged, mask));
        } else {
          _mm256_maskstore_epi32(row, mask, merged);
        }
      }
    } else if constexpr (kDepth == DepthMode::k16) {
      uint16_t* row = reinterpret_cast<uint16_t*>(depthRow) + x;
      const int count = x1 - x + 1 < 8 ? x1 - x + 1 : 8;
      alignas(16) uint16_t partial[8] = {};
      __m128i raw;
      if (whole) {
        raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
      } else {
        std::memcpy(partial, row, static_cast<size_t>(count) * 2);
        raw = _mm_load_si128(reinterpret_cast<const __m128i*>(partial));
      }
      const __m256i stored = _mm256_cvtepu16_epi32(raw);
      const __m256 zc = Clamp(z, 0.0f, 1.0f);
      const __m256i value = _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(zc, _mm256_set1_ps(65535.0f)), _mm256_set1_ps(0.5f)));
      const __m256i limit = _mm256_add_epi32(stored, _mm256_set1_epi32(static_cast<int>(s.depthInclusive)));
      mask = _mm256_and_si256(mask, _mm256_cmpgt_epi32(limit, value));
      if (s.depthWrite) {
        const __m256i merged = _mm256_blendv_epi8(stored, value, mask);
        const __m128i packed = _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi32(merged, merged), 0x08));
        if (whole) {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(row), packed);
        } else {
          _mm_store_si128(reinterpret_cast<__m128i*>(partial), packed);
          std::memcpy(row, partial, static_cast<size_t>(count) * 2);
        }
      }
    }
    if (!_mm256_testz_si256(mask, mask)) {
      const __m256 w255 = _mm256_mul_ps(w, _mm256_set1_ps(255.0f));
      const __m256i bg = _mm256_or_si256(Channel(db, w255), _mm256_slli_epi32(Channel(dg, w255), 16));
      const __m256i ra = _mm256_or_si256(Channel(dr, w255), _mm256_slli_epi32(Channel(da, w255), 16));
      const Texels16 diffuse{_mm256_unpacklo_epi32(bg, ra), _mm256_unpackhi_epi32(bg, ra)};
      Texels16 texture{_mm256_set1_epi16(255), _mm256_set1_epi16(255)};
      if constexpr (kTextured) {
        // u and v are scaled like Coords.
        // Texel steps per pixel, from the derivatives of u = (u/w)·w.
        const __m256 qdx = _mm256_set1_ps(p.invW.dx), qdy = _mm256_set1_ps(p.invW.dy);
        const __m256 unscaled = _mm256_mul_ps(w, _mm256_set1_ps(1.0f / (1 << kCoordBits)));
        const __m256 ax = _mm256_mul_ps(_mm256_fnmadd_ps(u, qdx, _mm256_set1_ps(pu.dx * scaleU)), unscaled);
        const __m256 bx = _mm256_mul_ps(_mm256_fnmadd_ps(v, qdx, _mm256_set1_ps(pv.dx * scaleV)), unscaled);
        const __m256 ay = _mm256_mul_ps(_mm256_fnmadd_ps(u, qdy, _mm256_set1_ps(pu.dy * scaleU)), unscaled);
        const __m256 by = _mm256_mul_ps(_mm256_fnmadd_ps(v, qdy, _mm256_set1_ps(pv.dy * scaleV)), unscaled);
        const __m256 rho2 = _mm256_max_ps(_mm256_fmadd_ps(ax, ax, _mm256_mul_ps(bx, bx)), _mm256_fmadd_ps(ay, ay, _mm256_mul_ps(by, by)));
        // rho² of 0 (or NaN) means magnification.
        const __m256 valid = _mm256_cmp_ps(rho2, _mm256_set1_ps(1.0e-30f), _CMP_GT_OQ);
        const __m256 lod = _mm256_blendv_ps(_mm256_set1_ps(-100.0f),
                                            _mm256_fmadd_ps(_mm256_set1_ps(0.5f), Log2(Clamp(rho2, 1.0e-30f, 1.0e30f)), _mm256_set1_ps(s.lodBias)),
                                            valid);
        texture = SampleTexture<kClampU, kClampV>(s, uv, lod, mask, levelGuess);
      }
      const Texels16 modulated{Div255(_mm256_mullo_epi16(texture.lo, diffuse.lo)), Div255(_mm256_mullo_epi16(texture.hi, diffuse.hi))};
      Texels16 color{Combine(s, diffuse.lo, texture.lo, modulated.lo), Combine(s, diffuse.hi, texture.hi, modulated.hi)};
      if constexpr (kBlend) {
        __m256i dst = whole ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(target + x)) : _mm256_maskload_epi32(target + x, mask);
        if (shader.targetKind == TargetKind::kX8R8G8B8) dst = _mm256_or_si256(dst, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
        const Texels16 d16 = Widen(dst);
        color = {BlendOver(color.lo, d16.lo), BlendOver(color.hi, d16.hi)};
      }
      const __m256i packed = _mm256_packus_epi16(color.lo, color.hi);
      __m256i* out = reinterpret_cast<__m256i*>(target + x);
      if (!whole) {
        _mm256_maskstore_epi32(target + x, mask, packed);
      } else if (_mm256_movemask_epi8(mask) == -1) {
        _mm256_storeu_si256(out, packed);
      } else {
        _mm256_storeu_si256(out, _mm256_blendv_epi8(_mm256_loadu_si256(out), packed, mask));
      }
    }
    z = _mm256_add_ps(z, zStep);
    w = wNext;
    u = uNext;
    v = vNext;
    uv = uvNext;
    dr = _mm256_add_ps(dr, drStep);
    dg = _mm256_add_ps(dg, dgStep);
    db = _mm256_add_ps(db, dbStep);
    da = _mm256_add_ps(da, daStep);
  }
  if constexpr (kTextured) lastLevel = levelGuess;
}

template <DepthMode kDepth, bool kBlend>
SpanFunction ForAddressing(bool textured, bool clampU, bool clampV) {
  if (!textured) return WideSpan<kDepth, false, kBlend, false, false>;
  if (clampU) return clampV ? WideSpan<kDepth, true, kBlend, true, true> : WideSpan<kDepth, true, kBlend, true, false>;
  return clampV ? WideSpan<kDepth, true, kBlend, false, true> : WideSpan<kDepth, true, kBlend, false, false>;
}

template <DepthMode kDepth>
SpanFunction ForDepth(bool textured, bool blend, const FastState& s) {
  return blend ? ForAddressing<kDepth, true>(textured, s.clampU, s.clampV) : ForAddressing<kDepth, false>(textured, s.clampU, s.clampV);
}

// The routine for these states, or nullptr when they need what only the
// SSE2 form does.
SpanFunction SelectWide(DepthMode depth, bool textured, bool blend, const FastState& state) {
  if (textured && (!state.magLinear || !state.minLinear)) return nullptr;
  // Texture coordinates are kept at level 0's scale and shifted down per level.
  if (textured) {
    for (int l = state.baseLevel; l <= state.lastLevel; ++l) {
      if (state.levels[l].shiftX < 0 || state.levels[l].shiftY < 0) return nullptr;
    }
  }
  switch (depth) {
    case DepthMode::k24: return ForDepth<DepthMode::k24>(textured, blend, state);
    case DepthMode::k16: return ForDepth<DepthMode::k16>(textured, blend, state);
    default: return ForDepth<DepthMode::kNone>(textured, blend, state);
  }
}

}  // namespace

}  // namespace d3d8pipe

#undef KELVANE_WIDE
#undef KELVANE_WIDE_INLINE
