// Shared by the image fuzz targets: reads every byte a decoded record claims
// to hold, so the sanitizers see any pointer or size that leaves its block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/image/source_image.h"

inline uint32_t TouchRecord(const SourceImage& image) {
  uint32_t sum = 0;
  if (image.pixels != nullptr) {
    const uint64_t slices = image.slicePitch != 0 ? uint64_t{image.slicePitch} * image.depth : 0;
    const uint64_t bytes = slices != 0 ? slices : uint64_t{image.rowPitch} * image.height;
    for (uint64_t i = 0; i < bytes; i += 7) sum += image.pixels[i];
    if (bytes != 0) sum += image.pixels[bytes - 1];
  }
  if (image.palette != nullptr) {
    for (int i = 0; i < 256; ++i) sum += image.palette[i].peRed + image.palette[i].peFlags;
  }
  return sum;
}

inline uint32_t TouchImage(const SourceImage& image) {
  uint32_t sum = 0;
  for (const SourceImage* face = &image; face != nullptr; face = face->nextFace.get()) {
    for (const SourceImage* level = face; level != nullptr; level = level->nextLevel.get()) sum += TouchRecord(*level);
  }
  return sum;
}

// Runs one reader as SourceImage::Load would, describing and then decoding.
inline void FuzzReader(HRESULT (SourceImage::*reader)(const BYTE*, UINT), const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return;
  for (BOOL loadPixels : {FALSE, TRUE}) {
    SourceImage image;
    image.loadPixels = loadPixels;
    image.resourceType = D3DRTYPE_TEXTURE;
    if (SUCCEEDED((image.*reader)(data, static_cast<UINT>(size)))) {
      volatile uint32_t sink = TouchImage(image);
      (void)sink;
    }
  }
}
