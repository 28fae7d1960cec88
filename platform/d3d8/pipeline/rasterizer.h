// Rasterization: walks the rows of a set-up primitive and hands every covered
// run of pixels to a span function. Rows can be dealt out to several threads
// in interleaved bands, so that each pixel is always drawn by the same thread
// and primitives reach it in order.
#pragma once

#include "triangle_setup.h"

namespace d3d8pipe {

struct RowBands {
  int shift = 30;  // band height is 1 << shift rows
  int count = 1;
  int index = 0;
  bool Owns(int y) const { return ((y >> shift) % count) == index; }
};

// Called with x0 <= x1, both inside the primitive's bounds.
using SpanFunction = void (*)(const void* shader, const RasterPrimitive& primitive, int y, int x0, int x1);

void RasterizePrimitive(const RasterPrimitive& primitive, const RowBands& bands, SpanFunction span,
                        const void* shader);

}  // namespace d3d8pipe
