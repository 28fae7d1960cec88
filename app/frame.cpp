// One frame. For now it clears, sets view and projection and presents; the
// globe, the satellite, the grid, the stars and the frame-rate text join it
// with the scene objects.
#include "app/simulator_app.h"

namespace {
constexpr D3DCOLOR kOpaqueBlack = 0xFF000000;
}  // namespace

void SimulatorApp::Render() {
  if (!device) return;
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kOpaqueBlack, 1.0f, 0);
  device->BeginScene();
  SetupViewProjection();
  device->EndScene();
  // A failed present means the device must be reset; the next frame tries again.
  if (FAILED(device->Present(nullptr, nullptr, nullptr, nullptr))) device->Reset(&presentParams);
}
