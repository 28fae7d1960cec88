#include "pixel_image.h"

#include <cstring>
#include <new>

HRESULT PixelImage::Allocate(D3DFORMAT format, UINT width, UINT height, UINT depth) {
  const size_t size = LevelBytes(format, width, height, depth);
  if (size == 0) return E_OUTOFMEMORY;
  std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[size]);
  if (!bytes) return E_OUTOFMEMORY;
  std::memset(bytes.get(), 0, size);
  format_ = format;
  width_ = width;
  height_ = height;
  depth_ = depth;
  rowPitch_ = ::RowPitch(format, width);
  slicePitch_ = static_cast<UINT>(size / depth);
  size_ = size;
  bytes_ = std::move(bytes);
  return D3D_OK;
}

BYTE* PixelImage::At(UINT x, UINT y, UINT z) {
  return const_cast<BYTE*>(static_cast<const PixelImage*>(this)->At(x, y, z));
}

const BYTE* PixelImage::At(UINT x, UINT y, UINT z) const {
  const FormatLayout layout = GetFormatLayout(format_);
  return bytes_.get() + size_t{z} * slicePitch_ + size_t{y / layout.blockHeight} * rowPitch_ +
         size_t{x / layout.blockWidth} * layout.blockBytes;
}

const char* CheckRect(D3DFORMAT format, UINT width, UINT height, const RECT& rect) {
  if (rect.left < 0 || rect.top < 0 || rect.left > rect.right || rect.top > rect.bottom)
    return "rectangle inverted or negative";
  if (static_cast<UINT>(rect.right) > width || static_cast<UINT>(rect.bottom) > height)
    return "rectangle outside the surface";
  const FormatLayout layout = GetFormatLayout(format);
  const auto onBlock = [](LONG value, UINT block, UINT edge) {
    return static_cast<UINT>(value) % block == 0 || static_cast<UINT>(value) == edge;
  };
  if (!onBlock(rect.left, layout.blockWidth, UINT32_MAX) || !onBlock(rect.top, layout.blockHeight, UINT32_MAX) ||
      !onBlock(rect.right, layout.blockWidth, width) || !onBlock(rect.bottom, layout.blockHeight, height))
    return "rectangle not on whole blocks of the format";
  return nullptr;
}

void CopyImageRect(const PixelImage& source, const RECT& rect, PixelImage& destination, UINT destX, UINT destY) {
  const FormatLayout layout = GetFormatLayout(source.Format());
  const UINT left = static_cast<UINT>(rect.left), top = static_cast<UINT>(rect.top);
  const UINT right = static_cast<UINT>(rect.right), bottom = static_cast<UINT>(rect.bottom);
  const size_t rowBytes = size_t{(right - left + layout.blockWidth - 1) / layout.blockWidth} * layout.blockBytes;
  const UINT rows = (bottom - top + layout.blockHeight - 1) / layout.blockHeight;
  for (UINT row = 0; row < rows; ++row) {
    const BYTE* from = source.At(left, top + row * layout.blockHeight, 0);
    BYTE* to = destination.At(destX, destY + row * layout.blockHeight, 0);
    std::memmove(to, from, rowBytes);
  }
}
