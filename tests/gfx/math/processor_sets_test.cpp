// Agreement of the processor sets with the portable routines.
#include "gfx/math/math_portable.h"
#include "math_test_support.h"
