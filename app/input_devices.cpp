#include "app/input_devices.h"

namespace {

// The interface version the program was written against.
constexpr DWORD kDirectInputVersion = 0x0800;
// The read buffer is never used, but the devices are set up with one.
constexpr DWORD kBufferedEvents = 100;

DIPROPDWORD DevicePropertyWord(DWORD value) {
  DIPROPDWORD property{};
  property.diph.dwSize = sizeof(DIPROPDWORD);
  property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  property.diph.dwObj = 0;
  property.diph.dwHow = DIPH_DEVICE;
  property.dwData = value;
  return property;
}

void ShowInputError(const char* text) { MessageBoxA(nullptr, text, nullptr, MB_ICONERROR); }

void ReleaseDevice(IDirectInputDevice8A*& device) {
  if (device) {
    device->Release();
    device = nullptr;
  }
}

void Acquisition(IDirectInputDevice8A* device, bool on) {
  if (!device) return;
  if (on) {
    device->Acquire();
  } else {
    device->Unacquire();
  }
}

}  // namespace

// ---- InputSystem --------------------------------------------------------------

InputSystem::~InputSystem() { Release(); }

int InputSystem::Init(HINSTANCE instance) {
  lastResult = DirectInput8Create(instance, kDirectInputVersion, IID_IDirectInput8A,
                                  reinterpret_cast<void**>(&directInput), nullptr);
  if (FAILED(lastResult)) {
    ShowInputError("DirectInputオブジェクトの作成に失敗");
    return 0;
  }
  return 1;
}

void InputSystem::Release() {
  if (directInput) {
    directInput->Release();
    directInput = nullptr;
  }
}

// ---- KeyboardDevice -----------------------------------------------------------

KeyboardDevice::~KeyboardDevice() { ReleaseInputDevice(); }

int KeyboardDevice::Init(HWND window) {
  ReleaseInputDevice();  // a second set-up replaces the first
  if (!directInput || FAILED(directInput->CreateDevice(GUID_SysKeyboard, &inputDevice, nullptr))) {
    ShowInputError("DiurectInputDevice8の作成に失敗");
    return 0;
  }
  if (FAILED(inputDevice->SetDataFormat(&c_dfDIKeyboard))) {
    ShowInputError("c_dfDIKeyboardの設定の作成に失敗");
    return 0;
  }
  if (FAILED(inputDevice->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE))) {
    ShowInputError("フォアグラウンド＆非排他モードの設定に失敗");
    return 0;
  }
  const DIPROPDWORD bufferSize = DevicePropertyWord(kBufferedEvents);
  if (FAILED(inputDevice->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph))) {
    ShowInputError("バッファサイズの設定に失敗");
    return 0;
  }
  inputDevice->Acquire();
  return 1;
}

CameraKey KeyboardDevice::ReadKey() {
  if (!inputDevice) return KeyNone;
  BYTE state[256] = {};
  lastResult = inputDevice->GetDeviceState(sizeof(state), state);
  if (FAILED(lastResult)) {
    if (lastResult == DIERR_INPUTLOST) inputDevice->Acquire();
    return KeyNone;
  }
  // One key per read, in this fixed order of precedence.
  static constexpr struct {
    BYTE scanCode;
    CameraKey key;
  } kOrder[] = {{DIK_LEFT, KeyLeft}, {DIK_RIGHT, KeyRight}, {DIK_UP, KeyUp},      {DIK_DOWN, KeyDown},
                {DIK_X, KeyX},       {DIK_Z, KeyZ},         {DIK_SPACE, KeySpace}};
  for (const auto& entry : kOrder) {
    if (state[entry.scanCode] & 0x80) return entry.key;
  }
  return KeyNone;
}

void KeyboardDevice::SetAcquired(bool on) { Acquisition(inputDevice, on); }

void KeyboardDevice::ReleaseInputDevice() { ReleaseDevice(inputDevice); }

// ---- MouseDevice ----------------------------------------------------------------

MouseDevice::~MouseDevice() { ReleaseInputDevice(); }

int MouseDevice::Init(HWND window) {
  ReleaseInputDevice();  // a second set-up replaces the first
  if (!directInput || FAILED(directInput->CreateDevice(GUID_SysMouse, &inputDevice, nullptr))) return 0;
  if (FAILED(inputDevice->SetDataFormat(&c_dfDIMouse2))) return 0;
  if (FAILED(inputDevice->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE))) return 0;
  const DIPROPDWORD axisMode = DevicePropertyWord(DIPROPAXISMODE_REL);
  if (FAILED(inputDevice->SetProperty(DIPROP_AXISMODE, &axisMode.diph))) return 0;
  const DIPROPDWORD bufferSize = DevicePropertyWord(kBufferedEvents);
  if (FAILED(inputDevice->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph))) return 0;
  inputDevice->Acquire();
  return 1;
}

int MouseDevice::ReadMotion(float* dx, float* dy, float* wheel) {
  if (!inputDevice) return 1;
  DIMOUSESTATE2 state{};
  if (SUCCEEDED(inputDevice->GetDeviceState(sizeof(state), &state))) {
    if (state.rgbButtons[0]) {
      *dx = static_cast<float>(state.lX);
      *dy = static_cast<float>(state.lY);
    }
    *wheel = static_cast<float>(state.lZ);
  } else {
    inputDevice->Acquire();
  }
  // Drain at most one buffered event; only the immediate state is used.
  DIDEVICEOBJECTDATA event{};
  DWORD count = 1;
  if (inputDevice->GetDeviceData(sizeof(event), &event, &count, 0) == DIERR_INPUTLOST) inputDevice->Acquire();
  return 1;
}

void MouseDevice::SetAcquired(bool on) { Acquisition(inputDevice, on); }

void MouseDevice::ReleaseInputDevice() { ReleaseDevice(inputDevice); }
