// Processor feature answers, the registry switches and the MMX cache.
#include "fake_machine.h"

namespace {

using gx_math_test::FakeMachineTest;
using gx_math_test::g_fake_cpu;
using gx_math_test::g_fake_system;
using namespace gx_math_test;  // feature bits

using CpuFeaturesTest = FakeMachineTest;

TEST_F(CpuFeaturesTest, ReadsDirect3DValuesOfTheAskedType) {
  DWORD value = 77;
  EXPECT_FALSE(ReadDirect3DRegistryValue(REG_DWORD, "DisableMMX", &value, sizeof(value)));
  EXPECT_EQ(value, 77u);
  SetDword("DisableMMX", 5);
  EXPECT_TRUE(ReadDirect3DRegistryValue(REG_DWORD, "DisableMMX", &value, sizeof(value)));
  EXPECT_EQ(value, 5u);
  // Another type, or more data than the buffer holds, is not the value asked for.
  SetValue("DisableGxPSGP", REG_SZ, "1", 2);
  value = 77;
  EXPECT_FALSE(ReadDirect3DRegistryValue(REG_DWORD, "DisableGxPSGP", &value, sizeof(value)));
  const BYTE eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  SetValue("DisableGxPSGP", REG_BINARY, eight, sizeof(eight));
  EXPECT_FALSE(ReadDirect3DRegistryValue(REG_BINARY, "DisableGxPSGP", &value, sizeof(value)));
  EXPECT_EQ(value, 77u);
}

TEST_F(CpuFeaturesTest, ProcessorSupportsFollowsSystemAndProcessor) {
  struct Case {
    const char* name;
    FakeSystem system;
    FakeCpu cpu;
    bool sse, sse2, now3d;
  } cases[] = {
      {"NT, SSE2 processor", {}, {1, kMmx | kSse | kSse2}, true, true, false},
      {"NT, SSE only", {}, {1, kMmx | kSse}, true, false, false},
      {"NT, 3DNow! and SSE", {}, {1, kMmx | kSse, 0x80000001u, k3DNow, "AuthenticAMD"}, true, false, true},
      {"NT, no standard leaves", {}, {0, kSse | kSse2}, false, false, false},
      {"NT, extended leaf missing", {}, {1, 0, 0x80000000u, k3DNow}, false, false, false},
      {"Windows 95", {false, VER_PLATFORM_WIN32_WINDOWS, 4, 0, 950}, {1, kSse | kSse2, 0x80000001u, k3DNow},
       false, false, true},
      {"Windows 98 build 1372", {false, VER_PLATFORM_WIN32_WINDOWS, 4, 10, 1372}, {1, kSse | kSse2}, false,
       false, false},
      {"Windows 98 build 1373", {false, VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x04000000u | 1373},
       {1, kSse | kSse2}, true, true, false},
      {"Windows Me", {false, VER_PLATFORM_WIN32_WINDOWS, 4, 90, 3000}, {1, kSse}, true, false, false},
      {"Win32s", {false, 0, 5, 1, 2600}, {1, kSse | kSse2, 0x80000001u, k3DNow}, false, false, false},
      {"version query fails", {true}, {1, kSse | kSse2, 0x80000001u, k3DNow}, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_fake_system = c.system;
    g_fake_cpu = c.cpu;
    EXPECT_EQ(ProcessorSupports(PF_XMMI_INSTRUCTIONS_AVAILABLE), c.sse);
    EXPECT_EQ(ProcessorSupports(PF_XMMI64_INSTRUCTIONS_AVAILABLE), c.sse2);
    EXPECT_EQ(ProcessorSupports(PF_3DNOW_INSTRUCTIONS_AVAILABLE), c.now3d);
    EXPECT_FALSE(ProcessorSupports(PF_MMX_INSTRUCTIONS_AVAILABLE));  // not one of the three codes
  }
}

TEST_F(CpuFeaturesTest, DisableMmxSticksAfterTheValueIsRemoved) {
  g_fake_cpu.edx1 = kMmx;
  EXPECT_TRUE(IsMmxAvailable());
  SetDword("DisableMMX", 0);  // zero does not disable
  EXPECT_TRUE(IsMmxAvailable());
  SetDword("DisableMMX", 0x100);
  EXPECT_FALSE(IsMmxAvailable());
  DeleteValue("DisableMMX");
  EXPECT_FALSE(IsMmxAvailable());
  EXPECT_FALSE(IsMmxAvailable());
}

TEST_F(CpuFeaturesTest, MmxAnswerComesFromTheProcessorAndIsCached) {
  g_fake_cpu.edx1 = kSse;  // no MMX
  EXPECT_FALSE(IsMmxAvailable());
  g_fake_cpu.edx1 = kMmx;  // the first answer is kept
  EXPECT_FALSE(IsMmxAvailable());
  MathTestResetMmxCache();
  EXPECT_TRUE(IsMmxAvailable());
  // A value of another type does not disable.
  SetValue("DisableMMX", REG_SZ, "1", 2);
  EXPECT_TRUE(IsMmxAvailable());
}

}  // namespace
