// Truevision TGA: colour-mapped, true-colour and greyscale, raw or run-length.
#include <cstring>

#include "gfx/image/byte_order.h"
#include "gfx/image/source_image.h"

namespace {

constexpr UINT kHeaderSize = 18;
constexpr BYTE kRunLengthBit = 0x08;
constexpr BYTE kRightToLeftBit = 0x10;
constexpr BYTE kTopFirstBit = 0x20;

struct TgaHeader {
  UINT idLength;
  UINT colorMapType;
  UINT imageType;
  UINT mapFirst;
  UINT mapLength;
  UINT mapEntryBits;
  UINT width;
  UINT height;
  UINT pixelDepth;
  UINT descriptor;
};

TgaHeader ReadHeader(const BYTE* p) {
  return TgaHeader{p[0], p[1], p[2], ReadLe16(p + 3), ReadLe16(p + 5), p[7], ReadLe16(p + 12), ReadLe16(p + 14),
                   p[16], p[17]};
}

D3DFORMAT MapEntryFormat(UINT bits) {
  switch (bits) {
    case 15:
      return D3DFMT_X1R5G5B5;
    case 16:
      return D3DFMT_A1R5G5B5;
    case 24:
      return D3DFMT_R8G8B8;
    case 32:
      return D3DFMT_A8R8G8B8;
    default:
      return D3DFMT_UNKNOWN;
  }
}

D3DFORMAT PixelFormat(const TgaHeader& h) {
  switch (h.imageType & 3) {
    case 1:
      return h.colorMapType == 1 && h.pixelDepth == 8 ? D3DFMT_P8 : D3DFMT_UNKNOWN;
    case 2:
      return MapEntryFormat(h.pixelDepth);
    case 3:
      return h.pixelDepth == 8 ? D3DFMT_L8 : D3DFMT_UNKNOWN;
    default:
      return D3DFMT_UNKNOWN;
  }
}

BYTE Widen5(UINT c) { return static_cast<BYTE>(c * 8 + c / 4); }

PALETTEENTRY MapEntry(const BYTE* p, UINT bits) {
  if (bits == 24) return PALETTEENTRY{p[2], p[1], p[0], 255};
  if (bits == 32) return PALETTEENTRY{p[2], p[1], p[0], p[3]};
  const UINT v = ReadLe16(p);
  const BYTE alpha = bits == 15 || (v & 0x8000) ? 255 : 0;
  return PALETTEENTRY{Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31), alpha};
}

// Writes decoded pixels in the file's order into the output block, whatever
// the origin the file declares.
class TgaCanvas {
 public:
  TgaCanvas(BYTE* out, UINT width, UINT height, UINT bytesPerPixel, UINT descriptor)
      : out_(out), width_(width), height_(height), bpp_(bytesPerPixel),
        rightToLeft_(descriptor & kRightToLeftBit), topFirst_(descriptor & kTopFirstBit) {}

  bool Full() const { return count_ >= uint64_t{width_} * height_; }
  void Put(const BYTE* pixel) {
    const UINT row = static_cast<UINT>(count_ / width_);
    const UINT column = static_cast<UINT>(count_ % width_);
    const UINT y = topFirst_ ? row : height_ - 1 - row;
    const UINT x = rightToLeft_ ? width_ - 1 - column : column;
    std::memcpy(out_ + (uint64_t{y} * width_ + x) * bpp_, pixel, bpp_);
    ++count_;
  }

 private:
  BYTE* out_;
  UINT width_;
  UINT height_;
  UINT bpp_;
  bool rightToLeft_;
  bool topFirst_;
  uint64_t count_ = 0;
};

