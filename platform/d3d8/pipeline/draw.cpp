// Primitive assembly and the draw entry points: checks the call against the
// views, runs vertex processing over the vertices the call uses, assembles
// points, lines and triangles by primitive type and fill mode, clips, sets
// them up, and rasterizes them on one or several threads.
#include <algorithm>
#include <cmath>
#include <vector>

#include "clipper.h"
#include "draw_queue.h"
#include "draw_context.h"
#include "pixel_shader.h"
#include "point_sprites.h"
#include "raster_threads.h"
#include "rasterizer.h"
#include "transform_lighting.h"
#include "vertex_fetch.h"

namespace d3d8pipe {

namespace {

// Pixels a draw must cover before its rows are shared among threads.
constexpr double kParallelPixelThreshold = 16000.0;
// Rows per band when threads share a draw.
constexpr int kBandRows = 32;

uint64_t VerticesFor(D3DPRIMITIVETYPE type, uint64_t primitives) {
  switch (type) {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return 2 * primitives;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return 3 * primitives;
    case D3DPT_TRIANGLESTRIP: case D3DPT_TRIANGLEFAN: return primitives + 2;
    default: return 0;
  }
}

// Buffers reused from draw to draw only grow: resizing down and up again
// would clear the regrown part on every draw that follows a smaller one.
template <typename T>
void GrowTo(std::vector<T>& buffer, size_t size) {
  if (buffer.size() < size) buffer.resize(size);
}

struct DrawJob {
  const RasterPrimitive* primitives;
  size_t count;
  SpanFunction span;
  const PixelShader* shader;
  int firstRow;
};

void RasterizeBand(void* context, int band) {
  const DrawJob& job = *static_cast<const DrawJob*>(context);
  RowBands bands;
  bands.firstRow = job.firstRow + band * kBandRows;
  bands.lastRow = bands.firstRow + kBandRows - 1;
  for (size_t i = 0; i < job.count; ++i) RasterizePrimitive(job.primitives[i], bands, job.span, job.shader);
}

// Everything the assembly of one draw needs; its buffers live on and are reused
// by the next draw of the thread, so steady drawing does not allocate.
class Assembler {
 public:
  HRESULT Draw(const DrawContext& context, D3DPRIMITIVETYPE type, UINT primitiveCount, const UINT* indexList,
               UINT firstVertex, UINT vertexRangeStart, UINT vertexRangeCount, const FvfLayout& layout);

 private:
  const ClipVertex& Vertex(UINT index) const { return clip_[index - rangeStart_]; }
  void ProjectVertices();
  void Triangle(UINT i0, UINT i1, UINT i2);
  void InsideTriangle(UINT i0, UINT i1, UINT i2);
  void SolidPolygon(const ClipVertex* polygon, int count);
  void EmitTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, DWORD cull);
  void Line(const ClipVertex& a, const ClipVertex& b);
  void Point(const ClipVertex& v);
  void Project(const ClipVertex& in, ScreenVertex& out) const;
  template <typename Record>
  void PrepareTriangle(Record& a, Record& b, Record& c) const;
  bool FacesAway(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) const;
  bool WrapMoves(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) const;

