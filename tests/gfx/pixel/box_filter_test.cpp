#include "gfx/pixel/box_filter_fixed.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gfx/math/cpu_features.h"
#include "tests/gfx/pixel/blit_test_util.h"
#include "win_registry.h"

namespace {

// Runs `routine` on a random source of (2 * dw) x (2 * dh) pixels with padded pitches.
std::vector<uint32_t> RunRoutine(BoxRoutine32 routine, uint32_t dw, uint32_t dh, const std::vector<uint32_t>& src) {
  const uint32_t srcPitchPixels = 2 * dw + 3;
  const uint32_t dstPitchPixels = dw + 1;
  std::vector<uint32_t> dst(size_t{dstPitchPixels} * dh, 0xDEADBEEF);
  routine({reinterpret_cast<const uint8_t*>(src.data()), srcPitchPixels * 4u, reinterpret_cast<uint8_t*>(dst.data()),
           dstPitchPixels * 4u, dw, dh});
  return dst;
}

uint32_t Reference(const std::vector<uint32_t>& src, uint32_t pitch, uint32_t x, uint32_t y, bool keepX) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t sum = 2;
    for (uint32_t k = 0; k < 4; ++k) sum += (src[(2 * y + k / 2) * pitch + 2 * x + (k & 1)] >> shift) & 0xFF;
    out |= (sum >> 2) << shift;
  }
  return keepX ? out : out & 0x00FFFFFF;
}

TEST(BoxFilter32, RoutinesAverageEveryByteAndDifferOnlyInTheXByte) {
  std::mt19937 gen(5);
  for (uint32_t dw = 1; dw <= 11; ++dw) {
    for (uint32_t dh : {1u, 3u}) {
      const uint32_t pitch = 2 * dw + 3;
      std::vector<uint32_t> src(size_t{pitch} * 2 * dh);
      for (uint32_t& p : src) p = gen();
      // Extremes exercise the 16-bit lanes and the saturating pack.
      src[0] = 0xFFFFFFFF;
      src[1] = 0xFFFFFFFF;
      src[pitch] = 0xFFFFFFFF;
      src[pitch + 1] = 0xFFFFFFFF;
      const auto generic = RunRoutine(BoxFilter2D32GenericA8R8G8B8, dw, dh, src);
      const auto genericX = RunRoutine(BoxFilter2D32GenericX8R8G8B8, dw, dh, src);
      const auto sse2 = RunRoutine(BoxFilter2D32Sse2, dw, dh, src);
      for (uint32_t y = 0; y < dh; ++y) {
        for (uint32_t x = 0; x < dw; ++x) {
          const size_t i = size_t{y} * (dw + 1) + x;
          EXPECT_EQ(generic[i], Reference(src, pitch, x, y, true)) << dw << " " << x << "," << y;
          EXPECT_EQ(sse2[i], generic[i]) << dw << " " << x << "," << y;
          EXPECT_EQ(genericX[i], Reference(src, pitch, x, y, false)) << dw << " " << x << "," << y;
        }
        EXPECT_EQ(sse2[size_t{y} * (dw + 1) + dw], 0xDEADBEEFu) << "wrote past the row";
      }
    }
  }
}

// With the integer SIMD unit the X byte of X8R8G8B8 is averaged like a
// channel; the generic routine writes 0 there.
uint32_t XByteAfterBoxBlit() {
  TestImage src(D3DFMT_X8R8G8B8, 8, 2, 1, 0xFF), dst(D3DFMT_X8R8G8B8, 4, 1);
  EXPECT_EQ(BlitImages(dst, src, GX_FILTER_BOX), S_OK);
  return static_cast<uint32_t>(dst.Get(0, 0) >> 24);
}

TEST(BoxFilter32, SelectorFollowsTheMmxAnswer) {
  BoxFilterTestResetSelection();
  EXPECT_EQ(XByteAfterBoxBlit(), IsMmxAvailable() ? 0xFFu : 0u);
}

TEST(BoxFilter32, RegistrySwitchSelectsTheGenericRoutines) {
  KernelTestResetRegistry(nullptr);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  const DWORD one = 1;
  ASSERT_EQ(RegSetValueExA(key, "DisableMMX", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
  RegCloseKey(key);
  BoxFilterTestResetSelection();
  EXPECT_EQ(XByteAfterBoxBlit(), 0u);
  // Leave later tests of this process a clean registry and MMX answer.
  KernelTestResetRegistry(nullptr);
  MathTestResetMmxCache();
  BoxFilterTestResetSelection();
}

}  // namespace
