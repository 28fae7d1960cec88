// Lane types for the block encoders. The encoders are written once as
// templates over a lane type and run either on one block at a time (`float`
// lanes, `bool` masks) or on four blocks side by side (SSE2 lanes). Every lane
// operation is a single IEEE operation or an exact selection, so each SIMD
// lane computes bit for bit what the one-block instance computes: the SIMD
// path changes speed, never results.
#pragma once

#include <emmintrin.h>

#include <cstdint>

struct FloatColor;

namespace block_lanes {

// ---- one block: plain floats and bools ---------------------------------------

inline float Select(bool m, float a, float b) { return m ? a : b; }
inline float Min(float a, float b) { return a < b ? a : b; }
inline float Max(float a, float b) { return a > b ? a : b; }
// Truncation toward zero without touching the rounding mode. Values of
// magnitude 2^23 and above (and NaN) are already whole and pass unchanged.
inline float Trunc(float x) {
  return (x < 8388608.0f && x > -8388608.0f) ? static_cast<float>(static_cast<int32_t>(x)) : x;
}
inline bool And(bool a, bool b) { return a && b; }
inline bool Or(bool a, bool b) { return a || b; }
inline bool AndNot(bool a, bool b) { return a && !b; }  // a and not b
inline bool Not(bool a) { return !a; }
inline bool Xor(bool a, bool b) { return a != b; }
inline bool Any(bool m) { return m; }
inline bool All(bool m) { return m; }
inline void Store(float v, float* out) { out[0] = v; }
// The channels of pixel i of block `blocks[0]` into r[i], g[i], b[i], a[i].
void LoadLanes(const FloatColor* const* blocks, float* r, float* g, float* b, float* a);

// ---- four blocks: SSE2 ------------------------------------------------------

struct Mask4 {
  __m128 m;
};

struct Float4 {
  __m128 v;
  Float4() = default;
  Float4(float x) : v(_mm_set1_ps(x)) {}  // implicit: constants broadcast to every lane
  explicit Float4(__m128 x) : v(x) {}
};

inline Float4 operator+(Float4 a, Float4 b) { return Float4(_mm_add_ps(a.v, b.v)); }
inline Float4 operator-(Float4 a, Float4 b) { return Float4(_mm_sub_ps(a.v, b.v)); }
inline Float4 operator*(Float4 a, Float4 b) { return Float4(_mm_mul_ps(a.v, b.v)); }
inline Float4 operator/(Float4 a, Float4 b) { return Float4(_mm_div_ps(a.v, b.v)); }
inline Float4& operator+=(Float4& a, Float4 b) { return a = a + b; }
inline Float4& operator-=(Float4& a, Float4 b) { return a = a - b; }
inline Mask4 operator<(Float4 a, Float4 b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline Mask4 operator<=(Float4 a, Float4 b) { return {_mm_cmple_ps(a.v, b.v)}; }
inline Mask4 operator>(Float4 a, Float4 b) { return {_mm_cmpgt_ps(a.v, b.v)}; }
inline Mask4 operator>=(Float4 a, Float4 b) { return {_mm_cmpge_ps(a.v, b.v)}; }
inline Mask4 operator==(Float4 a, Float4 b) { return {_mm_cmpeq_ps(a.v, b.v)}; }

inline Float4 Select(Mask4 m, Float4 a, Float4 b) {
  return Float4(_mm_or_ps(_mm_and_ps(m.m, a.v), _mm_andnot_ps(m.m, b.v)));
}
// minps/maxps return the second operand unless the comparison holds, exactly
// like the scalar forms above.
inline Float4 Min(Float4 a, Float4 b) { return Float4(_mm_min_ps(a.v, b.v)); }
inline Float4 Max(Float4 a, Float4 b) { return Float4(_mm_max_ps(a.v, b.v)); }
inline Float4 Trunc(Float4 x) {
  const __m128 whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(x.v));
  const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), x.v);
  const __m128 small = _mm_cmplt_ps(magnitude, _mm_set1_ps(8388608.0f));
  return Float4(_mm_or_ps(_mm_and_ps(small, whole), _mm_andnot_ps(small, x.v)));
}
inline Mask4 And(Mask4 a, Mask4 b) { return {_mm_and_ps(a.m, b.m)}; }
inline Mask4 Or(Mask4 a, Mask4 b) { return {_mm_or_ps(a.m, b.m)}; }
inline Mask4 AndNot(Mask4 a, Mask4 b) { return {_mm_andnot_ps(b.m, a.m)}; }
inline Mask4 Xor(Mask4 a, Mask4 b) { return {_mm_xor_ps(a.m, b.m)}; }
inline Mask4 Not(Mask4 a) { return {_mm_xor_ps(a.m, _mm_castsi128_ps(_mm_set1_epi32(-1)))}; }
inline bool Any(Mask4 m) { return _mm_movemask_ps(m.m) != 0; }
inline bool All(Mask4 m) { return _mm_movemask_ps(m.m) == 0xF; }
inline void Store(Float4 v, float* out) { _mm_storeu_ps(out, v.v); }
// Pixel i of blocks[0..3] into lanes 0..3 of r[i], g[i], b[i], a[i].
void LoadLanes(const FloatColor* const* blocks, Float4* r, Float4* g, Float4* b, Float4* a);

// The mask type that goes with a lane type.
template <class V>
struct MaskOf;
template <>
struct MaskOf<float> {
  using type = bool;
};
template <>
struct MaskOf<Float4> {
  using type = Mask4;
};

template <class V>
inline constexpr int kLaneCount = 1;
template <>
inline constexpr int kLaneCount<Float4> = 4;

}  // namespace block_lanes
