// One reader of SourceImage, chosen when the target is built (IMAGE_READER).
#include "image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader(&SourceImage::IMAGE_READER, data, size);
  return 0;
}
