// The debug channel: switched on in the registry, silenced through the
// exported DebugSetMute that "d3d8.dll" offers.
#include <cstdio>
#include <string>

#include "d3d8_fixture.h"
#include "win_module.h"
#include "win_registry.h"

namespace {

class DebugChannelTest : public D3D8Test {
 protected:
  void SetUp() override {
    KernelTestResetRegistry(nullptr);
    D3D8Test::SetUp();
  }
  void TearDown() override {
    D3D8Test::TearDown();
    KernelTestResetRegistry(nullptr);
  }

  static void SwitchOn() {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const DWORD one = 1;
    ASSERT_EQ(RegSetValueExA(key, "DebugOutput", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one)),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  // The standard-error output of one failing call.
  std::string OutputOfAFailedCall() {
    testing::internal::CaptureStderr();
    D3DDISPLAYMODE* none = nullptr;
    EXPECT_EQ(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, none), D3DERR_INVALIDCALL);
    return testing::internal::GetCapturedStderr();
  }
};

TEST_F(DebugChannelTest, SilentUnlessSwitchedOn) {
  EXPECT_EQ(OutputOfAFailedCall(), "");
}

TEST_F(DebugChannelTest, SwitchedOnItSaysWhyACallFailedUntilMuted) {
  SwitchOn();
  d3d_.Reset();
  d3d_ = ComPtr<IDirect3D8>(Direct3DCreate8(D3D_SDK_VERSION));  // the switch is read at creation
  const std::string said = OutputOfAFailedCall();
  EXPECT_NE(said.find("GetAdapterDisplayMode"), std::string::npos) << said;
  EXPECT_NE(said.find("null output"), std::string::npos) << said;

  HMODULE module = GetModuleHandleA("d3d8.dll");
  ASSERT_NE(module, nullptr) << "creating Direct3D registers the module";
  auto mute = reinterpret_cast<void (*)(DWORD)>(GetProcAddress(module, "DebugSetMute"));
  ASSERT_NE(mute, nullptr);
  mute(1);
  EXPECT_EQ(OutputOfAFailedCall(), "");
  mute(0);
  EXPECT_NE(OutputOfAFailedCall(), "");
}

}  // namespace
