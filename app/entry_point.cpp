#include "app/entry_point.h"

#include "app/app_globals.h"
#include "app/resources/resources.h"
#include "app/simulator_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RegisterApplicationResources();
  theApp = new SimulatorApp;
  if (theApp->Create(instance, "Kelvane", 640, 480)) theApp->Run();
  delete theApp;  // releases the device and Direct3D
  theApp = nullptr;
  return 0;
}
