// The headless backend's test hooks: input and desktop events for windows,
// scripted answers for dialogs and message boxes, and what was shown.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win_user.h"

// ---- the desktop's events (queued as the desktop would queue them) ----------
void Win32TestKey(HWND window, UINT virtualKey, bool down);
void Win32TestKeyPress(HWND window, UINT virtualKey);  // down, then up
void Win32TestMouseMove(HWND window, int dx, int dy);  // relative motion
void Win32TestMouseButton(HWND window, int button, bool down);  // 0 left, 1 right, 2 middle
void Win32TestWheel(HWND window, int notches);         // 120 per notch
void Win32TestMenuCommand(HWND window, UINT commandId);  // the user picks a menu item
void Win32TestClose(HWND window);                      // the title bar's close button
void Win32TestActivate(HWND window, bool active, bool minimized = false);
void Win32TestResize(HWND window, int clientWidth, int clientHeight);
void Win32TestInvalidate(HWND window);                 // the desktop asks for a redraw

// ---- dialogs ------------------------------------------------------------------
// One action of the user in an open dialog. A dialog runs its script one step
// each time its loop has nothing else to do; a dialog that is still open when
// its script has run out (or that had none) ends with -1 and is marked unanswered.
struct DialogStep {
  enum class Kind { Type, Press, Key, Close, Repaint, Call } kind;
  int id = 0;
  std::string text;
  UINT virtualKey = 0;
  HWND window = nullptr;
  std::function<void(HWND dialog)> call;

  static DialogStep Type(int id, std::string text) { return {Kind::Type, id, std::move(text), 0, nullptr, {}}; }
  static DialogStep Press(int id) { return {Kind::Press, id, {}, 0, nullptr, {}}; }
  static DialogStep Key(UINT vk) { return {Kind::Key, 0, {}, vk, nullptr, {}}; }
  static DialogStep CloseButton() { return {Kind::Close, 0, {}, 0, nullptr, {}}; }
  static DialogStep Repaint(HWND window) { return {Kind::Repaint, 0, {}, 0, window, {}}; }
  static DialogStep Call(std::function<void(HWND)> fn) { return {Kind::Call, 0, {}, 0, nullptr, std::move(fn)}; }
};
// Scripts are used by the dialogs in the order they open.
void Win32TestAnswerNextDialog(std::vector<DialogStep> steps);

struct DialogRecord {
  WORD templateId = 0;
  std::string caption;
  HWND owner = nullptr;
  SIZE clientSize{};
  std::vector<std::pair<int, std::string>> controlTexts;  // after the last step that ran
  bool unanswered = false;  // its script ran out with the dialog still open
};
const std::vector<DialogRecord>& Win32TestDialogs();

// ---- message boxes ------------------------------------------------------------
struct MessageBoxRecord {
  HWND owner = nullptr;
  std::string text;
  std::string caption;  // as shown: the default caption for a null one
  UINT type = 0;
  int result = 0;
};
// The next box is answered with `result` (a button id); unscripted boxes take their default button.
void Win32TestAnswerNextMessageBox(int result);
const std::vector<MessageBoxRecord>& Win32TestMessageBoxes();

// ---- help -----------------------------------------------------------------------
struct HelpRecord {
  HWND owner = nullptr;
  std::string fileName;
  std::string title;
  std::string text;
};
const std::vector<HelpRecord>& Win32TestHelpShown();
bool Win32TestHelpOpen();

// ---- presented frames -----------------------------------------------------------
// The last frame presented to `window` (X8R8G8B8 values, rows packed); false
// when there is none. `serial` counts presents to the window.
bool Win32TestGetFrame(HWND window, UINT* width, UINT* height, std::vector<uint32_t>* pixels,
                       uint64_t* serial = nullptr);

// Forgets every window, class, menu, table, resource, queued message and record,
// without sending any message. Raw-input listeners stay.
void Win32TestReset();