  std::vector<ClipVertex> clip_;  // the vertices of the range; only grows, see GrowTo
  size_t vertexCount_ = 0;
  // Per vertex of the range, for solid triangles: the clip codes (with
  // kNeedsClipping for a position that is not finite) and, for vertices that
  // need no clipping, the screen vertex, so that the triangles sharing a
  // vertex project it once.
  static constexpr unsigned kNeedsClipping = 1u << 31;
  std::vector<unsigned> outcode_;
  std::vector<ScreenVertex> screen_;
  VertexProcessor processor_;
  // Set-up primitives of the draw; the storage only grows, so that adding one
  // neither allocates nor clears the large record.
  RasterPrimitive& NextPrimitive() {
    if (primitiveCount_ == primitives_.size()) primitives_.resize(primitives_.size() * 2 + 64);
    return primitives_[primitiveCount_];
  }
  std::vector<RasterPrimitive> primitives_;
  size_t primitiveCount_ = 0;
  UINT rangeStart_ = 0;
  PixelShader shader_;
  SetupOptions setup_{};
  ViewportTransform viewport_{};
  Clipper clipper_{1.0f, 1.0f, 0};
  bool pretransformed_ = false;
  bool flat_ = false;
  DWORD fillMode_ = D3DFILL_SOLID;
  DWORD cullMode_ = D3DCULL_NONE;
  bool pointSprites_ = false;
  DWORD wrap_[kD3DTextureStageCount] = {};  // wrap bits of each stage's coordinate set
  bool wrapAny_ = false;
  double pixelEstimate_ = 0;
};

void Assembler::Project(const ClipVertex& in, ScreenVertex& out) const {
  if (pretransformed_) {
    PassThrough(in, out, shader_.attrCount);
  } else {
    viewport_.Apply(in, out, shader_.attrCount);
  }
}

template <typename Record>
void Assembler::PrepareTriangle(Record& a, Record& b, Record& c) const {
  if (flat_) {
    for (int i = 0; i < kTexAttr; ++i) b.attr[i] = c.attr[i] = a.attr[i];
  }
  // Wrapped coordinates take the short way round between the vertices.
  for (int s = 0; s < shader_.stageCount; ++s) {
    for (int axis = 0; axis < 2; ++axis) {
      if (!(wrap_[s] & (1u << axis))) continue;
      const int k = kTexAttr + 2 * s + axis;
      for (Record* v : {&b, &c}) {
        const float d = v->attr[k] - a.attr[k];
        if (std::fabs(d) > 0.5f) v->attr[k] -= std::round(d);
      }
    }
  }
}

void Assembler::EmitTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, DWORD cull) {
  SetupOptions options = setup_;
  options.cullMode = cull;
  RasterPrimitive& p = NextPrimitive();
  if (!SetupTriangle(a, b, c, options, p)) return;
  ++primitiveCount_;
  pixelEstimate_ += p.area;
}

void Assembler::SolidPolygon(const ClipVertex* polygon, int count) {
  ScreenVertex first, previous, current;
  Project(polygon[0], first);
  Project(polygon[1], previous);
  for (int i = 2; i < count; ++i) {
    Project(polygon[i], current);
    EmitTriangle(first, previous, current, cullMode_);
    previous = current;
  }
}

void Assembler::ProjectVertices() {
  const size_t count = vertexCount_;
  GrowTo(outcode_, count);
  GrowTo(screen_, count);
  for (size_t i = 0; i < count; ++i) {
    const ClipVertex& v = clip_[i];
    unsigned code = 0;
    if (!pretransformed_) {
      const bool finite = std::isfinite(v.pos[0]) && std::isfinite(v.pos[1]) && std::isfinite(v.pos[2]) &&
                          std::isfinite(v.pos[3]);
      code = finite ? clipper_.Outcode(v.pos) : kNeedsClipping;
    }
    outcode_[i] = code;
    if (code == 0) Project(v, screen_[i]);
  }
}

// Culling of a triangle the clipper would cut, decided before cutting it. The
// pieces it leaves lie in front of the camera (0 <= z <= w) and keep the
// vertex order, so each has the winding that det[x y w] of the whole gives
// (the screen's y runs down: a positive determinant is counter-clockwise on
// screen). Only a determinant well clear of its rounding error decides; the
// rest go through the clipper and are culled piece by piece.
bool Assembler::FacesAway(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) const {
  if (cullMode_ != D3DCULL_CW && cullMode_ != D3DCULL_CCW) return false;
  auto minor = [](const ClipVertex& p, const ClipVertex& q, double& size) {  // p.y·q.w − q.y·p.w
    const double l = static_cast<double>(p.pos[1]) * q.pos[3], r = static_cast<double>(q.pos[1]) * p.pos[3];
    size = std::fabs(l) + std::fabs(r);
    return l - r;
  };
  double sa, sb, sc;
  const double ma = minor(b, c, sa), mb = minor(c, a, sb), mc = minor(a, b, sc);
  const double det = a.pos[0] * ma + b.pos[0] * mb + c.pos[0] * mc;
  const double bound = 1e-12 * (std::fabs(a.pos[0]) * sa + std::fabs(b.pos[0]) * sb + std::fabs(c.pos[0]) * sc);
  if (!(std::fabs(det) > bound)) return false;
  return cullMode_ == D3DCULL_CW ? det < 0 : det > 0;
}

// Whether PrepareTriangle would move a wrapped coordinate of b or c.
bool Assembler::WrapMoves(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) const {
  for (int s = 0; s < shader_.stageCount; ++s) {
    for (int axis = 0; axis < 2; ++axis) {
      if (!(wrap_[s] & (1u << axis))) continue;
      const int k = kTexAttr + 2 * s + axis;
      if (std::fabs(b.attr[k] - a.attr[k]) > 0.5f || std::fabs(c.attr[k] - a.attr[k]) > 0.5f) return true;
    }
  }
  return false;
}

