#include "app/camera.h"

#include "app/vector_ops.h"

namespace {

GxMatrix RotationAbout(const GxVector3& axis, float angle) {
  GxMatrix rotation;
  GxMatrixRotationAxis(&rotation, &axis, angle);
  return rotation;
}

// Horizontal turn angle for this pass, or 0 for none.
float HorizontalTurn(const CameraInput& input) {
  if (input.dx > 0.0f || input.key == KeyLeft) return -kCameraTurnStep;
  if (input.dx < 0.0f || input.key == KeyRight) return kCameraTurnStep;
  return 0.0f;
}

float VerticalTurn(const CameraInput& input) {
  if (input.dy > 0.0f || input.key == KeyDown) return kCameraTurnStep;
  if (input.dy < 0.0f || input.key == KeyUp) return -kCameraTurnStep;
  return 0.0f;
}

}  // namespace

void MoveCamera(GxVector3& eye, GxVector3& up, const CameraInput& input, float globeRadius) {
  // The zoom direction is taken before any turn of this pass.
  const GxVector3 direction = vec::Normalized(eye);

  if (const float angle = HorizontalTurn(input); angle != 0.0f) {
    eye = vec::TransformNormal(eye, RotationAbout(up, angle));
  }
  if (const float angle = VerticalTurn(input); angle != 0.0f) {
    const GxMatrix rotation = RotationAbout(vec::Cross(eye, up), angle);
    eye = vec::TransformNormal(eye, rotation);
    up = vec::TransformNormal(up, rotation);
  }

  const float nearest = kCameraNearestRadii * globeRadius;
  if (input.wheel > 0.0f || input.key == KeyX) {
    const GxVector3 target = eye + direction;
    if (vec::Length(target) > nearest) eye += vec::Normalized(target);
  } else if (input.wheel < 0.0f || input.key == KeyZ) {
    const GxVector3 target = eye - direction;
    if (vec::Length(target) > nearest) eye -= vec::Normalized(target);
  }
}

GxVector3 SatelliteViewingPosition() {
  GxMatrix tilt;
  GxMatrixRotationX(&tilt, -0.7853982f);
  return vec::TransformNormal(GxVector3(0.0f, 0.0f, 30.0f), tilt);
}
