#include "fast_spans.h"

#include "pixel_shader.h"

namespace d3d8pipe {

SpanFunction SelectFastSpan(const PixelShader&) { return nullptr; }

}  // namespace d3d8pipe
