// SSE and SSE2 vector routines: transforms, normalisation, the 4-D cross
// product and the splines. Every routine loads all its inputs into registers
// before it stores, so in-place use is safe.
#pragma once

#include <cfloat>

#include "gfx/math/gx_math.h"
#include "gfx/math/simd_isa.h"

namespace gx_math::simd {

struct MatrixRows {
  __m128 r0, r1, r2, r3;
};

GX_SIMD_INLINE MatrixRows LoadRows(const GxMatrix* m) {
  return {Load4(m->m[0]), Load4(m->m[1]), Load4(m->m[2]), Load4(m->m[3])};
}

// x·row0 + y·row1 (+ z·row2) (+ w·row3), the components broadcast from memory.
GX_SIMD_INLINE __m128 Combine2(const float* v, const MatrixRows& m) {
  return _mm_add_ps(_mm_mul_ps(_mm_load1_ps(v), m.r0), _mm_mul_ps(_mm_load1_ps(v + 1), m.r1));
}
GX_SIMD_INLINE __m128 Combine3(const float* v, const MatrixRows& m) {
  return _mm_add_ps(Combine2(v, m), _mm_mul_ps(_mm_load1_ps(v + 2), m.r2));
}

template <typename Isa>
GxVector4* Vec2Transform(GxVector4* out, const GxVector2* v, const GxMatrix* m) {
  const MatrixRows rows = LoadRows(m);
  Store4(&out->x, _mm_add_ps(Combine2(&v->x, rows), rows.r3));
  return out;
}

template <typename Isa>
GxVector4* Vec3Transform(GxVector4* out, const GxVector3* v, const GxMatrix* m) {
  const MatrixRows rows = LoadRows(m);
  Store4(&out->x, _mm_add_ps(Combine3(&v->x, rows), rows.r3));
  return out;
}

template <typename Isa>
GxVector4* Vec4Transform(GxVector4* out, const GxVector4* v, const GxMatrix* m) {
  const MatrixRows rows = LoadRows(m);
  const __m128 r = _mm_add_ps(Combine3(&v->x, rows), _mm_mul_ps(_mm_load1_ps(&v->w), rows.r3));
  Store4(&out->x, r);
  return out;
}

template <typename Isa>
GxVector2* Vec2TransformNormal(GxVector2* out, const GxVector2* v, const GxMatrix* m) {
  const __m128 r = _mm_add_ps(_mm_mul_ps(_mm_load1_ps(&v->x), Isa::Load2(m->m[0])),
                              _mm_mul_ps(_mm_load1_ps(&v->y), Isa::Load2(m->m[1])));
  Store2(&out->x, r);
  return out;
}

template <typename Isa>
GxVector3* Vec3TransformNormal(GxVector3* out, const GxVector3* v, const GxMatrix* m) {
  const MatrixRows rows = LoadRows(m);
  Store3(&out->x, Combine3(&v->x, rows));
  return out;
}

// Divides by w unless w is near 1, as the portable routine does.
template <typename Isa>
GxVector2* Vec2TransformCoord(GxVector2* out, const GxVector2* v, const GxMatrix* m) {
  const MatrixRows rows = LoadRows(m);
  __m128 r = _mm_add_ps(Combine2(&v->x, rows), rows.r3);
  const float w = _mm_cvtss_f32(Broadcast<Isa, 3>(r));
  if (!(1.0f - FLT_EPSILON <= w && w <= 1.0f + FLT_EPSILON)) r = _mm_div_ps(r, _mm_set1_ps(w));
  Store2(&out->x, r);
  return out;
}

// Always divides by w, through its refined reciprocal. The sum keeps the
// portable routine's order: w is often a difference of near-equal terms, and
// another order would round it differently.
template <typename Isa>
GxVector3* Vec3TransformCoord(GxVector3* out, const GxVector3* v, const GxMatrix* m) {
  const MatrixRows rows = LoadRows(m);
  const __m128 r = _mm_add_ps(Combine3(&v->x, rows), rows.r3);
  Store3(&out->x, _mm_mul_ps(r, RcpRefined(Broadcast<Isa, 3>(r))));
  return out;
}

// v·(1/√s) with the refined estimate; zero when s < 2^-46. `squares` holds the
// squared components that make up s (unused lanes zero).
template <typename Isa>
GX_SIMD_INLINE __m128 ScaleToUnit(__m128 v, __m128 squares) {
  const __m128 s = HorizontalSum<Isa>(squares);
  const __m128 large_enough = _mm_cmpge_ps(s, Load(kZeroLengthSquared4));
  return _mm_and_ps(_mm_mul_ps(v, RsqrtRefined(s)), large_enough);
}

template <typename Isa>
GxVector3* Vec3Normalize(GxVector3* out, const GxVector3* v) {
  const __m128 x = Load3<Isa>(&v->x);
  Store3(&out->x, ScaleToUnit<Isa>(x, _mm_mul_ps(x, x)));
  return out;
}

template <typename Isa>
GxVector4* Vec4Normalize(GxVector4* out, const GxVector4* v) {
  const __m128 x = Load4(&v->x);
  Store4(&out->x, ScaleToUnit<Isa>(x, _mm_mul_ps(x, x)));
  return out;
}

template <typename Isa>
GxQuaternion* QuaternionNormalize(GxQuaternion* out, const GxQuaternion* q) {
  const __m128 x = Load4(&q->x);
  Store4(&out->x, ScaleToUnit<Isa>(x, _mm_mul_ps(x, x)));
  return out;
}

template <typename Isa>
GX_SIMD_INLINE __m128 Cross3(__m128 a, __m128 b) {
  const __m128 a_yzx = Isa::template Permute<GX_SHUFFLE(1, 2, 0, 3)>(a);
  const __m128 b_yzx = Isa::template Permute<GX_SHUFFLE(1, 2, 0, 3)>(b);
  const __m128 c = _mm_sub_ps(_mm_mul_ps(a, b_yzx), _mm_mul_ps(a_yzx, b));
  return Isa::template Permute<GX_SHUFFLE(1, 2, 0, 3)>(c);
}

template <typename Isa>
GxVector4* Vec4Cross(GxVector4* out, const GxVector4* u, const GxVector4* v, const GxVector4* w) {
  const __m128 a = Load4(&u->x), b = Load4(&v->x), c = Load4(&w->x);
  // The 2x2 minors of v over w: (xy, xz, xw, yz) and (yw, zw, yw, zw).
  const __m128 m1 = _mm_sub_ps(
      _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(0, 0, 0, 1)>(b), Isa::template Permute<GX_SHUFFLE(1, 2, 3, 2)>(c)),
      _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(1, 2, 3, 2)>(b), Isa::template Permute<GX_SHUFFLE(0, 0, 0, 1)>(c)));
  const __m128 m2 = _mm_sub_ps(
      _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(1, 2, 1, 2)>(b), Broadcast<Isa, 3>(c)),
      _mm_mul_ps(Broadcast<Isa, 3>(b), Isa::template Permute<GX_SHUFFLE(1, 2, 1, 2)>(c)));
  const __m128 yw_yz = _mm_shuffle_ps(m2, m1, GX_SHUFFLE(0, 0, 3, 3));                   // yw yw yz yz
  const __m128 t1 = _mm_shuffle_ps(m2, yw_yz, GX_SHUFFLE(1, 1, 0, 2));                   // zw zw yw yz
  const __m128 yw_xw_xz = _mm_shuffle_ps(m2, m1, GX_SHUFFLE(0, 0, 2, 1));                // yw yw xw xz
  const __m128 t2 = Isa::template Permute<GX_SHUFFLE(0, 2, 2, 3)>(yw_xw_xz);             // yw xw xw xz
  const __m128 t3 = Isa::template Permute<GX_SHUFFLE(3, 1, 0, 0)>(m1);                   // yz xz xy xy
  __m128 r = _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(1, 0, 0, 0)>(a), t1);
  r = _mm_sub_ps(r, _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(2, 2, 1, 1)>(a), t2));
  r = _mm_add_ps(r, _mm_mul_ps(Isa::template Permute<GX_SHUFFLE(3, 3, 3, 2)>(a), t3));
  Store4(&out->x, _mm_xor_ps(r, SignMask(false, true, false, true)));
  return out;
}

