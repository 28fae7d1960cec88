// The main window's procedure and its command table.
#include "app/app_globals.h"
#include "app/input_devices.h"
#include "app/resources/resource_ids.h"
#include "app/simulator_app.h"
#include "app/trampolines.h"

namespace {

constexpr char kHelpFile[] = "Kelvane.HLP";

void Check(HMENU menu, int command, bool checked) {
  CheckMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void OpenDialog(HWND owner, int id, DLGPROC procedure) {
  DialogBoxParamA(nullptr, MAKEINTRESOURCEA(id), owner, procedure, 0);
}

}  // namespace

bool SimulatorApp::InputReady() const {
  return mouse && keyboard && mouse->inputDevice && keyboard->inputDevice;
}

LRESULT SimulatorApp::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const HMENU menu = GetMenu(hwnd);
  switch (msg) {
    case WM_PAINT:
      // A frame drawn for the desktop: it neither steps the simulation nor
      // counts toward the frame rate.
      if (InputReady()) Render();
      break;
    case WM_DESTROY:
      running = FALSE;
      PostQuitMessage(0);
      break;
    case WM_ACTIVATE:
      // The whole wParam decides: a minimised deactivation (WA_INACTIVE with a
      // non-zero high word) acquires rather than releases.
      if (mouse && keyboard) {
        const bool active = wParam != 0;
        mouse->SetAcquired(active);
        keyboard->SetAcquired(active);
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        running = FALSE;
        PostQuitMessage(0);
      }
      break;
    case WM_COMMAND:
      RunCommand(hwnd, menu, LOWORD(wParam));
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void SimulatorApp::RunCommand(HWND hwnd, HMENU menu, WORD command) {
  switch (command) {
    case ID_CLOSE:
      running = FALSE;
      PostQuitMessage(0);
      DestroyWindow(hwnd);
      break;
    case ID_ABOUT:
      OpenDialog(hwnd, IDD_ABOUT, AboutDialogProcedure);
      break;
    case ID_LAUNCH:
      OpenDialog(hwnd, IDD_LAUNCH, LaunchDialogProcedure);
      break;
    case ID_GO_STOP:
      // The check mark means "stopped".
      Check(menu, ID_GO_STOP, simulationOn);
      simulationOn = !simulationOn;
      break;
    case ID_FRAME_TIME:
      OpenDialog(hwnd, IDD_FRAME_TIME, FrameTimeDialogProcedure);
      break;
    case ID_FILL_SOLID:
    case ID_FILL_WIREFRAME:
    case ID_FILL_POINT:
      fillMode = command == ID_FILL_SOLID ? 0 : command == ID_FILL_WIREFRAME ? 2 : 1;
      Check(menu, ID_FILL_SOLID, command == ID_FILL_SOLID);
      Check(menu, ID_FILL_WIREFRAME, command == ID_FILL_WIREFRAME);
      Check(menu, ID_FILL_POINT, command == ID_FILL_POINT);
      break;
    case ID_CAMERA_VIEW:
      viewMode = 0;
      Check(menu, ID_CAMERA_VIEW, true);
      Check(menu, ID_SATELLITE_VIEW, false);
      break;
    case ID_SATELLITE_VIEW:
      Check(menu, ID_CAMERA_VIEW, false);
      Check(menu, ID_SATELLITE_VIEW, true);
      ChooseSatelliteView();
      break;
    case ID_GRID:
      gridVisible = !gridVisible;
      Check(menu, ID_GRID, gridVisible);
      break;
    case ID_RESET_VIEW:
      ResetView();
      break;
    case ID_HELP:
      WinHelpA(hwnd, kHelpFile, HELP_FINDER, 0);
      break;
    default:
      break;
  }
}
