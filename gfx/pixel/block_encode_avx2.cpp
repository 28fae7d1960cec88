// Eight blocks side by side in AVX2 lanes. This file alone is compiled with
// AVX2 enabled; its lane type lives in an unnamed namespace and the encoder is
// all templates, so no compiled code is shared with the baseline files.
#include "gfx/pixel/block_encode_avx2.h"

#include <immintrin.h>

#include "gfx/pixel/block_encode_lanes.h"

namespace block_lanes {
namespace {

struct Mask8 {
  __m256 m;
};

struct Float8 {
  __m256 v;
  Float8() = default;
  Float8(float x) : v(_mm256_set1_ps(x)) {}  // implicit: constants broadcast to every lane
  explicit Float8(__m256 x) : v(x) {}
};

inline Float8 operator+(Float8 a, Float8 b) { return Float8(_mm256_add_ps(a.v, b.v)); }
inline Float8 operator-(Float8 a, Float8 b) { return Float8(_mm256_sub_ps(a.v, b.v)); }
inline Float8 operator*(Float8 a, Float8 b) { return Float8(_mm256_mul_ps(a.v, b.v)); }
inline Float8 operator/(Float8 a, Float8 b) { return Float8(_mm256_div_ps(a.v, b.v)); }
inline Float8& operator+=(Float8& a, Float8 b) { return a = a + b; }
// Ordered comparisons: false with NaN, like the SSE2 and scalar forms.
inline Mask8 operator<(Float8 a, Float8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LT_OQ)}; }
inline Mask8 operator<=(Float8 a, Float8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LE_OQ)}; }
inline Mask8 operator>(Float8 a, Float8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GT_OQ)}; }
inline Mask8 operator>=(Float8 a, Float8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GE_OQ)}; }
inline Mask8 operator==(Float8 a, Float8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_EQ_OQ)}; }

inline Float8 Select(Mask8 m, Float8 a, Float8 b) { return Float8(_mm256_blendv_ps(b.v, a.v, m.m)); }
inline Float8 Min(Float8 a, Float8 b) { return Float8(_mm256_min_ps(a.v, b.v)); }
inline Float8 Max(Float8 a, Float8 b) { return Float8(_mm256_max_ps(a.v, b.v)); }
// Through a whole-number conversion, as the other lane types do (so that
// even the sign of a zero result agrees).
inline Float8 Trunc(Float8 x) {
  const __m256 whole = _mm256_cvtepi32_ps(_mm256_cvttps_epi32(x.v));
  const __m256 magnitude = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), x.v);
  const __m256 small = _mm256_cmp_ps(magnitude, _mm256_set1_ps(8388608.0f), _CMP_LT_OQ);
  return Float8(_mm256_blendv_ps(x.v, whole, small));
}
inline Mask8 And(Mask8 a, Mask8 b) { return {_mm256_and_ps(a.m, b.m)}; }
inline Mask8 Or(Mask8 a, Mask8 b) { return {_mm256_or_ps(a.m, b.m)}; }
inline Mask8 AndNot(Mask8 a, Mask8 b) { return {_mm256_andnot_ps(b.m, a.m)}; }
inline Mask8 Xor(Mask8 a, Mask8 b) { return {_mm256_xor_ps(a.m, b.m)}; }
inline Mask8 Not(Mask8 a) { return {_mm256_xor_ps(a.m, _mm256_castsi256_ps(_mm256_set1_epi32(-1)))}; }
inline bool Any(Mask8 m) { return _mm256_movemask_ps(m.m) != 0; }
inline void Store(Float8 v, float* out) { _mm256_storeu_ps(out, v.v); }

// Pixel i of blocks[0..7] into lanes 0..7: two 4x4 transposes joined.
inline void LoadLanes(const FloatColor* const* blocks, Float8* r, Float8* g, Float8* b, Float8* a) {
  for (int i = 0; i < 16; ++i) {
    __m128 lo[4], hi[4];
    for (int k = 0; k < 4; ++k) {
      lo[k] = _mm_loadu_ps(&blocks[k][i].r);
      hi[k] = _mm_loadu_ps(&blocks[k + 4][i].r);
    }
    _MM_TRANSPOSE4_PS(lo[0], lo[1], lo[2], lo[3]);
    _MM_TRANSPOSE4_PS(hi[0], hi[1], hi[2], hi[3]);
    r[i] = Float8(_mm256_insertf128_ps(_mm256_castps128_ps256(lo[0]), hi[0], 1));
    g[i] = Float8(_mm256_insertf128_ps(_mm256_castps128_ps256(lo[1]), hi[1], 1));
    b[i] = Float8(_mm256_insertf128_ps(_mm256_castps128_ps256(lo[2]), hi[2], 1));
    a[i] = Float8(_mm256_insertf128_ps(_mm256_castps128_ps256(lo[3]), hi[3], 1));
  }
}

}  // namespace

template <>
struct MaskOf<Float8> {
  using type = Mask8;
};
template <>
inline constexpr int kLaneCount<Float8> = 8;

}  // namespace block_lanes

void EncodeEightBlocksAvx2(uint32_t format, const FloatColor* const* blocks, uint8_t* const* out) {
  block_encode::EncodeLanes<block_lanes::Float8>(format, blocks, out);
}
