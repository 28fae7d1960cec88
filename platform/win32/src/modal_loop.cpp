// One step of the loops that modal dialogs and message boxes run.
#include "user_state.h"
#include "win32_backend.h"

namespace win32 {

bool PumpModalOnce(HWND dialog) {
  MSG msg;
  if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the caller's loop
      return false;
    }
    if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
  }
  return ActiveBackend().Pump(true);
}

}  // namespace win32
