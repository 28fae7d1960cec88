// Filling rectangles of a render target or depth buffer with one value (Clear),
// and reading a back buffer out as the 0xFFRRGGBB pixels a frame is shown with.
#pragma once

#include <vector>

#include "pixel_image.h"

// The colour in the layout of `format`; false for formats Clear cannot write.
bool EncodeClearColor(D3DFORMAT format, D3DCOLOR color, DWORD* value);
// Depth and stencil in the layout of a depth format; `keepMask` gets the bits
// that a clear of only depth (or only stencil) must leave alone.
bool EncodeClearDepth(D3DFORMAT format, float z, DWORD stencil, DWORD flags, DWORD* value, DWORD* keepMask);

// Writes `value` (2 or 4 bytes per pixel) into the rectangle, keeping the bits of `keepMask`.
void FillImageRect(PixelImage& image, const RECT& rect, DWORD value, DWORD keepMask);

// The pixels of `rect` of a back buffer (X8R8G8B8, A8R8G8B8, R5G6B5 or
// X1R5G5B5) as 0xFFRRGGBB, rows top down.
void ReadFramePixels(const PixelImage& image, const RECT& rect, std::vector<DWORD>& pixels);
