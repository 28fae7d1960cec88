// SSE and SSE2 matrix routines: products, determinant, inverse, shadow and
// reflection.
#pragma once

#include <cmath>

#include "gfx/math/simd_vector_routines.h"

namespace gx_math::simd {

// Row i of A·B: a_i0·b0 + a_i1·b1 + a_i2·b2 + a_i3·b3.
template <typename Isa>
GX_SIMD_INLINE __m128 ProductRow(__m128 a, const MatrixRows& b) {
  __m128 r = _mm_mul_ps(Broadcast<Isa, 0>(a), b.r0);
  r = _mm_add_ps(r, _mm_mul_ps(Broadcast<Isa, 1>(a), b.r1));
  r = _mm_add_ps(r, _mm_mul_ps(Broadcast<Isa, 2>(a), b.r2));
  return _mm_add_ps(r, _mm_mul_ps(Broadcast<Isa, 3>(a), b.r3));
}

template <typename Isa>
GX_SIMD_INLINE MatrixRows Product(const GxMatrix* a, const GxMatrix* b) {
  const MatrixRows rb = LoadRows(b);
  const MatrixRows ra = LoadRows(a);
  return {ProductRow<Isa>(ra.r0, rb), ProductRow<Isa>(ra.r1, rb), ProductRow<Isa>(ra.r2, rb),
          ProductRow<Isa>(ra.r3, rb)};
}

GX_SIMD_INLINE void StoreRows(GxMatrix* out, const MatrixRows& m) {
  Store4(out->m[0], m.r0);
  Store4(out->m[1], m.r1);
  Store4(out->m[2], m.r2);
  Store4(out->m[3], m.r3);
}

template <typename Isa>
GxMatrix* MatrixMultiply(GxMatrix* out, const GxMatrix* a, const GxMatrix* b) {
  StoreRows(out, Product<Isa>(a, b));
  return out;
}

template <typename Isa>
GxMatrix* MatrixMultiplyTranspose(GxMatrix* out, const GxMatrix* a, const GxMatrix* b) {
  MatrixRows p = Product<Isa>(a, b);
  _MM_TRANSPOSE4_PS(p.r0, p.r1, p.r2, p.r3);
  StoreRows(out, p);
  return out;
}

// The determinant by 2x2 blocks. With M = [A B; C D] (each block a 2x2 matrix
// held in one vector as a00 a01 a10 a11) and X# the adjugate of X:
//   |M| = |A||D| + |B||C| - tr(A#B · D#C).
template <typename Isa>
GX_SIMD_INLINE __m128 Mat2AdjMul(__m128 x, __m128 y) {  // X#·Y
  return _mm_sub_ps(_mm_mul_ps(Isa::template Permute<GX_SHUFFLE(3, 3, 0, 0)>(x), y),
                    _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(1, 1, 2, 2)>(x),
                               Isa::template Permute<GX_SHUFFLE(2, 3, 0, 1)>(y)));
}

template <typename Isa>
GX_SIMD_INLINE __m128 BlockDeterminant(const MatrixRows& r) {
  const __m128 a = _mm_movelh_ps(r.r0, r.r1), b = _mm_movehl_ps(r.r1, r.r0);
  const __m128 c = _mm_movelh_ps(r.r2, r.r3), d = _mm_movehl_ps(r.r3, r.r2);
  const __m128 dets = _mm_sub_ps(
      _mm_mul_ps(_mm_shuffle_ps(r.r0, r.r2, GX_SHUFFLE(0, 2, 0, 2)), _mm_shuffle_ps(r.r1, r.r3, GX_SHUFFLE(1, 3, 1, 3))),
      _mm_mul_ps(_mm_shuffle_ps(r.r0, r.r2, GX_SHUFFLE(1, 3, 1, 3)), _mm_shuffle_ps(r.r1, r.r3, GX_SHUFFLE(0, 2, 0, 2))));
  const __m128 a_adj_b = Mat2AdjMul<Isa>(a, b);
  const __m128 d_adj_c = Mat2AdjMul<Isa>(d, c);
  // With ad_bc = (|A||D|, |B||C|, |C||B|, |D||A|) and the trace terms t0..t3:
  // w = ad_bc - (t0 + t2, t1 + t3, t2 + t0, t3 + t1), and w plus its lanes
  // swapped in pairs is |M| in every lane.
  const __m128 ad_bc = _mm_mul_ps(dets, Isa::template Permute<GX_SHUFFLE(3, 2, 1, 0)>(dets));
  const __m128 trace = _mm_mul_ps(a_adj_b, Isa::template Permute<GX_SHUFFLE(0, 2, 1, 3)>(d_adj_c));
  const __m128 w = _mm_sub_ps(ad_bc, _mm_add_ps(trace, Isa::template Permute<GX_SHUFFLE(2, 3, 0, 1)>(trace)));
  return _mm_add_ps(w, Isa::template Permute<GX_SHUFFLE(1, 0, 3, 2)>(w));
}

