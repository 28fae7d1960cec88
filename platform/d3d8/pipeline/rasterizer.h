// Rasterization: walks the rows of a set-up primitive and hands every covered
// run of pixels to a span function. The rows of the target can be cut into
// bands that threads take one at a time: each band is drawn whole by one
// thread, so primitives reach every pixel in order.
#pragma once

#include "triangle_setup.h"

namespace d3d8pipe {

// Rows firstRow..lastRow (inclusive) are drawn.
struct RowBands {
  int firstRow = 0;
  int lastRow = 1 << 30;
};

// Called with x0 <= x1, both inside the primitive's bounds.
using SpanFunction = void (*)(const void* shader, const RasterPrimitive& primitive, int y, int x0, int x1);

void RasterizePrimitive(const RasterPrimitive& primitive, const RowBands& bands, SpanFunction span,
                        const void* shader);

}  // namespace d3d8pipe
