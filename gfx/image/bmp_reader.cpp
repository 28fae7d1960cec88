// Windows bitmaps: the file with its 14-byte header, and the bare DIB that
// starts with a BITMAPINFOHEADER (or one of its longer successors).
#include <cstring>

#include "gfx/image/bmp_rle.h"
#include "gfx/image/byte_order.h"
#include "gfx/image/decode_limits.h"
#include "gfx/image/source_image.h"

namespace {

constexpr UINT kFileHeaderSize = 14;
constexpr UINT kInfoHeaderSize = 40;
constexpr UINT kV4HeaderSize = 108;

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

struct DibHeader {
  UINT headerSize;
  int64_t width;
  int64_t height;  // negative: rows stored top first
  UINT planes;
  UINT bitCount;
  DWORD compression;
  DWORD colorsUsed;
};

DibHeader ReadDibHeader(const BYTE* p) {
  DibHeader h{};
  h.headerSize = ReadLe32(p);
  h.width = static_cast<int32_t>(ReadLe32(p + 4));
  h.height = static_cast<int32_t>(ReadLe32(p + 8));
  h.planes = ReadLe16(p + 12);
  h.bitCount = ReadLe16(p + 14);
  h.compression = ReadLe32(p + 16);
  h.colorsUsed = ReadLe32(p + 32);
  return h;
}

struct MaskFormat {
  UINT bitCount;
  DWORD red, green, blue, alpha;
  D3DFORMAT format;
};

constexpr MaskFormat kMaskFormats[] = {
    {16, 0xF800, 0x07E0, 0x001F, 0, D3DFMT_R5G6B5},
    {16, 0x7C00, 0x03E0, 0x001F, 0, D3DFMT_X1R5G5B5},
    {16, 0x7C00, 0x03E0, 0x001F, 0x8000, D3DFMT_A1R5G5B5},
    {16, 0x0F00, 0x00F0, 0x000F, 0, D3DFMT_X4R4G4B4},
    {16, 0x0F00, 0x00F0, 0x000F, 0xF000, D3DFMT_A4R4G4B4},
    {16, 0x00E0, 0x001C, 0x0003, 0xFF00, D3DFMT_A8R3G3B2},
    {16, 0x00FF, 0x00FF, 0x00FF, 0xFF00, D3DFMT_A8L8},
    {24, 0xFF0000, 0x00FF00, 0x0000FF, 0, D3DFMT_R8G8B8},
    {32, 0xFF0000, 0x00FF00, 0x0000FF, 0, D3DFMT_X8R8G8B8},
    {32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000, D3DFMT_A8R8G8B8},
    {32, 0x000003FF, 0x000FFC00, 0x3FF00000, 0xC0000000, D3DFMT_A2B10G10R10},
    {32, 0x0000FFFF, 0xFFFF0000, 0, 0, D3DFMT_G16R16},
};

D3DFORMAT FormatForBitCount(UINT bitCount) {
  switch (bitCount) {
    case 1:
    case 4:
    case 8:
      return D3DFMT_P8;
    case 16:
      return D3DFMT_X1R5G5B5;
    case 24:
      return D3DFMT_R8G8B8;
    case 32:
      return D3DFMT_X8R8G8B8;
    default:
      return D3DFMT_UNKNOWN;
  }
}

D3DFORMAT FormatForMasks(UINT bitCount, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
  for (const MaskFormat& row : kMaskFormats) {
    if (row.bitCount == bitCount && row.red == red && row.green == green && row.blue == blue && row.alpha == alpha) {
      return row.format;
    }
  }
  return D3DFMT_UNKNOWN;
}

uint64_t RoundUp4(uint64_t bytes) { return (bytes + 3) & ~uint64_t{3}; }

// Expands one stored row of 1- or 4-bit indices to one index per byte, most
// significant bits first.
void ExpandPackedRow(const BYTE* source, BYTE* out, UINT width, UINT bitCount) {
  const UINT perByte = 8 / bitCount;
  const BYTE mask = static_cast<BYTE>((1u << bitCount) - 1);
  for (UINT x = 0; x < width; ++x) {
    const UINT shift = 8 - bitCount * (x % perByte + 1);
    out[x] = static_cast<BYTE>((source[x / perByte] >> shift) & mask);
  }
}

}  // namespace

HRESULT SourceImage::LoadBmp(const BYTE* data, UINT size) {
  if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') return E_FAIL;
  if (size < ReadLe32(data + 2)) return E_FAIL;
  return LoadDib(data + kFileHeaderSize, size - kFileHeaderSize);
}

