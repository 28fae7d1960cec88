#include "format_layout.h"

#include <cstdint>

FormatLayout GetFormatLayout(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_R3G3B2:
    case D3DFMT_A8:
    case D3DFMT_P8:
    case D3DFMT_L8:
    case D3DFMT_A4L4:
      return {1, 1, 1, false};
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A8P8:
    case D3DFMT_A8L8:
    case D3DFMT_V8U8:
    case D3DFMT_L6V5U5:
      return {1, 1, 2, false};
    case D3DFMT_R8G8B8:
      return {1, 1, 3, false};
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A2B10G10R10:
    case D3DFMT_G16R16:
    case D3DFMT_X8L8V8U8:
    case D3DFMT_Q8W8V8U8:
    case D3DFMT_V16U16:
    case D3DFMT_W11V11U10:
    case D3DFMT_A2W10V10U10:
      return {1, 1, 4, false};
    case D3DFMT_UYVY:
    case D3DFMT_YUY2:
      return {2, 1, 4, false};  // two pixels share one chroma pair
    case D3DFMT_DXT1:
      return {4, 4, 8, false};
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
      return {4, 4, 16, false};
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D15S1:
    case D3DFMT_D16:
      return {1, 1, 2, true};
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
      return {1, 1, 4, true};
    default:
      return {};
  }
}

bool IsSurfaceFormat(D3DFORMAT format) { return GetFormatLayout(format).blockBytes != 0; }
bool IsDepthFormat(D3DFORMAT format) { return GetFormatLayout(format).depth; }
bool IsBlockCompressed(D3DFORMAT format) { return GetFormatLayout(format).blockHeight == 4; }

UINT RowPitch(D3DFORMAT format, UINT width) {
  const FormatLayout layout = GetFormatLayout(format);
  if (layout.blockBytes == 0) return 0;
  const uint64_t blocks = (uint64_t{width} + layout.blockWidth - 1) / layout.blockWidth;
  const uint64_t pitch = blocks * layout.blockBytes;
  return pitch > UINT32_MAX ? 0 : static_cast<UINT>(pitch);
}

UINT BlockRows(D3DFORMAT format, UINT height) {
  const FormatLayout layout = GetFormatLayout(format);
  if (layout.blockBytes == 0) return 0;
  return static_cast<UINT>((uint64_t{height} + layout.blockHeight - 1) / layout.blockHeight);
}

size_t LevelBytes(D3DFORMAT format, UINT width, UINT height, UINT depth) {
  const uint64_t total = uint64_t{RowPitch(format, width)} * BlockRows(format, height) * depth;
  return total > kMaxLevelBytes ? 0 : static_cast<size_t>(total);
}
