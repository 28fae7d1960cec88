// YuvCodec: packed 4:2:2 YUV (D3DFMT_UYVY, D3DFMT_YUY2). Pixels come in pairs
// sharing one chroma sample, so the codec works on a cached row widened to
// even columns and writes it back when it moves to another row or is destroyed.
#pragma once

#include <memory>

#include "gfx/pixel/pixel_codec.h"

class YuvCodec final : public PixelCodec {
 public:
  explicit YuvCodec(const PixelRegion& region);
  ~YuvCodec() override;

  void DecodeRow(uint32_t y, uint32_t z, FloatColor* out) override;
  void EncodeRow(uint32_t y, uint32_t z, const FloatColor* in) override;
  void QuantizeColorKey() override {}  // the key is compared unquantized

 private:
  // Makes the cache hold absolute row `row` of slice `slice`, committing the
  // previous row when dirty; `load` decodes the row from memory.
  HRESULT Fetch(uint32_t row, uint32_t slice, bool load);
  void Commit();
  uint8_t* CachedRowAddress() const;

  bool lumaInHighByte_;  // UYVY: Y is the high byte of each word
  uint32_t cacheLeft_;   // box left rounded down to even
  uint32_t cacheWidth_;  // widened width, even
  std::unique_ptr<FloatColor[]> cache_;
  bool holdsRow_ = false;
  bool dirty_ = false;
  uint32_t cachedRow_ = 0;
  uint32_t cachedSlice_ = 0;
};