HRESULT SourceImage::LoadDib(const BYTE* data, UINT size) {
  if (size < kInfoHeaderSize) return E_FAIL;
  const DibHeader h = ReadDibHeader(data);
  if (h.headerSize < kInfoHeaderSize) return E_FAIL;

  uint64_t tableEntries = h.colorsUsed;
  if (tableEntries == 0 && h.bitCount <= 8) tableEntries = uint64_t{1} << h.bitCount;
  if (size < uint64_t{h.headerSize} + 4 * tableEntries || h.planes != 1) return E_FAIL;

  const bool topDown = h.height < 0;
  if (topDown && h.compression != BI_RGB && h.compression != BI_BITFIELDS) return E_FAIL;
  // A picture without pixels, or a width whose rows cannot be sized, is no picture.
  if (h.width <= 0 || h.height == 0) return E_FAIL;

  D3DFORMAT chosen = D3DFMT_UNKNOWN;
  uint64_t dataStart = uint64_t{h.headerSize} + 4 * tableEntries;
  switch (h.compression) {
    case BI_RGB:
      chosen = FormatForBitCount(h.bitCount);
      break;
    case BI_RLE8:
    case BI_RLE4:
      // The run-length streams carry palette indices of exactly their own width.
      if (h.bitCount != (h.compression == BI_RLE8 ? 8u : 4u)) return E_FAIL;
      chosen = D3DFMT_P8;
      break;
    case BI_BITFIELDS: {
      DWORD masks[4] = {};
      if (h.headerSize >= kV4HeaderSize) {
        for (int i = 0; i < 4; ++i) masks[i] = ReadLe32(data + 40 + 4 * i);
      } else {
        if (size < uint64_t{h.headerSize} + 12) return E_FAIL;
        for (int i = 0; i < 3; ++i) masks[i] = ReadLe32(data + h.headerSize + 4 * i);
        dataStart += 12;
      }
      chosen = FormatForMasks(h.bitCount, masks[0], masks[1], masks[2], masks[3]);
      break;
    }
    default:
      return E_NOTIMPL;
  }
  if (chosen == D3DFMT_UNKNOWN) return E_FAIL;

  const uint64_t outputWidth = static_cast<uint64_t>(h.width);
  const uint64_t rows = static_cast<uint64_t>(topDown ? -h.height : h.height);
  const uint64_t outputRow = h.bitCount <= 8 ? outputWidth : outputWidth * h.bitCount / 8;
  const uint64_t pitch = RoundUp4(outputRow);
  if (pitch > 0xFFFFFFFFu || rows > 0xFFFFFFFFu) return E_FAIL;

  format = chosen;
  width = static_cast<UINT>(outputWidth);
  height = static_cast<UINT>(rows);
  depth = 1;
  rowPitch = static_cast<UINT>(pitch);
  slicePitch = 0;
  if (!loadPixels) return S_OK;

  if (format == D3DFMT_P8) {
    const HRESULT hr = AllocatePalette();
    if (FAILED(hr)) return hr;
    const uint64_t stored = tableEntries < 256 ? tableEntries : 256;
    const BYTE* table = data + h.headerSize;
    for (uint64_t k = 0; k < 256; ++k) {
      palette[k] = k < stored ? PALETTEENTRY{table[4 * k + 2], table[4 * k + 1], table[4 * k], 255}
                              : PALETTEENTRY{255, 255, 255, 255};
    }
  }

  if (dataStart > size) return E_FAIL;
  const BYTE* pixelData = data + dataStart;
  const uint64_t available = size - dataStart;

  if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
    // An early end-of-bitmap escape lets a few bytes describe any size.
    if (!IsPlausibleDecodeSize(pitch * rows, available, 1024)) return E_FAIL;
    const HRESULT hr = AllocatePixels(pitch * rows);
    if (FAILED(hr)) return hr;
    DecodeBmpRle(pixelData, static_cast<size_t>(available), h.compression == BI_RLE4, pixels, width, height,
                 rowPitch);
    return S_OK;
  }

  const uint64_t sourceRow = h.bitCount < 8 ? RoundUp4((outputWidth * h.bitCount + 7) / 8) : pitch;
  if (sourceRow * rows > available) return E_FAIL;

  if (topDown && h.bitCount >= 8) {
    pixels = const_cast<BYTE*>(pixelData);  // points into the caller's file image, never written
    ownsPixels = FALSE;
    return S_OK;
  }

  const HRESULT hr = AllocatePixels(pitch * rows);
  if (FAILED(hr)) return hr;
  for (uint64_t y = 0; y < rows; ++y) {
    const BYTE* source = pixelData + y * sourceRow;
    BYTE* out = pixels + (topDown ? y : rows - 1 - y) * pitch;
    if (h.bitCount < 8) {
      ExpandPackedRow(source, out, width, h.bitCount);
    } else {
      std::memcpy(out, source, static_cast<size_t>(outputRow));
    }
  }
  return S_OK;
}
