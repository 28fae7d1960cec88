#include "app/trampolines.h"

#include "app/app_globals.h"
#include "app/simulator_app.h"

// Without the application object (never the case once the entry point has
// made it) a window still gets the default handling and a dialog none.
LRESULT CALLBACK MainWindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!theApp) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return theApp->WndProc(hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK AboutDialogProcedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  return theApp ? theApp->AboutDlgProc(dialog, msg, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK LaunchDialogProcedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  return theApp ? theApp->LaunchDlgProc(dialog, msg, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK FrameTimeDialogProcedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  return theApp ? theApp->FrameTimeDlgProc(dialog, msg, wParam, lParam) : FALSE;
}
