// Integer 2x2 box filters of the mip-map case: each channel of an output
// pixel is (a + b + c + d + 2) >> 2 over the four source pixels, computed on
// the stored integers.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

struct BoxFilterRows {
  const uint8_t* src;  // first pixel of the (even-sized) source area
  size_t srcPitch;
  uint8_t* dst;
  size_t dstPitch;
  uint32_t dstWidth;  // source width is twice this
  uint32_t dstHeight;
};

// Runs the integer routine of `format`; false when the format has none
// (the caller then takes the float path).
bool BoxFilter2DInteger(uint32_t format, const BoxFilterRows& rows);

// The two 32-bit formats go through these pointers. They start at a selector
// that, on first use, points both at the SSE2 routine when the processor has
// the integer SIMD unit and the registry does not forbid it (IsMmxAvailable),
// otherwise each at its generic routine.
using BoxRoutine32 = void (*)(const BoxFilterRows&);
extern std::atomic<BoxRoutine32> BoxFilter2D_32_A8R8G8B8;
extern std::atomic<BoxRoutine32> BoxFilter2D_32_X8R8G8B8;

// Generic routines: packed 32-bit integer arithmetic; the X8R8G8B8 one writes
// 0 into the X byte.
void BoxFilter2D32GenericA8R8G8B8(const BoxFilterRows& rows);
void BoxFilter2D32GenericX8R8G8B8(const BoxFilterRows& rows);
// SSE2 routine: all four bytes averaged (the X byte included); destination
// widths that are not even go to the generic A8R8G8B8 routine.
void BoxFilter2D32Sse2(const BoxFilterRows& rows);

// Test hook: points both routines back at the selector.
void BoxFilterTestResetSelection();
