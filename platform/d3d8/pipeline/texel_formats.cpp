#include "texel_formats.h"

#include <cstring>

namespace d3d8pipe {

namespace {

template <typename T>
T Load(const SurfaceView& level, UINT x, UINT y) {
  T value;
  std::memcpy(&value, static_cast<const BYTE*>(level.bits) + static_cast<size_t>(y) * level.pitch + x * sizeof(T),
              sizeof(T));
  return value;
}

uint32_t Expand(uint32_t value, int bits) {  // n-bit channel to 8 bits
  switch (bits) {
    case 1: return value ? 255u : 0u;
    case 2: return value * 0x55u;
    case 3: return (value << 5) | (value << 2) | (value >> 1);
    case 4: return value * 0x11u;
    case 5: return (value << 3) | (value >> 2);
    case 6: return (value << 2) | (value >> 4);
    default: return value;
  }
}

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

uint32_t FetchA8R8G8B8(const SurfaceView& l, UINT x, UINT y) { return Load<uint32_t>(l, x, y); }
uint32_t FetchX8R8G8B8(const SurfaceView& l, UINT x, UINT y) { return Load<uint32_t>(l, x, y) | 0xFF000000u; }
uint32_t FetchR8G8B8(const SurfaceView& l, UINT x, UINT y) {
  const BYTE* p = static_cast<const BYTE*>(l.bits) + static_cast<size_t>(y) * l.pitch + x * 3u;
  return Argb(255, p[2], p[1], p[0]);
}
uint32_t FetchR5G6B5(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint16_t>(l, x, y);
  return Argb(255, Expand(v >> 11, 5), Expand((v >> 5) & 63, 6), Expand(v & 31, 5));
}
uint32_t FetchX1R5G5B5(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint16_t>(l, x, y);
  return Argb(255, Expand((v >> 10) & 31, 5), Expand((v >> 5) & 31, 5), Expand(v & 31, 5));
}
uint32_t FetchA1R5G5B5(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint16_t>(l, x, y);
  return Argb(Expand(v >> 15, 1), Expand((v >> 10) & 31, 5), Expand((v >> 5) & 31, 5), Expand(v & 31, 5));
}
uint32_t FetchA4R4G4B4(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint16_t>(l, x, y);
  return Argb(Expand(v >> 12, 4), Expand((v >> 8) & 15, 4), Expand((v >> 4) & 15, 4), Expand(v & 15, 4));
}
uint32_t FetchX4R4G4B4(const SurfaceView& l, UINT x, UINT y) { return FetchA4R4G4B4(l, x, y) | 0xFF000000u; }
uint32_t FetchR3G3B2(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint8_t>(l, x, y);
  return Argb(255, Expand(v >> 5, 3), Expand((v >> 2) & 7, 3), Expand(v & 3, 2));
}
uint32_t FetchA8R3G3B2(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint16_t>(l, x, y);
  return Argb(v >> 8, Expand((v >> 5) & 7, 3), Expand((v >> 2) & 7, 3), Expand(v & 3, 2));
}
uint32_t FetchA8(const SurfaceView& l, UINT x, UINT y) { return Argb(Load<uint8_t>(l, x, y), 0, 0, 0); }
uint32_t FetchL8(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint8_t>(l, x, y);
  return Argb(255, v, v, v);
}
uint32_t FetchA8L8(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint16_t>(l, x, y);
  return Argb(v >> 8, v & 255, v & 255, v & 255);
}
uint32_t FetchA4L4(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint8_t>(l, x, y);
  const uint32_t lum = Expand(v & 15, 4);
  return Argb(Expand(v >> 4, 4), lum, lum, lum);
}
uint32_t FetchA2B10G10R10(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint32_t>(l, x, y);
  return Argb(Expand(v >> 30, 2), (v >> 2) & 255, (v >> 12) & 255, (v >> 22) & 255);
}
uint32_t FetchG16R16(const SurfaceView& l, UINT x, UINT y) {
  const uint32_t v = Load<uint32_t>(l, x, y);
  return Argb(255, (v >> 8) & 255, v >> 24, 255);
}

// ---- block-compressed formats ------------------------------------------------------
const BYTE* Block(const SurfaceView& l, UINT x, UINT y, UINT blockBytes) {
  return static_cast<const BYTE*>(l.bits) + static_cast<size_t>(y / 4) * l.pitch + (x / 4) * blockBytes;
}

uint32_t Rgb565(uint32_t v) { return Argb(255, Expand(v >> 11, 5), Expand((v >> 5) & 63, 6), Expand(v & 31, 5)); }

uint32_t Mix(uint32_t a, uint32_t b, uint32_t wa, uint32_t wb, uint32_t divisor) {
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t ca = (a >> shift) & 255, cb = (b >> shift) & 255;
    out |= ((ca * wa + cb * wb + divisor / 2) / divisor) << shift;
  }
  return out;
}

// Colour part of a DXT block; `alwaysFour`: DXT2-5 use four colours whatever the endpoint order.
uint32_t DecodeColorBlock(const BYTE* block, UINT x, UINT y, bool alwaysFour) {
  const uint32_t c0 = block[0] | (block[1] << 8), c1 = block[2] | (block[3] << 8);
  const uint32_t bits = block[4] | (block[5] << 8) | (block[6] << 16) | (static_cast<uint32_t>(block[7]) << 24);
  const uint32_t index = (bits >> (2 * ((y & 3) * 4 + (x & 3)))) & 3;
  const uint32_t rgb0 = Rgb565(c0), rgb1 = Rgb565(c1);
  if (alwaysFour || c0 > c1) {
    switch (index) {
      case 0: return rgb0;
      case 1: return rgb1;
      case 2: return Mix(rgb0, rgb1, 2, 1, 3);
      default: return Mix(rgb0, rgb1, 1, 2, 3);
    }
  }
  switch (index) {
    case 0: return rgb0;
    case 1: return rgb1;
    case 2: return Mix(rgb0, rgb1, 1, 1, 2);
    default: return 0;  // transparent black
  }
}

uint32_t FetchDxt1(const SurfaceView& l, UINT x, UINT y) { return DecodeColorBlock(Block(l, x, y, 8), x, y, false); }

uint32_t FetchDxt3(const SurfaceView& l, UINT x, UINT y) {
  const BYTE* block = Block(l, x, y, 16);
  const UINT texel = (y & 3) * 4 + (x & 3);
  const uint32_t alpha = Expand((block[texel / 2] >> (4 * (texel & 1))) & 15, 4);
  return (DecodeColorBlock(block + 8, x, y, true) & 0x00FFFFFFu) | (alpha << 24);
}

uint32_t FetchDxt5(const SurfaceView& l, UINT x, UINT y) {
  const BYTE* block = Block(l, x, y, 16);
  const uint32_t a0 = block[0], a1 = block[1];
  const UINT texel = (y & 3) * 4 + (x & 3);
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
  const uint32_t index = static_cast<uint32_t>(bits >> (3 * texel)) & 7;
  uint32_t alpha;
  if (index == 0) {
    alpha = a0;
  } else if (index == 1) {
    alpha = a1;
  } else if (a0 > a1) {
    alpha = ((8 - index) * a0 + (index - 1) * a1 + 3) / 7;
  } else if (index == 6) {
    alpha = 0;
  } else if (index == 7) {
    alpha = 255;
  } else {
    alpha = ((6 - index) * a0 + (index - 1) * a1 + 2) / 5;
  }
  return (DecodeColorBlock(block + 8, x, y, true) & 0x00FFFFFFu) | (alpha << 24);
}

}  // namespace

