#include "gfx/pixel/yuv_codec.h"

#include <algorithm>
#include <new>

namespace {

inline float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// round(x) + offset clamped to a byte; round means truncate(x + 0.5).
inline uint8_t RoundToByte(float x, int offset) {
  float v = x + 0.5f;
  v = v >= -1024.0f ? v : -1024.0f;  // also catches NaN
  v = v <= 1024.0f ? v : 1024.0f;
  const int code = static_cast<int>(v) + offset;
  return static_cast<uint8_t>(std::clamp(code, 0, 255));
}

void DecodePair(uint8_t y0, uint8_t u, uint8_t y1, uint8_t v, FloatColor* out) {
  const float cu = static_cast<float>(u) - 128.0f;
  const float cv = static_cast<float>(v) - 128.0f;
  const uint8_t lumas[2] = {y0, y1};
  for (int i = 0; i < 2; ++i) {
    const float yy = (static_cast<float>(lumas[i]) - 16.0f) * 0.00456621f;
    out[i] = {Clamp01(yy + cv * 0.00625893f), Clamp01(yy - cu * 0.00153632f - cv * 0.00318811f),
              Clamp01(yy + cu * 0.00791071f), 1.0f};
  }
}

inline uint8_t Luma(const FloatColor& c) { return RoundToByte(65.481f * c.r + 128.553f * c.g + 24.966f * c.b, 16); }

}  // namespace

YuvCodec::YuvCodec(const PixelRegion& region)
    : PixelCodec(region, 0, DOMAIN_UNSIGNED),
      lumaInHighByte_(region.format == D3DFMT_UYVY),
      cacheLeft_(box_.Left & ~1u),
      cacheWidth_(((box_.Right + 1) & ~1u) - (box_.Left & ~1u)) {
  // A failed allocation leaves the codec invalid: every fetch then fails.
  cache_.reset(new (std::nothrow) FloatColor[cacheWidth_ ? cacheWidth_ : 2]);
}

YuvCodec::~YuvCodec() { Commit(); }

uint8_t* YuvCodec::CachedRowAddress() const {
  return bits_ + size_t{cachedRow_} * rowPitch_ + size_t{cachedSlice_} * slicePitch_ + size_t{cacheLeft_} * 2;
}

HRESULT YuvCodec::Fetch(uint32_t row, uint32_t slice, bool load) {
  if (!cache_) return E_OUTOFMEMORY;
  if (holdsRow_ && cachedRow_ == row && cachedSlice_ == slice) return S_OK;
  Commit();
  holdsRow_ = true;
  cachedRow_ = row;
  cachedSlice_ = slice;
  if (load) {
    const uint8_t* src = CachedRowAddress();
    const int lumaByte = lumaInHighByte_ ? 1 : 0;
    const int chromaByte = 1 - lumaByte;
    for (uint32_t x = 0; x < cacheWidth_; x += 2, src += 4) {
      DecodePair(src[lumaByte], src[chromaByte], src[2 + lumaByte], src[2 + chromaByte], &cache_[x]);
    }
  }
  return S_OK;
}

void YuvCodec::Commit() {
  if (!dirty_ || !cache_) return;
  uint8_t* dst = CachedRowAddress();
  const int lumaByte = lumaInHighByte_ ? 1 : 0;
  const int chromaByte = 1 - lumaByte;
  for (uint32_t x = 0; x < cacheWidth_; x += 2, dst += 4) {
    const FloatColor& p0 = cache_[x];
    const FloatColor& p1 = cache_[x + 1];
    // The chroma of a pair comes from its even pixel only.
    dst[lumaByte] = Luma(p0);
    dst[chromaByte] = RoundToByte(-37.797f * p0.r - 74.203f * p0.g + 112.0f * p0.b, 128);
    dst[2 + lumaByte] = Luma(p1);
    dst[2 + chromaByte] = RoundToByte(112.0f * p0.r - 93.786f * p0.g - 18.214f * p0.b, 128);
  }
  dirty_ = false;
}

void YuvCodec::DecodeRow(uint32_t y, uint32_t z, FloatColor* out) {
  if (FAILED(Fetch(box_.Top + y, box_.Front + z, true))) return;
  std::copy_n(&cache_[box_.Left - cacheLeft_], width_, out);
  if (colorKey_ != 0) ApplyColorKey(out);
}

void YuvCodec::EncodeRow(uint32_t y, uint32_t z, const FloatColor* in) {
  in = ConvertRange(in);
  // When the box covers whole pairs the row is overwritten entirely; otherwise
  // the neighbour of an odd edge must come from memory.
  const bool partialPair = ((box_.Left | box_.Right) & 1) != 0;
  if (FAILED(Fetch(box_.Top + y, box_.Front + z, partialPair))) return;
  std::copy_n(in, width_, &cache_[box_.Left - cacheLeft_]);
  dirty_ = true;
}
