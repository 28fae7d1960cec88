// Building blocks of the SSE and SSE2 routines. The routines are templates over
// an instruction-set policy: SseIsa keeps to SSE instructions, Sse2Isa uses the
// SSE2 integer instructions where they do the job better (pshufd permutes, movq
// loads, integer masks, integer range reduction). Both give the same results.
#pragma once

#include <emmintrin.h>
#include <xmmintrin.h>

#include <cmath>

namespace gx_math::simd {

// Squared lengths below 2^-46 count as zero in these sets.
inline constexpr float kZeroLengthSquared = 1.4210855e-14f;

// Helpers are forced inline: a helper left out of line returns its vectors
// through memory, which costs more than the arithmetic.
#define GX_SIMD_INLINE [[gnu::always_inline]] inline

#define GX_SHUFFLE(a, b, c, d) _MM_SHUFFLE(d, c, b, a)  // lanes named in output order

GX_SIMD_INLINE __m128 Splat(float f) { return _mm_set1_ps(f); }

// A float in all four lanes, kept as one 16-byte constant: a single load,
// where a scalar constant would need a load and a shuffle on every call.
struct alignas(16) Float4 {
  float v[4];
};
constexpr Float4 Same4(float f) { return {{f, f, f, f}}; }
inline constexpr Float4 kHalf4 = Same4(0.5f);
inline constexpr Float4 kThree4 = Same4(3.0f);
inline constexpr Float4 kZeroLengthSquared4 = Same4(kZeroLengthSquared);
GX_SIMD_INLINE __m128 Load(const Float4& c) { return _mm_load_ps(c.v); }

// The reciprocal square root estimate, refined once: y·0.5·(3 - s·y²).
GX_SIMD_INLINE __m128 RsqrtRefined(__m128 s) {
  const __m128 y = _mm_rsqrt_ps(s);
  const __m128 half_y = _mm_mul_ps(Load(kHalf4), y);
  return _mm_mul_ps(half_y, _mm_sub_ps(Load(kThree4), _mm_mul_ps(_mm_mul_ps(s, y), y)));
}

// The reciprocal estimate, refined once: 2r - d·r², formed as (r + r) - (d·r)·r
// so that r² cannot overflow for small d (d·r is near 1) and no constant has to
// be loaded. A zero, infinite or NaN d gives NaN, a denormal d infinity or NaN.
GX_SIMD_INLINE __m128 RcpRefined(__m128 d) {
  const __m128 r = _mm_rcp_ps(d);
  return _mm_sub_ps(_mm_add_ps(r, r), _mm_mul_ps(_mm_mul_ps(d, r), r));
}

GX_SIMD_INLINE __m128 SignMask(bool x, bool y, bool z, bool w) {
  return _mm_setr_ps(x ? -0.0f : 0.0f, y ? -0.0f : 0.0f, z ? -0.0f : 0.0f, w ? -0.0f : 0.0f);
}

// Polynomial sine and cosine on [-pi/4, pi/4].
GX_SIMD_INLINE void SinCosKernel(__m128 r, __m128* s, __m128* c) {
  const __m128 r2 = _mm_mul_ps(r, r);
  __m128 ps = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(-1.9515295891e-4f), r2), _mm_set1_ps(8.3321608736e-3f));
  ps = _mm_add_ps(_mm_mul_ps(ps, r2), _mm_set1_ps(-1.6666654611e-1f));
  *s = _mm_add_ps(r, _mm_mul_ps(_mm_mul_ps(ps, r2), r));
  __m128 pc = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(2.443315711809948e-5f), r2), _mm_set1_ps(-1.388731625493765e-3f));
  pc = _mm_add_ps(_mm_mul_ps(pc, r2), _mm_set1_ps(4.166664568298827e-2f));
  pc = _mm_mul_ps(_mm_mul_ps(pc, r2), r2);
  *c = _mm_add_ps(_mm_sub_ps(_mm_set1_ps(1.0f), _mm_mul_ps(_mm_set1_ps(0.5f), r2)), pc);
}

// x - k·pi/2 in three parts, exact for the k that occur here.
GX_SIMD_INLINE __m128 ReduceQuarterTurns(__m128 x, __m128 k) {
  x = _mm_sub_ps(x, _mm_mul_ps(k, _mm_set1_ps(1.5703125f)));
  x = _mm_sub_ps(x, _mm_mul_ps(k, _mm_set1_ps(4.837512969970703125e-4f)));
  return _mm_sub_ps(x, _mm_mul_ps(k, _mm_set1_ps(7.54978995489188216e-8f)));
}

GX_SIMD_INLINE __m128 Select(__m128 mask, __m128 if_set, __m128 if_clear) {
  return _mm_or_ps(_mm_and_ps(mask, if_set), _mm_andnot_ps(mask, if_clear));
}

