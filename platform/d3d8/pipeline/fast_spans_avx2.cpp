// The eight-pixel span routines built for AVX2 (16 vector registers), and the
// choice between them and the AVX-512 build.
#define KELVANE_WIDE_TARGET "avx2,fma"
#include "fast_spans_wide.h"

namespace d3d8pipe {

namespace {

bool avx2Only = false;

}  // namespace

void TestLimitWideSpansToAvx2(bool limit) { avx2Only = limit; }

SpanFunction SelectAvx2Span(DepthMode depth, bool textured, bool blend, const FastState& state) {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  if (!hasAvx2) return nullptr;
  if (!avx2Only) {
    if (SpanFunction wide = SelectAvx512Span(depth, textured, blend, state)) return wide;
  }
  return SelectWide(depth, textured, blend, state);
}

}  // namespace d3d8pipe
