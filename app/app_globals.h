// The process-wide variables of the application. The window and dialog
// procedure trampolines reach the one SimulatorApp through `theApp`.
#pragma once

#include "app/platform_api.h"

class SimulatorApp;
class KeyboardDevice;
class MouseDevice;

extern SimulatorApp* theApp;
extern IDirect3DTexture8* starTexture;  // texture of all star sprites
extern KeyboardDevice* keyboard;
extern MouseDevice* mouse;
extern int shownFps;        // frames drawn by the main loop in the last full second
extern float earthSpin;     // Earth spin angle in degrees; only ever grows
extern float launchSpeed;   // V, the entered launch speed in world units per step

// Sets every variable above except `theApp` to its initial value.
void ResetProcessVariables();
