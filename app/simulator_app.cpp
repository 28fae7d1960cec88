#include "app/simulator_app.h"

#include <cstring>

#include "app/app_globals.h"
#include "app/input_devices.h"
#include "app/resources/resource_ids.h"
#include "app/trampolines.h"
#include "app/vector_ops.h"

namespace {
// The interface version the program was written against.
constexpr UINT kDirect3DVersion = 220;
}  // namespace

SimulatorApp::SimulatorApp()
    : presentParams{},
      window(nullptr),
      accelerators(nullptr),
      message{},
      windowClass{},
      adapter(0),
      showCommand(SW_SHOW),
      simulationOn(true),
      launched(false),
      mouseDelta{0.0f, 0.0f, 0.0f},
      frameMillis(0),
      fillMode(0),
      viewMode(0),
      gridVisible(true),
      eye(GxVector3(0.0f, 5.0f, 30.0f)),
      up(GxVector3(0.0f, 1.0f, 0.0f)),
      satPosition(GxVector3(0.0f, 0.0f, 5.0f)),
      satVelocity(GxVector3(0.0f, 0.0f, 1.0f)),
      pull(GxVector3(0.0f, 0.0f, 0.0f)),
      view{},
      projection{},
      running(TRUE),
      direct3d(nullptr),
      device(nullptr),
      light{} {
  ResetProcessVariables();
}

SimulatorApp::~SimulatorApp() {
  // After Run this finds nothing left to free; it matters only when the
  // object goes without having run its loop.
  FreeScene();
  ReleaseDevice();
}

int SimulatorApp::Create(HINSTANCE instance, const char* className, int width, int height) {
  direct3d = Direct3DCreate8(kDirect3DVersion);
  if (!direct3d) {
    MessageBoxA(nullptr, "Direct3Dの作成に失敗しました", className, MB_ICONERROR);
    return 0;
  }

  windowClass = WNDCLASSA{};
  windowClass.style = CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProcedure;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_KELVANE));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
  windowClass.lpszClassName = className;
  if (!RegisterClassA(&windowClass)) return 0;

  // The outer size adds the frame and the caption but not the menu bar, so
  // the client area is shorter than asked by the menu's height.
  width += 2 * GetSystemMetrics(SM_CXDLGFRAME);
  height += GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME);
  window = CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           width, height, nullptr, nullptr, instance, nullptr);
  accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));

  if (!InitDevice(className, width, height)) return 0;
  if (!InitLight()) return 0;

  // A failed DirectInput creation is reported there and does not stop us.
  mouse = new MouseDevice;
  mouse->InputSystem::Init(instance);
  keyboard = new KeyboardDevice;
  keyboard->InputSystem::Init(instance);

  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return 1;
}

int SimulatorApp::InitDevice(const char* caption, int width, int height) {
  D3DDISPLAYMODE mode{};
  direct3d->GetAdapterDisplayMode(adapter, &mode);

  D3DPRESENT_PARAMETERS parameters{};
  parameters.BackBufferWidth = static_cast<UINT>(width);
  parameters.BackBufferHeight = static_cast<UINT>(height);
  parameters.BackBufferFormat = mode.Format;
  parameters.SwapEffect = D3DSWAPEFFECT_FLIP;
  parameters.Windowed = TRUE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;
  presentParams = parameters;

  // Hardware vertex processing, then software, then the reference rasterizer.
  static constexpr struct {
    D3DDEVTYPE type;
    DWORD behaviour;
  } kAttempts[] = {{D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
                   {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
                   {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING}};
  for (const auto& attempt : kAttempts) {
    if (SUCCEEDED(direct3d->CreateDevice(adapter, attempt.type, window, attempt.behaviour, &parameters, &device))) {
      return 1;
    }
  }

  MessageBoxA(nullptr, "Direct3D の初期化に失敗しました。", caption, MB_ICONERROR);
  direct3d->Release();
  direct3d = nullptr;
  return 0;
}

int SimulatorApp::InitLight() {
  light = D3DLIGHT8{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
  light.Ambient = {0.5f, 0.5f, 0.5f, 0.0f};
  light.Specular = {0.0f, 0.0f, 0.0f, 0.0f};
  const GxVector3 position = vec::Normalized(GxVector3(0.0f, 1.0f, 0.0f));
  const GxVector3 direction = vec::Normalized(GxVector3(0.0f, 0.0f, 0.0f));  // replaced before first use
  light.Position = {position.x, position.y, position.z};
  light.Direction = {direction.x, direction.y, direction.z};
  return 1;
}

void SimulatorApp::ReleaseDevice() {
  if (starTexture) {
    starTexture->Release();
    starTexture = nullptr;
  }
  // The frame-rate font goes here, between the star texture and the device,
  // once the scene's objects exist.
  if (device) {
    device->Release();
    device = nullptr;
  }
  if (direct3d) {
    direct3d->Release();
    direct3d = nullptr;
  }
}
