// Block decoders. The colour part of every format follows the DXT1 rule,
// including its three-colour mode when color0 <= color1.
#include "gfx/pixel/block_decode.h"

#include "gfx/pixel/block_format.h"

namespace {

FloatColor Expand565(uint32_t c) {
  return {static_cast<float>(c >> 11) / 31.0f, static_cast<float>((c >> 5) & 63) / 63.0f,
          static_cast<float>(c & 31) / 31.0f, 1.0f};
}

FloatColor Lerp(const FloatColor& a, const FloatColor& b, float f) {
  return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f, a.a + (b.a - a.a) * f};
}

// Colour block at `block` (8 bytes) into out[0..15].
void DecodeColorPart(const uint8_t* block, FloatColor* out) {
  const uint32_t color0 = LoadLe16(block);
  const uint32_t color1 = LoadLe16(block + 2);
  FloatColor palette[4];
  palette[0] = Expand565(color0);
  palette[1] = Expand565(color1);
  if (color0 > color1) {
    palette[2] = Lerp(palette[0], palette[1], 1.0f / 3.0f);
    palette[3] = Lerp(palette[0], palette[1], 2.0f / 3.0f);
  } else {
    palette[2] = Lerp(palette[0], palette[1], 0.5f);
    palette[3] = {0.0f, 0.0f, 0.0f, 0.0f};
  }
  const uint32_t indices = LoadLe32(block + 4);
  for (uint32_t i = 0; i < kBlockPixels; ++i) out[i] = palette[(indices >> (2 * i)) & 3];
}

void DecodeExplicitAlpha(const uint8_t* block, FloatColor* out) {
  for (uint32_t i = 0; i < kBlockPixels; ++i) {
    const uint32_t nibble = (block[i / 2] >> (4 * (i & 1))) & 15;
    out[i].a = static_cast<float>(nibble) * (1.0f / 15.0f);
  }
}

void DecodeInterpolatedAlpha(const uint8_t* block, FloatColor* out) {
  const float a0 = static_cast<float>(block[0]) / 255.0f;
  const float a1 = static_cast<float>(block[1]) / 255.0f;
  float values[8] = {a0, a1};
  if (block[1] >= block[0]) {
    for (int i = 1; i <= 4; ++i) values[i + 1] = (static_cast<float>(5 - i) * a0 + static_cast<float>(i) * a1) * 0.2f;
    values[6] = 0.0f;
    values[7] = 1.0f;
  } else {
    for (int i = 1; i <= 6; ++i)
      values[i + 1] = (static_cast<float>(7 - i) * a0 + static_cast<float>(i) * a1) * 0.14285715f;
  }
  for (uint32_t half = 0; half < 2; ++half) {
    const uint8_t* group = block + 2 + 3 * half;
    const uint32_t bits = uint32_t{group[0]} | (uint32_t{group[1]} << 8) | (uint32_t{group[2]} << 16);
    for (uint32_t i = 0; i < 8; ++i) out[8 * half + i].a = values[(bits >> (3 * i)) & 7];
  }
}

}  // namespace

void UnpremultiplyAlpha(FloatColor* pixels, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    FloatColor& p = pixels[i];
    if (p.a == 0.0f) {
      p.r = p.g = p.b = 0.0f;
    } else if (p.a < 1.0f) {
      p.r = p.r < p.a ? p.r / p.a : 1.0f;
      p.g = p.g < p.a ? p.g / p.a : 1.0f;
      p.b = p.b < p.a ? p.b / p.a : 1.0f;
    }
  }
}

void DecodeBlockDxt1(const uint8_t* block, FloatColor* out) { DecodeColorPart(block, out); }

void DecodeBlockDxt3(const uint8_t* block, FloatColor* out) {
  DecodeColorPart(block + 8, out);
  DecodeExplicitAlpha(block, out);
}

void DecodeBlockDxt2(const uint8_t* block, FloatColor* out) {
  DecodeBlockDxt3(block, out);
  UnpremultiplyAlpha(out, kBlockPixels);
}

void DecodeBlockDxt5(const uint8_t* block, FloatColor* out) {
  DecodeColorPart(block + 8, out);
  DecodeInterpolatedAlpha(block, out);
}

void DecodeBlockDxt4(const uint8_t* block, FloatColor* out) {
  DecodeBlockDxt5(block, out);
  UnpremultiplyAlpha(out, kBlockPixels);
}

BlockDecoder GetBlockDecoder(uint32_t format) {
  switch (format) {
    case D3DFMT_DXT1: return DecodeBlockDxt1;
    case D3DFMT_DXT2: return DecodeBlockDxt2;
    case D3DFMT_DXT3: return DecodeBlockDxt3;
    case D3DFMT_DXT4: return DecodeBlockDxt4;
    case D3DFMT_DXT5: return DecodeBlockDxt5;
    default: return nullptr;
  }
}
