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

// The inverse by 2x2 blocks. With M = [A B; C D] (each block a 2x2 matrix held
// in one vector as a00 a01 a10 a11) and X# the adjugate of X:
//   |M| = |A||D| + |B||C| - tr(A#B · D#C),
//   M⁻¹ = [X# Y#; Z# W#] / |M| with X = |D|A - B(D#C), Y = |B|C - D(A#B)#,
//   Z = |C|B - A(D#C)#, W = |A|D - C(A#B).
// Products of 2x2 blocks: X·Y, X#·Y and X·Y#.
template <typename Isa>
GX_SIMD_INLINE __m128 Mat2Mul(__m128 x, __m128 y) {
  return _mm_add_ps(_mm_mul_ps(x, Isa::template Permute<GX_SHUFFLE(0, 3, 0, 3)>(y)),
                    _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(1, 0, 3, 2)>(x),
                               Isa::template Permute<GX_SHUFFLE(2, 1, 2, 1)>(y)));
}
template <typename Isa>
GX_SIMD_INLINE __m128 Mat2AdjMul(__m128 x, __m128 y) {
  return _mm_sub_ps(_mm_mul_ps(Isa::template Permute<GX_SHUFFLE(3, 3, 0, 0)>(x), y),
                    _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(1, 1, 2, 2)>(x),
                               Isa::template Permute<GX_SHUFFLE(2, 3, 0, 1)>(y)));
}
template <typename Isa>
GX_SIMD_INLINE __m128 Mat2MulAdj(__m128 x, __m128 y) {
  return _mm_sub_ps(_mm_mul_ps(x, Isa::template Permute<GX_SHUFFLE(3, 0, 3, 0)>(y)),
                    _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(1, 0, 3, 2)>(x),
                               Isa::template Permute<GX_SHUFFLE(2, 1, 2, 1)>(y)));
}

struct Blocks {
  __m128 a, b, c, d;
  __m128 dets;      // |A| |B| |C| |D|
  __m128 a_adj_b;   // A#·B
  __m128 d_adj_c;   // D#·C
  __m128 det;       // det M in every lane
};

template <typename Isa>
GX_SIMD_INLINE Blocks SplitBlocks(const MatrixRows& r) {
  Blocks k;
  k.a = _mm_movelh_ps(r.r0, r.r1);
  k.b = _mm_movehl_ps(r.r1, r.r0);
  k.c = _mm_movelh_ps(r.r2, r.r3);
  k.d = _mm_movehl_ps(r.r3, r.r2);
  k.dets = _mm_sub_ps(
      _mm_mul_ps(_mm_shuffle_ps(r.r0, r.r2, GX_SHUFFLE(0, 2, 0, 2)), _mm_shuffle_ps(r.r1, r.r3, GX_SHUFFLE(1, 3, 1, 3))),
      _mm_mul_ps(_mm_shuffle_ps(r.r0, r.r2, GX_SHUFFLE(1, 3, 1, 3)), _mm_shuffle_ps(r.r1, r.r3, GX_SHUFFLE(0, 2, 0, 2))));
  k.a_adj_b = Mat2AdjMul<Isa>(k.a, k.b);
  k.d_adj_c = Mat2AdjMul<Isa>(k.d, k.c);
  // With ad_bc = (|A||D|, |B||C|, |C||B|, |D||A|) and the trace terms t0..t3:
  // w = ad_bc - (t0 + t2, t1 + t3, t2 + t0, t3 + t1), and w plus its lanes
  // swapped in pairs is |M| in every lane.
  const __m128 ad_bc = _mm_mul_ps(k.dets, Isa::template Permute<GX_SHUFFLE(3, 2, 1, 0)>(k.dets));
  const __m128 trace = _mm_mul_ps(k.a_adj_b, Isa::template Permute<GX_SHUFFLE(0, 2, 1, 3)>(k.d_adj_c));
  const __m128 w = _mm_sub_ps(ad_bc, _mm_add_ps(trace, Isa::template Permute<GX_SHUFFLE(2, 3, 0, 1)>(trace)));
  k.det = _mm_add_ps(w, Isa::template Permute<GX_SHUFFLE(1, 0, 3, 2)>(w));
  return k;
}

template <typename Isa>
float MatrixDeterminant(const GxMatrix* m) {
  return First(SplitBlocks<Isa>(LoadRows(m)).det);
}

// Singular when the determinant is exactly 0 or not a number; the
// determinant is then left unstored. The reciprocal is the refined estimate.
// One test covers every singular case: the refined reciprocal of 0, of NaN
// and of infinity is NaN. A denormal determinant, too small for the estimate,
// gives no finite reciprocal either and counts as singular rather than
// filling the output with NaN.
template <typename Isa>
GxMatrix* MatrixInverse(GxMatrix* out, float* determinant, const GxMatrix* m) {
  const Blocks k = SplitBlocks<Isa>(LoadRows(m));
  const __m128 r = RcpRefined(k.det);
  if (!std::isfinite(First(r))) return nullptr;
  if (determinant) *determinant = First(k.det);
  const __m128 det_a = Broadcast<Isa, 0>(k.dets), det_b = Broadcast<Isa, 1>(k.dets);
  const __m128 det_c = Broadcast<Isa, 2>(k.dets), det_d = Broadcast<Isa, 3>(k.dets);
  // X, Y, Z, W scaled by 1/|M|; the signs (+, -, -, +) and the final shuffles
  // turn each into its adjugate and lay the blocks out as rows.
  const __m128 scale = _mm_xor_ps(r, SignMask(false, true, true, false));
  const __m128 x = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(det_d, k.a), Mat2Mul<Isa>(k.b, k.d_adj_c)), scale);
  const __m128 y = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(det_b, k.c), Mat2MulAdj<Isa>(k.d, k.a_adj_b)), scale);
  const __m128 z = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(det_c, k.b), Mat2MulAdj<Isa>(k.a, k.d_adj_c)), scale);
  const __m128 w = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(det_a, k.d), Mat2Mul<Isa>(k.c, k.a_adj_b)), scale);
  StoreRows(out, {_mm_shuffle_ps(x, y, GX_SHUFFLE(3, 1, 3, 1)), _mm_shuffle_ps(x, y, GX_SHUFFLE(2, 0, 2, 0)),
                  _mm_shuffle_ps(z, w, GX_SHUFFLE(3, 1, 3, 1)), _mm_shuffle_ps(z, w, GX_SHUFFLE(2, 0, 2, 0))});
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
