// Drives the real SimulatorApp on the headless desktop with a test clock:
// every test starts from a fresh desktop, runtime profile and clock.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

#include "app/app_globals.h"
#include "app/resources/resource_ids.h"
#include "app/resources/resources.h"
#include "app/simulator_app.h"
#include "d3d8_test.h"
#include "d3d8_test_creation.h"
#include "win32_headless.h"

namespace apptest {

// The test clock: it reads `now`, which the tests move by hand.
inline DWORD now = 0;
inline DWORD TestClock() { return now; }

// A fresh desktop and runtime, the application's resources and the test clock.
class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Win32TestReset();
    D3D8TestResetProfile();
    D3D8TestFailDirect3DCreate(FALSE);
    ASSERT_TRUE(RegisterApplicationResources());
    now = 100000;
    KernelTestSetClockSource(TestClock);
  }
  void TearDown() override {
    KernelTestSetClockSource(nullptr);
    D3D8TestFailDirect3DCreate(FALSE);
    D3D8TestResetProfile();
    Win32TestReset();
  }
  static HINSTANCE Instance() { return GetModuleHandleA(nullptr); }
};

// One SimulatorApp in `theApp`, as the entry point makes it.
class AppTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    app = new SimulatorApp;
    theApp = app;
  }
  void TearDown() override {
    delete app;
    theApp = nullptr;
    DesktopTest::TearDown();
  }

  // Creates window and device and enters the loop (input devices, scene)
  // without running a pass yet.
  void Start() {
    ASSERT_EQ(app->Create(Instance(), "Kelvane", 640, 480), 1);
    app->BeginLoop();
  }
  // Runs passes of the main loop; the clock moves `millis` after each.
  void Passes(int count, DWORD millis = 1) {
    for (int i = 0; i < count; ++i) {
      app->RunPass();
      now += millis;
    }
  }
  // A key pressed and released, then one pass that handles it.
  void PressKey(UINT virtualKey) {
    Win32TestKeyPress(app->window, virtualKey);
    Passes(1);
  }
  // The launch command sent straight to the window procedure, with the dialog
  // answered by `fields` (latitude, longitude, speed, angle) and the launch
  // button. No pass runs, so nothing has moved yet.
  void LaunchNow(const std::vector<std::string>& fields) {
    Win32TestAnswerNextDialog(LaunchScript(fields));
    SendMessageA(app->window, WM_COMMAND, ID_LAUNCH, 0);
  }
  static std::vector<DialogStep> LaunchScript(const std::vector<std::string>& fields) {
    std::vector<DialogStep> steps;
    for (size_t i = 0; i < fields.size(); ++i) {
      steps.push_back(DialogStep::Type(IDC_LAUNCH_LATITUDE + static_cast<int>(i), fields[i]));
    }
    steps.push_back(DialogStep::Press(IDOK));
    return steps;
  }
  bool Checked(int command) const {
    return (GetMenuState(GetMenu(app->window), static_cast<UINT>(command), MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  uint64_t FramesPresented() const {
    UINT width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint64_t serial = 0;
    if (!Win32TestGetFrame(app->window, &width, &height, &pixels, &serial)) return 0;
    return serial;
  }

  SimulatorApp* app = nullptr;
};

MATCHER_P3(Near3, x, y, z, "") {
  constexpr float kTolerance = 1e-4f;
  return std::abs(arg.x - x) <= kTolerance && std::abs(arg.y - y) <= kTolerance &&
         std::abs(arg.z - z) <= kTolerance;
}

}  // namespace apptest
