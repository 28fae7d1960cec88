// Thresholds and small scalar helpers shared by the math routines.
#pragma once

#include <cfloat>
#include <cmath>

namespace gx_math {

// The unit tolerance: a is near b when b - kUnitTolerance <= a <= b + kUnitTolerance.
inline constexpr float kUnitTolerance = FLT_EPSILON;  // 2^-23
// Lengths (squared) at or below the smallest normal float count as zero.
inline constexpr float kZeroLengthSquared = FLT_MIN;  // 2^-126

inline bool IsNear(float a, float b) { return b - kUnitTolerance <= a && a <= b + kUnitTolerance; }

}  // namespace gx_math
