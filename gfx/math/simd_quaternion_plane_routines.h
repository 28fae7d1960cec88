// SSE and SSE2 plane and quaternion routines, and the rotation builders that
// take their sine and cosine from the four-lane polynomial.
#pragma once

#include <cmath>

#include "gfx/math/simd_matrix_routines.h"

namespace gx_math::simd {

template <typename Isa>
GxPlane* PlaneNormalize(GxPlane* out, const GxPlane* p) {
  Store4(&out->a, NormalizedPlane<Isa>(Load4(&p->a)));
  return out;
}

template <typename Isa>
GxPlane* PlaneFromPoints(GxPlane* out, const GxVector3* p1, const GxVector3* p2, const GxVector3* p3) {
  const __m128 a = Load3<Isa>(&p1->x), b = Load3<Isa>(&p2->x), c = Load3<Isa>(&p3->x);
  const __m128 n = Cross3<Isa>(_mm_sub_ps(a, b), _mm_sub_ps(a, c));
  const __m128 unit = ScaleToUnit<Isa>(n, _mm_mul_ps(n, n));
  const __m128 d = _mm_xor_ps(HorizontalSum<Isa>(_mm_mul_ps(unit, a)), _mm_set1_ps(-0.0f));
  // (n.x, n.y, n.z, d): the unit normal's w lane is zero.
  Store4(&out->a, _mm_or_ps(unit, _mm_and_ps(d, _mm_castsi128_ps(_mm_setr_epi32(0, 0, 0, -1)))));
  return out;
}

template <typename Isa>
GxVector3* PlaneIntersectLine(GxVector3* out, const GxPlane* p, const GxVector3* p1, const GxVector3* p2) {
  const __m128 plane = Load4(&p->a);
  const __m128 a = Load3<Isa>(&p1->x), b = Load3<Isa>(&p2->x);
  const __m128 n1 = HorizontalSum<Isa>(_mm_mul_ps(plane, a));  // w lanes of a and b are zero
  const __m128 n2 = HorizontalSum<Isa>(_mm_mul_ps(plane, b));
  const __m128 den = _mm_sub_ps(n1, n2);
  if (First(den) == 0.0f) return nullptr;  // parallel to the plane
  const __m128 t = _mm_div_ps(_mm_add_ps(n1, Broadcast<Isa, 3>(plane)), den);
  if (!std::isfinite(First(t))) return nullptr;
  Store3(&out->x, _mm_add_ps(a, _mm_mul_ps(t, _mm_sub_ps(b, a))));
  return out;
}

// The Hamilton product q2·q1.
template <typename Isa>
GxQuaternion* QuaternionMultiply(GxQuaternion* out, const GxQuaternion* q1, const GxQuaternion* q2) {
  const __m128 a = Load4(&q1->x), b = Load4(&q2->x);
  __m128 r = _mm_mul_ps(Broadcast<Isa, 3>(b), a);
  r = _mm_add_ps(r, _mm_xor_ps(_mm_mul_ps(Broadcast<Isa, 0>(b), Isa::template Permute<GX_SHUFFLE(3, 2, 1, 0)>(a)),
                               SignMask(false, true, false, true)));
  r = _mm_add_ps(r, _mm_xor_ps(_mm_mul_ps(Broadcast<Isa, 1>(b), Isa::template Permute<GX_SHUFFLE(2, 3, 0, 1)>(a)),
                               SignMask(false, false, true, true)));
  r = _mm_add_ps(r, _mm_xor_ps(_mm_mul_ps(Broadcast<Isa, 2>(b), Isa::template Permute<GX_SHUFFLE(1, 0, 3, 2)>(a)),
                               SignMask(true, false, false, true)));
  Store4(&out->x, r);
  return out;
}

template <typename Isa>
GxQuaternion* QuaternionInverse(GxQuaternion* out, const GxQuaternion* q) {
  const __m128 v = Load4(&q->x);
  const __m128 n = HorizontalSum<Isa>(_mm_mul_ps(v, v));
  const float norm = First(n);
  __m128 r = _mm_setzero_ps();
  if (norm > 1.0842022e-19f) {  // 2^-63
    r = _mm_xor_ps(v, SignMask(true, true, true, false));
    if (!(1.0f - FLT_EPSILON <= norm && norm <= 1.0f + FLT_EPSILON)) r = _mm_div_ps(r, n);
  }
  Store4(&out->x, r);
  return out;
}

// SSE form: branch by branch with scalar square roots and divisions. (A
// template like every routine here, so that each instruction-set build of it
// is a function of its own.)
template <typename Isa>
GxQuaternion* QuaternionRotationMatrixScalar(GxQuaternion* out, const GxMatrix* m) {
  const auto& e = m->m;
  const float trace = e[0][0] + e[1][1] + e[2][2];
  float q[4];
  if (trace > 0.0f) {
    const float w = 0.5f * _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(trace + 1.0f)));
    const float k = _mm_cvtss_f32(_mm_div_ss(_mm_set_ss(0.25f), _mm_set_ss(w)));
    q[0] = (e[1][2] - e[2][1]) * k;
    q[1] = (e[2][0] - e[0][2]) * k;
    q[2] = (e[0][1] - e[1][0]) * k;
    q[3] = w;
  } else {
    int i = e[1][1] > e[0][0] ? 1 : 0;
    if (e[2][2] > e[i][i]) i = 2;
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    q[i] = 0.5f * _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(e[i][i] - e[j][j] - e[k][k] + 1.0f)));
    const float f = _mm_cvtss_f32(_mm_div_ss(_mm_set_ss(0.25f), _mm_set_ss(q[i])));
    q[j] = (e[i][j] + e[j][i]) * f;
    q[k] = (e[i][k] + e[k][i]) * f;
    q[3] = (e[j][k] - e[k][j]) * f;
  }
  Store4(&out->x, _mm_loadu_ps(q));
  return out;
}

