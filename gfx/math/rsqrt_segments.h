// The piecewise-linear reciprocal square root of the x87 routines.
#pragma once

#include <array>

namespace gx_math {

// slope·m + intercept approximates 1/√m on one segment of m in [0.5, 2).
struct RsqrtSegment {
  float slope;
  float intercept;
};

// Entry i covers the m whose lowest exponent bit and top eight fraction bits,
// read as nine bits, equal i: entries 0-255 split [0.5, 1), 256-511 split [1, 2).
extern const std::array<RsqrtSegment, 512> kRsqrtSegments;

// 1/√s from the segments, without refinement: s is split by bit operations into
// m in [0.5, 2) and k with s = m·4^k, and r = (slope·m + intercept)·2^-k.
// For finite s > 0 (denormals included).
float SegmentRsqrt(float s);

}  // namespace gx_math
