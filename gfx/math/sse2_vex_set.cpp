// The SSE2 set built once more with the VEX encoding, for processors with AVX:
// the same routines and the same arithmetic (128-bit operations only, no
// fused multiply-add: this file is compiled with -mavx -ffp-contract=off), so
// the results are those of the SSE2 set bit for bit. The three-operand forms
// need no register copies and broadcast straight from memory, which leaves
// the front end less to do.
//
// This file alone is compiled for AVX. The routines it instantiates take
// policy types from the unnamed namespace below, so they are functions of
// this file only and can never stand in for the baseline builds at link time;
// the helpers they share with the baseline files are all forced inline.
#include "gfx/math/simd_sets.h"

namespace gx_math {

namespace {
struct VexSseIsa : simd::SseIsa {};
struct VexSse2Isa : simd::Sse2Isa {};
}  // namespace

void InstallSse2VexSet(MathDispatchTable& t) { simd::InstallSse2Routines<VexSseIsa, VexSse2Isa>(t); }

}  // namespace gx_math
