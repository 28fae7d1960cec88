// Clipping in homogeneous clip space. The near (z = 0) and far (z = w) planes
// are clipped exactly; the four sides are clipped against a guard band wide
// enough that triangles crossing the viewport edge are simply scissored by the
// rasterizer, yet narrow enough to keep screen coordinates in fixed-point range.
#pragma once

#include "clip_vertex.h"

namespace d3d8pipe {

constexpr int kClipPlaneCount = 6;
constexpr int kMaxClippedVertices = 3 + kClipPlaneCount;

class Clipper {
 public:
  // guardX and guardY: the guard band in clip space, as multiples of w.
  Clipper(float guardX, float guardY, int attrCount) : guardX_(guardX), guardY_(guardY), attrCount_(attrCount) {}

  // Bit i set: the position lies outside plane i.
  unsigned Outcode(const float* pos) const;

  // Clips the triangle a, b, c into a convex polygon of `count` vertices
  // (0 when nothing is left) and returns the vertices in `out`.
  int ClipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c,
                   ClipVertex out[kMaxClippedVertices]) const;

  // Clips a segment; false when nothing is left.
  bool ClipLine(ClipVertex& a, ClipVertex& b) const;

 private:
  float Distance(int plane, const float* pos) const;
  void Lerp(const ClipVertex& a, const ClipVertex& b, float t, ClipVertex& out) const;

  float guardX_, guardY_;
  int attrCount_;
};

}  // namespace d3d8pipe
