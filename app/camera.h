// The free camera that orbits the Earth's centre and the satellite viewpoint.
#pragma once

#include "app/camera_key.h"
#include "gfx/math/gx_math.h"

// One turn step: 5 degrees.
constexpr float kCameraTurnStep = 0.0872665f;
// The camera never comes closer to the centre than this many globe radii.
constexpr float kCameraNearestRadii = 10.0f;
// Vertical field of view (60 degrees), near and far planes.
constexpr float kFieldOfView = 1.0471976f;
constexpr float kNearPlane = 0.01f;
constexpr float kFarPlane = 10000.0f;

// One pass of camera input: the three mouse motions (only their signs count)
// and the one key the keyboard reported.
struct CameraInput {
  float dx;
  float dy;
  float wheel;
  CameraKey key;
};

// Turns the eye about `up` (left/right), about eye x up (up/down, which also
// tilts `up`), then moves it out or in along its direction. Moving in stops
// before the eye comes within kCameraNearestRadii globe radii of the centre.
void MoveCamera(GxVector3& eye, GxVector3& up, const CameraInput& input, float globeRadius);

// Where the satellite view looks from when no satellite is in flight:
// (0, 0, 30) turned 45 degrees up about x.
GxVector3 SatelliteViewingPosition();
