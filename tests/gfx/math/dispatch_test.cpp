// The choice of routines: trampolines, the registry switch, the processor
// answers, and GxSetCpuOptimizations.
#include <string_view>

#include "fake_machine.h"
#include "gfx/math/math_portable.h"
#include "math_test_support.h"

namespace {

using gx_math::kPortableMathTable;
using gx_math::kTrampolineMathTable;
using gx_math::MathSelectionState;
using gx_math::SlotAddresses;
using gx_math_test::FakeMachineTest;
using gx_math_test::g_fake_cpu;
using gx_math_test::g_fake_system;
using namespace gx_math_test;  // feature bits

MathDispatchTable Built(void (*install)(MathDispatchTable&)) {
  MathDispatchTable t = kPortableMathTable;
  install(t);
  return t;
}

using DispatchTest = FakeMachineTest;

void PoseAsSse2Machine() { g_fake_cpu = {1, kMmx | kSse | kSse2}; }

TEST_F(DispatchTest, FirstCallChoosesAndLeavesNoTrampoline) {
  PoseAsSse2Machine();
  EXPECT_EQ(MathSelectionState(), 0xFFFFu);
  EXPECT_EQ(SlotAddresses(gx_math::g_liveMathTable), SlotAddresses(kTrampolineMathTable));

  // The first call goes through the trampoline and still gives its result.
  const GxVector3 v(3, 0, 4);
  GxVector3 out;
  EXPECT_EQ(GxVec3Normalize(&out, &v), &out);
  EXPECT_TRUE(gx_math_test::Near(out, GxVector3(0.6f, 0, 0.8f), 1e-6f));
  EXPECT_EQ(MathSelectionState(), gx_math::kStateSse2);
  const auto live = SlotAddresses(gx_math::g_liveMathTable);
  const auto trampolines = SlotAddresses(kTrampolineMathTable);
  for (size_t i = 0; i < live.size(); ++i) EXPECT_NE(live[i], trampolines[i]) << "slot " << i;
}

TEST_F(DispatchTest, TrampolinesPassArgumentsAndResultsThrough) {
  // One call per result kind, each the first after a reset.
  GxMatrix s;
  GxMatrixScaling(&s, 2, 3, 4);
  EXPECT_EQ(s, GxMatrix(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1));
  gx_math::MathTestResetDispatch();
  EXPECT_FLOAT_EQ(GxMatrixDeterminant(&s), 24.0f);
  gx_math::MathTestResetDispatch();
  const GxQuaternion q(0, 0, 0.6f, 0.8f);
  float angle = 0;
  GxVector3 axis;
  GxQuaternionToAxisAngle(&q, &axis, &angle);
  EXPECT_NEAR(angle, 2 * std::acos(0.8f), 1e-6f);
  gx_math::MathTestResetDispatch();
  GxQuaternion id(0, 0, 0, 1), l(5, 5, 5, 5);
  EXPECT_EQ(GxQuaternionLn(&l, &id), &l);
  EXPECT_EQ(l, GxQuaternion(0, 0, 0, 0));
  gx_math::MathTestResetDispatch();
  GxMatrix inv(7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7);
  const GxMatrix zero(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(GxMatrixInverse(&inv, nullptr, &zero), nullptr);
}

TEST_F(DispatchTest, ChoiceFollowsProcessorSystemAndRegistry) {
  const auto portable = SlotAddresses(kPortableMathTable);
  const auto x87_only = SlotAddresses(Built(gx_math::InstallX87Set));
  MathDispatchTable sse2_table = kPortableMathTable;
  gx_math::InstallX87Set(sse2_table);
  gx_math::InstallSse2Set(sse2_table);
  MathDispatchTable sse2_vex_table = kPortableMathTable;
  gx_math::InstallX87Set(sse2_vex_table);
  gx_math::InstallSse2VexSet(sse2_vex_table);
  MathDispatchTable sse_table = kPortableMathTable;
  gx_math::InstallX87Set(sse_table);
  gx_math::InstallSseSet(sse_table);
  const FakeCpu amd_3dnow{1, kMmx | kSse, 0x80000001u, k3DNow, "AuthenticAMD"};
  const FakeSystem win95{false, VER_PLATFORM_WIN32_WINDOWS, 4, 0, 950};
  // AVX processors: the SSE2 set, in its VEX build only where AVX may run.
  const FakeCpu avx{1, kMmx | kSse | kSse2, 0x80000001u, 0, "GenuineIntel", kOsXsave | kAvx};
  const FakeCpu avx_no_osxsave{1, kMmx | kSse | kSse2, 0x80000001u, 0, "GenuineIntel", kAvx};
  const DWORD64 sse_avx_state = XSTATE_MASK_LEGACY_FLOATING_POINT | XSTATE_MASK_LEGACY_SSE | XSTATE_MASK_AVX;
  const FakeSystem saves_avx{false, VER_PLATFORM_WIN32_NT, 5, 1, 2600, sse_avx_state};
  const FakeSystem saves_sse_only{false, VER_PLATFORM_WIN32_NT, 5, 1, 2600, sse_avx_state & ~XSTATE_MASK_AVX};
  FakeSystem win95_saves_avx = win95;
  win95_saves_avx.xstate = sse_avx_state;

  struct Case {
    const char* name;
    FakeCpu cpu;
    FakeSystem system;
    const char* value_type;  // "dword", "sz" or null
    DWORD value;
    DWORD state;
    std::array<uintptr_t, 57> slots;
  } cases[] = {
      {"SSE2 processor", {1, kMmx | kSse | kSse2}, {}, nullptr, 0, 2, SlotAddresses(sse2_table)},
      {"SSE processor", {1, kMmx | kSse}, {}, nullptr, 0, 3, SlotAddresses(sse_table)},
      {"no SSE", {1, kMmx}, {}, nullptr, 0, 0, x87_only},
      {"3DNow! installs nothing", amd_3dnow, {}, nullptr, 0, 1, x87_only},
      {"Windows 95 never uses SSE", {1, kMmx | kSse | kSse2}, win95, nullptr, 0, 0, x87_only},
      {"DisableGxPSGP 1", {1, kMmx | kSse | kSse2}, {}, "dword", 1, 0, x87_only},
      {"DisableGxPSGP 1 on 3DNow!", amd_3dnow, {}, "dword", 1, 0, x87_only},
      {"DisableGxPSGP 2 has no effect", {1, kMmx | kSse | kSse2}, {}, "dword", 2, 2, SlotAddresses(sse2_table)},
      {"DisableGxPSGP as a string has no effect", {1, kMmx | kSse | kSse2}, {}, "sz", 1, 2,
       SlotAddresses(sse2_table)},
      {"AVX: the SSE2 set's VEX build", avx, saves_avx, nullptr, 0, 2, SlotAddresses(sse2_vex_table)},
      {"AVX state not saved by the system", avx, saves_sse_only, nullptr, 0, 2, SlotAddresses(sse2_table)},
      {"AVX without OSXSAVE", avx_no_osxsave, saves_avx, nullptr, 0, 2, SlotAddresses(sse2_table)},
      {"AVX reported without SSE2: the SSE set", {1, kMmx | kSse, 0x80000001u, 0, "GenuineIntel", kOsXsave | kAvx},
       saves_avx, nullptr, 0, 3, SlotAddresses(sse_table)},
      {"DisableGxPSGP 1 on AVX", avx, saves_avx, "dword", 1, 0, x87_only},
      {"Windows 95 never uses SSE, AVX or not", avx, win95_saves_avx, nullptr, 0, 0, x87_only},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KernelTestResetRegistry(nullptr);
    gx_math::MathTestResetDispatch();
    g_fake_cpu = c.cpu;
    g_fake_system = c.system;
    if (c.value_type && std::string_view(c.value_type) == "dword") SetDword("DisableGxPSGP", c.value);
    if (c.value_type && std::string_view(c.value_type) == "sz") SetValue("DisableGxPSGP", REG_SZ, "1", 2);
    EXPECT_EQ(GxSetCpuOptimizations(TRUE), c.state);
    EXPECT_EQ(SlotAddresses(gx_math::g_liveMathTable), c.slots);
    EXPECT_NE(c.slots[0], portable[0]);  // x87 or better in the slots the x87 set owns
  }
}

TEST_F(DispatchTest, SwitchingOffAndOnAgain) {
  PoseAsSse2Machine();
  // Off: portable routines, state "not chosen", and no trampoline left to choose.
  EXPECT_EQ(GxSetCpuOptimizations(FALSE), 0xFFFFu);
  EXPECT_EQ(SlotAddresses(gx_math::g_liveMathTable), SlotAddresses(kPortableMathTable));
  const GxVector3 v(1, 2, 2);
  GxVector3 out;
  GxVec3Normalize(&out, &v);
  EXPECT_EQ(MathSelectionState(), 0xFFFFu);
  EXPECT_EQ(SlotAddresses(gx_math::g_liveMathTable), SlotAddresses(kPortableMathTable));

  // The entry point follows the table: a length² of 1e-14 is normalised by the
  // portable routine but counts as zero for the SSE2 one.
  const GxVector3 tiny(1e-7f, 0, 0);
  GxVec3Normalize(&out, &tiny);
  EXPECT_EQ(out, GxVector3(1, 0, 0));

  // On: chooses once; a second call changes nothing.
  EXPECT_EQ(GxSetCpuOptimizations(TRUE), gx_math::kStateSse2);
  GxVec3Normalize(&out, &tiny);
  EXPECT_EQ(out, GxVector3(0, 0, 0));
  const auto chosen = SlotAddresses(gx_math::g_liveMathTable);
  EXPECT_NE(chosen, SlotAddresses(kPortableMathTable));
  g_fake_cpu = {1, kMmx};  // even if the answers would now differ
  EXPECT_EQ(GxSetCpuOptimizations(TRUE), gx_math::kStateSse2);
  EXPECT_EQ(SlotAddresses(gx_math::g_liveMathTable), chosen);
}

}  // namespace
