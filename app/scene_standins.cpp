// STAND-INS, see scene_standins.h. They do nothing (or return the unit
// sphere's radius) until the scene and the full frame replace them.
#include "app/scene_standins.h"

#include "app/simulator_app.h"

float GlobeBoundRadius() { return 1.0f; }

// STAND-IN: sets no render state yet.
void SimulatorApp::InitRenderStates() {}

// STAND-IN: builds no scene objects yet.
void SimulatorApp::BuildScene() {}

// STAND-IN: creates no font yet.
void SimulatorApp::CreateFpsFont() {}