// A solid triangle whose vertices need no clipping: set up straight from the
// projected vertices, as the clipper would hand them back unchanged.
void Assembler::InsideTriangle(UINT i0, UINT i1, UINT i2) {
  const ScreenVertex& a = screen_[i0 - rangeStart_];
  const ScreenVertex& b = screen_[i1 - rangeStart_];
  const ScreenVertex& c = screen_[i2 - rangeStart_];
  if (!flat_ && !(wrapAny_ && WrapMoves(a, b, c))) {
    EmitTriangle(a, b, c, cullMode_);
    return;
  }
  ScreenVertex pa = a, pb = b, pc = c;
  PrepareTriangle(pa, pb, pc);
  EmitTriangle(pa, pb, pc, cullMode_);
}

void Assembler::Triangle(UINT i0, UINT i1, UINT i2) {
  if (fillMode_ == D3DFILL_SOLID &&
      (outcode_[i0 - rangeStart_] | outcode_[i1 - rangeStart_] | outcode_[i2 - rangeStart_]) == 0) {
    InsideTriangle(i0, i1, i2);
    return;
  }
  if (fillMode_ == D3DFILL_SOLID && FacesAway(Vertex(i0), Vertex(i1), Vertex(i2))) return;
  ClipVertex a = Vertex(i0), b = Vertex(i1), c = Vertex(i2);
  PrepareTriangle(a, b, c);
  ClipVertex polygon[kMaxClippedVertices];
  int count;
  if (pretransformed_) {
    polygon[0] = a;
    polygon[1] = b;
    polygon[2] = c;
    count = 3;
  } else {
    count = clipper_.ClipTriangle(a, b, c, polygon);
  }
  if (count < 3) return;
  if (fillMode_ == D3DFILL_SOLID) {
    SolidPolygon(polygon, count);
    return;
  }
  // Wireframe and point fill keep the culling of the solid triangle.
  ScreenVertex s0, s1, s2;
  Project(polygon[0], s0);
  Project(polygon[1], s1);
  Project(polygon[2], s2);
  int64_t area = 0;
  if (!SnappedArea(s0, s1, s2, area) || area == 0) return;
  if ((cullMode_ == D3DCULL_CW && area > 0) || (cullMode_ == D3DCULL_CCW && area < 0)) return;
  if (fillMode_ == D3DFILL_POINT) {
    for (const ClipVertex* v : {&a, &b, &c}) Point(*v);
    return;
  }
  for (int i = 0; i < count; ++i) Line(polygon[i], polygon[(i + 1) % count]);
}

void Assembler::Line(const ClipVertex& a, const ClipVertex& b) {
  ClipVertex p = a, q = b;
  if (flat_) {
    for (int i = 0; i < kTexAttr; ++i) q.attr[i] = p.attr[i];
  }
  if (!pretransformed_ && !clipper_.ClipLine(p, q)) return;
  ScreenVertex sp, sq;
  Project(p, sp);
  Project(q, sq);
  RasterPrimitive& r = NextPrimitive();
  if (!SetupLine(sp, sq, setup_, r)) return;
  ++primitiveCount_;
  pixelEstimate_ += r.area;
}

void Assembler::Point(const ClipVertex& v) {
  if (!pretransformed_) {
    // A point is drawn when its centre lies between the near and far planes.
    const float z = v.pos[2], w = v.pos[3];
    if (!(w > 0.0f) || !(z >= 0.0f) || !(z <= w)) return;
  } else if (!std::isfinite(v.pos[0]) || !std::isfinite(v.pos[1]) || !(v.pos[3] > 0.0f)) {
    return;
  }
  ScreenVertex center;
  Project(v, center);
  if (!(std::fabs(center.x) < kMaxScreenCoordinate && std::fabs(center.y) < kMaxScreenCoordinate)) return;
  // A square wholly beside the scissor covers nothing (a pixel of margin
  // covers the snapping of the corners).
  const float reach = std::max(v.pointSize, 1.0f) * 0.5f + 1.0f;
  const Scissor& s = setup_.scissor;
  if (center.x + reach < static_cast<float>(s.minX) || center.x - reach > static_cast<float>(s.maxX) ||
      center.y + reach < static_cast<float>(s.minY) || center.y - reach > static_cast<float>(s.maxY))
    return;
  ScreenVertex corners[4];
  ExpandPoint(center, v.pointSize, pointSprites_, shader_.stageCount, shader_.attrCount, corners);
  EmitTriangle(corners[0], corners[1], corners[2], D3DCULL_NONE);
  EmitTriangle(corners[1], corners[3], corners[2], D3DCULL_NONE);
}

