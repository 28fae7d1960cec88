#include <gtest/gtest.h>

#include "win_module.h"

namespace {

int g_calls = 0;
void CountCall() { ++g_calls; }

TEST(ModuleTest, RegisteredModulesCountAsLoaded) {
  EXPECT_EQ(GetModuleHandleA("kelvanetest.dll"), nullptr);
  EXPECT_EQ(LoadLibraryA("kelvanetest.dll"), nullptr);
  const ModuleExport exports[] = {{"Count", &CountCall}};
  KernelRegisterModule("KelvaneTest.dll", exports, 1);
  HMODULE module = GetModuleHandleA("kelvanetest.DLL");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(LoadLibraryA("kelvanetest.dll"), module);
  FARPROC proc = GetProcAddress(module, "Count");
  ASSERT_NE(proc, nullptr);
  proc();
  EXPECT_EQ(g_calls, 1);
  EXPECT_EQ(GetProcAddress(module, "count"), nullptr);  // procedure names keep their case
  EXPECT_EQ(GetProcAddress(module, nullptr), nullptr);
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
  KernelTestUnregisterModule("kelvanetest.dll");
  EXPECT_EQ(GetModuleHandleA("kelvanetest.dll"), nullptr);
}

}  // namespace
