// Block decoders: one 4x4 block of a block-compressed format into 16
// FloatColors (pixels 0-15, all channels in [0, 1]).
#pragma once

#include <cstdint>

#include "gfx/pixel/pixel_region.h"

using BlockDecoder = void (*)(const uint8_t* block, FloatColor* out);

void DecodeBlockDxt1(const uint8_t* block, FloatColor* out);
void DecodeBlockDxt2(const uint8_t* block, FloatColor* out);
void DecodeBlockDxt3(const uint8_t* block, FloatColor* out);
void DecodeBlockDxt4(const uint8_t* block, FloatColor* out);
void DecodeBlockDxt5(const uint8_t* block, FloatColor* out);

// The decoder of a block-compressed format, or null for any other format.
BlockDecoder GetBlockDecoder(uint32_t format);

// Undoes premultiplied alpha in place: alpha 0 gives black, a channel at or
// above a partial alpha saturates at 1, alpha 1 leaves the pixel as it is.
void UnpremultiplyAlpha(FloatColor* pixels, uint32_t count);
