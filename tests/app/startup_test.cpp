// Start-up, shutdown and the failure paths of start-up.
#include <cmath>

#include "app/entry_point.h"
#include "app/input_devices.h"
#include "app_fixture.h"

namespace apptest {
namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;

TEST_F(AppTest, StartsWithTheInitialState) {
  EXPECT_TRUE(app->simulationOn);
  EXPECT_FALSE(app->launched);
  EXPECT_EQ(app->frameMillis, 0u);
  EXPECT_EQ(app->fillMode, 0);
  EXPECT_EQ(app->viewMode, 0);
  EXPECT_TRUE(app->gridVisible);
  EXPECT_EQ(app->showCommand, SW_SHOW);
  EXPECT_THAT(app->eye, Near3(0.0f, 5.0f, 30.0f));
  EXPECT_THAT(app->up, Near3(0.0f, 1.0f, 0.0f));
  EXPECT_THAT(app->satPosition, Near3(0.0f, 0.0f, 5.0f));
  EXPECT_THAT(app->satVelocity, Near3(0.0f, 0.0f, 1.0f));
  EXPECT_TRUE(app->running);
  EXPECT_EQ(app->direct3d, nullptr);
  EXPECT_EQ(app->device, nullptr);
  // The constructor creates nothing, not even a window.
  EXPECT_EQ(app->window, nullptr);
  EXPECT_EQ(keyboard, nullptr);
  EXPECT_EQ(mouse, nullptr);
}

TEST_F(AppTest, CreateMakesWindowDeviceLightAndInputObjectsInOrder) {
  ASSERT_EQ(app->Create(Instance(), "Kelvane", 640, 480), 1);

  ASSERT_TRUE(IsWindow(app->window));
  EXPECT_TRUE(IsWindowVisible(app->window));
  char title[32] = {};
  GetWindowTextA(app->window, title, sizeof(title));
  EXPECT_STREQ(title, "Kelvane");
  EXPECT_NE(GetMenu(app->window), nullptr);
  EXPECT_NE(app->accelerators, nullptr);

  // The device: hardware vertex processing on the HAL, a back buffer of the
  // outer window size (the menu bar is not added).
  ASSERT_NE(app->device, nullptr);
  D3DDEVICE_CREATION_PARAMETERS creation{};
  ASSERT_EQ(app->device->GetCreationParameters(&creation), S_OK);
  EXPECT_EQ(creation.DeviceType, D3DDEVTYPE_HAL);
  EXPECT_EQ(creation.BehaviorFlags, D3DCREATE_HARDWARE_VERTEXPROCESSING);
  EXPECT_EQ(creation.hFocusWindow, app->window);
  EXPECT_EQ(app->presentParams.BackBufferWidth, static_cast<UINT>(640 + 2 * GetSystemMetrics(SM_CXDLGFRAME)));
  EXPECT_EQ(app->presentParams.BackBufferHeight,
            static_cast<UINT>(480 + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME)));
  EXPECT_EQ(app->presentParams.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(app->presentParams.SwapEffect, D3DSWAPEFFECT_FLIP);
  EXPECT_TRUE(app->presentParams.Windowed);
  EXPECT_TRUE(app->presentParams.EnableAutoDepthStencil);
  EXPECT_EQ(app->presentParams.AutoDepthStencilFormat, D3DFMT_D16);

  EXPECT_EQ(app->light.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_FLOAT_EQ(app->light.Diffuse.r, 0.5f);
  EXPECT_FLOAT_EQ(app->light.Ambient.b, 0.5f);
  EXPECT_FLOAT_EQ(app->light.Position.y, 1.0f);

  // DirectInput exists for both, but their devices wait for the loop; so the
  // paint that showing the window asked for drew nothing.
  ASSERT_NE(mouse, nullptr);
  ASSERT_NE(keyboard, nullptr);
  EXPECT_NE(mouse->directInput, nullptr);
  EXPECT_NE(keyboard->directInput, nullptr);
  EXPECT_NE(mouse->directInput, keyboard->directInput);
  EXPECT_EQ(mouse->inputDevice, nullptr);
  EXPECT_EQ(keyboard->inputDevice, nullptr);
  EXPECT_EQ(FramesPresented(), 0u);
  EXPECT_THAT(Win32TestMessageBoxes(), IsEmpty());

  app->BeginLoop();
  EXPECT_NE(mouse->inputDevice, nullptr);
  EXPECT_NE(keyboard->inputDevice, nullptr);
  EXPECT_EQ(shownFps, 0);
}

TEST_F(AppTest, ShutdownFreesInputFirstThenDeviceAndDirect3D) {
  ASSERT_EQ(app->Create(Instance(), "Kelvane", 640, 480), 1);
  Win32TestKeyPress(app->window, VK_ESCAPE);
  EXPECT_EQ(app->Run(), 0);

  // The loop frees the input objects; the device stays until the object goes.
  EXPECT_EQ(keyboard, nullptr);
  EXPECT_EQ(mouse, nullptr);
  EXPECT_NE(app->device, nullptr);
  EXPECT_GT(D3D8TestLiveObjectCount(), 0u);

  delete app;
  app = nullptr;
  theApp = nullptr;
  EXPECT_EQ(D3D8TestLiveObjectCount(), 0u);
}

// Fallbacks happen silently, in the fixed order of the three attempts.
struct DeviceFallback {
  DWORD quirks;
  D3DDEVTYPE type;
  DWORD behaviour;
};

class DeviceFallbackTest : public AppTest, public ::testing::WithParamInterface<DeviceFallback> {};

TEST_P(DeviceFallbackTest, TakesTheFirstDeviceThatCanBeMade) {
  D3D8TestInstallProfile(D3D8TestQuirkProfile(GetParam().quirks));
  ASSERT_EQ(app->Create(Instance(), "Kelvane", 640, 480), 1);
  D3DDEVICE_CREATION_PARAMETERS creation{};
  ASSERT_EQ(app->device->GetCreationParameters(&creation), S_OK);
  EXPECT_EQ(creation.DeviceType, GetParam().type);
  EXPECT_EQ(creation.BehaviorFlags, GetParam().behaviour);
  EXPECT_THAT(Win32TestMessageBoxes(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, DeviceFallbackTest,
    ::testing::Values(DeviceFallback{0, D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
                      DeviceFallback{D3D8_TEST_NO_HW_VERTEX_PROCESSING, D3DDEVTYPE_HAL,
                                     D3DCREATE_SOFTWARE_VERTEXPROCESSING},
                      DeviceFallback{D3D8_TEST_NO_HAL, D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING}));

// The whole program through its entry point: it must return 0 and leave
// nothing of the runtime behind, whichever way start-up ends.
class EntryPointTest : public DesktopTest {
 protected:
  // A clock that presses Escape in the main window after a while, as a user would.
  static DWORD ClockThatPressesEscape() {
    ++now;
    if (theApp && theApp->window) mainWindow = theApp->window;
    if (now == 100050 && mainWindow) Win32TestKeyPress(mainWindow, VK_ESCAPE);
    return now;
  }
  static inline HWND mainWindow = nullptr;
};

TEST_F(EntryPointTest, RunsUntilEscapeAndCleansUp) {
  mainWindow = nullptr;
  KernelTestSetClockSource(ClockThatPressesEscape);
  EXPECT_EQ(WinMain(Instance(), nullptr, nullptr, SW_SHOWDEFAULT), 0);
  EXPECT_EQ(theApp, nullptr);
  // Escape ends the loop but leaves the window, which holds the frames drawn.
  ASSERT_TRUE(IsWindow(mainWindow));
  UINT width = 0, height = 0;
  std::vector<uint32_t> pixels;
  EXPECT_TRUE(Win32TestGetFrame(mainWindow, &width, &height, &pixels));
  EXPECT_THAT(Win32TestMessageBoxes(), IsEmpty());
  EXPECT_EQ(D3D8TestLiveObjectCount(), 0u);
}

TEST_F(EntryPointTest, NoDirect3DIsReportedAndEndsTheProgramBeforeAnyWindow) {
  D3D8TestFailDirect3DCreate(TRUE);
  EXPECT_EQ(WinMain(Instance(), nullptr, nullptr, SW_SHOWDEFAULT), 0);
  ASSERT_THAT(Win32TestMessageBoxes(), SizeIs(1));
  EXPECT_EQ(Win32TestMessageBoxes()[0].text, "Direct3Dの作成に失敗しました");
  EXPECT_EQ(Win32TestMessageBoxes()[0].caption, "Kelvane");
  EXPECT_EQ(Win32TestMessageBoxes()[0].type & MB_ICONMASK, MB_ICONERROR);
  EXPECT_EQ(Win32TestMessageBoxes()[0].owner, nullptr);
  // Nothing was made: the class name is still free.
  WNDCLASSA probe{};
  probe.lpfnWndProc = DefWindowProcA;
  probe.lpszClassName = "Kelvane";
  EXPECT_NE(RegisterClassA(&probe), 0);
}

TEST_F(EntryPointTest, NoDeviceInAnyOfTheThreeWaysIsReportedAndEndsTheProgram) {
  D3D8TestProfile profile = D3D8TestDefaultProfile();
  profile.halDevice = FALSE;
  profile.refDevice = FALSE;
  D3D8TestInstallProfile(profile);

  EXPECT_EQ(WinMain(Instance(), nullptr, nullptr, SW_SHOWDEFAULT), 0);
  ASSERT_THAT(Win32TestMessageBoxes(), SizeIs(1));
  EXPECT_EQ(Win32TestMessageBoxes()[0].text, "Direct3D の初期化に失敗しました。");
  EXPECT_EQ(Win32TestMessageBoxes()[0].caption, "Kelvane");
  EXPECT_EQ(Win32TestMessageBoxes()[0].type & MB_ICONMASK, MB_ICONERROR);
  EXPECT_EQ(D3D8TestLiveObjectCount(), 0u);
}

TEST_F(EntryPointTest, AFailedClassRegistrationEndsTheProgramSilently) {
  // The class name is taken already.
  WNDCLASSA taken{};
  taken.lpfnWndProc = DefWindowProcA;
  taken.lpszClassName = "Kelvane";
  ASSERT_NE(RegisterClassA(&taken), 0);

  EXPECT_EQ(WinMain(Instance(), nullptr, nullptr, SW_SHOWDEFAULT), 0);
  EXPECT_THAT(Win32TestMessageBoxes(), IsEmpty());
  EXPECT_EQ(D3D8TestLiveObjectCount(), 0u);
}

}  // namespace
}  // namespace apptest
