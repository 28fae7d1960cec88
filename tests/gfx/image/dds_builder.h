// DDS headers for the tests: the 128-byte header and a pixel format.
#pragma once

#include "image_builders.h"

struct DdsPixelFormatSpec {
  uint32_t flags;
  uint32_t fourCC;
  uint32_t bitCount;
  uint32_t red, green, blue, alpha;
};

constexpr DdsPixelFormatSpec kDdsDxt1 = {0x4, MakeFourCC('D', 'X', 'T', '1'), 0, 0, 0, 0, 0};
constexpr DdsPixelFormatSpec kDdsArgb = {0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
constexpr DdsPixelFormatSpec kDdsP8 = {0x20, 0, 8, 0, 0, 0, 0};

struct DdsSpec {
  uint32_t width = 4;
  uint32_t height = 4;
  uint32_t depth = 0;  // nonzero sets DDSD_DEPTH
  bool depthFlag = false;
  uint32_t mipCount = 0;
  uint32_t caps2 = 0;
  uint32_t pixelFormatSize = 32;
  DdsPixelFormatSpec pf = kDdsArgb;
};

inline Bytes BuildDdsHeader(const DdsSpec& s) {
  Bytes out = {'D', 'D', 'S', ' '};
  PutLe32(out, 124);
  PutLe32(out, 0x1007 | (s.mipCount ? 0x20000u : 0u) | (s.depthFlag || s.depth ? 0x800000u : 0u));
  PutLe32(out, s.height);
  PutLe32(out, s.width);
  PutLe32(out, 0);  // pitch or linear size
  PutLe32(out, s.depth);
  PutLe32(out, s.mipCount);
  while (out.size() < 76) out.push_back(0);
  PutLe32(out, s.pixelFormatSize);
  PutLe32(out, s.pf.flags);
  PutLe32(out, s.pf.fourCC);
  PutLe32(out, s.pf.bitCount);
  PutLe32(out, s.pf.red);
  PutLe32(out, s.pf.green);
  PutLe32(out, s.pf.blue);
  PutLe32(out, s.pf.alpha);
  PutLe32(out, 0x1000);  // caps
  PutLe32(out, s.caps2);
  while (out.size() < 128) out.push_back(0);
  return out;
}

// A header followed by `dataBytes` bytes counting up from 0.
inline Bytes BuildDds(const DdsSpec& s, size_t dataBytes) {
  Bytes out = BuildDdsHeader(s);
  for (size_t i = 0; i < dataBytes; ++i) out.push_back(static_cast<uint8_t>(i));
  return out;
}