template <typename Isa>
float MatrixDeterminant(const GxMatrix* m) {
  return First(BlockDeterminant<Isa>(LoadRows(m)));
}

// The inverse by cofactors. The columns of M are held in three lane orders:
//   v_k = (m1k, m0k, m3k, m2k), w_k = (m3k, m2k, m1k, m0k), u_k = (m2k, m3k, m0k, m1k).
// Then p_kl = w_l·u_k - u_l·w_k = (c, -c, s, -s), with c the 2x2 minor of rows
// 2 and 3 in columns k and l and s that of rows 0 and 1, and each row of the
// adjugate is three products of a v_k with a p_kl, the cofactor signs already
// in place. Only the transposition shuffles (16, and 3 for the determinant):
// shuffles are what limits this routine's throughput.
//
// Singular when the determinant is exactly 0 or not a number; the
// determinant is then left unstored. The reciprocal is the refined estimate.
// One test covers every singular case: the refined reciprocal of 0, of NaN
// and of infinity is NaN. A denormal determinant, too small for the estimate,
// gives no finite reciprocal either and counts as singular rather than
// filling the output with NaN.
template <typename Isa>
GxMatrix* MatrixInverse(GxMatrix* out, float* determinant, const GxMatrix* m) {
  const MatrixRows r = LoadRows(m);
  const __m128 lo10 = _mm_unpacklo_ps(r.r1, r.r0), lo32 = _mm_unpacklo_ps(r.r3, r.r2);  // m10 m00 m11 m01, m30 m20 m31 m21
  const __m128 hi10 = _mm_unpackhi_ps(r.r1, r.r0), hi32 = _mm_unpackhi_ps(r.r3, r.r2);
  const __m128 v0 = _mm_movelh_ps(lo10, lo32), v1 = _mm_movehl_ps(lo32, lo10);
  const __m128 v2 = _mm_movelh_ps(hi10, hi32), v3 = _mm_movehl_ps(hi32, hi10);
  auto lower_first = [](__m128 v) { return Isa::template Permute<GX_SHUFFLE(2, 3, 0, 1)>(v); };  // w_k
  auto reversed = [](__m128 v) { return Isa::template Permute<GX_SHUFFLE(3, 2, 1, 0)>(v); };     // u_k
  const __m128 w0 = lower_first(v0), w1 = lower_first(v1), w2 = lower_first(v2), w3 = lower_first(v3);
  const __m128 u0 = reversed(v0), u1 = reversed(v1), u2 = reversed(v2), u3 = reversed(v3);
  auto minors = [](__m128 wk, __m128 uk, __m128 wl, __m128 ul) {
    return _mm_sub_ps(_mm_mul_ps(wl, uk), _mm_mul_ps(ul, wk));
  };
  const __m128 p01 = minors(w0, u0, w1, u1), p02 = minors(w0, u0, w2, u2), p03 = minors(w0, u0, w3, u3);
  const __m128 p12 = minors(w1, u1, w2, u2), p13 = minors(w1, u1, w3, u3), p23 = minors(w2, u2, w3, u3);
  // Adjugate row i: the cofactors of column i, by the rows they expand along.
  const __m128 row0 = _mm_add_ps(_mm_sub_ps(_mm_mul_ps(v1, p23), _mm_mul_ps(v2, p13)), _mm_mul_ps(v3, p12));
  const __m128 row1 = _mm_sub_ps(_mm_sub_ps(_mm_mul_ps(v2, p03), _mm_mul_ps(v0, p23)), _mm_mul_ps(v3, p02));
  const __m128 row2 = _mm_add_ps(_mm_sub_ps(_mm_mul_ps(v0, p13), _mm_mul_ps(v1, p03)), _mm_mul_ps(v3, p01));
  const __m128 row3 = _mm_sub_ps(_mm_sub_ps(_mm_mul_ps(v1, p02), _mm_mul_ps(v0, p12)), _mm_mul_ps(v2, p01));
  // |M| by expansion along column 0: (m00, m10, m20, m30)·(adjugate row 0).
  const __m128 det = HorizontalSum<Isa>(_mm_mul_ps(Isa::template Permute<GX_SHUFFLE(1, 0, 3, 2)>(v0), row0));
  const __m128 reciprocal = RcpRefined(det);
  if (!std::isfinite(First(reciprocal))) return nullptr;
  if (determinant) *determinant = First(det);
  StoreRows(out, {_mm_mul_ps(row0, reciprocal), _mm_mul_ps(row1, reciprocal), _mm_mul_ps(row2, reciprocal),
                  _mm_mul_ps(row3, reciprocal)});
  return out;
}

