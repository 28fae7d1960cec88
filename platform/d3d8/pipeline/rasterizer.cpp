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

void RasterizeTriangle(const RasterPrimitive& t, const RowBands& bands, SpanFunction span, const void* shader) {
  int64_t k[3] = {t.edges[0].rowStart, t.edges[1].rowStart, t.edges[2].rowStart};
  for (int y = t.minY; y <= t.maxY; ++y) {
    if (bands.count == 1 || bands.Owns(y)) {
      int64_t left = t.minX, right = t.maxX;
      for (int e = 0; e < 3; ++e) {
        const Edge& edge = t.edges[e];
        // E(px) = k - 16·dy·px must be >= threshold.
        if (edge.dy < 0) {
          const int64_t step = -edge.dy * kSubpixelScale;
          left = std::max(left, -FloorDiv(k[e] - edge.threshold, step));
        } else if (edge.dy > 0) {
          const int64_t step = edge.dy * kSubpixelScale;
          right = std::min(right, FloorDiv(k[e] - edge.threshold, step));
        } else if (k[e] < edge.threshold) {
          right = left - 1;
        }
      }
      if (left <= right) span(shader, t, y, static_cast<int>(left), static_cast<int>(right));
    }
    for (int e = 0; e < 3; ++e) k[e] += t.edges[e].dx * kSubpixelScale;
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
    if (bands.count != 1 && !bands.Owns(y)) continue;
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
