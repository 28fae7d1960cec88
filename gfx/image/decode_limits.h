// How much memory a file may make a reader allocate.
//
// Some encodings (run-length streams, deflate, entropy-coded JPEG, an early
// end-of-bitmap escape) describe far more pixels than they store, so a tiny
// file could otherwise ask for gigabytes. A decoded block up to kFreeDecodeBytes
// is always allowed; above that it must stay within `ratio` bytes of output per
// byte of input, a bound that genuine files of each format stay well inside.
#pragma once

#include <cstdint>

constexpr uint64_t kFreeDecodeBytes = uint64_t{64} << 20;

inline bool IsPlausibleDecodeSize(uint64_t outputBytes, uint64_t inputBytes, uint64_t ratio) {
  if (outputBytes <= kFreeDecodeBytes) return true;
  return inputBytes != 0 && outputBytes / ratio <= inputBytes;
}
