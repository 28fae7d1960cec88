// How the pixels of each surface format lie in memory: the size of one block
// (a pixel, a pair of YUV pixels, or a 4x4 block of a block-compressed format)
// and the pitches that follow from it.
#pragma once

#include <cstddef>

#include "d3d8_types.h"

struct FormatLayout {
  UINT blockWidth = 0;   // pixels per block across
  UINT blockHeight = 0;  // pixels per block down
  UINT blockBytes = 0;   // 0: not a surface format
  bool depth = false;    // depth/stencil formats
};

FormatLayout GetFormatLayout(D3DFORMAT format);
bool IsSurfaceFormat(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);
bool IsBlockCompressed(D3DFORMAT format);

// Bytes per row of blocks and the number of block rows of a width x height image.
UINT RowPitch(D3DFORMAT format, UINT width);
UINT BlockRows(D3DFORMAT format, UINT height);

// Total bytes of a width x height x depth image, or 0 if the size does not fit
// the runtime's limit for one level (then creation fails with E_OUTOFMEMORY).
size_t LevelBytes(D3DFORMAT format, UINT width, UINT height, UINT depth);

// Largest byte size of one level the runtime allocates.
constexpr size_t kMaxLevelBytes = size_t{512} << 20;
