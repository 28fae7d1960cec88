// Menus: a window's copy of its class menu, check marks and item states.
#include <algorithm>
#include <cstring>

#include "user_state.h"
#include "win32_backend.h"

using namespace win32;

namespace {

// The item named by command id (searching popups too) or by position.
MenuItem* FindItem(HMENU handle, UINT item, UINT flags, HMENU* holder) {
  Menu* menu = FindMenu(handle);
  if (!menu) return nullptr;
  if (flags & MF_BYPOSITION) {
    if (item >= menu->items.size()) return nullptr;
    *holder = handle;
    return &menu->items[item];
  }
  for (MenuItem& entry : menu->items) {
    if (entry.popup) {
      if (MenuItem* found = FindItem(entry.popup, item, flags, holder)) return found;
    } else if (!(entry.flags & MF_SEPARATOR) && entry.id == item) {
      *holder = handle;
      return &entry;
    }
  }
  return nullptr;
}

HMENU RootOf(HMENU handle) {
  Menu* menu = FindMenu(handle);
  if (!menu) return nullptr;
  Window* owner = FindWindow(menu->owner);
  return owner ? owner->menu : handle;
}

}  // namespace

HMENU GetMenu(HWND window) {
  Window* w = FindWindow(window);
  return w ? w->menu : nullptr;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  HMENU holder = nullptr;
  MenuItem* entry = FindItem(menu, item, flags, &holder);
  if (!entry) return static_cast<DWORD>(-1);
  DWORD previous = entry->flags & MF_CHECKED;
  entry->flags = (entry->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  if (previous != (flags & MF_CHECKED)) ActiveBackend().MenuItemChanged(RootOf(menu), entry->id);
  return previous;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  HMENU holder = nullptr;
  MenuItem* entry = FindItem(menu, item, flags, &holder);
  if (!entry) return -1;
  constexpr UINT kMask = MF_GRAYED | MF_DISABLED;
  BOOL previous = static_cast<BOOL>(entry->flags & kMask);
  entry->flags = (entry->flags & ~kMask) | (flags & kMask);
  if (static_cast<UINT>(previous) != (flags & kMask)) ActiveBackend().MenuItemChanged(RootOf(menu), entry->id);
  return previous;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  HMENU holder = nullptr;
  MenuItem* entry = FindItem(menu, item, flags, &holder);
  if (!entry) return static_cast<UINT>(-1);
  return entry->flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_POPUP | MF_SEPARATOR);
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
  HMENU holder = nullptr;
  MenuItem* entry = FindItem(menu, item, flags, &holder);
  if (!entry) return 0;
  if (!buffer || size <= 0) return static_cast<int>(entry->text.size());
  size_t n = std::min(static_cast<size_t>(size - 1), entry->text.size());
  while (n > 0 && n < entry->text.size() && (static_cast<unsigned char>(entry->text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, entry->text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int GetMenuItemCount(HMENU menu) {
  Menu* m = FindMenu(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

HMENU GetSubMenu(HMENU menu, int position) {
  Menu* m = FindMenu(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size()) return nullptr;
  return m->items[static_cast<size_t>(position)].popup;
}

UINT GetMenuItemID(HMENU menu, int position) {
  Menu* m = FindMenu(menu);
  if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size()) return static_cast<UINT>(-1);
  const MenuItem& item = m->items[static_cast<size_t>(position)];
  return item.popup ? static_cast<UINT>(-1) : item.id;
}
