// Run-length decoding of BI_RLE8 and BI_RLE4 bitmap data.
#pragma once

#include <cstddef>

#include "win_types.h"

// Decodes `stream` into `out` (one palette index per byte, `height` rows of
// `pitch` bytes, top row first), reading rows in the file's bottom-up order.
// Runs past the end of a row are clipped; a delta or line end past the last
// row, the end-of-bitmap escape or the end of the stream ends decoding, and
// what was not reached keeps its previous content. Never reads past `size`
// bytes nor writes outside the image.
void DecodeBmpRle(const BYTE* stream, size_t size, bool fourBit, BYTE* out, UINT width, UINT height, UINT pitch);
