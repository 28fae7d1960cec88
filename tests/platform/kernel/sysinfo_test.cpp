#include <gtest/gtest.h>

#include <cstring>

#include "win_sysinfo.h"

namespace {

TEST(SysInfoTest, AnswersAsTheNtPlatform) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
  info.dwOSVersionInfoSize = 4;
  EXPECT_FALSE(GetVersionExA(&info));
}

TEST(SysInfoTest, FeaturesFollowCpuId) {
  // This machine: x86-64 always has SSE and SSE2.
  EXPECT_TRUE(IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE));
  EXPECT_TRUE(IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE));
  EXPECT_FALSE(IsProcessorFeaturePresent(12345));
  char vendor[13];
  ReadCpuVendor(vendor);
  EXPECT_EQ(std::strlen(vendor), 12u);

  // A processor that reports 3DNow! and no SSE.
  KernelTestSetCpuIdSource([](uint32_t leaf) -> CpuIdResult {
    switch (leaf) {
      case 0: return {1, 0x68747541, 0x444d4163, 0x69746e65};  // "AuthenticAMD"
      case 1: return {0, 0, 0, 1u << 23};                      // MMX only
      case 0x80000000: return {0x80000001, 0, 0, 0};
      case 0x80000001: return {0, 0, 0, 1u << 31};             // 3DNow!
      default: return {};
    }
  });
  EXPECT_TRUE(IsProcessorFeaturePresent(PF_3DNOW_INSTRUCTIONS_AVAILABLE));
  EXPECT_TRUE(IsProcessorFeaturePresent(PF_MMX_INSTRUCTIONS_AVAILABLE));
  EXPECT_FALSE(IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE));
  ReadCpuVendor(vendor);
  EXPECT_STREQ(vendor, "AuthenticAMD");

  // Extended leaves beyond the reported maximum are absent.
  KernelTestSetCpuIdSource([](uint32_t leaf) -> CpuIdResult {
    if (leaf == 0x80000000) return {0x80000000, 0, 0, 0};
    if (leaf == 0x80000001) return {0, 0, 0, 0xffffffff};
    return {};
  });
  EXPECT_FALSE(IsProcessorFeaturePresent(PF_3DNOW_INSTRUCTIONS_AVAILABLE));
  KernelTestSetCpuIdSource(nullptr);
}

TEST(SysInfoTest, EnabledXStateFeatures) {
  // x87 state is always among the saved components once XSAVE is on.
  const DWORD64 features = GetEnabledXStateFeatures();
  EXPECT_TRUE(features == 0 || (features & XSTATE_MASK_LEGACY_FLOATING_POINT) != 0) << features;
  // A CPUID stand-in never reaches XGETBV: the processor's own answer stands.
  KernelTestSetCpuIdSource([](uint32_t leaf) -> CpuIdResult {
    return leaf == 1 ? CpuIdResult{0, 0, 1u << 27, 0} : CpuIdResult{1, 0, 0, 0};
  });
  EXPECT_EQ(GetEnabledXStateFeatures(), features);
  KernelTestSetCpuIdSource(nullptr);
  KernelTestSetXStateSource([]() -> DWORD64 { return XSTATE_MASK_LEGACY_SSE; });
  EXPECT_EQ(GetEnabledXStateFeatures(), XSTATE_MASK_LEGACY_SSE);
  KernelTestSetXStateSource(nullptr);
  EXPECT_EQ(GetEnabledXStateFeatures(), features);
}

}  // namespace
