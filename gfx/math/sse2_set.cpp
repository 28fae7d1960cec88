// The SSE2 set (what it holds: simd_sets.h).
#include "gfx/math/simd_sets.h"

namespace gx_math {

void InstallSse2Set(MathDispatchTable& t) { simd::InstallSse2Routines<simd::SseIsa, simd::Sse2Isa>(t); }

}  // namespace gx_math
