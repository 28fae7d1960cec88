// Everything one draw call needs, as plain data, and the entry points of the
// drawing pipeline. The device fills a DrawContext from its current state and
// hands it over; the pipeline reads it and writes only the render target and
// the depth buffer. Nothing here is owned: every pointer stays the caller's and
// must stay valid for the duration of the call.
#pragma once

#include "d3d8_types.h"

namespace d3d8pipe {

// A 2D array of pixels in memory: the render target, the depth buffer, or one
// level of a texture. Rows are `pitch` bytes apart (pitch of a row of 4x4
// blocks for the block-compressed formats).
struct SurfaceView {
  void* bits = nullptr;
  INT pitch = 0;
  D3DFORMAT format = D3DFMT_UNKNOWN;
  UINT width = 0;
  UINT height = 0;
};

// Largest mip chain: 2^15 texels along an edge is beyond any device limit.
constexpr UINT kMaxTextureLevels = 16;

// A 2D texture with its mip chain; level 0 is the largest. Every level has
// the texture's format.
struct TextureView {
  D3DFORMAT format = D3DFMT_UNKNOWN;
  UINT levelCount = 0;
  SurfaceView levels[kMaxTextureLevels];
};

// The vertex data of stream 0. `data` points at vertex 0 of the stream (the
// pipeline adds start vertex × stride itself); `fvf` is the vertex shader set
// with SetVertexShader; `vertexCount` is how many whole vertices of `stride`
// bytes the memory holds, so that no index can read past it.
struct VertexStreamView {
  const BYTE* data = nullptr;
  UINT stride = 0;
  DWORD fvf = 0;
  UINT vertexCount = 0;
};

// The index data set with SetIndices. `indexCount` is how many indices the
// memory holds; `baseVertexIndex` is added to every index before the vertex is
// fetched.
struct IndexView {
  const void* data = nullptr;
  bool is32Bit = false;
  UINT indexCount = 0;
  UINT baseVertexIndex = 0;
};

// One enabled light, as set with SetLight (world space).
using LightView = D3DLIGHT8;

struct DrawContext {
  SurfaceView renderTarget;  // X8R8G8B8, A8R8G8B8, R5G6B5, X1R5G5B5 or A1R5G5B5
  SurfaceView depth;         // bits == nullptr: no depth buffer
  D3DVIEWPORT8 viewport{};

  DWORD renderStates[kD3DRenderStateCount] = {};
  DWORD stageStates[kD3DTextureStageCount][kD3DTextureStageStateCount] = {};

  D3DMATRIX world{};
  D3DMATRIX view{};
  D3DMATRIX projection{};
  D3DMATERIAL8 material{};

  const LightView* lights = nullptr;  // the enabled lights only
  UINT lightCount = 0;

  const TextureView* textures[kD3DTextureStageCount] = {};  // nullptr: no texture on that stage

  VertexStreamView stream;
  IndexView indices;
};

// Fills `states` and `stageStates` with the device's defaults (what a newly
// created device holds), so that callers and tests start from the same place.
void SetDefaultStates(DrawContext& context);

// The texture stage states of a new device, for every stage.
void SetDefaultStageStates(DWORD (&stageStates)[kD3DTextureStageCount][kD3DTextureStageStateCount]);

// DrawPrimitive and DrawPrimitiveUP: vertices start, start + 1, … of the stream.
// D3DERR_INVALIDCALL when the vertices needed lie outside the stream, the vertex
// format cannot be drawn, or a view is malformed; nothing is drawn then.
HRESULT DrawPrimitives(const DrawContext& context, D3DPRIMITIVETYPE type, UINT startVertex,
                       UINT primitiveCount);

// DrawIndexedPrimitive: indices startIndex, startIndex + 1, … of the index view,
// each plus baseVertexIndex. Every vertex used must lie in
// [minIndex, minIndex + vertexCount) (before the base is added) and inside the
// stream; otherwise D3DERR_INVALIDCALL and nothing is drawn.
HRESULT DrawIndexedPrimitives(const DrawContext& context, D3DPRIMITIVETYPE type, UINT minIndex,
                              UINT vertexCount, UINT startIndex, UINT primitiveCount);

// Clear of the device: fills the given rectangles (all of the viewport when
// rectCount is 0) of the render target with `color` and/or of the depth buffer
// with `z` (0..1) and its stencil bits with `stencil`. The rectangles are
// clipped to the viewport and the surface.
HRESULT ClearSurfaces(const DrawContext& context, DWORD rectCount, const D3DRECT* rects, DWORD flags,
                      D3DCOLOR color, float z, DWORD stencil);

// Number of threads the rasterizer may use: 0 (the default) uses every core,
// 1 draws on the calling thread only.
void SetRasterizerThreadCount(UINT threads);

// Queued rasterization (off by default). When on and more than one thread may
// draw, DrawPrimitives, DrawIndexedPrimitives and ClearSurfaces return once the
// work is checked and set up, and worker threads draw it later, in order. The
// surfaces drawn to, the textures sampled and the views' memory must then stay
// valid and untouched by anyone else until FlushRasterizer returns. Changing
// the mode or the thread count flushes first.
void SetQueuedRasterization(bool on);

// Waits until every queued draw and clear is drawn (returns at once when
// nothing is queued).
void FlushRasterizer();

// Tests only: while held, the worker threads leave queued work alone, so that
// it is drawn by FlushRasterizer (or when the queue is full) and a missing
// flush shows as missing pixels. The program never calls this.
void TestHoldQueuedWork(bool hold);

}  // namespace d3d8pipe
