#include "gfx/pixel/pixel_codec.h"

#include <new>

// clang-format off
const float kDitherMatrix[32] = {
  31 / 32.f, 15 / 32.f, 27 / 32.f, 11 / 32.f, 31 / 32.f, 15 / 32.f, 27 / 32.f, 11 / 32.f,
   7 / 32.f, 23 / 32.f,  3 / 32.f, 19 / 32.f,  7 / 32.f, 23 / 32.f,  3 / 32.f, 19 / 32.f,
  25 / 32.f,  9 / 32.f, 29 / 32.f, 13 / 32.f, 25 / 32.f,  9 / 32.f, 29 / 32.f, 13 / 32.f,
   1 / 32.f, 17 / 32.f,  5 / 32.f, 21 / 32.f,  1 / 32.f, 17 / 32.f,  5 / 32.f, 21 / 32.f,
};
const float kRoundingOffsets[32] = {
  0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f,
  0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f,
};
// clang-format on

namespace {

inline float ToSigned(float x) { return x * 2.0f - 1.0f; }
inline float ToUnsigned(float x) { return (x + 1.0f) * 0.5f; }

FloatColor KeyToColor(uint32_t key) {
  constexpr float kInv255 = 1.0f / 255.0f;
  return {static_cast<float>((key >> 16) & 0xFF) * kInv255, static_cast<float>((key >> 8) & 0xFF) * kInv255,
          static_cast<float>(key & 0xFF) * kInv255, static_cast<float>(key >> 24) * kInv255};
}

}  // namespace

namespace {

// One loop per pair of domains: kRgb says how r, g, b change, kAlpha how a does.
enum class Map { kCopy, kToUnsigned, kToSigned };

template <Map kMap>
inline float Apply(float x) {
  if constexpr (kMap == Map::kToUnsigned) return ToUnsigned(x);
  if constexpr (kMap == Map::kToSigned) return ToSigned(x);
  return x;
}

template <Map kRgb, Map kAlpha>
void ConvertLoop(const FloatColor* in, FloatColor* out, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    const FloatColor c = in[i];
    out[i] = {Apply<kRgb>(c.r), Apply<kRgb>(c.g), Apply<kRgb>(c.b), Apply<kAlpha>(c.a)};
  }
}

}  // namespace

void ConvertColorDomain(ColorDomain to, ColorDomain from, const FloatColor* in, FloatColor* out, uint32_t count) {
  using enum Map;
  if (to == DOMAIN_UNSIGNED && from == DOMAIN_SIGNED_RGB) return ConvertLoop<kToUnsigned, kCopy>(in, out, count);
  if (to == DOMAIN_UNSIGNED && from == DOMAIN_SIGNED_ALL) return ConvertLoop<kToUnsigned, kToUnsigned>(in, out, count);
  if (to == DOMAIN_SIGNED_RGB && from == DOMAIN_UNSIGNED) return ConvertLoop<kToSigned, kCopy>(in, out, count);
  if (to == DOMAIN_SIGNED_RGB && from == DOMAIN_SIGNED_ALL) return ConvertLoop<kCopy, kToUnsigned>(in, out, count);
  if (to == DOMAIN_SIGNED_ALL && from == DOMAIN_UNSIGNED) return ConvertLoop<kToSigned, kToSigned>(in, out, count);
  if (to == DOMAIN_SIGNED_ALL && from == DOMAIN_SIGNED_RGB) return ConvertLoop<kCopy, kToSigned>(in, out, count);
  ConvertLoop<kCopy, kCopy>(in, out, count);
}

PixelCodec::PixelCodec(const PixelRegion& region, uint32_t bitsPerPixel, ColorDomain domain)
    : format_(region.format),
      domain_(domain),
      byteAddressable_(bitsPerPixel != 0),
      bytesPerPixel_(bitsPerPixel / 8),
      bits_(region.bits),
      rowPitch_(region.rowPitch),
      slicePitch_(region.slicePitch),
      box_(region.box),
      width_(region.box.Right - region.box.Left),
      height_(region.box.Bottom - region.box.Top),
      depth_(region.box.Back - region.box.Front),
      colorKey_(region.colorKey),
      keyColor_(KeyToColor(region.colorKey)),
      isPalettised_(region.format == D3DFMT_P8 || region.format == D3DFMT_A8P8),
      rounding_(region.dither ? kDitherMatrix : kRoundingOffsets) {
  bytesPerRow_ = bytesPerPixel_ * width_;
  palette_.fill(FloatColor{1.0f, 1.0f, 1.0f, 1.0f});
  if (isPalettised_ && region.palette) {
    constexpr float kInv255 = 1.0f / 255.0f;
    for (size_t i = 0; i < palette_.size(); ++i) {
      const PALETTEENTRY& e = region.palette[i];
      palette_[i] = {e.peRed * kInv255, e.peGreen * kInv255, e.peBlue * kInv255, e.peFlags * kInv255};
    }
  }
  if (byteAddressable_) {
    bits_ += size_t{box_.Left} * bytesPerPixel_ + size_t{box_.Top} * rowPitch_ + size_t{box_.Front} * slicePitch_;
    box_ = {0, 0, width_, height_, 0, depth_};
  }
}

PixelCodec::~PixelCodec() = default;

void PixelCodec::QuantizeColorKey() { QuantizeKeyThroughScratch(); }

HRESULT PixelCodec::SetSourceDomain(const PixelCodec& source) {
  if (source.domain_ == domain_) return S_OK;
  conversion_.reset(new (std::nothrow) FloatColor[width_ ? width_ : 1]);
  if (!conversion_) return E_OUTOFMEMORY;
  sourceDomain_ = source.domain_;
  return S_OK;
}

const FloatColor* PixelCodec::ConvertRange(const FloatColor* in) {
  if (sourceDomain_ == 0) return in;
  ConvertColorDomain(domain_, sourceDomain_, in, conversion_.get(), width_);
  return conversion_.get();
}

void PixelCodec::ApplyColorKey(FloatColor* row) const {
  const FloatColor k = keyColor_;
  for (uint32_t x = 0; x < width_; ++x) {
    FloatColor& c = row[x];
    if (c.r == k.r && c.g == k.g && c.b == k.b && c.a == k.a) c = {0.0f, 0.0f, 0.0f, 0.0f};
  }
}

void PixelCodec::QuantizeKeyThroughScratch() {
  // 8 bytes hold one pixel of the widest plain format.
  alignas(8) uint8_t scratch[8] = {};
  uint8_t* const savedBits = bits_;
  const uint32_t savedWidth = width_;
  const float* const savedRounding = rounding_;
  const uint32_t savedKey = colorKey_;
  const ColorDomain savedSource = sourceDomain_;

  bits_ = scratch;
  width_ = 1;
  rounding_ = kRoundingOffsets;
  colorKey_ = 0;
  sourceDomain_ = ColorDomain(0);

  FloatColor key = keyColor_;
  if (domain_ != DOMAIN_UNSIGNED) ConvertColorDomain(domain_, DOMAIN_UNSIGNED, &key, &key, 1);
  EncodeRow(0, 0, &key);
  DecodeRow(0, 0, &keyColor_);

  bits_ = savedBits;
  width_ = savedWidth;
  rounding_ = savedRounding;
  colorKey_ = savedKey;
  sourceDomain_ = savedSource;
}
