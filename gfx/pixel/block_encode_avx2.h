// The eight-block AVX2 path of the block encoders, compiled for AVX2 in a
// file of its own and called only when the processor has AVX2.
#pragma once

#include <cstdint>

#include "gfx/pixel/pixel_region.h"

// True when the processor (and the system) can run AVX2 code; asked once.
bool HasAvx2();

// Encodes blocks[0..7] (16 colours each) into out[0..7], writing the bytes
// the one-block encoders write.
void EncodeEightBlocksAvx2(uint32_t format, const FloatColor* const* blocks, uint8_t* const* out);
