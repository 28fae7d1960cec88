// Raw keyboard and pointer input as the desktop delivers it, for input devices
// that are read beside the message queue (the DirectInput devices). Listeners
// hear every key and pointer event of the program's windows, in order, at the
// moment it arrives, and every change of the foreground window.
#pragma once

#include "win_types.h"

struct RawInputListener {
  // `scanCode` is the key's set-1 scan code, with 0x80 added for extended keys (the DIK code).
  virtual void OnRawKey(HWND window, BYTE scanCode, bool down) = 0;
  virtual void OnRawMouseMove(HWND window, LONG dx, LONG dy) = 0;
  virtual void OnRawMouseButton(HWND window, int button, bool down) = 0;  // 0 left, 1 right, 2 middle
  virtual void OnRawWheel(HWND window, LONG delta) = 0;                   // 120 per notch, positive away from the user
  virtual void OnForegroundChanged(HWND foreground) = 0;                  // null: none of the program's windows

 protected:
  ~RawInputListener() = default;
};

void Win32AddRawInputListener(RawInputListener* listener);
void Win32RemoveRawInputListener(RawInputListener* listener);

// The key's scan code as a DIK code (0 when the key has none), and back.
BYTE Win32VirtualKeyToScanCode(UINT virtualKey);
UINT Win32ScanCodeToVirtualKey(BYTE scanCode);
