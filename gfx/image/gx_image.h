// Public description of an image file, as the texture entry points hand it back.
#pragma once

#include "d3d8_types.h"
#include "win_types.h"

// No reader accepted the data, or the file could not be opened, mapped or sized.
constexpr HRESULT GXERR_INVALID_DATA = static_cast<HRESULT>(0x88760B59u);

enum GxImageFileFormat : uint32_t {
  GX_IFF_BMP = 0,
  GX_IFF_JPG = 1,
  GX_IFF_TGA = 2,
  GX_IFF_PNG = 3,
  GX_IFF_DDS = 4,
  GX_IFF_PPM = 5,
  GX_IFF_DIB = 6,
  GX_IFF_FORCE_DWORD = 0x7fffffff
};

struct GxImageInfo {
  UINT Width;
  UINT Height;
  UINT Depth;
  UINT MipLevels;
  D3DFORMAT Format;
  D3DRESOURCETYPE ResourceType;
  GxImageFileFormat ImageFileFormat;
};
