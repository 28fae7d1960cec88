// Showing rendered frames in a window.
#pragma once

#include "win_types.h"

// Puts one frame into the window's client area: `pixels` are rows of 32-bit
// X8R8G8B8 values (bytes B, G, R, X in memory), `pitchBytes` apart. The frame is
// shown at once, scaled to the client area; the window is not asked to paint
// (no WM_PAINT comes of it). FALSE for an unknown window, a null or too small
// pitch, a zero or oversized frame, or when memory runs out.
BOOL PresentFrameToWindow(HWND window, const void* pixels, UINT width, UINT height, UINT pitchBytes);
