// Span routines specialised for the state combinations that dominate real
// scenes; each matches the generic routine's results.
#pragma once

#include "rasterizer.h"

namespace d3d8pipe {

struct PixelShader;

// nullptr when no specialised routine fits the states.
SpanFunction SelectFastSpan(const PixelShader& shader);

}  // namespace d3d8pipe
