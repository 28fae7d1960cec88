// The runtime's link to the Win32 layer's windows.
#pragma once

#include <vector>

#include "win_types.h"

// Shows 0xFFRRGGBB pixels in the window's client area, scaled; false for a
// window that cannot show them (destroyed, unknown).
bool ShowFrameInWindow(HWND window, const std::vector<DWORD>& pixels, UINT width, UINT height);
// The client area's size; false for an unknown window.
bool WindowClientSize(HWND window, UINT* width, UINT* height);
// The desktop's size (a usual one when the Win32 layer has no screen to ask).
void ScreenSize(UINT* width, UINT* height);
