// Small builders for image files, so each test shows the bytes it feeds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "gfx/image/source_image.h"

using Bytes = std::vector<uint8_t>;

inline void PutLe16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutLe32(Bytes& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}
inline void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
inline void Append(Bytes& out, std::initializer_list<uint8_t> more) { out.insert(out.end(), more); }
inline Bytes FromString(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct DibSpec {
  uint32_t headerSize = 40;
  int32_t width = 1;
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks;  // in the header when it is 108 bytes or more, else after it
  Bytes colorTable;             // RGBQUAD bytes
  Bytes pixelData;
};

inline Bytes BuildDib(const DibSpec& s) {
  Bytes out;
  PutLe32(out, s.headerSize);
  PutLe32(out, static_cast<uint32_t>(s.width));
  PutLe32(out, static_cast<uint32_t>(s.height));
  PutLe16(out, s.planes);
  PutLe16(out, s.bitCount);
  PutLe32(out, s.compression);
  PutLe32(out, static_cast<uint32_t>(s.pixelData.size()));
  PutLe32(out, 2835);
  PutLe32(out, 2835);
  PutLe32(out, s.colorsUsed);
  PutLe32(out, 0);
  if (s.headerSize >= 108) {
    for (size_t i = 0; i < 4; ++i) PutLe32(out, i < s.masks.size() ? s.masks[i] : 0);
  }
  while (out.size() < s.headerSize) out.push_back(0);
  if (s.headerSize < 108) {
    for (uint32_t m : s.masks) PutLe32(out, m);
  }
  Append(out, s.colorTable);
  Append(out, s.pixelData);
  return out;
}

inline Bytes WithFileHeader(const Bytes& dib) {
  Bytes out = {'B', 'M'};
  PutLe32(out, static_cast<uint32_t>(dib.size() + 14));
  PutLe32(out, 0);
  PutLe32(out, 0);  // pixel offset, not consulted
  Append(out, dib);
  return out;
}

// Calls one reader the way SourceImage::Load does.
using ReaderFn = HRESULT (SourceImage::*)(const BYTE*, UINT);
inline HRESULT RunReader(SourceImage& image, ReaderFn reader, const Bytes& data, BOOL loadPixels = TRUE) {
  image.Clear();
  image.loadPixels = loadPixels;
  image.resourceType = D3DRTYPE_TEXTURE;
  return (image.*reader)(data.data(), static_cast<UINT>(data.size()));
}

inline Bytes Row(const SourceImage& image, UINT y, UINT bytes) {
  const BYTE* p = image.pixels + static_cast<size_t>(y) * image.rowPitch;
  return Bytes(p, p + bytes);
}
