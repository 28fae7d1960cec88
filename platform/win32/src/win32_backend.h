// What the common window layer asks of the desktop it runs on, and what the
// desktop reports back. A program links exactly one backend library; it
// provides KelvaneWin32Backend(). Without one, the layer runs with no screen:
// nothing is shown, no dialog can be answered.
#pragma once

#include <string>
#include <vector>

#include "win_resource.h"
#include "win_user.h"

namespace win32 {

struct MessageBoxRequest {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

struct MessageBoxButton {
  int id;
  const char* label;
};
// The buttons of a message box type, left to right, and the one Enter presses.
std::vector<MessageBoxButton> MessageBoxButtons(UINT type);
int MessageBoxDefaultButton(UINT type);

class Backend {
 public:
  virtual ~Backend() = default;

  virtual int SystemMetric(int index);
  // Dialog base units (average character width, character height) in pixels of a dialog font.
  virtual SIZE DialogBaseUnits(const DialogFont& font);

  // Top-level windows (dialogs included) after their creation, when shown or hidden, before destruction.
  virtual void WindowCreated(HWND) {}
  virtual void WindowShown(HWND, bool /*visible*/) {}
  virtual void WindowDestroyed(HWND) {}
  virtual void WindowTextChanged(HWND) {}
  virtual void WindowEnabled(HWND, bool) {}
  virtual void MenuItemChanged(HMENU, UINT /*commandId*/) {}
  virtual void FramePresented(HWND) {}
  // A control's text changed from the program's side (SetDlgItemTextA ...).
  virtual void ControlTextChanged(HWND /*control*/) {}
  // The keyboard focus moved to a control (SetFocus).
  virtual void FocusChanged(HWND /*window*/) {}
  // A modal dialog's window and controls exist and WM_INITDIALOG has run: show it.
  virtual void DialogOpened(HWND) {}

  // A message box opens; the backend answers it with Desktop::MessageBoxAnswered.
  virtual void MessageBoxOpened(const MessageBoxRequest& request);
  virtual void MessageBoxClosed() {}
  virtual bool ShowHelp(HWND /*owner*/, const HelpResource&) { return false; }
  virtual void CloseHelp() {}

  // Lets the desktop deliver its pending events; with `wait`, blocks until at
  // least one arrived. false when no event can ever come (no screen, or a
  // headless script that ran out).
  virtual bool Pump(bool wait) { return !wait; }
};

Backend& ActiveBackend();

// The desktop's events, as backends report them. They update state at once and
// queue the messages; no window procedure runs inside these calls.
namespace desktop {
void Key(HWND window, UINT virtualKey, bool down, char32_t character = 0);
void MouseMove(HWND window, int x, int y);
void MouseButton(HWND window, int button, bool down, int x, int y);
void Wheel(HWND window, int delta, int x, int y);
void Activate(HWND window, bool active, bool minimized = false);
void CloseRequest(HWND window);
void ClientResized(HWND window, int width, int height);
void Invalidate(HWND window);
void MenuCommand(HWND window, UINT commandId);
void ButtonClicked(HWND control);
void ControlTextEdited(HWND control, const std::string& text);
void MessageBoxAnswered(int result);
}  // namespace desktop

}  // namespace win32

// Defined by the backend library the program links (a weak reference here).
extern "C" win32::Backend* KelvaneWin32Backend();
