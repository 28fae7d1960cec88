#include "triangle_setup.h"

#include <xmmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace d3d8pipe {

namespace {

bool Snap(float v, int64_t& out) {
  if (!(std::fabs(v) < kMaxScreenCoordinate)) return false;
  // Rounds to nearest, ties to even, as lrintf does, without the library call.
  out = _mm_cvtss_si64(_mm_set_ss(v * static_cast<float>(kSubpixelScale)));
  return true;
}

// Pixel of a snapped coordinate: floor and ceiling of a / 16 (an arithmetic
// shift rounds toward minus infinity).
int64_t FloorPixel(int64_t a) { return a >> kSubpixelBits; }
int64_t CeilPixel(int64_t a) { return -((-a) >> kSubpixelBits); }

// Plane through three points of one value.
Plane MakePlane(float x0, float y0, float x1, float y1, float x2, float y2, float f0, float f1, float f2,
                float invArea, float originX, float originY) {
  const float e1x = x1 - x0, e1y = y1 - y0, e2x = x2 - x0, e2y = y2 - y0;
  const float df1 = f1 - f0, df2 = f2 - f0;
  Plane p;
  p.dx = (df1 * e2y - df2 * e1y) * invArea;
  p.dy = (df2 * e1x - df1 * e2x) * invArea;
  p.base = f0 + p.dx * (originX - x0) + p.dy * (originY - y0);
  return p;
}

// The planes of four attributes at once (f = attr · invW at each vertex), with
// the operations of MakePlane in the same order, so the results are the same
// to the bit. Each plane is stored as its three floats.
void MakePlanes4(const float* fa, const float* fb, const float* fc, float wa, float wb, float wc, float x0, float y0,
                 float x1, float y1, float x2, float y2, float invArea, float originX, float originY, Plane* out) {
  const __m128 f0 = _mm_mul_ps(_mm_loadu_ps(fa), _mm_set1_ps(wa));
  const __m128 f1 = _mm_mul_ps(_mm_loadu_ps(fb), _mm_set1_ps(wb));
  const __m128 f2 = _mm_mul_ps(_mm_loadu_ps(fc), _mm_set1_ps(wc));
  const __m128 e1x = _mm_set1_ps(x1 - x0), e1y = _mm_set1_ps(y1 - y0);
  const __m128 e2x = _mm_set1_ps(x2 - x0), e2y = _mm_set1_ps(y2 - y0);
  const __m128 df1 = _mm_sub_ps(f1, f0), df2 = _mm_sub_ps(f2, f0);
  const __m128 inv = _mm_set1_ps(invArea);
  __m128 dx = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(df1, e2y), _mm_mul_ps(df2, e1y)), inv);
  __m128 dy = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(df2, e1x), _mm_mul_ps(df1, e2x)), inv);
  __m128 base = _mm_add_ps(_mm_add_ps(f0, _mm_mul_ps(dx, _mm_set1_ps(originX - x0))),
                           _mm_mul_ps(dy, _mm_set1_ps(originY - y0)));
  __m128 unused = _mm_setzero_ps();
  _MM_TRANSPOSE4_PS(base, dx, dy, unused);
  const __m128 rows[4] = {base, dx, dy, unused};
  for (int i = 0; i < 4; ++i) {
    float* p = &out[i].base;
    _mm_storel_pi(reinterpret_cast<__m64*>(p), rows[i]);
    _mm_store_ss(p + 2, _mm_movehl_ps(rows[i], rows[i]));
  }
}

// Copies the attributes in use. Up to two stages, the first twelve go over in
// three wide moves, whatever lies beyond attrCount (nothing reads it).
void CopyAttributes(const ClipVertex& in, ScreenVertex& out, int attrCount) {
  static_assert(sizeof out.attr == sizeof in.attr);
  if (attrCount > kTexAttr + 4) {
    for (int i = 0; i < attrCount; ++i) out.attr[i] = in.attr[i];
  } else {
    std::memcpy(out.attr, in.attr, (kTexAttr + 4) * sizeof(float));
  }
}

}  // namespace