// SSE2 form: the four candidate squares 4x², 4y², 4z², 4w² and the sums and
// differences of the off-diagonal pairs are formed in vectors; the branch then
// only picks lanes and scales one vector of numerators.
template <typename Isa>
GxQuaternion* QuaternionRotationMatrixVector(GxQuaternion* out, const GxMatrix* m) {
  using I = Isa;
  const __m128 diag = _mm_setr_ps(m->_11, m->_22, m->_33, 0.0f);
  const __m128 x = Broadcast<I, 0>(diag), y = Broadcast<I, 1>(diag), z = Broadcast<I, 2>(diag);
  const __m128 squares = _mm_add_ps(_mm_add_ps(_mm_set1_ps(1.0f), _mm_xor_ps(x, SignMask(false, true, true, false))),
                                    _mm_add_ps(_mm_xor_ps(y, SignMask(true, false, true, false)),
                                               _mm_xor_ps(z, SignMask(true, true, false, false))));
  // Lanes whose square is negative are never picked.
  const __m128 halves = _mm_mul_ps(_mm_sqrt_ps(_mm_max_ps(squares, _mm_setzero_ps())), _mm_set1_ps(0.5f));
  const __m128 upper = _mm_setr_ps(m->_12, m->_13, m->_23, 0.0f);
  const __m128 lower = _mm_setr_ps(m->_21, m->_31, m->_32, 0.0f);
  alignas(16) float sum[4], diff[4], half[4];
  _mm_store_ps(sum, _mm_add_ps(upper, lower));   // m12+m21, m13+m31, m23+m32
  _mm_store_ps(diff, _mm_sub_ps(upper, lower));  // m12-m21, m13-m31, m23-m32
  _mm_store_ps(half, halves);

  int i = 3;  // w from the trace
  if (!(m->_11 + m->_22 + m->_33 > 0.0f)) {
    i = m->_22 > m->_11 ? 1 : 0;
    if (m->_33 > (i == 0 ? m->_11 : m->_22)) i = 2;
  }
  // Numerators of the three other components, over 4·q_i; lane i is replaced by q_i.
  __m128 numerators;
  switch (i) {
    case 0: numerators = _mm_setr_ps(0, sum[0], sum[1], diff[2]); break;
    case 1: numerators = _mm_setr_ps(sum[0], 0, sum[2], -diff[1]); break;
    case 2: numerators = _mm_setr_ps(sum[1], sum[2], 0, diff[0]); break;
    default: numerators = _mm_setr_ps(diff[2], -diff[1], diff[0], 0); break;
  }
  const float qi = half[i];
  alignas(16) float r[4];
  _mm_store_ps(r, _mm_mul_ps(numerators, _mm_div_ps(_mm_set1_ps(0.25f), _mm_set1_ps(qi))));
  r[i] = qi;
  Store4(&out->x, _mm_load_ps(r));
  return out;
}

