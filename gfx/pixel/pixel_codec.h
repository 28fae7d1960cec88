// PixelCodec: reads and writes the pixels of one format inside one region, a
// row at a time, converting to and from FloatColor. Every conversion,
// resampling and colour-key operation of the library goes through a pair.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "gfx/pixel/pixel_region.h"

// Encoder thresholds, four rows of eight: each row holds its four values twice
// so that four consecutive entries can be read from any of the first four
// positions (the start column shifts by one per slice).
extern const float kDitherMatrix[32];  // (2k + 1) / 32, 4x4 ordered dither
extern const float kRoundingOffsets[32];  // all 0.5: round half up

// Converts `count` colours from one domain into another (in == out allowed).
void ConvertColorDomain(ColorDomain to, ColorDomain from, const FloatColor* in, FloatColor* out, uint32_t count);

class PixelCodec {
 public:
  PixelCodec(const PixelCodec&) = delete;
  PixelCodec& operator=(const PixelCodec&) = delete;
  virtual ~PixelCodec();

  // Row y of slice z (relative to the box) into `width` colours, then the colour key.
  virtual void DecodeRow(uint32_t y, uint32_t z, FloatColor* out) = 0;
  // `width` colours (in the source's domain when a conversion is armed) into row y of slice z.
  virtual void EncodeRow(uint32_t y, uint32_t z, const FloatColor* in) = 0;
  // Replaces keyColor by the value the format actually represents.
  virtual void QuantizeColorKey();

  // Arms the range conversion from `source`'s domain; E_OUTOFMEMORY or S_OK.
  HRESULT SetSourceDomain(const PixelCodec& source);

  uint32_t format() const { return format_; }
  ColorDomain domain() const { return domain_; }
  bool byteAddressable() const { return byteAddressable_; }
  uint32_t bytesPerPixel() const { return bytesPerPixel_; }
  uint32_t bytesPerRow() const { return bytesPerRow_; }
  uint8_t* bits() const { return bits_; }
  uint32_t rowPitch() const { return rowPitch_; }
  uint32_t slicePitch() const { return slicePitch_; }
  const D3DBOX& box() const { return box_; }
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  uint32_t depth() const { return depth_; }
  uint32_t colorKey() const { return colorKey_; }
  const FloatColor& keyColor() const { return keyColor_; }
  bool isPalettised() const { return isPalettised_; }
  const FloatColor* palette() const { return palette_.data(); }
  bool dithered() const { return rounding_ == kDitherMatrix; }

 protected:
  // bitsPerPixel 0 (YUV and block codecs) keeps the box in absolute
  // coordinates; otherwise `bits` moves to the box's first pixel and the box
  // becomes (0, 0, 0)-(width, height, depth).
  PixelCodec(const PixelRegion& region, uint32_t bitsPerPixel, ColorDomain domain);

  // Start of row y of slice z for byte-addressable codecs (box-relative).
  uint8_t* RowAddress(uint32_t y, uint32_t z) const { return bits_ + size_t{y} * rowPitch_ + size_t{z} * slicePitch_; }
  // The four thresholds of row y of slice z: pixel x uses entry x & 3.
  const float* Thresholds(uint32_t y, uint32_t z) const { return rounding_ + (y & 3) * 8 + (z & 3); }
  // Input of EncodeRow in this codec's domain: `in` itself, or the conversion buffer.
  const FloatColor* ConvertRange(const FloatColor* in);
  // Turns every pixel exactly equal to keyColor into transparent black.
  void ApplyColorKey(FloatColor* row) const;
  // QuantizeColorKey of the byte-addressable codecs: encode the key into a
  // one-pixel scratch area without dither and decode it back.
  void QuantizeKeyThroughScratch();

  uint32_t format_;
  ColorDomain domain_;
  bool byteAddressable_;
  uint32_t bytesPerPixel_;
  uint32_t bytesPerRow_;
  uint8_t* bits_;
  uint32_t rowPitch_;
  uint32_t slicePitch_;
  D3DBOX box_;
  uint32_t width_;
  uint32_t height_;
  uint32_t depth_;
  uint32_t colorKey_;
  FloatColor keyColor_;
  bool isPalettised_;
  std::array<FloatColor, 256> palette_;
  const float* rounding_;
  ColorDomain sourceDomain_ = ColorDomain(0);  // 0: no conversion armed
  std::unique_ptr<FloatColor[]> conversion_;
};

// A new codec for the region's format, or null when the format has no codec
// (depth formats other than D16_LOCKABLE, unknown codes), the region is
// malformed (null bits, inverted box) or memory is short. Quantizes the colour
// key when the region has one. The caller owns the codec.
std::unique_ptr<PixelCodec> CreatePixelCodec(const PixelRegion& region);
