#include "app/app_globals.h"

SimulatorApp* theApp = nullptr;
IDirect3DTexture8* starTexture = nullptr;
KeyboardDevice* keyboard = nullptr;
MouseDevice* mouse = nullptr;
int shownFps = 0;
float earthSpin = 0.0f;
float launchSpeed = 0.0f;

void ResetProcessVariables() {
  starTexture = nullptr;
  keyboard = nullptr;
  mouse = nullptr;
  shownFps = 0;
  earthSpin = 0.0f;
  launchSpeed = 0.0f;
}
