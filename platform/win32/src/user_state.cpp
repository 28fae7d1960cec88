#include "user_state.h"

#include "win32_backend.h"

extern "C" __attribute__((weak)) win32::Backend* KelvaneWin32Backend();

namespace win32 {

UserState& State() {
  static UserState state;
  return state;
}

uintptr_t NewHandleValue() {
  uintptr_t value = State().nextHandle;
  State().nextHandle += 4;
  return value;
}

Window* FindWindow(HWND handle) {
  auto& windows = State().windows;
  auto it = windows.find(reinterpret_cast<uintptr_t>(handle));
  return it == windows.end() ? nullptr : it->second.get();
}

Menu* FindMenu(HMENU handle) {
  auto& menus = State().menus;
  auto it = menus.find(reinterpret_cast<uintptr_t>(handle));
  return it == menus.end() ? nullptr : &it->second;
}

HWND TopLevelOf(HWND handle) {
  Window* window = FindWindow(handle);
  while (window && (window->style & WS_CHILD) && FindWindow(window->parent)) window = FindWindow(window->parent);
  return window ? window->handle : nullptr;
}

std::vector<HWND> WindowsOwnedBy(HWND owner) {
  std::vector<HWND> owned;
  for (auto& [value, window] : State().windows)
    if (window->parent == owner) owned.push_back(window->handle);
  return owned;
}

std::string ToLowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

int Backend::SystemMetric(int index) {
  // The classic desktop's metrics at 96 dots per inch.
  switch (index) {
    case SM_CXSCREEN: return 1024;
    case SM_CYSCREEN: return 768;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CYMENU: return 19;
    default: return 0;
  }
}

SIZE Backend::DialogBaseUnits(const DialogFont& font) {
  // A 9-point Japanese proportional font at 96 dots per inch: 6 by 12 pixels;
  // other sizes scale with the point size.
  LONG height = font.pointSize ? (font.pointSize * 96 + 36) / 72 : 12;
  return {(height + 1) / 2, height};
}

void Backend::MessageBoxOpened(const MessageBoxRequest& request) {
  // Nobody can answer: the box takes its default button at once.
  desktop::MessageBoxAnswered(MessageBoxDefaultButton(request.type));
}

Backend& ActiveBackend() {
  static Backend noScreen;
  static Backend* active = KelvaneWin32Backend ? KelvaneWin32Backend() : nullptr;
  return active ? *active : noScreen;
}

}  // namespace win32
