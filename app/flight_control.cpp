// The simulation as the application drives it: the launch from the launch
// dialog and the step before each drawn frame.
#include "app/app_globals.h"
#include "app/orbit.h"
#include "app/resources/resource_ids.h"
#include "app/simulator_app.h"

namespace {
constexpr float kEarthSpinPerStep = 0.2f;  // degrees
}  // namespace

void SimulatorApp::Launch(HWND dialog) {
  launched = true;
  // Every field is read as a signed whole number; empty or non-numeric is 0.
  const auto readSigned = [dialog](int id) {
    return static_cast<int>(GetDlgItemInt(dialog, id, nullptr, TRUE));
  };
  const int latitude = readSigned(IDC_LAUNCH_LATITUDE);
  const int longitude = readSigned(IDC_LAUNCH_LONGITUDE);
  const int speed = readSigned(IDC_LAUNCH_SPEED);
  const int angle = readSigned(IDC_LAUNCH_ANGLE);

  launchSpeed = static_cast<float>(speed);
  const FlightState flight = LaunchFlight(latitude, longitude, launchSpeed, angle, up);
  satPosition = flight.position;
  satVelocity = flight.velocity;
  pull = flight.pull;
}

void SimulatorApp::StepOrbit() {
  earthSpin += kEarthSpinPerStep;
  FlightState flight{satPosition, satVelocity, pull};
  const OrbitStepResult result = AdvanceFlight(flight, launchSpeed, launched);
  satPosition = flight.position;
  satVelocity = flight.velocity;
  pull = flight.pull;
  if (result == OrbitStepResult::kCollided) {
    MessageBoxA(nullptr, "地球に衝突しました", "衝突", MB_ICONERROR);
    launched = false;
  }
}
