// The public math entry points: each is one indirect jump through its slot of
// the live dispatch table.
#include "gfx/math/dispatch_table.h"

#define GX_MATH_ENTRY_POINT(slot, Name, Result, Params, Args) \
  Result Gx##Name Params { return gx_math::g_liveMathTable.Name Args; }
GX_MATH_DISPATCH_SLOTS(GX_MATH_ENTRY_POINT)
#undef GX_MATH_ENTRY_POINT
