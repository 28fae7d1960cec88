// Queued rasterization: draws and clears return once their primitives are set
// up, and worker threads draw the queued work later. The target's rows are cut
// into bands; a band is drawn by one thread at a time and takes the queued work
// strictly in order, so every pixel still sees draws in the order they came.
// FlushQueue waits until everything queued is drawn; the calling thread helps
// while it waits.
#pragma once

#include <cstddef>

#include "pixel_shader.h"
#include "rasterizer.h"

namespace d3d8pipe {

// True when draws go through the queue: queued rasterization is on and more
// than one thread may draw.
bool QueueActive();

// Queues the set-up primitives of one draw with a copy of everything the span
// routine reads (the shader and its textures' views). False, after flushing,
// when the draw samples memory that it or queued work draws to: the caller then
// draws it at once.
bool QueueDraw(const DrawContext& context, const PixelShader& shader, SpanFunction span,
               const RasterPrimitive* primitives, size_t count);

// Queues a clear whose arguments are already checked. False when the clear
// must run at once instead (queued rasterization is off, the call comes from a
// queued clear being drawn, or there are too many rectangles to copy); the
// queue is flushed before returning false.
bool QueueClear(const DrawContext& context, DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                float z, DWORD stencil);

// Draws everything queued and waits for it.
void FlushQueue();

}  // namespace d3d8pipe
