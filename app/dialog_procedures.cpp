// The three modal dialogs: About, launch and frame time. None handles
// WM_INITDIALOG, so the fields start empty every time.
#include "app/resources/resource_ids.h"
#include "app/simulator_app.h"

INT_PTR SimulatorApp::AboutDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_CLOSE) {
    EndDialog(dialog, 0);
    return FALSE;
  }
  if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

INT_PTR SimulatorApp::LaunchDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_DESTROY) {
    EndDialog(dialog, 0);
    return FALSE;
  }
  if (msg != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      Launch(dialog);
      EndDialog(dialog, 0);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR SimulatorApp::FrameTimeDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_CLOSE) {
    EndDialog(dialog, 0);
    return FALSE;
  }
  if (msg != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK: {
      // The entry is read as signed. A negative time has no meaning; it is taken
      // as 0 (no limit), like an empty entry, rather than as a wait of about
      // 49 days per frame.
      const int entered = static_cast<int>(GetDlgItemInt(dialog, IDC_FRAME_TIME, nullptr, TRUE));
      frameMillis = entered < 0 ? 0u : static_cast<DWORD>(entered);
      EndDialog(dialog, 0);
      return TRUE;
    }
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
