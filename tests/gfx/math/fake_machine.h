// A test fixture that poses as another machine: CPUID answers, the system
// version and the registry are the test's, and the math dispatch starts afresh.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "gfx/math/cpu_features.h"
#include "gfx/math/dispatch_table.h"
#include "win_registry.h"
#include "win_sysinfo.h"

namespace gx_math_test {

struct FakeCpu {
  uint32_t max_leaf = 1;
  uint32_t edx1 = 0;  // leaf 1 EDX
  uint32_t max_extended = 0x80000001u;
  uint32_t edx_extended = 0;  // leaf 0x80000001 EDX
  const char* vendor = "GenuineIntel";
  uint32_t ecx1 = 0;  // leaf 1 ECX
};

inline constexpr uint32_t kMmx = 1u << 23, kSse = 1u << 25, kSse2 = 1u << 26, k3DNow = 1u << 31;
inline constexpr uint32_t kOsXsave = 1u << 27, kAvx = 1u << 28;  // leaf 1 ECX

struct FakeSystem {
  bool fails = false;
  DWORD platform = VER_PLATFORM_WIN32_NT;
  DWORD major = 5, minor = 1, build = 2600;
  DWORD64 xstate = 0;  // register state the system saves (XCR0)
};

inline FakeCpu g_fake_cpu;
inline FakeSystem g_fake_system;

inline CpuIdResult FakeCpuId(uint32_t leaf) {
  CpuIdResult r{};
  if (leaf == 0) {
    r.eax = g_fake_cpu.max_leaf;
    std::memcpy(&r.ebx, g_fake_cpu.vendor + 0, 4);
    std::memcpy(&r.edx, g_fake_cpu.vendor + 4, 4);
    std::memcpy(&r.ecx, g_fake_cpu.vendor + 8, 4);
  } else if (leaf == 1) {
    r.edx = g_fake_cpu.edx1;  // answered even past max_leaf: callers must check leaf 0
    r.ecx = g_fake_cpu.ecx1;
  } else if (leaf == 0x80000000u) {
    r.eax = g_fake_cpu.max_extended;
  } else if (leaf == 0x80000001u) {
    r.edx = g_fake_cpu.edx_extended;
  }
  return r;
}

inline BOOL FakeVersion(LPOSVERSIONINFOA info) {
  if (g_fake_system.fails) return FALSE;
  info->dwMajorVersion = g_fake_system.major;
  info->dwMinorVersion = g_fake_system.minor;
  info->dwBuildNumber = g_fake_system.build;
  info->dwPlatformId = g_fake_system.platform;
  return TRUE;
}

inline DWORD64 FakeXState() { return g_fake_system.xstate; }

class FakeMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_fake_cpu = FakeCpu{};
    g_fake_system = FakeSystem{};
    KernelTestSetCpuIdSource(&FakeCpuId);
    KernelTestSetVersionSource(&FakeVersion);
    KernelTestSetXStateSource(&FakeXState);
    KernelTestResetRegistry(nullptr);
    MathTestResetMmxCache();
    gx_math::MathTestResetDispatch();
  }
  void TearDown() override {
    KernelTestSetCpuIdSource(nullptr);
    KernelTestSetVersionSource(nullptr);
    KernelTestSetXStateSource(nullptr);
    KernelTestResetRegistry(nullptr);
    MathTestResetMmxCache();
    gx_math::MathTestResetDispatch();
  }

  static void SetDword(const char* name, DWORD value) { SetValue(name, REG_DWORD, &value, sizeof(value)); }
  static void SetValue(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static void DeleteValue(const char* name) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(key, name), ERROR_SUCCESS);
    RegCloseKey(key);
  }
};

}  // namespace gx_math_test
