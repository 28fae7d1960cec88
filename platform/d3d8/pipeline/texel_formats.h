// Texel decoding: reads one texel of a texture level in any drawable format
// and returns it as A8R8G8B8. Channels a format lacks read as 1 (alpha and
// colour), except that alpha-only formats read black.
#pragma once

#include <cstdint>

#include "draw_context.h"

namespace d3d8pipe {

using TexelFetch = uint32_t (*)(const SurfaceView& level, UINT x, UINT y);

// nullptr for formats that cannot be sampled.
TexelFetch TexelFetchFor(D3DFORMAT format);

// True for the DXT formats, whose levels are stored in 4x4 blocks.
bool IsBlockCompressed(D3DFORMAT format);

// Bytes a level of this width and height needs at this pitch (rows or block
// rows), or 0 for a format that cannot be sampled; used to check views.
uint64_t RequiredLevelBytes(D3DFORMAT format, UINT width, UINT height, INT pitch);

}  // namespace d3d8pipe
