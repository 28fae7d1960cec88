// The whole format detector: every reader in turn, as the texture loader uses it.
#include "image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  SourceImage image;
  GxImageInfo info{};
  if (SUCCEEDED(image.Load(data, static_cast<UINT>(size), &info, TRUE))) {
    volatile uint32_t sink = TouchImage(image) + info.MipLevels;
    (void)sink;
  }
  return 0;
}
