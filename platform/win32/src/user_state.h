// The objects of the window layer: classes, windows, menus, accelerator
// tables, registered resources and the message queue. One instance per
// process, used from the user-interface thread only.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win32_input.h"
#include "win_resource.h"
#include "win_user.h"

namespace win32 {

struct Frame {
  UINT width = 0;
  UINT height = 0;
  std::vector<uint32_t> pixels;  // X8R8G8B8, rows packed
  uint64_t serial = 0;           // counts presents, so a viewer can tell a new frame
};

struct DialogState {
  DialogResource layout;
  DLGPROC procedure = nullptr;
  HWND owner = nullptr;
  std::vector<HWND> controls;  // in template order
  SIZE baseUnits{6, 12};
  bool ended = false;
  INT_PTR result = 0;
};

struct Window {
  HWND handle = nullptr;
  std::string className;
  WNDPROC procedure = nullptr;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT outer{};       // outer rectangle in screen pixels
  SIZE client{};      // client area in pixels
  HWND parent = nullptr;  // owner of a top-level window, parent of a child
  HMENU menu = nullptr;
  HINSTANCE instance = nullptr;
  bool visible = false;
  bool enabled = true;
  bool needsPaint = false;
  bool minimized = false;
  bool destroying = false;
  LONG_PTR userData = 0;
  POINT pointer{};  // last pointer position in client coordinates
  bool pointerKnown = false;
  std::unique_ptr<DialogState> dialog;  // dialog windows
  int controlId = 0;                    // controls of a dialog
  const DialogControl* control = nullptr;  // points into the owning dialog's layout
  Frame frame;
};

struct MenuItem {
  std::string text;
  UINT id = 0;
  UINT flags = 0;
  HMENU popup = nullptr;
};
struct Menu {
  std::vector<MenuItem> items;
  HWND owner = nullptr;
};

struct QueuedMessage {
  MSG msg;
  bool sent = false;  // delivered to the procedure directly by the queue, never returned
};

struct UserState {
  std::map<std::string, WNDCLASSA> classes;  // by lower-case name
  std::map<std::string, std::string> classNames;
  std::map<uintptr_t, std::unique_ptr<Window>> windows;
  std::map<uintptr_t, Menu> menus;
  std::map<uintptr_t, std::vector<ACCEL>> acceleratorTables;
  std::map<WORD, MenuResource> menuResources;
  std::map<WORD, AcceleratorResource> acceleratorResources;
  std::map<WORD, DialogResource> dialogResources;
  std::map<WORD, IconResource> iconResources;
  std::vector<HelpResource> helpResources;
  std::map<WORD, HACCEL> loadedAccelerators;
  std::deque<QueuedMessage> queue;
  bool quitPosted = false;
  int quitCode = 0;
  std::array<BYTE, 256> keyState{};       // as of the message being handled (GetKeyState)
  std::array<BYTE, 256> asyncKeyState{};  // as of now (GetAsyncKeyState)
  std::array<char32_t, 256> keyCharacter{};  // the character the desktop last reported for a key
  HWND active = nullptr;
  HWND focus = nullptr;
  DWORD lastMessageTime = 0;
  uintptr_t nextHandle = 0x10010;
  std::vector<RawInputListener*> listeners;
  std::vector<std::optional<int>> messageBoxResults;  // one per open box, innermost last
  std::vector<HWND> openHelpOwners;
  std::vector<HWND> modalDialogs;  // innermost last
};

UserState& State();
uintptr_t NewHandleValue();

Window* FindWindow(HWND handle);
Menu* FindMenu(HMENU handle);
HWND TopLevelOf(HWND handle);
// Windows owned by `owner` (its dialogs and controls).
std::vector<HWND> WindowsOwnedBy(HWND owner);

void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool sent);
// Makes `window` (null: none) the active and foreground window at once and tells
// the raw-input listeners; the two WM_ACTIVATE notices are sent now, or queued for
// the loop when the desktop reported the change.
void SetActiveWindow(HWND window, bool minimized, bool queueNotices = false);
std::string ToLowerAscii(std::string text);

// Bit 7: held; bit 0: toggles with each press.
void SetKeyBit(std::array<BYTE, 256>& state, UINT virtualKey, bool down);

const IconResource* IconOf(HICON icon);
HICON IconHandle(WORD id);

// Runs messages until `finished` says so, dispatching every message and letting
// `dialog` (may be null) handle its keys first. false when the desktop can send
// nothing more (the loop would never end) or WM_QUIT arrived (it is posted again).
template <typename Finished>
bool RunModalLoop(HWND dialog, Finished finished);
bool PumpModalOnce(HWND dialog);  // one step of the loop above: false as there

template <typename Finished>
bool RunModalLoop(HWND dialog, Finished finished) {
  while (!finished())
    if (!PumpModalOnce(dialog)) return false;
  return true;
}

}  // namespace win32
