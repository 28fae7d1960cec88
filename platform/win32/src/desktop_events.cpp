// Events from the desktop: input, activation, close requests, resizing,
// menu choices and dialog controls. State changes at once; messages are queued.
#include <algorithm>

#include "user_state.h"
#include "win32_backend.h"

namespace win32 {

namespace {

bool AcceptsInput(HWND handle) {
  Window* window = FindWindow(handle);
  if (!window || !window->enabled) return false;
  Window* top = FindWindow(TopLevelOf(handle));
  return top && top->enabled;
}

WPARAM MouseKeyFlags() {
  const auto& keys = State().asyncKeyState;
  WPARAM flags = 0;
  if (keys[VK_LBUTTON] & 0x80) flags |= MK_LBUTTON;
  if (keys[VK_RBUTTON] & 0x80) flags |= MK_RBUTTON;
  if (keys[VK_MBUTTON] & 0x80) flags |= MK_MBUTTON;
  if (keys[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
  if (keys[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
  return flags;
}

void Notice(HWND window, WPARAM wParam, HWND other, bool queue) {
  if (!FindWindow(window)) return;
  if (queue) QueueMessage(window, WM_ACTIVATE, wParam, reinterpret_cast<LPARAM>(other), true);
  else SendMessageA(window, WM_ACTIVATE, wParam, reinterpret_cast<LPARAM>(other));
}

WORD MinimizedWord(HWND handle) {
  Window* window = FindWindow(handle);
  return window && window->minimized ? 1 : 0;
}

void SetKeyDown(UINT vk, bool down) { SetKeyBit(State().asyncKeyState, vk, down); }

}  // namespace

void SetKeyBit(std::array<BYTE, 256>& state, UINT virtualKey, bool down) {
  BYTE& s = state[virtualKey & 0xFF];
  if (down && !(s & 0x80)) s ^= 0x01;
  s = static_cast<BYTE>(down ? (s | 0x80) : (s & ~0x80));
}

void SetActiveWindow(HWND window, bool minimized, bool queueNotices) {
  UserState& state = State();
  HWND old = state.active;
  if (old == window) return;
  if (Window* w = FindWindow(window)) w->minimized = minimized || w->minimized;
  state.active = window;
  for (RawInputListener* listener : std::vector<RawInputListener*>(state.listeners))
    listener->OnForegroundChanged(window);
  if (old) Notice(old, MAKEWPARAM(WA_INACTIVE, MinimizedWord(old)), window, queueNotices);
  if (window) Notice(window, MAKEWPARAM(WA_ACTIVE, MinimizedWord(window)), old, queueNotices);
}

namespace desktop {

void Key(HWND window, UINT virtualKey, bool down, char32_t character) {
  if (virtualKey == 0 || virtualKey > 0xFF) return;
  UserState& state = State();
  BYTE scan = Win32VirtualKeyToScanCode(virtualKey);
  bool wasDown = (state.asyncKeyState[virtualKey] & 0x80) != 0;
  SetKeyDown(virtualKey, down);
  if (down) state.keyCharacter[virtualKey] = character;
  for (RawInputListener* listener : std::vector<RawInputListener*>(state.listeners))
    listener->OnRawKey(window, scan, down);
  if (!AcceptsInput(window)) return;
  bool alt = (state.asyncKeyState[VK_MENU] & 0x80) != 0 && virtualKey != VK_MENU;
  UINT message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
  DWORD lParam = 1u | (static_cast<DWORD>(scan & 0x7F) << 16) | ((scan & 0x80) ? (1u << 24) : 0u) |
                 (alt ? (1u << 29) : 0u) | (wasDown ? (1u << 30) : 0u) | (down ? 0u : (1u << 31));
  QueueMessage(window, message, virtualKey, static_cast<LPARAM>(lParam), false);
}

void MouseMove(HWND handle, int x, int y) {
  Window* window = FindWindow(handle);
  if (!window) return;
  LONG dx = window->pointerKnown ? x - window->pointer.x : 0;
  LONG dy = window->pointerKnown ? y - window->pointer.y : 0;
  window->pointer = {x, y};
  window->pointerKnown = true;
  if (dx || dy)
    for (RawInputListener* listener : std::vector<RawInputListener*>(State().listeners))
      listener->OnRawMouseMove(handle, dx, dy);
  if (AcceptsInput(handle)) QueueMessage(handle, WM_MOUSEMOVE, MouseKeyFlags(), MAKELPARAM(x, y), false);
}

void MouseButton(HWND handle, int button, bool down, int x, int y) {
  static constexpr UINT kVk[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static constexpr UINT kUp[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  if (button < 0 || button > 2 || !FindWindow(handle)) return;
  MouseMove(handle, x, y);
  SetKeyDown(kVk[button], down);
  for (RawInputListener* listener : std::vector<RawInputListener*>(State().listeners))
    listener->OnRawMouseButton(handle, button, down);
  if (AcceptsInput(handle))
    QueueMessage(handle, down ? kDown[button] : kUp[button], MouseKeyFlags(), MAKELPARAM(x, y), false);
}

void Wheel(HWND handle, int delta, int x, int y) {
  if (!FindWindow(handle) || delta == 0) return;
  for (RawInputListener* listener : std::vector<RawInputListener*>(State().listeners))
    listener->OnRawWheel(handle, delta);
  if (AcceptsInput(handle))
    QueueMessage(handle, WM_MOUSEWHEEL, MAKEWPARAM(MouseKeyFlags(), static_cast<WORD>(delta)), MAKELPARAM(x, y),
                 false);
}

void Activate(HWND handle, bool active, bool minimized) {
  Window* window = FindWindow(handle);
  if (!window) return;
  if (active) {
    window->minimized = minimized;
    SetActiveWindow(handle, minimized, true);
  } else if (State().active == handle) {
    window->minimized = minimized;
    SetActiveWindow(nullptr, false, true);
  } else if (minimized) {
    window->minimized = true;
  }
}

void CloseRequest(HWND handle) {
  if (AcceptsInput(handle)) QueueMessage(handle, WM_CLOSE, 0, 0, true);
}

void ClientResized(HWND handle, int width, int height) {
  Window* window = FindWindow(handle);
  if (!window || (window->client.cx == width && window->client.cy == height)) return;
  window->client = {std::max(width, 0), std::max(height, 0)};
  window->needsPaint = true;
  QueueMessage(handle, WM_SIZE, window->minimized ? SIZE_MINIMIZED : SIZE_RESTORED,
               MAKELPARAM(window->client.cx, window->client.cy), true);
}

void Invalidate(HWND handle) {
  if (Window* window = FindWindow(handle)) window->needsPaint = true;
}

void MenuCommand(HWND handle, UINT commandId) {
  Window* window = FindWindow(handle);
  if (!window || !AcceptsInput(handle)) return;
  UINT state = GetMenuState(window->menu, commandId, MF_BYCOMMAND);
  if (state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED | MF_POPUP))) return;
  QueueMessage(handle, WM_COMMAND, MAKEWPARAM(commandId, 0), 0, false);
}

void ButtonClicked(HWND control) {
  Window* window = FindWindow(control);
  if (!window || !window->control || !AcceptsInput(control)) return;
  QueueMessage(window->parent, WM_COMMAND, MAKEWPARAM(window->controlId, BN_CLICKED),
               reinterpret_cast<LPARAM>(control), false);
}

void ControlTextEdited(HWND control, const std::string& text) {
  if (Window* window = FindWindow(control)) window->text = text;
}

void MessageBoxAnswered(int result) {
  auto& results = State().messageBoxResults;
  if (!results.empty() && !results.back()) results.back() = result;
}

}  // namespace desktop
}  // namespace win32

void Win32AddRawInputListener(RawInputListener* listener) {
  auto& listeners = win32::State().listeners;
  if (listener && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
    listeners.push_back(listener);
}

void Win32RemoveRawInputListener(RawInputListener* listener) {
  auto& listeners = win32::State().listeners;
  listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}
