// SimulatorApp: the one application object. It owns the main window, the
// Direct3D objects, the simulation and camera state and the main loop; the
// window and dialog procedures are its methods, reached through `theApp`.
#pragma once

#include "app/platform_api.h"
#include "gfx/math/gx_math.h"

class SimulatorApp {
 public:
  SimulatorApp();
  ~SimulatorApp();
  SimulatorApp(const SimulatorApp&) = delete;
  SimulatorApp& operator=(const SimulatorApp&) = delete;

  // Start-up and shutdown.
  int Create(HINSTANCE instance, const char* className, int width, int height);
  int InitDevice(const char* caption, int width, int height);
  int InitLight();
  int Run();
  void FreeScene();
  void ReleaseDevice();

  // The main loop in its three stages; Run is BeginLoop, RunPass while
  // `running`, then FreeScene.
  void BeginLoop();
  void RunPass();

  // The simulation, the camera and the frame.
  void StepOrbit();
  void UpdateCamera();
  // Sets view and projection for the current viewpoint; returns the grid
  // extent factor of the frame (1 in camera view, 10 in satellite view).
  int SetupViewProjection();
  void Render();
  void InitRenderStates();
  void BuildScene();
  void CreateFpsFont();

  // The window procedure, its commands and the dialog procedures.
  LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR AboutDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR LaunchDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR FrameTimeDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

  // ---- fields, in the order the program has always kept them ----
  D3DPRESENT_PARAMETERS presentParams;
  HWND window;
  HACCEL accelerators;
  MSG message;
  WNDCLASSA windowClass;
  UINT adapter;
  int showCommand;
  bool simulationOn;
  bool launched;
  float mouseDelta[3];
  DWORD frameMillis;
  int fillMode;
  int viewMode;
  bool gridVisible;
  GxVector3 eye;
  GxVector3 up;
  GxVector3 satPosition;
  GxVector3 satVelocity;
  GxVector3 pull;
  GxMatrix view;
  GxMatrix projection;
  BOOL running;
  IDirect3D8* direct3d;
  IDirect3DDevice8* device;
  D3DLIGHT8 light;

 private:
  void RunCommand(HWND hwnd, HMENU menu, WORD command);
  void Launch(HWND dialog);
  void ChooseSatelliteView();
  void ResetView();
  bool InputReady() const;

  // The main loop's clock: when the last frame was drawn, when the current
  // one-second frame-rate window began, frames drawn in it, and when the
  // previous pass ended.
  DWORD lastFrame_ = 0;
  DWORD windowStart_ = 0;
  int frameCount_ = 0;
  DWORD passEnd_ = 0;
};
