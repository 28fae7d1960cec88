// Picture tests: render targets in plain memory and comparison with stored PNGs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A w x h picture in A8R8G8B8.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool WritePng(const std::string& path, const Picture& picture);
bool ReadPng(const std::string& path, Picture& picture);

// Compares `picture` with tests/platform/d3d8/pipeline/pictures/<name>.png: at most
// `maxOffPixels` pixels may differ by more than `tolerance` in a channel. With
// KELVANE_UPDATE_PICTURES=1 in the environment the reference is written instead
// (then look at it before committing it). Returns a failure description or "".
std::string CompareWithReference(const std::string& name, const Picture& picture, int tolerance = 12,
                                 int maxOffPixels = 4);
