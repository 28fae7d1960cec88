#include "window_present.h"

// The Win32 layer's presenting call has not landed yet: until it is connected
// here, a device with a window keeps its frames off-screen like a device
// without one, and a back buffer of size 0 cannot take a window's size.
bool ShowFrameInWindow(HWND, const std::vector<DWORD>&, UINT, UINT) { return true; }

bool WindowClientSize(HWND, UINT*, UINT*) { return false; }
