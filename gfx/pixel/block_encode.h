// Block encoders: 16 FloatColors (pixels 0-15 of a 4x4 block, channels in
// [0, 1]) into one block of a block-compressed format. The encoder diffuses
// quantization error inside the block, weights the colour channels
// perceptually and refines its endpoints by least squares.
#pragma once

#include <cstdint>

#include "gfx/pixel/pixel_region.h"

using BlockEncoder = void (*)(const FloatColor* in, uint8_t* block);

void EncodeBlockDxt1(const FloatColor* in, uint8_t* block);
void EncodeBlockDxt2(const FloatColor* in, uint8_t* block);
void EncodeBlockDxt3(const FloatColor* in, uint8_t* block);
void EncodeBlockDxt4(const FloatColor* in, uint8_t* block);
void EncodeBlockDxt5(const FloatColor* in, uint8_t* block);

// The encoder of a block-compressed format, or null for any other format.
BlockEncoder GetBlockEncoder(uint32_t format);

// Encodes `count` blocks (16 colours each, consecutive in `in`) into
// consecutive blocks at `out`: eight at a time with AVX2 where the processor
// has it, then four at a time with SSE2, the rest one by one. The bytes are
// those the one-block encoders write. Formats without blocks write nothing.
void EncodeBlocks(uint32_t format, const FloatColor* in, uint32_t count, uint8_t* out);

// Test hook: false keeps EncodeBlocks off the AVX2 path (true, the start
// value, uses it where the processor has it).
void BlockEncodeTestAllowAvx2(bool allow);
