// Accelerator tables and TranslateAcceleratorA.
#include "user_state.h"

using namespace win32;

namespace {

HACCEL StoreTable(std::vector<ACCEL> entries) {
  HACCEL handle = reinterpret_cast<HACCEL>(NewHandleValue());
  State().acceleratorTables[reinterpret_cast<uintptr_t>(handle)] = std::move(entries);
  return handle;
}

bool Held(UINT vk) { return (State().keyState[vk] & 0x80) != 0; }

bool Matches(const ACCEL& entry, const MSG& msg) {
  if (entry.fVirt & FVIRTKEY) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (msg.wParam != entry.key) return false;
    return Held(VK_SHIFT) == ((entry.fVirt & FSHIFT) != 0) && Held(VK_CONTROL) == ((entry.fVirt & FCONTROL) != 0) &&
           Held(VK_MENU) == ((entry.fVirt & FALT) != 0);
  }
  if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR) return false;
  if (msg.wParam != entry.key) return false;
  return Held(VK_MENU) == ((entry.fVirt & FALT) != 0);
}

}  // namespace

HACCEL LoadAcceleratorsA(HINSTANCE, LPCSTR tableName) {
  if (!tableName || !IS_INTRESOURCE(tableName)) return nullptr;
  WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(tableName));
  UserState& state = State();
  auto loaded = state.loadedAccelerators.find(id);
  if (loaded != state.loadedAccelerators.end()) return loaded->second;
  auto resource = state.acceleratorResources.find(id);
  if (resource == state.acceleratorResources.end()) return nullptr;
  std::vector<ACCEL> entries;
  for (const AcceleratorEntry& e : resource->second.entries) entries.push_back({e.flags, e.key, e.cmd});
  HACCEL handle = StoreTable(std::move(entries));
  state.loadedAccelerators[id] = handle;
  return handle;
}

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count) {
  if (!entries || count <= 0) return nullptr;
  return StoreTable(std::vector<ACCEL>(entries, entries + count));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
  UserState& state = State();
  for (auto it = state.loadedAccelerators.begin(); it != state.loadedAccelerators.end(); ++it)
    if (it->second == table) return TRUE;  // loaded from a resource: lives with the program
  return state.acceleratorTables.erase(reinterpret_cast<uintptr_t>(table)) ? TRUE : FALSE;
}

int TranslateAcceleratorA(HWND window, HACCEL table, MSG* msg) {
  if (!msg || !FindWindow(window)) return 0;
  UserState& state = State();
  auto it = state.acceleratorTables.find(reinterpret_cast<uintptr_t>(table));
  if (it == state.acceleratorTables.end()) return 0;
  for (const ACCEL& entry : it->second) {
    if (!Matches(entry, *msg)) continue;
    if (!IsWindowEnabled(window)) return 0;
    // A command whose menu item is grayed is not sent, as on the platform.
    HMENU menu = GetMenu(window);
    UINT itemState = GetMenuState(menu, entry.cmd, MF_BYCOMMAND);
    if (itemState != static_cast<UINT>(-1) && (itemState & (MF_GRAYED | MF_DISABLED))) return 1;
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
    return 1;
  }
  return 0;
}
