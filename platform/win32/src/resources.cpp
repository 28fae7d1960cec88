// Registered resources, icons, cursors and stock objects.
#include <algorithm>

#include "user_state.h"

using namespace win32;

namespace {

constexpr uintptr_t kIconBase = 0x7F0000;       // registered icons: base + id
constexpr uintptr_t kStockIconBase = 0x7E0000;  // stock icons and cursors: base + id
constexpr uintptr_t kStockObjectBase = 0x7D0000;

bool ValidMenu(const std::vector<MenuTemplateItem>& items) {
  if (items.empty()) return false;
  for (const MenuTemplateItem& item : items)
    if ((item.flags & MF_POPUP) && !ValidMenu(item.items)) return false;
  return true;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return ToLowerAscii(slash == std::string::npos ? path : path.substr(slash + 1));
}

}  // namespace

namespace win32 {

const IconResource* IconOf(HICON icon) {
  auto value = reinterpret_cast<uintptr_t>(icon);
  if (value <= kIconBase || value > kIconBase + 0xFFFF) return nullptr;
  auto& icons = State().iconResources;
  auto it = icons.find(static_cast<WORD>(value - kIconBase));
  return it == icons.end() ? nullptr : &it->second;
}

HICON IconHandle(WORD id) {
  return State().iconResources.count(id) ? reinterpret_cast<HICON>(kIconBase + id) : nullptr;
}

const HelpResource* FindHelp(const std::string& fileName) {
  std::string wanted = BaseName(fileName);
  for (const HelpResource& help : State().helpResources)
    if (BaseName(help.fileName) == wanted) return &help;
  return nullptr;
}

}  // namespace win32

BOOL RegisterResource(const MenuResource& menu) {
  if (!ValidMenu(menu.items)) return FALSE;
  State().menuResources[menu.id] = menu;
  return TRUE;
}

BOOL RegisterResource(const AcceleratorResource& table) {
  if (table.entries.empty()) return FALSE;
  State().acceleratorResources[table.id] = table;
  State().loadedAccelerators.erase(table.id);
  return TRUE;
}

BOOL RegisterResource(const DialogResource& dialog) {
  if (dialog.cx <= 0 || dialog.cy <= 0) return FALSE;
  for (const DialogControl& control : dialog.controls)
    if (control.cx < 0 || control.cy < 0) return FALSE;
  State().dialogResources[dialog.id] = dialog;
  return TRUE;
}

BOOL RegisterResource(const IconResource& icon) {
  if (icon.width == 0 || icon.height == 0 || icon.width > 256 || icon.height > 256 ||
      icon.pixels.size() != static_cast<size_t>(icon.width) * icon.height)
    return FALSE;
  State().iconResources[icon.id] = icon;
  return TRUE;
}

BOOL RegisterResource(const HelpResource& help) {
  if (BaseName(help.fileName).empty()) return FALSE;
  auto& helps = State().helpResources;
  std::string name = BaseName(help.fileName);
  helps.erase(std::remove_if(helps.begin(), helps.end(), [&](const HelpResource& h) { return BaseName(h.fileName) == name; }),
              helps.end());
  helps.push_back(help);
  return TRUE;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (!name || !IS_INTRESOURCE(name)) return nullptr;
  WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
  if (!instance && id >= 32512 && id <= 32518) return reinterpret_cast<HICON>(kStockIconBase + id);
  return IconHandle(id);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (instance || !name || !IS_INTRESOURCE(name)) return nullptr;
  WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
  bool stock = (id >= 32512 && id <= 32516) || id == 32649;
  return stock ? reinterpret_cast<HCURSOR>(kStockIconBase + 0x8000 + id) : nullptr;
}

HGDIOBJ GetStockObject(int index) {
  if (index < WHITE_BRUSH || index > DEFAULT_GUI_FONT || index == 9) return nullptr;
  return reinterpret_cast<HGDIOBJ>(kStockObjectBase + static_cast<uintptr_t>(index));
}