HRESULT Assembler::Draw(const DrawContext& context, D3DPRIMITIVETYPE type, UINT primitiveCount, const UINT* indexList,
                        UINT firstVertex, UINT vertexRangeStart, UINT vertexRangeCount, const FvfLayout& layout) {
  if (!shader_.ConfigureTarget(context)) return D3DERR_INVALIDCALL;
  const DWORD* rs = context.renderStates;
  const D3DVIEWPORT8& vp = context.viewport;
  const SurfaceView& rt = context.renderTarget;
  // Viewport within the target.
  const int64_t vx0 = vp.X, vy0 = vp.Y;
  const int64_t vx1 = std::min<int64_t>(vx0 + vp.Width, rt.width) - 1;
  const int64_t vy1 = std::min<int64_t>(vy0 + vp.Height, rt.height) - 1;
  if (vp.Width == 0 || vp.Height == 0 || vx0 > vx1 || vy0 > vy1) return D3D_OK;  // nothing visible
  setup_.scissor = {static_cast<int>(vx0), static_cast<int>(vy0), static_cast<int>(vx1), static_cast<int>(vy1)};
  setup_.attrCount = shader_.attrCount;
  const float halfW = 0.5f * static_cast<float>(vp.Width), halfH = 0.5f * static_cast<float>(vp.Height);
  viewport_ = {static_cast<float>(vp.X) + halfW, static_cast<float>(vp.Y) + halfH, halfW, -halfH, vp.MinZ,
               vp.MaxZ - vp.MinZ};
  // Guard band: keeps projected coordinates within 8192 pixels of the viewport centre.
  clipper_ = Clipper(std::max(1.0f, 8192.0f / halfW), std::max(1.0f, 8192.0f / halfH), shader_.attrCount);

  pretransformed_ = layout.pretransformed;
  flat_ = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
  fillMode_ = rs[D3DRS_FILLMODE];
  if (fillMode_ != D3DFILL_POINT && fillMode_ != D3DFILL_WIREFRAME) fillMode_ = D3DFILL_SOLID;
  cullMode_ = rs[D3DRS_CULLMODE];
  pointSprites_ = rs[D3DRS_POINTSPRITEENABLE] != FALSE;
  wrapAny_ = false;
  for (int s = 0; s < shader_.stageCount; ++s) {
    const UINT set = std::min<UINT>(context.stageStates[s][D3DTSS_TEXCOORDINDEX] & 0xFFFFu, 7);
    wrap_[s] = rs[D3DRS_WRAP0 + set] & (D3DWRAPCOORD_0 | D3DWRAPCOORD_1);
    wrapAny_ = wrapAny_ || wrap_[s] != 0;
  }

  // Vertex processing over the range the call uses.
  processor_.Configure(context, layout);
  GrowTo(clip_, vertexRangeCount);
  vertexCount_ = vertexRangeCount;
  rangeStart_ = vertexRangeStart;
  FetchedVertex fetched;
  for (UINT i = 0; i < vertexRangeCount; ++i) {
    FetchVertex(layout, context.stream.data + static_cast<size_t>(vertexRangeStart + i) * context.stream.stride,
                fetched);
    processor_.Process(fetched, clip_[i]);
  }
  const bool triangles = type == D3DPT_TRIANGLELIST || type == D3DPT_TRIANGLESTRIP || type == D3DPT_TRIANGLEFAN;
  if (triangles && fillMode_ == D3DFILL_SOLID) ProjectVertices();

  // Assembly.
  primitiveCount_ = 0;
  pixelEstimate_ = 0;
  auto index = [&](UINT n) { return indexList ? indexList[n] : firstVertex + n; };
  for (UINT n = 0; n < primitiveCount; ++n) {
    switch (type) {
      case D3DPT_POINTLIST: Point(Vertex(index(n))); break;
      case D3DPT_LINELIST: Line(Vertex(index(2 * n)), Vertex(index(2 * n + 1))); break;
      case D3DPT_LINESTRIP: Line(Vertex(index(n)), Vertex(index(n + 1))); break;
      case D3DPT_TRIANGLELIST: Triangle(index(3 * n), index(3 * n + 1), index(3 * n + 2)); break;
      case D3DPT_TRIANGLESTRIP:
        if (n & 1) {
          Triangle(index(n), index(n + 2), index(n + 1));
        } else {
          Triangle(index(n), index(n + 1), index(n + 2));
        }
        break;
      case D3DPT_TRIANGLEFAN: Triangle(index(n + 1), index(n + 2), index(0)); break;
      default: return D3DERR_INVALIDCALL;
    }
  }
  if (primitiveCount_ == 0) return D3D_OK;
  shader_.ConfigureColor(context);

  DrawJob job{primitives_.data(), primitiveCount_, shader_.Span(), &shader_, setup_.scissor.minY};
  if (QueueActive() && QueueDraw(context, shader_, job.span, primitives_.data(), primitiveCount_)) return D3D_OK;
  if (RasterThreadCount() > 1 && pixelEstimate_ >= kParallelPixelThreshold) {
    const int rows = setup_.scissor.maxY - setup_.scissor.minY + 1;
    RunBands(RasterizeBand, &job, (rows + kBandRows - 1) / kBandRows);
  } else {
    const RowBands all;
    for (size_t i = 0; i < primitiveCount_; ++i) RasterizePrimitive(primitives_[i], all, job.span, job.shader);
  }
  return D3D_OK;
}