TexelFetch TexelFetchFor(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8: return FetchA8R8G8B8;
    case D3DFMT_X8R8G8B8: return FetchX8R8G8B8;
    case D3DFMT_R8G8B8: return FetchR8G8B8;
    case D3DFMT_R5G6B5: return FetchR5G6B5;
    case D3DFMT_X1R5G5B5: return FetchX1R5G5B5;
    case D3DFMT_A1R5G5B5: return FetchA1R5G5B5;
    case D3DFMT_A4R4G4B4: return FetchA4R4G4B4;
    case D3DFMT_X4R4G4B4: return FetchX4R4G4B4;
    case D3DFMT_R3G3B2: return FetchR3G3B2;
    case D3DFMT_A8R3G3B2: return FetchA8R3G3B2;
    case D3DFMT_A8: return FetchA8;
    case D3DFMT_L8: return FetchL8;
    case D3DFMT_A8L8: return FetchA8L8;
    case D3DFMT_A4L4: return FetchA4L4;
    case D3DFMT_A2B10G10R10: return FetchA2B10G10R10;
    case D3DFMT_G16R16: return FetchG16R16;
    case D3DFMT_DXT1: return FetchDxt1;
    case D3DFMT_DXT2: case D3DFMT_DXT3: return FetchDxt3;
    case D3DFMT_DXT4: case D3DFMT_DXT5: return FetchDxt5;
    default: return nullptr;
  }
}

bool IsBlockCompressed(D3DFORMAT format) {
  return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
         format == D3DFMT_DXT5;
}

uint64_t RequiredLevelBytes(D3DFORMAT format, UINT width, UINT height, INT pitch) {
  if (width == 0 || height == 0 || pitch <= 0) return 0;
  UINT bytesPerUnit;
  switch (format) {
    case D3DFMT_A8R8G8B8: case D3DFMT_X8R8G8B8: case D3DFMT_A2B10G10R10: case D3DFMT_G16R16: bytesPerUnit = 4; break;
    case D3DFMT_R8G8B8: bytesPerUnit = 3; break;
    case D3DFMT_R5G6B5: case D3DFMT_X1R5G5B5: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4: case D3DFMT_A8R3G3B2: case D3DFMT_A8L8: bytesPerUnit = 2; break;
    case D3DFMT_R3G3B2: case D3DFMT_A8: case D3DFMT_L8: case D3DFMT_A4L4: bytesPerUnit = 1; break;
    case D3DFMT_DXT1: bytesPerUnit = 8; break;
    case D3DFMT_DXT2: case D3DFMT_DXT3: case D3DFMT_DXT4: case D3DFMT_DXT5: bytesPerUnit = 16; break;
    default: return 0;
  }
  uint64_t units = width, rows = height;
  if (IsBlockCompressed(format)) {
    units = (width + 3) / 4;
    rows = (height + 3) / 4;
  }
  if (static_cast<uint64_t>(pitch) < units * bytesPerUnit) return 0;
  return (rows - 1) * static_cast<uint64_t>(pitch) + units * bytesPerUnit;
}

}  // namespace d3d8pipe
