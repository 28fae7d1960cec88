// Span routines specialised for the state combinations that dominate real
// scenes; each matches the generic routine's results.
#pragma once

#include "rasterizer.h"

namespace d3d8pipe {

struct PixelShader;

// nullptr when no specialised routine fits the states.
SpanFunction SelectFastSpan(const PixelShader& shader);

// Tests: choose the AVX2 build of the eight-pixel routines even where the
// processor has AVX-512, so that both builds can be compared with the generic
// routine. The program never calls this.
void TestLimitWideSpansToAvx2(bool limit);

}  // namespace d3d8pipe