void ViewportTransform::Apply(const ClipVertex& in, ScreenVertex& out, int attrCount) const {
  const float invW = 1.0f / in.pos[3];
  out.x = offsetX + in.pos[0] * invW * scaleX;
  out.y = offsetY + in.pos[1] * invW * scaleY;
  out.z = minZ + in.pos[2] * invW * depthRange;
  out.invW = invW;
  CopyAttributes(in, out, attrCount);
}

void PassThrough(const ClipVertex& in, ScreenVertex& out, int attrCount) {
  out.x = in.pos[0];
  out.y = in.pos[1];
  out.z = in.pos[2];
  out.invW = 1.0f / in.pos[3];
  CopyAttributes(in, out, attrCount);
}

bool SnappedArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, int64_t& area) {
  int64_t ax, ay, bx, by, cx, cy;
  if (!Snap(a.x, ax) || !Snap(a.y, ay) || !Snap(b.x, bx) || !Snap(b.y, by) || !Snap(c.x, cx) || !Snap(c.y, cy))
    return false;
  area = (bx - ax) * (cy - ay) - (cx - ax) * (by - ay);
  return true;
}

bool SetupTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const SetupOptions& options,
                   RasterPrimitive& out) {
  int64_t X[3], Y[3];
  if (!Snap(a.x, X[0]) || !Snap(a.y, Y[0]) || !Snap(b.x, X[1]) || !Snap(b.y, Y[1]) || !Snap(c.x, X[2]) ||
      !Snap(c.y, Y[2]))
    return false;
  const int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  if (area == 0) return false;
  if (options.cullMode == D3DCULL_CW && area > 0) return false;
  if (options.cullMode == D3DCULL_CCW && area < 0) return false;

  // Pixel bounds.
  const int64_t minXf = std::min(X[0], std::min(X[1], X[2])), maxXf = std::max(X[0], std::max(X[1], X[2]));
  const int64_t minYf = std::min(Y[0], std::min(Y[1], Y[2])), maxYf = std::max(Y[0], std::max(Y[1], Y[2]));
  const Scissor& s = options.scissor;
  out.minX = static_cast<int>(std::max<int64_t>(CeilPixel(minXf), s.minX));
  out.maxX = static_cast<int>(std::min<int64_t>(FloorPixel(maxXf), s.maxX));
  out.minY = static_cast<int>(std::max<int64_t>(CeilPixel(minYf), s.minY));
  out.maxY = static_cast<int>(std::min<int64_t>(FloorPixel(maxYf), s.maxY));
  if (out.minX > out.maxX || out.minY > out.maxY) return false;

  // Edges of the clockwise order (positive area).
  int order[3] = {0, 1, 2};
  if (area < 0) std::swap(order[1], order[2]);
  const int64_t firstRow = static_cast<int64_t>(out.minY) * kSubpixelScale;
  for (int e = 0; e < 3; ++e) {
    const int from = order[(e + 1) % 3], to = order[(e + 2) % 3];
    Edge& edge = out.edges[e];
    edge.dx = X[to] - X[from];
    edge.dy = Y[to] - Y[from];
    edge.rowStart = edge.dx * (firstRow - Y[from]) + edge.dy * X[from];
    const bool topLeft = edge.dy < 0 || (edge.dy == 0 && edge.dx > 0);
    edge.threshold = topLeft ? 0 : 1;
  }
  out.kind = PrimitiveKind::kTriangle;
  const float boxArea = static_cast<float>(out.maxX - out.minX + 1) * static_cast<float>(out.maxY - out.minY + 1);
  out.area = std::min(boxArea, std::fabs(static_cast<float>(area)) / (2.0f * kSubpixelScale * kSubpixelScale));

  // Planes from the snapped positions so that interpolation matches coverage.
  const float inv = 1.0f / kSubpixelScale;
  const float x0 = static_cast<float>(X[0]) * inv, y0 = static_cast<float>(Y[0]) * inv;
  const float x1 = static_cast<float>(X[1]) * inv, y1 = static_cast<float>(Y[1]) * inv;
  const float x2 = static_cast<float>(X[2]) * inv, y2 = static_cast<float>(Y[2]) * inv;
  const float invArea = static_cast<float>(kSubpixelScale * kSubpixelScale) / static_cast<float>(area);
  out.originX = static_cast<float>(out.minX);
  out.originY = static_cast<float>(out.minY);
  auto plane = [&](float f0, float f1, float f2) {
    return MakePlane(x0, y0, x1, y1, x2, y2, f0, f1, f2, invArea, out.originX, out.originY);
  };
  out.z = plane(a.z, b.z, c.z);
  out.invW = plane(a.invW, b.invW, c.invW);
  int i = 0;
  for (; i + 4 <= options.attrCount; i += 4) {
    MakePlanes4(a.attr + i, b.attr + i, c.attr + i, a.invW, b.invW, c.invW, x0, y0, x1, y1, x2, y2, invArea,
                out.originX, out.originY, out.attr + i);
  }
  for (; i < options.attrCount; ++i) {
    out.attr[i] = plane(a.attr[i] * a.invW, b.attr[i] * b.invW, c.attr[i] * c.invW);
  }
  return true;
}

