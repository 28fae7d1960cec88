#include "app/app_globals.h"
#include "app/input_devices.h"
#include "app/simulator_app.h"

namespace {
constexpr DWORD kFrameRateWindowMillis = 1000;
}  // namespace

int SimulatorApp::Run() {
  BeginLoop();
  while (running) RunPass();
  FreeScene();
  return static_cast<int>(message.wParam);
}

void SimulatorApp::BeginLoop() {
  if (mouse) mouse->Init(window);
  if (keyboard) keyboard->Init(window);
  InitRenderStates();
  BuildScene();
  CreateFpsFont();

  lastFrame_ = timeGetTime();
  windowStart_ = timeGetTime();
  frameCount_ = 0;
  passEnd_ = 0;
  shownFps = 0;
}

// One pass of the loop. It never blocks: it polls the queue and returns, so
// the loop spins; frames are paced by the millisecond clock against
// `frameMillis`, with unsigned differences so the clock may wrap.
void SimulatorApp::RunPass() {
  if (passEnd_ - windowStart_ >= kFrameRateWindowMillis) {
    windowStart_ = timeGetTime();
    shownFps = frameCount_;
    frameCount_ = 0;
  }

  // A message that became a command is still translated and dispatched.
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    GetMessageA(&message, nullptr, 0, 0);
    TranslateAcceleratorA(window, accelerators, &message);
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }

  if (viewMode == 0) UpdateCamera();

  if (timeGetTime() - lastFrame_ >= frameMillis) {
    if (simulationOn) StepOrbit();
    lastFrame_ = timeGetTime();
    Render();
    ++frameCount_;
  }

  passEnd_ = timeGetTime();
}

void SimulatorApp::FreeScene() {
  // The order is the stars, the keyboard, the mouse, the two models, the
  // globe; the scene's objects join it when they exist.
  if (keyboard) {
    keyboard->ReleaseInputDevice();
    keyboard->Release();
    delete keyboard;
    keyboard = nullptr;
  }
  if (mouse) {
    mouse->ReleaseInputDevice();
    mouse->Release();
    delete mouse;
    mouse = nullptr;
  }
}
