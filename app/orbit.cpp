#include "app/orbit.h"

#include <cmath>

#include "app/vector_ops.h"

FlightState LaunchFlight(int latitude, int longitude, float speed, int angle, const GxVector3& up) {
  const float latitudeDegrees = static_cast<float>(latitude);
  const float longitudeDegrees = static_cast<float>(longitude);

  // Longitude turns about y first, then latitude about x (row vectors).
  GxMatrix turnY;
  GxMatrix turnX;
  GxMatrix place;
  GxMatrixRotationY(&turnY, longitudeDegrees * kDegreesToRadians);
  GxMatrixRotationX(&turnX, latitudeDegrees * kDegreesToRadians);
  GxMatrixMultiply(&place, &turnY, &turnX);

  FlightState flight;
  flight.position = vec::TransformNormal(GxVector3(0.0f, 0.0f, kLaunchRadius), place);
  flight.velocity = vec::TransformNormal(GxVector3(0.0f, 0.0f, 1.0f), place);
  flight.pull = -vec::Normalized(flight.position);

  // The launch angle turns the outward direction and the pull together about
  // the camera's up vector.
  GxMatrix aim;
  GxMatrixRotationAxis(&aim, &up, static_cast<float>(angle) * kDegreesToRadians);
  flight.velocity = vec::Normalized(vec::TransformNormal(flight.velocity, aim));
  flight.pull = vec::Normalized(vec::TransformNormal(flight.pull, aim));
  flight.velocity = flight.velocity * speed;
  return flight;
}

OrbitStepResult AdvanceFlight(FlightState& flight, float speed, bool launched) {
  if (vec::Length(flight.position) <= kCollisionRadius) {
    return launched ? OrbitStepResult::kCollided : OrbitStepResult::kIdle;
  }
  if (!launched) return OrbitStepResult::kIdle;

  flight.velocity += flight.pull;
  flight.position += flight.velocity;
  const GxVector3 towardCentre = -flight.position;
  const float squaredDistance = vec::LengthSquared(towardCentre);
  flight.velocity = vec::Normalized(flight.velocity) * speed;
  // A step can land exactly on the centre (for example a negative speed aimed
  // inward); the pull is then zero rather than 0/0, and the next step reports
  // the collision.
  flight.pull = squaredDistance > 0.0f ? towardCentre * (1.0f / std::sqrt(squaredDistance))
                                       : GxVector3(0.0f, 0.0f, 0.0f);
  return OrbitStepResult::kMoved;
}