// Spline weights for v1, t1, v2, t2 (Hermite) or v0 … v3 (Catmull-Rom).
GX_SIMD_INLINE __m128 HermiteWeights(float s) {
  const __m128 s1 = _mm_set1_ps(s), s2 = _mm_mul_ps(s1, s1), s3 = _mm_mul_ps(s2, s1);
  __m128 w = _mm_mul_ps(s3, _mm_setr_ps(2, 1, -2, 1));
  w = _mm_add_ps(w, _mm_mul_ps(s2, _mm_setr_ps(-3, -2, 3, -1)));
  w = _mm_add_ps(w, _mm_mul_ps(s1, _mm_setr_ps(0, 1, 0, 0)));
  return _mm_add_ps(w, _mm_setr_ps(1, 0, 0, 0));
}

GX_SIMD_INLINE __m128 CatmullRomWeights(float s) {
  const __m128 s1 = _mm_set1_ps(s), s2 = _mm_mul_ps(s1, s1), s3 = _mm_mul_ps(s2, s1);
  __m128 w = _mm_mul_ps(s3, _mm_setr_ps(-1, 3, -3, 1));
  w = _mm_add_ps(w, _mm_mul_ps(s2, _mm_setr_ps(2, -5, 4, -1)));
  w = _mm_add_ps(w, _mm_mul_ps(s1, _mm_setr_ps(-1, 0, 1, 0)));
  w = _mm_add_ps(w, _mm_setr_ps(0, 2, 0, 0));
  return _mm_mul_ps(w, _mm_set1_ps(0.5f));
}

