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

// The columns of the adjugate and the determinant (in every lane), from the
// 2x2 minors of rows 1-2 (s0 … s5) and rows 3-4 (c0 … c5).
struct AdjugateColumns {
  MatrixRows columns;
  __m128 det;
};

template <typename Isa>
GX_SIMD_INLINE AdjugateColumns ComputeAdjugate(const MatrixRows& m) {
  using I = Isa;
  // (s0, s1, s2, s3) and (c0, c1, c2, c3): x·y' - y'·x pairs over (xy, xz, xw, yz).
  const __m128 s_low = _mm_sub_ps(
      _mm_mul_ps(I::template Permute<GX_SHUFFLE(0, 0, 0, 1)>(m.r0), I::template Permute<GX_SHUFFLE(1, 2, 3, 2)>(m.r1)),
      _mm_mul_ps(I::template Permute<GX_SHUFFLE(1, 2, 3, 2)>(m.r0), I::template Permute<GX_SHUFFLE(0, 0, 0, 1)>(m.r1)));
  const __m128 c_low = _mm_sub_ps(
      _mm_mul_ps(I::template Permute<GX_SHUFFLE(0, 0, 0, 1)>(m.r2), I::template Permute<GX_SHUFFLE(1, 2, 3, 2)>(m.r3)),
      _mm_mul_ps(I::template Permute<GX_SHUFFLE(1, 2, 3, 2)>(m.r2), I::template Permute<GX_SHUFFLE(0, 0, 0, 1)>(m.r3)));
  // (s4, s5, c4, c5): over (yw, zw) of both row pairs at once.
  const __m128 yz = _mm_shuffle_ps(m.r0, m.r2, GX_SHUFFLE(1, 2, 1, 2));
  const __m128 ww = _mm_shuffle_ps(m.r1, m.r3, GX_SHUFFLE(3, 3, 3, 3));
  const __m128 ww_top = _mm_shuffle_ps(m.r0, m.r2, GX_SHUFFLE(3, 3, 3, 3));
  const __m128 yz_bottom = _mm_shuffle_ps(m.r1, m.r3, GX_SHUFFLE(1, 2, 1, 2));
  const __m128 high = _mm_sub_ps(_mm_mul_ps(yz, ww), _mm_mul_ps(ww_top, yz_bottom));

  const __m128 c_mix = _mm_shuffle_ps(high, c_low, GX_SHUFFLE(2, 3, 3, 2));  // c4 c5 c3 c2
  const __m128 ca = _mm_shuffle_ps(high, c_mix, GX_SHUFFLE(3, 3, 0, 2));     // c5 c5 c4 c3
  const __m128 cb = _mm_shuffle_ps(c_mix, c_low, GX_SHUFFLE(0, 3, 2, 1));    // c4 c2 c2 c1
  const __m128 cc = I::template Permute<GX_SHUFFLE(3, 1, 0, 0)>(c_low);      // c3 c1 c0 c0
  const __m128 s_mix = _mm_shuffle_ps(high, s_low, GX_SHUFFLE(0, 1, 3, 2));  // s4 s5 s3 s2
  const __m128 sa = _mm_shuffle_ps(high, s_mix, GX_SHUFFLE(1, 1, 0, 2));     // s5 s5 s4 s3
  const __m128 sb = _mm_shuffle_ps(s_mix, s_low, GX_SHUFFLE(0, 3, 2, 1));    // s4 s2 s2 s1
  const __m128 sc = I::template Permute<GX_SHUFFLE(3, 1, 0, 0)>(s_low);      // s3 s1 s0 s0

  // Column j: row.yxxx·a - row.zzyy·b + row.wwwz·c, signs (+, -, +, -).
  auto column = [](__m128 row, __m128 a, __m128 b, __m128 c) {
    __m128 r = _mm_mul_ps(I::template Permute<GX_SHUFFLE(1, 0, 0, 0)>(row), a);
    r = _mm_sub_ps(r, _mm_mul_ps(I::template Permute<GX_SHUFFLE(2, 2, 1, 1)>(row), b));
    return _mm_add_ps(r, _mm_mul_ps(I::template Permute<GX_SHUFFLE(3, 3, 3, 2)>(row), c));
  };
  const __m128 even = SignMask(false, true, false, true), odd = SignMask(true, false, true, false);
  AdjugateColumns r;
  r.columns.r0 = _mm_xor_ps(column(m.r1, ca, cb, cc), even);
  r.columns.r1 = _mm_xor_ps(column(m.r0, ca, cb, cc), odd);
  r.columns.r2 = _mm_xor_ps(column(m.r3, sa, sb, sc), even);
  r.columns.r3 = _mm_xor_ps(column(m.r2, sa, sb, sc), odd);
  r.det = HorizontalSum<Isa>(_mm_mul_ps(m.r0, r.columns.r0));  // row 1 against its cofactors
  return r;
}

template <typename Isa>
float MatrixDeterminant(const GxMatrix* m) {
  return First(ComputeAdjugate<Isa>(LoadRows(m)).det);
}

// Singular only when the determinant is exactly 0 or not a number; the
// determinant is then left unstored. The reciprocal is the refined estimate.
template <typename Isa>
GxMatrix* MatrixInverse(GxMatrix* out, float* determinant, const GxMatrix* m) {
  AdjugateColumns adj = ComputeAdjugate<Isa>(LoadRows(m));
  const float det = First(adj.det);
  if (det == 0.0f || std::isnan(det)) return nullptr;
  const __m128 r = RcpRefined(adj.det);
  // A determinant too small for the estimate (denormal) gives no usable
  // reciprocal; that counts as singular too rather than filling the output with NaN.
  if (!std::isfinite(First(r))) return nullptr;
  if (determinant) *determinant = det;
  _MM_TRANSPOSE4_PS(adj.columns.r0, adj.columns.r1, adj.columns.r2, adj.columns.r3);
  StoreRows(out, {_mm_mul_ps(adj.columns.r0, r), _mm_mul_ps(adj.columns.r1, r), _mm_mul_ps(adj.columns.r2, r),
                  _mm_mul_ps(adj.columns.r3, r)});
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
