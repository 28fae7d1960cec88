// The codecs of the byte-addressable formats: one class per format, each with
// its own decode and encode loop.
#pragma once

#include <memory>

#include "gfx/pixel/pixel_codec.h"

// A codec for a plain (byte-addressable) format, or null when the format is
// not one or memory is short. Does not quantize the colour key.
std::unique_ptr<PixelCodec> CreatePlainCodec(const PixelRegion& region);
