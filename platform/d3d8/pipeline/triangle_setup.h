// Triangle setup: the viewport transform into screen space, snapping to the
// 1/16-pixel grid, culling by winding, edge equations with the top-left fill
// rule, and the screen-space planes along which depth, 1/w and the attributes
// (pre-multiplied by 1/w, for perspective-correct interpolation) vary.
#pragma once

#include <cstdint>

#include "clip_vertex.h"

namespace d3d8pipe {

constexpr int kSubpixelBits = 4;
constexpr int kSubpixelScale = 1 << kSubpixelBits;
// Screen coordinates beyond this many pixels from the origin are not drawn
// (the clipper's guard band keeps transformed geometry well inside).
constexpr float kMaxScreenCoordinate = 1 << 20;

struct ScreenVertex {
  float x, y;   // pixels; pixel centres lie on integer coordinates
  float z;      // depth, 0..1
  float invW;   // 1 / w
  float attr[kMaxAttrs];
};

// Pixel rectangle that drawing is limited to (the viewport within the target), inclusive.
struct Scissor {
  int minX, minY, maxX, maxY;
};

// f(x, y) = base + dx * (x - originX) + dy * (y - originY)
struct Plane {
  float base, dx, dy;
};

struct Edge {
  int64_t dx, dy;      // edge vector in 1/16 pixels
  int64_t rowStart;    // K for the first row: E(px) = K - 16·dy·px
  int64_t threshold;   // 0 on top and left edges, 1 elsewhere
};

enum class PrimitiveKind : uint8_t { kTriangle, kLineX, kLineY };

// A primitive ready for rasterization. Triangles use the edges; lines step along
// their major axis from `lineStart` to `lineEnd` (pixel units), the other
// coordinate following `lineSlope`.
struct RasterPrimitive {
  PrimitiveKind kind;
  int minX, minY, maxX, maxY;  // pixel bounds, already within the scissor
  float area;                  // pixels covered, roughly (to decide on sharing the work)
  Edge edges[3];
  float lineStart, lineEnd, lineOther, lineSlope;
  float originX, originY;
  Plane z, invW;
  Plane attr[kMaxAttrs];
};

struct SetupOptions {
  DWORD cullMode;  // D3DCULL_*
  int attrCount;   // attributes to set up
  Scissor scissor;
};

// Projects a clip-space vertex through the viewport transform.
struct ViewportTransform {
  float offsetX, offsetY, scaleX, scaleY, minZ, depthRange;
  void Apply(const ClipVertex& in, ScreenVertex& out, int attrCount) const;
};
// Pre-transformed vertices: already in screen space.
void PassThrough(const ClipVertex& in, ScreenVertex& out, int attrCount);

// Signed doubled area in 1/256 pixel² of the snapped triangle; positive when the
// vertices run clockwise on screen. Returns false if a vertex cannot be snapped.
bool SnappedArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, int64_t& area);

// Builds `out` for the triangle; false when it is culled, degenerate, or
// covers no pixel centre of the scissor.
bool SetupTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const SetupOptions& options,
                   RasterPrimitive& out);

// Builds a one-pixel-wide line; false when it covers nothing.
bool SetupLine(const ScreenVertex& a, const ScreenVertex& b, const SetupOptions& options, RasterPrimitive& out);

}  // namespace d3d8pipe
