// The menu bar, built from the window's menu. Check marks follow the menu's
// state only: choosing an item sends the command and leaves the mark alone.
#include <string>

#include "gtk_backend.h"

namespace win32::gtk {

namespace {

struct ItemTarget {
  HWND window;
  UINT commandId;
};

// "&" marks a mnemonic in menu texts and is not shown; "&&" shows one "&".
std::string ShownText(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown.push_back(text[i]);
  }
  return shown;
}

void OnActivate(GtkMenuItem*, gpointer data) {
  auto* target = static_cast<ItemTarget*>(data);
  desktop::MenuCommand(target->window, target->commandId);
  Desktop().MenuItemChanged(GetMenu(target->window), target->commandId);  // undo GTK's own toggle
}

void FreeTarget(gpointer data, GClosure*) { delete static_cast<ItemTarget*>(data); }

}  // namespace

void GtkBackend::BuildMenuBar(NativeWindow& native, HMENU handle, GtkWidget* shell) {
  Menu* menu = FindMenu(handle);
  if (!menu) return;
  for (const MenuItem& item : menu->items) {
    GtkWidget* widget = nullptr;
    if (item.flags & MF_SEPARATOR) {
      widget = gtk_separator_menu_item_new();
    } else if (item.popup) {
      widget = gtk_menu_item_new_with_label(Utf8(ShownText(item.text)).c_str());
      GtkWidget* submenu = gtk_menu_new();
      BuildMenuBar(native, item.popup, submenu);
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), submenu);
    } else {
      widget = gtk_check_menu_item_new_with_label(Utf8(ShownText(item.text)).c_str());
      gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), (item.flags & MF_CHECKED) != 0);
      g_signal_connect_data(widget, "activate", G_CALLBACK(OnActivate), new ItemTarget{native.handle, item.id},
                            FreeTarget, GConnectFlags(0));
      native.menuItems[item.id] = widget;
    }
    gtk_widget_set_sensitive(widget, !(item.flags & (MF_GRAYED | MF_DISABLED)));
    gtk_menu_shell_append(GTK_MENU_SHELL(shell), widget);
  }
}

void GtkBackend::MenuItemChanged(HMENU menu, UINT commandId) {
  for (auto& [handle, native] : windows_) {
    Window* window = FindWindow(handle);
    if (window && window->menu == menu) SyncMenuItem(native, commandId);
  }
}

void GtkBackend::SyncMenuItem(NativeWindow& native, UINT commandId) {
  auto it = native.menuItems.find(commandId);
  if (it == native.menuItems.end()) return;
  Window* window = FindWindow(native.handle);
  UINT state = window ? GetMenuState(window->menu, commandId, MF_BYCOMMAND) : static_cast<UINT>(-1);
  if (state == static_cast<UINT>(-1)) return;
  GtkWidget* widget = it->second;
  // Setting the mark makes GTK emit "activate"; that is not a choice of the user.
  g_signal_handlers_block_matched(widget, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr, reinterpret_cast<gpointer>(OnActivate),
                                  nullptr);
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), (state & MF_CHECKED) != 0);
  g_signal_handlers_unblock_matched(widget, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                    reinterpret_cast<gpointer>(OnActivate), nullptr);
  gtk_widget_set_sensitive(widget, !(state & (MF_GRAYED | MF_DISABLED)));
}

}  // namespace win32::gtk
