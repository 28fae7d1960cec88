// Window classes, window creation and destruction, and the default window procedure.
#include <algorithm>
#include <cstring>

#include "user_state.h"
#include "win32_backend.h"

using namespace win32;

namespace {

HMENU CopyMenuResource(const std::vector<MenuTemplateItem>& items, HWND owner) {
  HMENU handle = reinterpret_cast<HMENU>(NewHandleValue());
  Menu menu;
  menu.owner = owner;
  for (const MenuTemplateItem& item : items) {
    MenuItem copy{item.text, item.id, item.flags, nullptr};
    if (item.flags & MF_POPUP) copy.popup = CopyMenuResource(item.items, owner);
    menu.items.push_back(std::move(copy));
  }
  State().menus[reinterpret_cast<uintptr_t>(handle)] = std::move(menu);
  return handle;
}

void DestroyMenuTree(HMENU handle) {
  Menu* menu = FindMenu(handle);
  if (!menu) return;
  std::vector<HMENU> popups;
  for (const MenuItem& item : menu->items)
    if (item.popup) popups.push_back(item.popup);
  State().menus.erase(reinterpret_cast<uintptr_t>(handle));
  for (HMENU popup : popups) DestroyMenuTree(popup);
}

bool IsTopLevel(const Window& window) { return !(window.style & WS_CHILD); }

// The client area the outer size leaves: frame, caption and menu bar are the desktop's.
SIZE ClientFromOuter(const Window& window, int width, int height) {
  Backend& backend = ActiveBackend();
  if (!IsTopLevel(window)) return {width, height};
  int cx = width - 2 * backend.SystemMetric(SM_CXDLGFRAME);
  int cy = height - 2 * backend.SystemMetric(SM_CYDLGFRAME);
  if (window.style & WS_CAPTION) cy -= backend.SystemMetric(SM_CYCAPTION);
  if (window.menu) cy -= backend.SystemMetric(SM_CYMENU);
  return {std::max(cx, 0), std::max(cy, 0)};
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName ||
      IS_INTRESOURCE(windowClass->lpszClassName) || !*windowClass->lpszClassName)
    return 0;
  std::string key = ToLowerAscii(windowClass->lpszClassName);
  UserState& state = State();
  if (state.classes.count(key)) return 0;
  WNDCLASSA copy = *windowClass;
  state.classNames[key] = windowClass->lpszClassName;
  copy.lpszClassName = state.classNames[key].c_str();
  state.classes[key] = copy;
  return static_cast<ATOM>(0xC000 + state.classes.size());
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  if (!className || IS_INTRESOURCE(className)) return FALSE;
  std::string key = ToLowerAscii(className);
  UserState& state = State();
  for (auto& [value, window] : state.windows)
    if (ToLowerAscii(window->className) == key) return FALSE;  // still in use
  state.classNames.erase(key);
  return state.classes.erase(key) ? TRUE : FALSE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID) {
  if (!className || IS_INTRESOURCE(className)) return nullptr;
  UserState& state = State();
  auto cls = state.classes.find(ToLowerAscii(className));
  if (cls == state.classes.end()) return nullptr;
  if (parent && !FindWindow(parent)) return nullptr;
  if ((style & WS_CHILD) && !parent) return nullptr;

  auto window = std::make_unique<Window>();
  HWND handle = reinterpret_cast<HWND>(NewHandleValue());
  window->handle = handle;
  window->className = cls->second.lpszClassName;
  window->procedure = cls->second.lpfnWndProc;
  window->text = windowName ? windowName : "";
  window->style = style & ~WS_VISIBLE;
  window->exStyle = exStyle;
  window->parent = parent;
  window->instance = instance;
  if (!(style & WS_CHILD)) {
    if (menu) {
      window->menu = FindMenu(menu) ? menu : nullptr;
    } else if (LPCSTR name = cls->second.lpszMenuName; name && IS_INTRESOURCE(name)) {
      auto resource = state.menuResources.find(static_cast<WORD>(reinterpret_cast<uintptr_t>(name)));
      if (resource != state.menuResources.end()) window->menu = CopyMenuResource(resource->second.items, handle);
    }
    if (Menu* m = FindMenu(window->menu)) m->owner = handle;
  }
  if (x == CW_USEDEFAULT) x = y = 32;
  if (width == CW_USEDEFAULT) width = 640, height = 480;
  width = std::max(width, 0);
  height = std::max(height, 0);
  window->outer = {x, y, x + width, y + height};
  window->client = ClientFromOuter(*window, width, height);
  state.windows[reinterpret_cast<uintptr_t>(handle)] = std::move(window);

  if (!SendMessageA(handle, WM_NCCREATE, 0, 0) || SendMessageA(handle, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  Window* created = FindWindow(handle);
  if (!created) return nullptr;
  if (IsTopLevel(*created)) ActiveBackend().WindowCreated(handle);
  if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
  return FindWindow(handle) ? handle : nullptr;
}

BOOL ShowWindow(HWND handle, int command) {
  Window* window = FindWindow(handle);
  if (!window) return FALSE;
  BOOL wasVisible = window->visible ? TRUE : FALSE;
  bool show = command != SW_HIDE;
  bool minimize = command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE;
  window->visible = show;
  window->minimized = show && minimize;
  if (show && !wasVisible) window->needsPaint = true;
  if (IsTopLevel(*window)) ActiveBackend().WindowShown(handle, show);
  if (show && !wasVisible) {
    SendMessageA(handle, WM_SIZE, window->minimized ? SIZE_MINIMIZED : SIZE_RESTORED,
                 MAKELPARAM(window->client.cx, window->client.cy));
    bool activates = command != SW_SHOWNOACTIVATE && command != SW_SHOWNA && command != SW_SHOWMINNOACTIVE;
    if (IsTopLevel(*window) && activates && FindWindow(handle)) SetActiveWindow(handle, window->minimized);
  } else if (!show && wasVisible && State().active == handle) {
    SetActiveWindow(nullptr, false);
  }
  return wasVisible;
}

BOOL UpdateWindow(HWND handle) {
  Window* window = FindWindow(handle);
  if (!window) return FALSE;
  if (window->needsPaint && window->visible) SendMessageA(handle, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL DestroyWindow(HWND handle) {
  Window* window = FindWindow(handle);
  if (!window || window->destroying) return FALSE;
  window->destroying = true;
  for (HWND owned : WindowsOwnedBy(handle)) DestroyWindow(owned);
  if (State().active == handle) SetActiveWindow(nullptr, false);
  bool topLevel = IsTopLevel(*window);
  if (topLevel) {
    window->visible = false;
    ActiveBackend().WindowShown(handle, false);
  }
  SendMessageA(handle, WM_DESTROY, 0, 0);
  SendMessageA(handle, WM_NCDESTROY, 0, 0);
  if (topLevel) ActiveBackend().WindowDestroyed(handle);
  window = FindWindow(handle);
  if (window) {
    DestroyMenuTree(window->menu);
    UserState& state = State();
    if (state.focus == handle) state.focus = nullptr;
    state.windows.erase(reinterpret_cast<uintptr_t>(handle));
  }
  return TRUE;
}

BOOL IsWindow(HWND handle) { return FindWindow(handle) ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND handle) {
  Window* window = FindWindow(handle);
  return window && window->visible ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND handle) {
  Window* window = FindWindow(handle);
  return window && window->enabled ? TRUE : FALSE;
}

BOOL IsIconic(HWND handle) {
  Window* window = FindWindow(handle);
  return window && window->minimized ? TRUE : FALSE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
  Window* window = FindWindow(handle);
  if (!window) return FALSE;
  BOOL wasDisabled = window->enabled ? FALSE : TRUE;
  window->enabled = enable != FALSE;
  if (wasDisabled != !window->enabled) {
    SendMessageA(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    if (IsTopLevel(*window)) ActiveBackend().WindowEnabled(handle, enable != FALSE);
  }
  return wasDisabled;
}

BOOL GetClientRect(HWND handle, RECT* rect) {
  Window* window = FindWindow(handle);
  if (!window || !rect) return FALSE;
  *rect = {0, 0, window->client.cx, window->client.cy};
  return TRUE;
}

BOOL GetWindowRect(HWND handle, RECT* rect) {
  Window* window = FindWindow(handle);
  if (!window || !rect) return FALSE;
  *rect = window->outer;
  return TRUE;
}

BOOL SetWindowTextA(HWND handle, LPCSTR text) {
  if (!FindWindow(handle)) return FALSE;
  return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND handle, LPSTR buffer, int size) {
  if (!FindWindow(handle) || !buffer || size <= 0) return 0;
  return static_cast<int>(SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

BOOL InvalidateRect(HWND handle, const RECT*, BOOL) {
  Window* window = FindWindow(handle);
  if (!window) return FALSE;
  window->needsPaint = true;
  return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT*) {
  Window* window = FindWindow(handle);
  if (!window) return FALSE;
  window->needsPaint = false;
  return TRUE;
}

HWND GetActiveWindow() { return State().active; }
HWND GetForegroundWindow() { return State().active; }

HWND SetFocus(HWND handle) {
  if (handle && !FindWindow(handle)) return nullptr;
  HWND previous = State().focus;
  State().focus = handle;
  if (handle && handle != previous) ActiveBackend().FocusChanged(handle);
  return previous;
}

HWND GetFocus() { return State().focus; }

HWND GetParent(HWND handle) {
  Window* window = FindWindow(handle);
  return window ? window->parent : nullptr;
}

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
  Window* window = FindWindow(handle);
  if (!window) return 0;
  LONG_PTR previous = 0;
  switch (index) {
    case GWLP_USERDATA: previous = window->userData; window->userData = value; break;
    case GWLP_WNDPROC:
      if (!value) return 0;
      previous = reinterpret_cast<LONG_PTR>(window->procedure);
      window->procedure = reinterpret_cast<WNDPROC>(value);
      break;
    case GWL_STYLE: previous = static_cast<LONG_PTR>(window->style); window->style = static_cast<DWORD>(value); break;
    default: return 0;
  }
  return previous;
}

LONG_PTR GetWindowLongPtrA(HWND handle, int index) {
  Window* window = FindWindow(handle);
  if (!window) return 0;
  switch (index) {
    case GWLP_USERDATA: return window->userData;
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWL_STYLE: return static_cast<LONG_PTR>(window->style | (window->visible ? WS_VISIBLE : 0));
    default: return 0;
  }
}

int GetSystemMetrics(int index) { return ActiveBackend().SystemMetric(index); }

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = FindWindow(handle);
  if (!window) return 0;
  switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(handle); return 0;
    case WM_PAINT: window->needsPaint = false; return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      window->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (window->control) ActiveBackend().ControlTextChanged(handle);
      else if (IsTopLevel(*window)) ActiveBackend().WindowTextChanged(handle);
      return TRUE;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(window->text.size());
    case WM_GETTEXT: {
      if (!lParam || wParam == 0) return 0;
      // Copy whole UTF-8 characters only, leaving room for the terminating 0.
      size_t room = static_cast<size_t>(wParam) - 1;
      size_t n = std::min(room, window->text.size());
      while (n > 0 && n < window->text.size() && (static_cast<unsigned char>(window->text[n]) & 0xC0) == 0x80) --n;
      char* out = reinterpret_cast<char*>(lParam);
      std::memcpy(out, window->text.data(), n);
      out[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    default: return 0;
  }
}