// Sine and cosine of the three half angles at once.
template <typename Isa>
GxQuaternion* QuaternionRotationYawPitchRoll(GxQuaternion* out, float yaw, float pitch, float roll) {
  __m128 s, c;  // (sy, sp, sr, 0), (cy, cp, cr, 1)
  Isa::SinCos(_mm_mul_ps(_mm_setr_ps(yaw, pitch, roll, 0.0f), _mm_set1_ps(0.5f)), &s, &c);
  const __m128 ys = _mm_shuffle_ps(c, s, GX_SHUFFLE(0, 0, 0, 0));  // cy cy sy sy
  const __m128 ps = _mm_shuffle_ps(s, c, GX_SHUFFLE(1, 1, 1, 1));  // sp sp cp cp
  const __m128 rs = _mm_shuffle_ps(c, s, GX_SHUFFLE(2, 2, 2, 2));  // cr cr sr sr
  const __m128 a = _mm_mul_ps(_mm_mul_ps(Isa::template Permute<GX_SHUFFLE(0, 2, 0, 0)>(ys),
                                         Isa::template Permute<GX_SHUFFLE(0, 2, 2, 2)>(ps)),
                              Isa::template Permute<GX_SHUFFLE(0, 0, 2, 0)>(rs));
  const __m128 b = _mm_mul_ps(_mm_mul_ps(Isa::template Permute<GX_SHUFFLE(2, 0, 2, 2)>(ys),
                                         Isa::template Permute<GX_SHUFFLE(2, 0, 0, 0)>(ps)),
                              Isa::template Permute<GX_SHUFFLE(2, 2, 0, 2)>(rs));
  Store4(&out->x, _mm_add_ps(a, _mm_xor_ps(b, SignMask(false, true, true, false))));
  return out;
}

template <typename Isa>
GX_SIMD_INLINE void SinCosOf(float angle, float* s, float* c) {
  __m128 vs, vc;
  Isa::SinCos(_mm_set1_ps(angle), &vs, &vc);
  *s = First(vs);
  *c = First(vc);
}

template <typename Isa>
GxMatrix* MatrixRotationX(GxMatrix* out, float angle) {
  float s, c;
  SinCosOf<Isa>(angle, &s, &c);
  StoreRows(out, {_mm_setr_ps(1, 0, 0, 0), _mm_setr_ps(0, c, s, 0), _mm_setr_ps(0, -s, c, 0), _mm_setr_ps(0, 0, 0, 1)});
  return out;
}

template <typename Isa>
GxMatrix* MatrixRotationY(GxMatrix* out, float angle) {
  float s, c;
  SinCosOf<Isa>(angle, &s, &c);
  StoreRows(out, {_mm_setr_ps(c, 0, -s, 0), _mm_setr_ps(0, 1, 0, 0), _mm_setr_ps(s, 0, c, 0), _mm_setr_ps(0, 0, 0, 1)});
  return out;
}

}  // namespace gx_math::simd