thread_local Assembler t_assembler;
thread_local std::vector<UINT> t_indices;

HRESULT CheckStream(const DrawContext& context, FvfLayout& layout) {
  layout = DecodeFvf(context.stream.fvf);
  if (!layout.valid || context.stream.data == nullptr || context.stream.stride < layout.size)
    return D3DERR_INVALIDCALL;
  return D3D_OK;
}

}  // namespace

HRESULT DrawPrimitives(const DrawContext& context, D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
  const uint64_t needed = VerticesFor(type, primitiveCount);
  if (needed == 0 && type != D3DPT_POINTLIST) return D3DERR_INVALIDCALL;
  if (primitiveCount == 0) return D3D_OK;
  FvfLayout layout;
  if (HRESULT hr = CheckStream(context, layout); hr != D3D_OK) return hr;
  if (startVertex + needed > context.stream.vertexCount) return D3DERR_INVALIDCALL;
  return t_assembler.Draw(context, type, primitiveCount, nullptr, startVertex, startVertex,
                          static_cast<UINT>(needed), layout);
}

HRESULT DrawIndexedPrimitives(const DrawContext& context, D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                              UINT startIndex, UINT primitiveCount) {
  const uint64_t needed = VerticesFor(type, primitiveCount);
  if (needed == 0 && type != D3DPT_POINTLIST) return D3DERR_INVALIDCALL;
  if (primitiveCount == 0) return D3D_OK;
  FvfLayout layout;
  if (HRESULT hr = CheckStream(context, layout); hr != D3D_OK) return hr;
  const IndexView& iv = context.indices;
  if (iv.data == nullptr || vertexCount == 0 || static_cast<uint64_t>(startIndex) + needed > iv.indexCount)
    return D3DERR_INVALIDCALL;
  const uint64_t rangeStart = static_cast<uint64_t>(iv.baseVertexIndex) + minIndex;
  if (rangeStart + vertexCount > context.stream.vertexCount) return D3DERR_INVALIDCALL;

  // Indices become stream vertex numbers, each checked against the range.
  GrowTo(t_indices, static_cast<size_t>(needed));
  for (uint64_t n = 0; n < needed; ++n) {
    uint32_t value;
    if (iv.is32Bit) {
      value = static_cast<const uint32_t*>(iv.data)[startIndex + n];
    } else {
      value = static_cast<const uint16_t*>(iv.data)[startIndex + n];
    }
    if (value < minIndex || static_cast<uint64_t>(value) - minIndex >= vertexCount) return D3DERR_INVALIDCALL;
    t_indices[static_cast<size_t>(n)] = static_cast<UINT>(iv.baseVertexIndex + value);
  }
  return t_assembler.Draw(context, type, primitiveCount, t_indices.data(), 0, static_cast<UINT>(rangeStart),
                          vertexCount, layout);
}

}  // namespace d3d8pipe
