// The eight-pixel span routines built with AVX-512 enabled: the same 256-bit
// code, which then has 32 vector registers and spills far less.
#define KELVANE_WIDE_TARGET "avx2,fma,avx512f,avx512vl,avx512bw,avx512dq"
#include "fast_spans_wide.h"

namespace d3d8pipe {

SpanFunction SelectAvx512Span(DepthMode depth, bool textured, bool blend, const FastState& state) {
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                          __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq") &&
                          __builtin_cpu_supports("fma");
  return has ? SelectWide(depth, textured, blend, state) : nullptr;
}

}  // namespace d3d8pipe
