// Keyboard and mouse for the camera, over DirectInput 8. Each device object has
// its own InputSystem part, so DirectInput is created twice. The menu, the
// accelerators and Escape do not come through here; they are window messages.
#pragma once

#include "app/camera_key.h"
#include "app/platform_api.h"

class InputSystem {
 public:
  InputSystem() = default;
  ~InputSystem();
  InputSystem(const InputSystem&) = delete;
  InputSystem& operator=(const InputSystem&) = delete;

  // Creates `directInput`; 1 or 0 (after a message box).
  int Init(HINSTANCE instance);
  void Release();

  IDirectInput8A* directInput = nullptr;
  HRESULT lastResult = S_OK;  // of the last creation or keyboard state read
};

class KeyboardDevice : public virtual InputSystem {
 public:
  KeyboardDevice() = default;
  ~KeyboardDevice();

  // Creates and sets up the keyboard device; 1, or 0 after a message box.
  int Init(HWND window);
  // The first held camera key in a fixed order, or KeyNone.
  CameraKey ReadKey();
  void SetAcquired(bool on);
  void ReleaseInputDevice();

  IDirectInputDevice8A* inputDevice = nullptr;
};

class MouseDevice : public virtual InputSystem {
 public:
  MouseDevice() = default;
  ~MouseDevice();

  // Creates and sets up the mouse device; 1, or 0 silently.
  int Init(HWND window);
  // Writes x and y only while the left button is held, the wheel on every
  // successful read; always returns 1.
  int ReadMotion(float* dx, float* dy, float* wheel);
  void SetAcquired(bool on);
  void ReleaseInputDevice();

  IDirectInputDevice8A* inputDevice = nullptr;
};