struct SseIsa {
  GX_SIMD_INLINE static __m128 Load2(const float* p) {
    return _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p));
  }
  template <int imm>
  GX_SIMD_INLINE static __m128 Permute(__m128 v) {
    return _mm_shuffle_ps(v, v, imm);
  }

  // Sine and cosine of four angles. The quarter-turn count k is kept as a
  // float; its value modulo 4 is read from the fraction of k/4.
  GX_SIMD_INLINE static void SinCos(__m128 x, __m128* sin_out, __m128* cos_out) {
    const __m128 magic = _mm_set1_ps(12582912.0f);  // 1.5·2^23: adding it rounds to an integer
    const __m128 k = _mm_sub_ps(_mm_add_ps(_mm_mul_ps(x, _mm_set1_ps(0.63661977236758134f)), magic), magic);
    __m128 s, c;
    SinCosKernel(ReduceQuarterTurns(x, k), &s, &c);
    const __m128 quarter = _mm_mul_ps(k, _mm_set1_ps(0.25f));
    const __m128 frac = _mm_sub_ps(quarter, _mm_sub_ps(_mm_add_ps(quarter, magic), magic));  // 0, ±1/4, ±1/2
    const __m128 abs_frac = _mm_andnot_ps(_mm_set1_ps(-0.0f), frac);
    const __m128 odd = _mm_cmpeq_ps(abs_frac, _mm_set1_ps(0.25f));
    const __m128 half = _mm_cmpeq_ps(abs_frac, _mm_set1_ps(0.5f));
    // k mod 4 in {2, 3}: sine negative; k mod 4 in {1, 2}: cosine negative.
    const __m128 sin_negative = _mm_or_ps(half, _mm_cmple_ps(frac, _mm_set1_ps(-0.25f)));
    const __m128 cos_negative = _mm_or_ps(half, _mm_cmpge_ps(frac, _mm_set1_ps(0.25f)));
    const __m128 sign = _mm_set1_ps(-0.0f);
    *sin_out = _mm_xor_ps(Select(odd, c, s), _mm_and_ps(sin_negative, sign));
    *cos_out = _mm_xor_ps(Select(odd, s, c), _mm_and_ps(cos_negative, sign));
  }
};

struct Sse2Isa {
  GX_SIMD_INLINE static __m128 Load2(const float* p) {
    return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
  }
  template <int imm>
  GX_SIMD_INLINE static __m128 Permute(__m128 v) {
    return _mm_castsi128_ps(_mm_shuffle_epi32(_mm_castps_si128(v), imm));
  }

  // Sine and cosine of four angles, the quarter-turn count as an integer.
  GX_SIMD_INLINE static void SinCos(__m128 x, __m128* sin_out, __m128* cos_out) {
    const __m128i k = _mm_cvtps_epi32(_mm_mul_ps(x, _mm_set1_ps(0.63661977236758134f)));
    __m128 s, c;
    SinCosKernel(ReduceQuarterTurns(x, _mm_cvtepi32_ps(k)), &s, &c);
    const __m128 odd = _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_and_si128(k, _mm_set1_epi32(1)), _mm_set1_epi32(1)));
    const __m128i sin_sign = _mm_slli_epi32(_mm_and_si128(k, _mm_set1_epi32(2)), 30);
    const __m128i cos_sign = _mm_slli_epi32(_mm_and_si128(_mm_add_epi32(k, _mm_set1_epi32(1)), _mm_set1_epi32(2)), 30);
    *sin_out = _mm_xor_ps(Select(odd, c, s), _mm_castsi128_ps(sin_sign));
    *cos_out = _mm_xor_ps(Select(odd, s, c), _mm_castsi128_ps(cos_sign));
  }
};

// Loads and stores of 2, 3 and 4 floats that touch no byte beyond them; the
// unused lanes load as zero.
template <typename Isa>
GX_SIMD_INLINE __m128 Load3(const float* p) {
  return _mm_movelh_ps(Isa::Load2(p), _mm_load_ss(p + 2));
}
GX_SIMD_INLINE __m128 Load4(const float* p) { return _mm_loadu_ps(p); }
GX_SIMD_INLINE void Store2(float* p, __m128 v) { _mm_storel_pi(reinterpret_cast<__m64*>(p), v); }
GX_SIMD_INLINE void Store3(float* p, __m128 v) {
  Store2(p, v);
  _mm_store_ss(p + 2, _mm_movehl_ps(v, v));
}
GX_SIMD_INLINE void Store4(float* p, __m128 v) { _mm_storeu_ps(p, v); }

// The sum of the four lanes, in every lane.
template <typename Isa>
GX_SIMD_INLINE __m128 HorizontalSum(__m128 v) {
  const __m128 pairs = _mm_add_ps(v, Isa::template Permute<GX_SHUFFLE(2, 3, 0, 1)>(v));
  return _mm_add_ps(pairs, Isa::template Permute<GX_SHUFFLE(1, 0, 3, 2)>(pairs));
}

template <typename Isa, int lane>
GX_SIMD_INLINE __m128 Broadcast(__m128 v) {
  return Isa::template Permute<GX_SHUFFLE(lane, lane, lane, lane)>(v);
}

GX_SIMD_INLINE float First(__m128 v) { return _mm_cvtss_f32(v); }

}  // namespace gx_math::simd