// Σ weight_i · p_i over four points of N components.
template <typename Isa, int N>
GX_SIMD_INLINE __m128 Weighted(__m128 w, const float* p0, const float* p1, const float* p2, const float* p3) {
  auto load = [](const float* p) {
    if constexpr (N == 2) return Isa::Load2(p);
    else if constexpr (N == 3) return Load3<Isa>(p);
    else return Load4(p);
  };
  const __m128 a = load(p0), b = load(p1), c = load(p2), d = load(p3);
  __m128 r = _mm_mul_ps(a, Broadcast<Isa, 0>(w));
  r = _mm_add_ps(r, _mm_mul_ps(b, Broadcast<Isa, 1>(w)));
  r = _mm_add_ps(r, _mm_mul_ps(c, Broadcast<Isa, 2>(w)));
  return _mm_add_ps(r, _mm_mul_ps(d, Broadcast<Isa, 3>(w)));
}

template <int N>
GX_SIMD_INLINE void StoreN(float* p, __m128 v) {
  if constexpr (N == 2) Store2(p, v);
  else if constexpr (N == 3) Store3(p, v);
  else Store4(p, v);
}

template <typename Isa, typename V, int N = sizeof(V) / sizeof(float)>
V* Hermite(V* out, const V* v1, const V* t1, const V* v2, const V* t2, float s) {
  StoreN<N>(&out->x, Weighted<Isa, N>(HermiteWeights(s), &v1->x, &t1->x, &v2->x, &t2->x));
  return out;
}

template <typename Isa, typename V, int N = sizeof(V) / sizeof(float)>
V* CatmullRom(V* out, const V* v0, const V* v1, const V* v2, const V* v3, float s) {
  StoreN<N>(&out->x, Weighted<Isa, N>(CatmullRomWeights(s), &v0->x, &v1->x, &v2->x, &v3->x));
  return out;
}

// v1 + f(v2 - v1) + g(v3 - v1)
template <typename Isa, typename V, int N = sizeof(V) / sizeof(float)>
V* BaryCentric(V* out, const V* v1, const V* v2, const V* v3, float f, float g) {
  auto load = [](const float* p) {
    if constexpr (N == 2) return Isa::Load2(p);
    else if constexpr (N == 3) return Load3<Isa>(p);
    else return Load4(p);
  };
  const __m128 a = load(&v1->x), b = load(&v2->x), c = load(&v3->x);
  const __m128 r = _mm_add_ps(a, _mm_add_ps(_mm_mul_ps(_mm_sub_ps(b, a), _mm_set1_ps(f)),
                                            _mm_mul_ps(_mm_sub_ps(c, a), _mm_set1_ps(g))));
  StoreN<N>(&out->x, r);
  return out;
}

}  // namespace gx_math::simd