// The plane scaled by 1/|(a, b, c)| with the set's estimate; zero below 2^-46.
template <typename Isa>
GX_SIMD_INLINE __m128 NormalizedPlane(__m128 p) {
  const __m128 normal = _mm_and_ps(p, _mm_castsi128_ps(_mm_setr_epi32(-1, -1, -1, 0)));
  return ScaleToUnit<Isa>(p, _mm_mul_ps(normal, normal));
}

template <typename Isa>
GxMatrix* MatrixShadow(GxMatrix* out, const GxVector4* light, const GxPlane* plane) {
  const __m128 l = Load4(&light->x);
  const __m128 p = NormalizedPlane<Isa>(Load4(&plane->a));
  const __m128 d = HorizontalSum<Isa>(_mm_mul_ps(p, l));
  // Row i: d·e_i - p_i·L.
  const __m128 zero = _mm_setzero_ps();
  StoreRows(out, {_mm_sub_ps(_mm_move_ss(zero, d), _mm_mul_ps(Broadcast<Isa, 0>(p), l)),
                  _mm_sub_ps(_mm_and_ps(d, _mm_castsi128_ps(_mm_setr_epi32(0, -1, 0, 0))),
                             _mm_mul_ps(Broadcast<Isa, 1>(p), l)),
                  _mm_sub_ps(_mm_and_ps(d, _mm_castsi128_ps(_mm_setr_epi32(0, 0, -1, 0))),
                             _mm_mul_ps(Broadcast<Isa, 2>(p), l)),
                  _mm_sub_ps(_mm_and_ps(d, _mm_castsi128_ps(_mm_setr_epi32(0, 0, 0, -1))),
                             _mm_mul_ps(Broadcast<Isa, 3>(p), l))});
  return out;
}

template <typename Isa>
GxMatrix* MatrixReflect(GxMatrix* out, const GxPlane* plane) {
  const __m128 p = NormalizedPlane<Isa>(Load4(&plane->a));
  const __m128 normal = _mm_and_ps(p, _mm_castsi128_ps(_mm_setr_epi32(-1, -1, -1, 0)));
  const __m128 minus_two_n = _mm_mul_ps(normal, _mm_set1_ps(-2.0f));
  // Row i < 3: e_i - 2·n_i·n; row 4: -2·d·n + (0, 0, 0, 1).
  StoreRows(out, {_mm_add_ps(_mm_setr_ps(1, 0, 0, 0), _mm_mul_ps(Broadcast<Isa, 0>(p), minus_two_n)),
                  _mm_add_ps(_mm_setr_ps(0, 1, 0, 0), _mm_mul_ps(Broadcast<Isa, 1>(p), minus_two_n)),
                  _mm_add_ps(_mm_setr_ps(0, 0, 1, 0), _mm_mul_ps(Broadcast<Isa, 2>(p), minus_two_n)),
                  _mm_add_ps(_mm_setr_ps(0, 0, 0, 1), _mm_mul_ps(Broadcast<Isa, 3>(p), minus_two_n))});
  return out;
}

}  // namespace gx_math::simd
