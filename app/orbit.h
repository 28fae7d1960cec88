// The satellite's flight: the launch from the dialog's four values and one step
// of the motion. The satellite keeps its entered speed while a unit pull toward
// the Earth's centre bends its direction; this is not an integration of gravity.
#pragma once

#include "gfx/math/gx_math.h"

// Degrees to radians, with the factor the program has always used.
constexpr float kDegreesToRadians = 0.017453292f;
// Radius of the launch sphere, and the distance at or below which the
// satellite has hit the Earth.
constexpr float kLaunchRadius = 10.0f;
constexpr float kCollisionRadius = 9.0f;

struct FlightState {
  GxVector3 position;  // the Earth's centre is the origin
  GxVector3 velocity;  // displacement per step, of length |speed|
  GxVector3 pull;      // unit vector toward the origin
};

// The flight state right after a launch from latitude and longitude (degrees;
// a positive latitude moves the point toward -y), the speed in world units per
// step and the launch angle in degrees, turned about `up`.
FlightState LaunchFlight(int latitude, int longitude, float speed, int angle, const GxVector3& up);

enum class OrbitStepResult {
  kIdle,      // no flight in progress
  kMoved,     // the satellite moved one step
  kCollided,  // the flight had already reached the collision radius; nothing moved
};

// One step of the flight. The collision test looks at the position the previous
// step reached, so a satellite inside the collision radius is drawn there once
// before the collision is reported.
OrbitStepResult AdvanceFlight(FlightState& flight, float speed, bool launched);
