// MuteDebugRuntime reaches the runtimes that are loaded, and loads none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com_ptr.h"
#include "d3d8.h"
#include "gfx/device/debug_mute.h"
#include "win_module.h"
#include "win_registry.h"

namespace {

std::vector<DWORD> g_debugRuntimeCalls;
void DebugRuntimeSwitch(DWORD mute) { g_debugRuntimeCalls.push_back(mute); }

std::string OutputOfAFailedCall(IDirect3D8* d3d) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, nullptr), D3DERR_INVALIDCALL);
  return testing::internal::GetCapturedStderr();
}

// One sequence: the switch's lookup is process-wide and cached.
TEST(MuteDebugRuntimeTest, ReachesLoadedRuntimesOnlyAndLoadsNone) {
  KernelTestUnregisterModule("d3d8.dll");
  KernelTestUnregisterModule("d3d8d.dll");
  MuteDebugRuntime(TRUE);
  EXPECT_EQ(GetModuleHandleA("d3d8.dll"), nullptr) << "a runtime that is not loaded must stay unloaded";
  EXPECT_EQ(GetModuleHandleA("d3d8d.dll"), nullptr);

  // Turn the runtime's debug output on, load it (creating Direct3D does), and
  // add a debug runtime that records its switch.
  KernelTestResetRegistry(nullptr);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const DWORD one = 1;
  ASSERT_EQ(RegSetValueExA(key, "DebugOutput", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
  RegCloseKey(key);
  ComPtr<IDirect3D8> d3d(Direct3DCreate8(D3D_SDK_VERSION));
  ASSERT_TRUE(d3d);
  const ModuleExport exports[] = {{"DebugSetMute", reinterpret_cast<FARPROC>(&DebugRuntimeSwitch)}};
  KernelRegisterModule("d3d8d.dll", exports, 1);
  EXPECT_NE(OutputOfAFailedCall(d3d.Get()), "");

  MuteDebugRuntime(TRUE);
  EXPECT_EQ(OutputOfAFailedCall(d3d.Get()), "") << "the runtime was not muted";
  MuteDebugRuntime(FALSE);
  EXPECT_NE(OutputOfAFailedCall(d3d.Get()), "") << "the runtime was not unmuted";
  EXPECT_EQ(g_debugRuntimeCalls, (std::vector<DWORD>{1, 0}));

  KernelTestUnregisterModule("d3d8d.dll");
  KernelTestResetRegistry(nullptr);
}

}  // namespace
