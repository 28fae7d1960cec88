// The camera as the application drives it: input each pass, the view and
// projection of each frame, and the viewpoint commands.
#include "app/app_globals.h"
#include "app/camera.h"
#include "app/input_devices.h"
#include "app/scene_standins.h"
#include "app/simulator_app.h"
#include "app/vector_ops.h"

void SimulatorApp::UpdateCamera() {
  mouseDelta[0] = mouseDelta[1] = mouseDelta[2] = 0.0f;
  if (mouse) mouse->ReadMotion(&mouseDelta[0], &mouseDelta[1], &mouseDelta[2]);
  const CameraKey key = keyboard ? keyboard->ReadKey() : KeyNone;
  MoveCamera(eye, up, CameraInput{mouseDelta[0], mouseDelta[1], mouseDelta[2], key}, GlobeBoundRadius());
}

int SimulatorApp::SetupViewProjection() {
  RECT client{};
  GetClientRect(window, &client);
  // A minimised window has no height; keep the last sensible shape instead of
  // dividing by zero.
  const float aspect =
      client.bottom > 0 ? static_cast<float>(client.right) / static_cast<float>(client.bottom) : 1.0f;

  const GxVector3 origin = GxVector3(0.0f, 0.0f, 0.0f);
  const GxVector3& from = viewMode == 0 ? eye : satPosition;
  GxMatrixLookAtRH(&view, &from, &origin, &up);
  GxMatrixPerspectiveFovRH(&projection, kFieldOfView, aspect, kNearPlane, kFarPlane);

  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  return viewMode == 0 ? 1 : 10;
}

void SimulatorApp::ChooseSatelliteView() {
  viewMode = 1;
  if (!launched) {
    satPosition = SatelliteViewingPosition();
    up = GxVector3(0.0f, 1.0f, 0.0f);
  }
}

void SimulatorApp::ResetView() {
  eye = GxVector3(0.0f, 5.0f, 30.0f);
  up = GxVector3(0.0f, 1.0f, 0.0f);
  satVelocity = GxVector3(0.0f, 0.0f, 1.0f);
}
