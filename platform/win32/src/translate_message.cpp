// TranslateMessage: key presses that type a character also queue WM_CHAR.
#include <string>

#include "user_state.h"

namespace win32 {
char32_t LayoutCharacter(UINT vk, bool shift);
}

using namespace win32;

namespace {

void QueueCharacter(HWND window, UINT message, char32_t c, LPARAM lParam) {
  // 8-bit windows get UTF-8: one WM_CHAR per byte beyond ASCII.
  char bytes[4];
  int n = 0;
  if (c < 0x80) {
    bytes[n++] = static_cast<char>(c);
  } else if (c < 0x800) {
    bytes[n++] = static_cast<char>(0xC0 | (c >> 6));
    bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    bytes[n++] = static_cast<char>(0xE0 | (c >> 12));
    bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x110000) {
    bytes[n++] = static_cast<char>(0xF0 | (c >> 18));
    bytes[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
  }
  for (int i = 0; i < n; ++i)
    QueueMessage(window, message, static_cast<WPARAM>(static_cast<unsigned char>(bytes[i])), lParam, false);
}

}  // namespace

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  if (!FindWindow(msg->hwnd) || msg->wParam > 0xFF) return FALSE;
  UserState& state = State();
  UINT vk = static_cast<UINT>(msg->wParam);
  bool shift = (state.keyState[VK_SHIFT] & 0x80) != 0;
  bool ctrl = (state.keyState[VK_CONTROL] & 0x80) != 0;
  char32_t c = state.keyCharacter[vk] ? state.keyCharacter[vk] : LayoutCharacter(vk, shift);
  if (ctrl && vk >= 'A' && vk <= 'Z') c = vk - 'A' + 1;  // control characters
  if (c == 0) return FALSE;
  QueueCharacter(msg->hwnd, msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, c, msg->lParam);
  return TRUE;
}
