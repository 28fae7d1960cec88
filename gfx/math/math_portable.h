// The portable routines: plain C++ for every dispatched operation, the
// reference the processor sets are measured against.
#pragma once

#include "gfx/math/dispatch_table.h"

namespace gx_math::portable {

#define GX_MATH_DECLARE(slot, Name, Result, Params, Args) Result Name Params;
GX_MATH_DISPATCH_SLOTS(GX_MATH_DECLARE)
#undef GX_MATH_DECLARE

}  // namespace gx_math::portable
