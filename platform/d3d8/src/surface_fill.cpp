#include "surface_fill.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "d3d8.h"

namespace {

DWORD Scale(DWORD value8, int bits) { return value8 >> (8 - bits); }
DWORD Expand5(DWORD v) { return (v << 3) | (v >> 2); }
DWORD Expand6(DWORD v) { return (v << 2) | (v >> 4); }

DWORD DepthBits(float z, int bits) {
  const double max = std::ldexp(1.0, bits) - 1.0;
  return static_cast<DWORD>(std::lround(static_cast<double>(z) * max));
}

}  // namespace

bool EncodeClearColor(D3DFORMAT format, D3DCOLOR color, DWORD* value) {
  const DWORD a = color >> 24, r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      *value = color;
      return true;
    case D3DFMT_R5G6B5:
      *value = (Scale(r, 5) << 11) | (Scale(g, 6) << 5) | Scale(b, 5);
      return true;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      *value = (Scale(a, 1) << 15) | (Scale(r, 5) << 10) | (Scale(g, 5) << 5) | Scale(b, 5);
      return true;
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
      *value = (Scale(a, 4) << 12) | (Scale(r, 4) << 8) | (Scale(g, 4) << 4) | Scale(b, 4);
      return true;
    default:
      return false;
  }
}

bool EncodeClearDepth(D3DFORMAT format, float z, DWORD stencil, DWORD flags, DWORD* value, DWORD* keepMask) {
  DWORD depthMask = 0, stencilMask = 0, v = 0;
  switch (format) {
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE:
      depthMask = 0xFFFF;
      v = DepthBits(z, 16);
      break;
    case D3DFMT_D15S1:
      depthMask = 0xFFFE;
      stencilMask = 0x1;
      v = (DepthBits(z, 15) << 1) | (stencil & 1);
      break;
    case D3DFMT_D32:
      depthMask = 0xFFFFFFFF;
      v = DepthBits(z, 32);
      break;
    case D3DFMT_D24S8:
      depthMask = 0xFFFFFF00;
      stencilMask = 0xFF;
      v = (DepthBits(z, 24) << 8) | (stencil & 0xFF);
      break;
    case D3DFMT_D24X8:
      depthMask = 0xFFFFFF00;
      v = DepthBits(z, 24) << 8;
      break;
    case D3DFMT_D24X4S4:
      depthMask = 0xFFFFFF00;
      stencilMask = 0xF;
      v = (DepthBits(z, 24) << 8) | (stencil & 0xF);
      break;
    default:
      return false;
  }
  DWORD written = 0;
  if (flags & D3DCLEAR_ZBUFFER) written |= depthMask;
  if (flags & D3DCLEAR_STENCIL) written |= stencilMask;
  *value = v & written;
  *keepMask = ~written;
  return true;
}

void FillImageRect(PixelImage& image, const RECT& rect, DWORD value, DWORD keepMask) {
  const UINT bytes = GetFormatLayout(image.Format()).blockBytes;
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    BYTE* row = image.At(static_cast<UINT>(rect.left), static_cast<UINT>(y), 0);
    for (LONG x = rect.left; x < rect.right; ++x, row += bytes) {
      if (bytes == 4) {
        DWORD old;
        std::memcpy(&old, row, 4);
        const DWORD next = (old & keepMask) | value;
        std::memcpy(row, &next, 4);
      } else {
        WORD old;
        std::memcpy(&old, row, 2);
        const WORD next = static_cast<WORD>((old & keepMask) | value);
        std::memcpy(row, &next, 2);
      }
    }
  }
}

void ReadFramePixels(const PixelImage& image, const RECT& rect, std::vector<DWORD>& pixels) {
  const UINT width = static_cast<UINT>(rect.right - rect.left);
  const UINT height = static_cast<UINT>(rect.bottom - rect.top);
  pixels.resize(size_t{width} * height);
  DWORD* out = pixels.data();
  for (UINT y = 0; y < height; ++y) {
    const BYTE* row = image.At(static_cast<UINT>(rect.left), static_cast<UINT>(rect.top) + y, 0);
    for (UINT x = 0; x < width; ++x) {
      DWORD rgb = 0;
      if (image.Format() == D3DFMT_X8R8G8B8 || image.Format() == D3DFMT_A8R8G8B8) {
        std::memcpy(&rgb, row + 4 * x, 4);
        rgb &= 0xFFFFFF;
      } else {
        WORD p;
        std::memcpy(&p, row + 2 * x, 2);
        if (image.Format() == D3DFMT_R5G6B5) {
          rgb = (Expand5((p >> 11) & 31) << 16) | (Expand6((p >> 5) & 63) << 8) | Expand5(p & 31);
        } else {  // X1R5G5B5
          rgb = (Expand5((p >> 10) & 31) << 16) | (Expand5((p >> 5) & 31) << 8) | Expand5(p & 31);
        }
      }
      *out++ = 0xFF000000u | rgb;
    }
  }
}
