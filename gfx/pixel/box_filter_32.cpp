#include <emmintrin.h>

#include "gfx/math/cpu_features.h"
#include "gfx/pixel/box_filter_fixed.h"

namespace {

void SelectBoxRoutine(const BoxFilterRows& rows, bool forX8R8G8B8) {
  if (IsMmxAvailable()) {
    BoxFilter2D_32_A8R8G8B8.store(BoxFilter2D32Sse2, std::memory_order_relaxed);
    BoxFilter2D_32_X8R8G8B8.store(BoxFilter2D32Sse2, std::memory_order_relaxed);
  } else {
    BoxFilter2D_32_A8R8G8B8.store(BoxFilter2D32GenericA8R8G8B8, std::memory_order_relaxed);
    BoxFilter2D_32_X8R8G8B8.store(BoxFilter2D32GenericX8R8G8B8, std::memory_order_relaxed);
  }
  (forX8R8G8B8 ? BoxFilter2D_32_X8R8G8B8 : BoxFilter2D_32_A8R8G8B8).load(std::memory_order_relaxed)(rows);
}

void SelectForA8R8G8B8(const BoxFilterRows& rows) { SelectBoxRoutine(rows, false); }
void SelectForX8R8G8B8(const BoxFilterRows& rows) { SelectBoxRoutine(rows, true); }

// Two destination pixels from four source pixels of each row: bytes widened
// to 16-bit lanes, the rows added, then the horizontal neighbours.
inline __m128i AveragePairs(__m128i top, __m128i bottom) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bottom, zero));  // px 0, 1
  const __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bottom, zero));  // px 2, 3
  const __m128i even = _mm_unpacklo_epi64(lo, hi);  // px 0, 2
  const __m128i odd = _mm_unpackhi_epi64(lo, hi);   // px 1, 3
  const __m128i sum = _mm_add_epi16(_mm_add_epi16(even, odd), _mm_set1_epi16(2));
  return _mm_srli_epi16(sum, 2);
}

}  // namespace

std::atomic<BoxRoutine32> BoxFilter2D_32_A8R8G8B8{SelectForA8R8G8B8};
std::atomic<BoxRoutine32> BoxFilter2D_32_X8R8G8B8{SelectForX8R8G8B8};

void BoxFilterTestResetSelection() {
  BoxFilter2D_32_A8R8G8B8.store(SelectForA8R8G8B8);
  BoxFilter2D_32_X8R8G8B8.store(SelectForX8R8G8B8);
}

void BoxFilter2D32Sse2(const BoxFilterRows& rows) {
  // Source widths that are a multiple of 4 pixels only.
  if (rows.dstWidth & 1) {
    BoxFilter2D32GenericA8R8G8B8(rows);
    return;
  }
  for (uint32_t y = 0; y < rows.dstHeight; ++y) {
    const uint8_t* r0 = rows.src + 2 * y * rows.srcPitch;
    const uint8_t* r1 = r0 + rows.srcPitch;
    uint8_t* out = rows.dst + y * rows.dstPitch;
    uint32_t x = 0;
    for (; x + 4 <= rows.dstWidth; x += 4) {
      const __m128i* t = reinterpret_cast<const __m128i*>(r0 + 8 * x);
      const __m128i* b = reinterpret_cast<const __m128i*>(r1 + 8 * x);
      const __m128i first = AveragePairs(_mm_loadu_si128(t), _mm_loadu_si128(b));
      const __m128i second = AveragePairs(_mm_loadu_si128(t + 1), _mm_loadu_si128(b + 1));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_packus_epi16(first, second));
    }
    for (; x < rows.dstWidth; x += 2) {
      const __m128i v = AveragePairs(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r0 + 8 * x)),
                                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1 + 8 * x)));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * x), _mm_packus_epi16(v, v));
    }
  }
}
