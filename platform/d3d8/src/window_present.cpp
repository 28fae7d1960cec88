#include "window_present.h"

#include "win32_present.h"
#include "win_window.h"

bool ShowFrameInWindow(HWND window, const std::vector<DWORD>& pixels, UINT width, UINT height) {
  // 0xFFRRGGBB words lie in memory as the bytes B, G, R, X the window takes.
  return PresentFrameToWindow(window, pixels.data(), width, height, width * 4) != FALSE;
}

bool WindowClientSize(HWND window, UINT* width, UINT* height) {
  RECT client{};
  if (!GetClientRect(window, &client)) return false;
  *width = static_cast<UINT>(client.right - client.left);
  *height = static_cast<UINT>(client.bottom - client.top);
  return true;
}

void ScreenSize(UINT* width, UINT* height) {
  const int w = GetSystemMetrics(SM_CXSCREEN);
  const int h = GetSystemMetrics(SM_CYSCREEN);
  *width = w > 0 ? static_cast<UINT>(w) : 1280;
  *height = h > 0 ? static_cast<UINT>(h) : 1024;
}
