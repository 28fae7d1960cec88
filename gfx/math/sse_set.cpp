// The SSE set: the SSE forms of the routines it replaces.
#include "gfx/math/simd_sets.h"

namespace gx_math {

void InstallSseSet(MathDispatchTable& t) { simd::InstallSseRoutines<simd::SseIsa>(t); }

}  // namespace gx_math
