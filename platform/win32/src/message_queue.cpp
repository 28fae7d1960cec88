// The message queue: posting, sending, peeking, waiting, dispatching.
#include <algorithm>

#include "user_state.h"
#include "win32_backend.h"
#include "win_clock.h"

using namespace win32;

namespace {

bool InFilter(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
  if (window && msg.hwnd != window && TopLevelOf(msg.hwnd) != window) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

// Delivers messages that came from outside the loop (activation, close
// requests) straight to their procedures, as sent messages are.
void DeliverSentMessages() {
  UserState& state = State();
  for (;;) {
    auto it = std::find_if(state.queue.begin(), state.queue.end(), [](const QueuedMessage& q) { return q.sent; });
    if (it == state.queue.end()) return;
    MSG msg = it->msg;
    state.queue.erase(it);
    SendMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  }
}

std::optional<MSG> FindPaint(HWND window) {
  for (auto& [value, w] : State().windows) {
    if (!w->needsPaint || !w->visible) continue;
    if (window && w->handle != window && TopLevelOf(w->handle) != window) continue;
    MSG msg{};
    msg.hwnd = w->handle;
    msg.message = WM_PAINT;
    msg.time = timeGetTime();
    return msg;
  }
  return std::nullopt;
}

// The next message without removing it; `index` is its queue position, or -1
// for a generated one (WM_QUIT, WM_PAINT).
std::optional<MSG> NextMessage(HWND window, UINT filterMin, UINT filterMax, long* index) {
  UserState& state = State();
  for (size_t i = 0; i < state.queue.size(); ++i) {
    const QueuedMessage& q = state.queue[i];
    if (!q.sent && InFilter(q.msg, window, filterMin, filterMax)) {
      *index = static_cast<long>(i);
      return q.msg;
    }
  }
  *index = -1;
  if (state.quitPosted && (filterMin == 0 && filterMax == 0)) {
    MSG msg{};
    msg.message = WM_QUIT;
    msg.wParam = static_cast<WPARAM>(state.quitCode);
    msg.time = timeGetTime();
    return msg;
  }
  if (filterMin == 0 && filterMax == 0 ? true : (WM_PAINT >= filterMin && WM_PAINT <= filterMax))
    return FindPaint(window);
  return std::nullopt;
}

// GetKeyState answers as of the message being handled, so the state follows
// the key messages as they are taken from the queue.
void TrackKeyState(const MSG& msg) {
  auto& keys = State().keyState;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: SetKeyBit(keys, static_cast<UINT>(msg.wParam), true); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: SetKeyBit(keys, static_cast<UINT>(msg.wParam), false); break;
    case WM_LBUTTONDOWN: SetKeyBit(keys, VK_LBUTTON, true); break;
    case WM_LBUTTONUP: SetKeyBit(keys, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: SetKeyBit(keys, VK_RBUTTON, true); break;
    case WM_RBUTTONUP: SetKeyBit(keys, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: SetKeyBit(keys, VK_MBUTTON, true); break;
    case WM_MBUTTONUP: SetKeyBit(keys, VK_MBUTTON, false); break;
    default: break;
  }
}

bool TakeMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
  DeliverSentMessages();
  long index = -1;
  std::optional<MSG> next = NextMessage(window, filterMin, filterMax, &index);
  if (!next) return false;
  *msg = *next;
  UserState& state = State();
  state.lastMessageTime = msg->time;
  if (remove) {
    if (index >= 0) {
      state.queue.erase(state.queue.begin() + index);
      TrackKeyState(*msg);
    }
    else if (msg->message == WM_QUIT) state.quitPosted = false;
    // WM_PAINT stays until the window is validated.
  }
  return true;
}

}  // namespace

namespace win32 {

void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool sent) {
  MSG msg{};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = timeGetTime();
  if (Window* w = FindWindow(window)) msg.pt = w->pointer;
  State().queue.push_back({msg, sent});
}

}  // namespace win32

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return FALSE;
  ActiveBackend().Pump(false);
  return TakeMessage(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
  if (!msg || (window && !FindWindow(window))) return -1;
  Backend& backend = ActiveBackend();
  backend.Pump(false);
  while (!TakeMessage(msg, window, filterMin, filterMax, true)) {
    if (!backend.Pump(true)) return -1;
  }
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
  MSG msg;
  Backend& backend = ActiveBackend();
  backend.Pump(false);
  while (!TakeMessage(&msg, nullptr, 0, 0, false))
    if (!backend.Pump(true)) return FALSE;
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  Window* window = FindWindow(msg->hwnd);
  if (!window || !window->procedure) return 0;
  return window->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window || !FindWindow(window)) return FALSE;
  QueueMessage(window, message, wParam, lParam, false);
  return TRUE;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = FindWindow(handle);
  if (!window || !window->procedure) return 0;
  return window->procedure(handle, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  State().quitPosted = true;
  State().quitCode = exitCode;
}

DWORD GetMessageTime() { return State().lastMessageTime; }

SHORT GetKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return 0;
  BYTE s = State().keyState[static_cast<size_t>(virtualKey)];
  return static_cast<SHORT>(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

SHORT GetAsyncKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return 0;
  return static_cast<SHORT>((State().asyncKeyState[static_cast<size_t>(virtualKey)] & 0x80) ? 0x8000 : 0);
}
