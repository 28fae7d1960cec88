#include "rasterizer.h"

#include <algorithm>
#include <cmath>

namespace d3d8pipe {

namespace {

// floor(a / b) and the remainder a - b·floor(a / b), for b > 0. A double
// division gives the quotient to within one (far cheaper than a 64-bit integer
// division); one step either way without a branch settles it, and the loops
// only stand guard.
inline int64_t FloorDivRem(int64_t a, int64_t b, int64_t& remainder) {
  int64_t q = static_cast<int64_t>(static_cast<double>(a) / static_cast<double>(b));
  int64_t r = a - q * b;
  const int64_t under = r < 0 ? 1 : 0;
  q -= under;
  r += b & -under;
  const int64_t over = r >= b ? 1 : 0;
  q += over;
  r -= b & -over;
  while (r < 0) --q, r += b;
  while (r >= b) ++q, r -= b;
  remainder = r;
  return q;
}

inline int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t remainder;
  return FloorDivRem(a, b, remainder);
}

// floor(N / D) of one edge, stepped exactly from row to row with a quotient
// and a remainder instead of a division per row. The carry is taken without a
// branch: it follows the edge's slope, which no predictor guesses well.
struct EdgeStepper {
  int64_t quotient, remainder, divisor, quotientStep, remainderStep;
  void Init(int64_t numerator, int64_t d, int64_t increment) {
    divisor = d;
    quotient = FloorDivRem(numerator, d, remainder);
    quotientStep = FloorDivRem(increment, d, remainderStep);
  }
  void Next() {
    quotient += quotientStep;
    remainder += remainderStep;
    const int64_t carry = remainder >= divisor ? 1 : 0;
    quotient += carry;
    remainder -= divisor & -carry;
  }
};

// Rows k (counted from the first row of the triangle) where numerator0 +
// increment·k >= bound: narrows [kLo, kHi] to them.
void KeepRowsWhere(int64_t numerator0, int64_t increment, int64_t bound, int64_t& kLo, int64_t& kHi) {
  const int64_t need = bound - numerator0;  // increment·k >= need
  if (increment > 0) {
    kLo = std::max(kLo, -FloorDiv(-need, increment));
  } else if (increment < 0) {
    kHi = std::min(kHi, FloorDiv(-need, -increment));
  } else if (need > 0) {
    kHi = kLo - 1;
  }
}

// The row walk for a triangle with `Lefts` left and `Rights` right edges (the
// third edge, if any, is horizontal and only limits the rows). Left edges bound
// the span from below, right edges from above.
template <int Lefts, int Rights>
void WalkRows(const RasterPrimitive& t, EdgeStepper* left, EdgeStepper* right, int firstRow, int lastRow,
              SpanFunction span, const void* shader) {
  const int64_t minX = t.minX, maxX = t.maxX;
  for (int y = firstRow; y <= lastRow; ++y) {
    int64_t lo = std::max(minX, -left[0].quotient);
    if constexpr (Lefts == 2) lo = std::max(lo, -left[1].quotient);
    int64_t hi = std::min(maxX, right[0].quotient);
    if constexpr (Rights == 2) hi = std::min(hi, right[1].quotient);
    if (lo <= hi) span(shader, t, y, static_cast<int>(lo), static_cast<int>(hi));
    left[0].Next();
    if constexpr (Lefts == 2) left[1].Next();
    right[0].Next();
    if constexpr (Rights == 2) right[1].Next();
  }
}

// Triangles spanning fewer rows than this walk them all rather than first
// working out which rows can hold pixels of the scissor.
constexpr int kRowRangeMinRows = 32;

void RasterizeTriangle(const RasterPrimitive& t, const RowBands& bands, SpanFunction span, const void* shader) {
  // E(px) = k - 16·dy·px must be >= threshold: with N = k - threshold, left
  // edges (dy < 0) give px >= -floor(N / (-16·dy)), right edges (dy > 0)
  // px <= floor(N / (16·dy)); horizontal edges (dy = 0) let a row through
  // when N >= 0.
  int firstRow = std::max(t.minY, bands.firstRow), lastRow = std::min(t.maxY, bands.lastRow);
  if (firstRow > lastRow) return;

  // Rows that can hold a pixel: each edge lets through a range of rows, the
  // left ones while they lie left of the scissor's right side, the right ones
  // while they lie right of its left side. Near-clipped triangles reach far
  // beyond the screen, and most of their rows lie wholly outside it.
  const bool limitRows = t.maxY - t.minY >= kRowRangeMinRows;
  int64_t kLo = firstRow - t.minY, kHi = lastRow - t.minY;
  int leftCount = 0, rightCount = 0;
  int leftEdge[3], rightEdge[3];
  for (int e = 0; e < 3; ++e) {
    const Edge& edge = t.edges[e];
    const int64_t increment = edge.dx * kSubpixelScale;
    const int64_t numerator = edge.rowStart - edge.threshold;
    if (edge.dy < 0) {
      leftEdge[leftCount++] = e;
      if (limitRows) KeepRowsWhere(numerator, increment, -(t.maxX * (-edge.dy * kSubpixelScale)), kLo, kHi);
    } else if (edge.dy > 0) {
      rightEdge[rightCount++] = e;
      if (limitRows) KeepRowsWhere(numerator, increment, t.minX * (edge.dy * kSubpixelScale), kLo, kHi);
    } else {
      KeepRowsWhere(numerator, increment, 0, kLo, kHi);
    }
  }
  if (kLo > kHi || leftCount == 0 || rightCount == 0) return;
  firstRow = t.minY + static_cast<int>(kLo);
  lastRow = t.minY + static_cast<int>(kHi);

  const int64_t skipped = firstRow - t.minY;
  EdgeStepper left[2], right[2];
  auto init = [&](EdgeStepper& stepper, int e, int64_t sign) {
    const Edge& edge = t.edges[e];
    const int64_t increment = edge.dx * kSubpixelScale;
    stepper.Init(edge.rowStart - edge.threshold + increment * skipped, sign * edge.dy * kSubpixelScale, increment);
  };
  for (int i = 0; i < leftCount; ++i) init(left[i], leftEdge[i], -1);
  for (int i = 0; i < rightCount; ++i) init(right[i], rightEdge[i], 1);
  if (leftCount == 1 && rightCount == 1) {
    WalkRows<1, 1>(t, left, right, firstRow, lastRow, span, shader);
  } else if (leftCount == 2) {
    WalkRows<2, 1>(t, left, right, firstRow, lastRow, span, shader);
  } else {
    WalkRows<1, 2>(t, left, right, firstRow, lastRow, span, shader);
  }
}

void RasterizeLine(const RasterPrimitive& l, const RowBands& bands, SpanFunction span, const void* shader) {
  const bool xMajor = l.kind == PrimitiveKind::kLineX;
  const int lo = xMajor ? l.minX : l.minY, hi = xMajor ? l.maxX : l.maxY;
  int first = static_cast<int>(std::ceil(l.lineStart));
  int last = static_cast<int>(std::ceil(l.lineEnd)) - 1;
  first = std::max(first, lo);
  last = std::min(last, hi);
  for (int m = first; m <= last; ++m) {
    const float other = l.lineOther + (static_cast<float>(m) - l.lineStart) * l.lineSlope;
    const int n = static_cast<int>(std::floor(other + 0.5f));
    const int x = xMajor ? m : n, y = xMajor ? n : m;
    if (x < l.minX || x > l.maxX || y < l.minY || y > l.maxY) continue;
    if (y < bands.firstRow || y > bands.lastRow) continue;
    span(shader, l, y, x, x);
  }
}

}  // namespace

void RasterizePrimitive(const RasterPrimitive& primitive, const RowBands& bands, SpanFunction span,
                        const void* shader) {
  if (primitive.kind == PrimitiveKind::kTriangle) {
    RasterizeTriangle(primitive, bands, span, shader);
  } else {
    RasterizeLine(primitive, bands, span, shader);
  }
}

}  // namespace d3d8pipe
