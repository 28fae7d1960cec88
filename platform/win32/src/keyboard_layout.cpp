// Virtual keys, scan codes and the characters keys type (a US layout).
#include "win32_input.h"
#include "win_messages.h"

namespace {

struct KeyCode {
  UINT vk;
  BYTE scan;  // set-1 scan code, 0x80 added for extended keys
};

constexpr KeyCode kKeys[] = {
    {VK_ESCAPE, 0x01}, {'1', 0x02}, {'2', 0x03}, {'3', 0x04}, {'4', 0x05}, {'5', 0x06}, {'6', 0x07},
    {'7', 0x08}, {'8', 0x09}, {'9', 0x0A}, {'0', 0x0B}, {VK_OEM_MINUS, 0x0C}, {VK_OEM_PLUS, 0x0D},
    {VK_BACK, 0x0E}, {VK_TAB, 0x0F}, {'Q', 0x10}, {'W', 0x11}, {'E', 0x12}, {'R', 0x13}, {'T', 0x14},
    {'Y', 0x15}, {'U', 0x16}, {'I', 0x17}, {'O', 0x18}, {'P', 0x19}, {VK_OEM_4, 0x1A}, {VK_OEM_6, 0x1B},
    {VK_RETURN, 0x1C}, {VK_CONTROL, 0x1D}, {VK_LCONTROL, 0x1D}, {'A', 0x1E}, {'S', 0x1F}, {'D', 0x20},
    {'F', 0x21}, {'G', 0x22}, {'H', 0x23}, {'J', 0x24}, {'K', 0x25}, {'L', 0x26}, {VK_OEM_1, 0x27},
    {VK_OEM_7, 0x28}, {VK_OEM_3, 0x29}, {VK_SHIFT, 0x2A}, {VK_LSHIFT, 0x2A}, {VK_OEM_5, 0x2B}, {'Z', 0x2C},
    {'X', 0x2D}, {'C', 0x2E}, {'V', 0x2F}, {'B', 0x30}, {'N', 0x31}, {'M', 0x32}, {VK_OEM_COMMA, 0x33},
    {VK_OEM_PERIOD, 0x34}, {VK_OEM_2, 0x35}, {VK_RSHIFT, 0x36}, {VK_MULTIPLY, 0x37}, {VK_MENU, 0x38},
    {VK_LMENU, 0x38}, {VK_SPACE, 0x39}, {VK_CAPITAL, 0x3A}, {VK_F1, 0x3B}, {VK_F2, 0x3C}, {VK_F3, 0x3D},
    {VK_F4, 0x3E}, {VK_F5, 0x3F}, {VK_F6, 0x40}, {VK_F7, 0x41}, {VK_F8, 0x42}, {VK_F9, 0x43},
    {VK_F10, 0x44}, {VK_NUMLOCK, 0x45}, {VK_SCROLL, 0x46}, {VK_NUMPAD0 + 7, 0x47}, {VK_NUMPAD0 + 8, 0x48},
    {VK_NUMPAD0 + 9, 0x49}, {VK_SUBTRACT, 0x4A}, {VK_NUMPAD0 + 4, 0x4B}, {VK_NUMPAD0 + 5, 0x4C},
    {VK_NUMPAD0 + 6, 0x4D}, {VK_ADD, 0x4E}, {VK_NUMPAD0 + 1, 0x4F}, {VK_NUMPAD0 + 2, 0x50},
    {VK_NUMPAD0 + 3, 0x51}, {VK_NUMPAD0, 0x52}, {VK_DECIMAL, 0x53}, {VK_F11, 0x57}, {VK_F12, 0x58},
    {VK_RCONTROL, 0x9D}, {VK_DIVIDE, 0xB5}, {VK_RMENU, 0xB8}, {VK_PAUSE, 0xC5}, {VK_HOME, 0xC7},
    {VK_UP, 0xC8}, {VK_PRIOR, 0xC9}, {VK_LEFT, 0xCB}, {VK_RIGHT, 0xCD}, {VK_END, 0xCF}, {VK_DOWN, 0xD0},
    {VK_NEXT, 0xD1}, {VK_INSERT, 0xD2}, {VK_DELETE, 0xD3},
};

}  // namespace

BYTE Win32VirtualKeyToScanCode(UINT virtualKey) {
  for (const KeyCode& key : kKeys)
    if (key.vk == virtualKey) return key.scan;
  return 0;
}

UINT Win32ScanCodeToVirtualKey(BYTE scanCode) {
  for (const KeyCode& key : kKeys)
    if (key.scan == scanCode && scanCode != 0) return key.vk;
  return 0;
}

namespace win32 {

// The character a key types with the given Shift state on a US layout; 0 for none.
char32_t LayoutCharacter(UINT vk, bool shift) {
  if (vk >= 'A' && vk <= 'Z') return shift ? vk : vk - 'A' + 'a';
  if (vk >= '0' && vk <= '9') return shift ? U")!@#$%^&*("[vk - '0'] : vk;
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return '0' + (vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_ESCAPE: return 0x1B;
    case VK_BACK: return 0x08;
    case VK_TAB: return '\t';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: return 0;
  }
}

}  // namespace win32
