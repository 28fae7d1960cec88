// The 512-segment reciprocal square root table and its lookup.
#include "gfx/math/rsqrt_segments.h"

#include <bit>
#include <cstdint>

namespace gx_math {

namespace {

constexpr double Sqrt(double a) {  // a in [0.1, 10]
  double x = 1.0;
  for (int i = 0; i < 12; ++i) x = 0.5 * (x + a / x);
  return x;
}

constexpr double Cbrt(double a) {  // a in [0.1, 10]
  double y = 1.0;
  for (int i = 0; i < 40; ++i) y -= (y * y * y - a) / (3.0 * y * y);
  return y;
}

// The best straight line for 1/√m on [lo, hi]: the secant's slope, shifted down
// by half its largest gap so that the error swings evenly about zero.
constexpr RsqrtSegment FitSegment(double lo, double hi) {
  const double g_lo = 1.0 / Sqrt(lo);
  const double g_hi = 1.0 / Sqrt(hi);
  const double slope = (g_hi - g_lo) / (hi - lo);
  const double secant_intercept = g_lo - slope * lo;
  // Where the curve's slope -m^-1.5/2 equals the secant's, the gap is widest.
  const double c = -2.0 * slope;
  const double m = 1.0 / Cbrt(c * c);
  const double gap = slope * m + secant_intercept - 1.0 / Sqrt(m);
  return {static_cast<float>(slope), static_cast<float>(secant_intercept - 0.5 * gap)};
}

constexpr std::array<RsqrtSegment, 512> MakeSegments() {
  std::array<RsqrtSegment, 512> table{};
  for (int i = 0; i < 512; ++i) {
    const bool upper = (i >> 8) != 0;          // lowest exponent bit set: m in [1, 2)
    const double base = upper ? 1.0 : 0.5;
    const double width = base / 256.0;
    const double lo = base + (i & 255) * width;
    table[i] = FitSegment(lo, lo + width);
  }
  // The first two segments keep the coefficients the routines were tuned with.
  table[0] = {-1.41009521484375f, 2.1192612648010254f};
  table[1] = {-1.40185546875f, 2.1151251792907715f};
  return table;
}

}  // namespace

constinit const std::array<RsqrtSegment, 512> kRsqrtSegments = MakeSegments();

float SegmentRsqrt(float s) {
  uint32_t bits = std::bit_cast<uint32_t>(s);
  uint32_t exponent = (bits >> 23) & 0xFF;
  if (exponent == 0) {
    // Denormal: scale into the normal range first, 1/√(s·2^64) · 2^32 = 1/√s.
    return SegmentRsqrt(s * 0x1p64f) * 0x1p32f;
  }
  const uint32_t odd = exponent & 1;  // odd biased exponent: even power of two, m in [1, 2)
  const RsqrtSegment& segment = kRsqrtSegments[(odd << 8) | ((bits >> 15) & 0xFF)];
  const uint32_t m_exponent = 126 + odd;
  const float m = std::bit_cast<float>((bits & 0x7FFFFF) | (m_exponent << 23));
  const int k = (static_cast<int>(exponent) - static_cast<int>(m_exponent)) / 2;
  const float scale = std::bit_cast<float>(static_cast<uint32_t>(127 - k) << 23);  // 2^-k
  return (segment.slope * m + segment.intercept) * scale;
}

}  // namespace gx_math