bool SetupLine(const ScreenVertex& a, const ScreenVertex& b, const SetupOptions& options, RasterPrimitive& out) {
  if (!(std::fabs(a.x) < kMaxScreenCoordinate && std::fabs(a.y) < kMaxScreenCoordinate &&
        std::fabs(b.x) < kMaxScreenCoordinate && std::fabs(b.y) < kMaxScreenCoordinate))
    return false;
  const float dx = b.x - a.x, dy = b.y - a.y;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  const ScreenVertex& p = (xMajor ? dx : dy) >= 0.0f ? a : b;
  const ScreenVertex& q = &p == &a ? b : a;
  const float major0 = xMajor ? p.x : p.y, major1 = xMajor ? q.x : q.y;
  const float minor0 = xMajor ? p.y : p.x, minor1 = xMajor ? q.y : q.x;
  const float length = major1 - major0;
  if (!(length > 0.0f)) return false;
  out.kind = xMajor ? PrimitiveKind::kLineX : PrimitiveKind::kLineY;
  out.lineSlope = (minor1 - minor0) / length;
  out.lineOther = minor0;
  // Pixels whose centre lies in [start, end): the last pixel is left out, as
  // consecutive segments of a strip share it.
  out.lineStart = major0;
  out.lineEnd = major1;
  const Scissor& s = options.scissor;
  out.minX = std::max(s.minX, static_cast<int>(std::floor(std::min(a.x, b.x))));
  out.maxX = std::min(s.maxX, static_cast<int>(std::ceil(std::max(a.x, b.x))));
  out.minY = std::max(s.minY, static_cast<int>(std::floor(std::min(a.y, b.y))));
  out.maxY = std::min(s.maxY, static_cast<int>(std::ceil(std::max(a.y, b.y))));
  if (out.minX > out.maxX || out.minY > out.maxY) return false;
  out.area = std::max(out.maxX - out.minX + 1, out.maxY - out.minY + 1);
  // Values vary along the major axis only; the minor coordinate does not change them.
  out.originX = xMajor ? major0 : 0.0f;
  out.originY = xMajor ? 0.0f : major0;
  auto plane = [&](float f0, float f1) {
    const float slope = (f1 - f0) / length;
    return xMajor ? Plane{f0, slope, 0.0f} : Plane{f0, 0.0f, slope};
  };
  out.z = plane(p.z, q.z);
  out.invW = plane(p.invW, q.invW);
  for (int i = 0; i < options.attrCount; ++i) out.attr[i] = plane(p.attr[i] * p.invW, q.attr[i] * q.invW);
  return true;
}

}  // namespace d3d8pipe
