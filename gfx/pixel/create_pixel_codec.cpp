#include <new>

#include "gfx/pixel/block_codec.h"
#include "gfx/pixel/pixel_codec.h"
#include "gfx/pixel/plain_codecs.h"
#include "gfx/pixel/yuv_codec.h"

std::unique_ptr<PixelCodec> CreatePixelCodec(const PixelRegion& region) {
  const D3DBOX& b = region.box;
  if (region.bits == nullptr || b.Right < b.Left || b.Bottom < b.Top || b.Back < b.Front) return nullptr;

  std::unique_ptr<PixelCodec> codec;
  switch (region.format) {
    case D3DFMT_UYVY:
    case D3DFMT_YUY2:
      codec.reset(new (std::nothrow) YuvCodec(region));
      break;
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
      codec = CreateBlockCodec(region);
      break;
    default:
      codec = CreatePlainCodec(region);
      break;
  }
  if (codec && region.colorKey != 0) codec->QuantizeColorKey();
  return codec;
}
