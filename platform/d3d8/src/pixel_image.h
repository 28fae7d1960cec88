// The pixel memory of one surface or volume, laid out by the format's blocks.
#pragma once

#include <memory>

#include "d3d8_types.h"
#include "format_layout.h"

class PixelImage {
 public:
  // E_OUTOFMEMORY when the image is larger than one level may be or memory runs out.
  HRESULT Allocate(D3DFORMAT format, UINT width, UINT height, UINT depth);

  D3DFORMAT Format() const { return format_; }
  UINT Width() const { return width_; }
  UINT Height() const { return height_; }
  UINT Depth() const { return depth_; }
  UINT RowPitch() const { return rowPitch_; }
  UINT SlicePitch() const { return slicePitch_; }
  size_t Size() const { return size_; }
  BYTE* Bytes() { return bytes_.get(); }
  const BYTE* Bytes() const { return bytes_.get(); }
  // The byte of pixel (x, y, z); x and y must lie on block boundaries.
  BYTE* At(UINT x, UINT y, UINT z);
  const BYTE* At(UINT x, UINT y, UINT z) const;

 private:
  D3DFORMAT format_ = D3DFMT_UNKNOWN;
  UINT width_ = 0, height_ = 0, depth_ = 0;
  UINT rowPitch_ = 0, slicePitch_ = 0;
  size_t size_ = 0;
  std::unique_ptr<BYTE[]> bytes_;
};

// Checks a rectangle against a width x height image of `format`: inside, not
// inverted, and on whole blocks (or ending at the image's edge). Returns a
// reason for the debug channel, or null when the rectangle is fine.
const char* CheckRect(D3DFORMAT format, UINT width, UINT height, const RECT& rect);

// Copies a block-aligned rectangle of rows between two images of one format.
void CopyImageRect(const PixelImage& source, const RECT& rect, PixelImage& destination, UINT destX, UINT destY);
