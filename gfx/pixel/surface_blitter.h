// SurfaceBlitter: copies one PixelRegion into another, converting the format
// through a pair of pixel codecs and resampling to the destination's size.
#pragma once

#include <cstdint>
#include <memory>

#include "gfx/pixel/gx_filter.h"
#include "gfx/pixel/pixel_codec.h"

// The path that performed a transfer, in the order they are tried.
enum class BlitPath {
  kNone,  // no transfer (yet)
  kSameFormat,
  kBlockCopy,
  kConvert,
  kNoFilter,
  kPoint,
  kBox2DInteger,  // the integer fast path of the 2x2 box filter
  kBox2D,
  kBox3D,
  kLinear2D,
  kLinear3D,
  kTriangle2D,
  kTriangle3D,
};

class SurfaceBlitter {
 public:
  SurfaceBlitter() = default;
  SurfaceBlitter(const SurfaceBlitter&) = delete;
  SurfaceBlitter& operator=(const SurfaceBlitter&) = delete;
  ~SurfaceBlitter();

  // D3DERR_INVALIDCALL for a bad filter word or an empty or inverted box;
  // E_FAIL when a format has no codec or no path can do the transfer;
  // E_OUTOFMEMORY when the range conversion cannot be armed; S_OK otherwise.
  // The destination's dither flag is taken from the filter word.
  HRESULT Blit(const PixelRegion& dest, const PixelRegion& source, uint32_t filter);

  // The path that performed the last successful Blit.
  BlitPath path() const { return path_; }

 private:
  // Each path either performs the whole transfer and returns true, or declines.
  bool BlitSameFormat();
  bool BlitBlockCopy();
  bool BlitConvert();
  bool BlitNone();
  bool BlitPoint();
  bool BlitBox2D();
  bool BlitBox3D();
  bool BlitLinear2D();
  bool BlitLinear3D();
  bool BlitTriangle2D();
  bool BlitTriangle3D();

  uint32_t FilterType() const { return filter_ & 0xFF; }
  bool Wraps(uint32_t mirrorFlag) const { return (filter_ & mirrorFlag) == 0; }

  std::unique_ptr<PixelCodec> dest_;
  std::unique_ptr<PixelCodec> source_;
  uint32_t filter_ = 0;
  BlitPath path_ = BlitPath::kNone;
};

// Row buffers of the paths: null when memory is short or the count is absurd.
std::unique_ptr<FloatColor[]> AllocateColors(uint64_t count);
