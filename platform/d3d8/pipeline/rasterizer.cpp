#include "rasterizer.h"

#include <algorithm>
#include <cmath>

namespace d3d8pipe {

namespace {

// floor(a / b) for b > 0. A double division gives the quotient to within one
// (far cheaper than a 64-bit integer division); two multiplications settle it.
inline int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = static_cast<int64_t>(static_cast<double>(a) / static_cast<double>(b));
  while (q * b > a) --q;
  while ((q + 1) * b <= a) ++q;
  return q;
}

// floor(N / D) of one edge, stepped exactly from row to row with a quotient
// and a remainder instead of a division per row.
struct EdgeStepper {
  int64_t quotient, remainder, divisor, quotientStep, remainderStep;
  void Init(int64_t numerator, int64_t d, int64_t increment) {
    divisor = d;
    quotient = FloorDiv(numerator, d);
    remainder = numerator - quotient * d;
    quotientStep = FloorDiv(increment, d);
    remainderStep = increment - quotientStep * d;
  }
  void Next() {
    quotient += quotientStep;
    remainder += remainderStep;
    if (remainder >= divisor) {
      ++quotient;
      remainder -= divisor;
    }
  }
};

void RasterizeTriangle(const RasterPrimitive& t, const RowBands& bands, SpanFunction span, const void* shader) {
  // E(px) = k - 16·dy·px must be >= threshold: with N = k - threshold, left
  // edges (dy < 0) give px >= -floor(N / (-16·dy)), right edges (dy > 0)
  // px <= floor(N / (16·dy)); horizontal edges (dy = 0) let all or nothing through.
  const int firstRow = std::max(t.minY, bands.firstRow), lastRow = std::min(t.maxY, bands.lastRow);
  if (firstRow > lastRow) return;
  const int64_t skipped = firstRow - t.minY;
  EdgeStepper steppers[3];
  int left[3], right[3], flat[3];
  int leftCount = 0, rightCount = 0, flatCount = 0;
  int64_t flatValue[3];
  for (int e = 0; e < 3; ++e) {
    const Edge& edge = t.edges[e];
    const int64_t increment = edge.dx * kSubpixelScale;
    const int64_t numerator = edge.rowStart - edge.threshold + increment * skipped;
    if (edge.dy < 0) {
      steppers[e].Init(numerator, -edge.dy * kSubpixelScale, increment);
      left[leftCount++] = e;
    } else if (edge.dy > 0) {
      steppers[e].Init(numerator, edge.dy * kSubpixelScale, increment);
      right[rightCount++] = e;
    } else {
      flatValue[e] = numerator;
      flat[flatCount++] = e;
    }
  }
  for (int y = firstRow; y <= lastRow; ++y) {
    int64_t lo = t.minX, hi = t.maxX;
    for (int i = 0; i < leftCount; ++i) lo = std::max(lo, -steppers[left[i]].quotient);
    for (int i = 0; i < rightCount; ++i) hi = std::min(hi, steppers[right[i]].quotient);
    for (int i = 0; i < flatCount; ++i)
      if (flatValue[flat[i]] < 0) hi = lo - 1;
    if (lo <= hi) span(shader, t, y, static_cast<int>(lo), static_cast<int>(hi));
    for (int i = 0; i < leftCount; ++i) steppers[left[i]].Next();
    for (int i = 0; i < rightCount; ++i) steppers[right[i]].Next();
    for (int i = 0; i < flatCount; ++i) flatValue[flat[i]] += t.edges[flat[i]].dx * kSubpixelScale;
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