// Decodes the pixel stream; E_FAIL when it ends before the image is full.
// A run that crosses a row end continues on the next row (the format allows
// packets across rows); one that would pass the last pixel is cut there.
HRESULT DecodePixels(const BYTE* data, uint64_t size, bool runLength, TgaCanvas& canvas, UINT bpp) {
  uint64_t pos = 0;
  while (!canvas.Full()) {
    if (!runLength) {
      if (size - pos < bpp) return E_FAIL;
      canvas.Put(data + pos);
      pos += bpp;
      continue;
    }
    if (pos >= size) return E_FAIL;
    const BYTE packet = data[pos++];
    const UINT count = (packet & 0x7F) + 1u;
    if (packet & 0x80) {
      if (size - pos < bpp) return E_FAIL;
      for (UINT i = 0; i < count && !canvas.Full(); ++i) canvas.Put(data + pos);
      pos += bpp;
    } else {
      for (UINT i = 0; i < count && !canvas.Full(); ++i) {
        if (size - pos < bpp) return E_FAIL;
        canvas.Put(data + pos);
        pos += bpp;
      }
    }
  }
  return S_OK;
}

}  // namespace

HRESULT SourceImage::LoadTga(const BYTE* data, UINT size) {
  if (size < kHeaderSize) return E_FAIL;
  const TgaHeader h = ReadHeader(data);
  if (h.colorMapType > 1 || (h.imageType & ~0x0Bu) != 0 || h.width == 0 || h.height == 0) return E_FAIL;

  D3DFORMAT mapFormat = D3DFMT_UNKNOWN;
  if (h.colorMapType == 1) {
    mapFormat = MapEntryFormat(h.mapEntryBits);
    if (mapFormat == D3DFMT_UNKNOWN) return E_FAIL;
  }
  const D3DFORMAT chosen = PixelFormat(h);
  if (chosen == D3DFMT_UNKNOWN) return E_FAIL;

  const uint64_t mapBytes = h.colorMapType == 1 ? uint64_t{h.mapLength} * ((h.mapEntryBits + 7) / 8) : 0;
  if (size - kHeaderSize < h.idLength || size - kHeaderSize - h.idLength < mapBytes) return E_FAIL;
  const BYTE* map = data + kHeaderSize + h.idLength;
  const BYTE* pixelData = map + mapBytes;
  const uint64_t available = size - kHeaderSize - h.idLength - mapBytes;

  if (loadPixels && chosen == D3DFMT_P8) {
    if (h.mapFirst + h.mapLength > 256) return E_FAIL;
    const HRESULT hr = AllocatePalette();
    if (FAILED(hr)) return hr;
    const UINT entryBytes = (h.mapEntryBits + 7) / 8;
    for (UINT k = 0; k < 256; ++k) palette[k] = PALETTEENTRY{255, 255, 255, 255};
    for (UINT k = 0; k < h.mapLength; ++k) palette[h.mapFirst + k] = MapEntry(map + k * entryBytes, h.mapEntryBits);
  }

  const UINT bpp = (h.pixelDepth + 7) / 8;
  format = chosen;
  width = h.width;
  height = h.height;
  depth = 1;
  rowPitch = bpp * h.width;
  slicePitch = 0;
  // A description alone carries no pixel pointer: the data behind it is only
  // checked when the pixels are asked for.
  if (!loadPixels) return S_OK;

  const uint64_t imageBytes = uint64_t{rowPitch} * height;
  const bool runLength = h.imageType & kRunLengthBit;
  if (!runLength && (h.descriptor & (kTopFirstBit | kRightToLeftBit)) == kTopFirstBit) {
    if (available < imageBytes) return E_FAIL;
    pixels = const_cast<BYTE*>(pixelData);  // into the caller's file image, never written
    ownsPixels = FALSE;
    return S_OK;
  }
  // Data that cannot fill the image is refused before the block is allocated:
  // a raw pixel takes bpp bytes, a run packet of 1 + bpp bytes gives at most 128.
  const uint64_t reachable = runLength ? available / (1 + bpp) * 128 + 128 : available / bpp;
  if (reachable < uint64_t{width} * height) return E_FAIL;

  const HRESULT hr = AllocatePixels(imageBytes);
  if (FAILED(hr)) return hr;
  TgaCanvas canvas(pixels, width, height, bpp, h.descriptor);
  return DecodePixels(pixelData, available, runLength, canvas, bpp);
}
