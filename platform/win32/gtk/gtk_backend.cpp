#include "gtk_backend.h"

#include <cstdio>
#include <string>

namespace win32::gtk {

GtkBackend& Desktop() {
  static GtkBackend backend;
  return backend;
}

GtkBackend::GtkBackend() {
  ready_ = gtk_init_check(nullptr, nullptr);
  if (!ready_) {
    std::fprintf(stderr, "kelvane: no desktop to show windows on (is DISPLAY set?)\n");
    return;
  }
  // Menu items show a mark only while checked, as on the original desktop.
  GtkCssProvider* menus = gtk_css_provider_new();
  gtk_css_provider_load_from_data(menus, "menu menuitem check:not(:checked) { background: none; border-color: transparent; box-shadow: none; -gtk-icon-source: none; }", -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(menus),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(menus);
}

NativeWindow* GtkBackend::Find(HWND handle) {
  auto it = windows_.find(handle);
  return it == windows_.end() ? nullptr : &it->second;
}

NativeWindow* GtkBackend::FindByWidget(GtkWidget* toplevel) {
  for (auto& [handle, native] : windows_)
    if (native.window == toplevel) return &native;
  return nullptr;
}

namespace {

GdkRectangle MonitorArea() {
  GdkRectangle area{0, 0, 0, 0};
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (!monitor) monitor = gdk_display_get_monitor(display, 0);
  if (monitor) gdk_monitor_get_geometry(monitor, &area);
  return area;
}

}  // namespace

int GtkBackend::SystemMetric(int index) {
  if (!ready_) return Backend::SystemMetric(index);
  switch (index) {
    case SM_CXSCREEN: return MonitorArea().width;
    case SM_CYSCREEN: return MonitorArea().height;
    case SM_CYMENU:
      // The height a menu bar really takes here, measured once.
      if (menuHeight_ == 0) {
        GtkWidget* bar = gtk_menu_bar_new();
        gtk_menu_shell_append(GTK_MENU_SHELL(bar), gtk_menu_item_new_with_label("ファイル"));
        g_object_ref_sink(bar);
        gtk_widget_show_all(bar);
        int natural = 0;
        gtk_widget_get_preferred_height(bar, nullptr, &natural);
        gtk_widget_destroy(bar);
        g_object_unref(bar);
        menuHeight_ = natural > 0 ? natural : Backend::SystemMetric(index);
      }
      return menuHeight_;
    default:
      // Frame and caption are drawn by the window manager outside the window;
      // the classic values keep outer and client sizes consistent.
      return Backend::SystemMetric(index);
  }
}

SIZE GtkBackend::DialogBaseUnits(const DialogFont& font) {
  if (!ready_) return Backend::DialogBaseUnits(font);
  // The average width of the Latin letters and the height of the dialog font.
  PangoContext* context = gdk_pango_context_get();
  PangoFontDescription* description = pango_font_description_new();
  std::string families = font.face.empty() ? std::string() : font.face + ",";
  families += "IPAPGothic,IPAGothic,sans-serif";
  pango_font_description_set_family(description, families.c_str());
  pango_font_description_set_size(description, (font.pointSize ? font.pointSize : 9) * PANGO_SCALE);
  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_font_description(layout, description);
  pango_layout_set_text(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  pango_font_description_free(description);
  g_object_unref(context);
  if (width <= 0 || height <= 0) return Backend::DialogBaseUnits(font);
  return {(width / 26 + 1) / 2, height};
}

bool GtkBackend::Pump(bool wait) {
  if (!ready_) return !wait;
  if (wait) {
    g_main_context_iteration(nullptr, TRUE);
    return true;
  }
  // Bounded, so a desktop that always has work cannot hold the caller.
  for (int i = 0; i < 64 && g_main_context_pending(nullptr); ++i) g_main_context_iteration(nullptr, FALSE);
  return true;
}

std::string Utf8(const std::string& text) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string result = valid;
  g_free(valid);
  return result;
}

GtkCssProvider* DialogStyle(const DialogFont& font) {
  static std::map<std::string, GtkCssProvider*> styles;
  std::string key = font.face + "/" + std::to_string(font.pointSize);
  auto it = styles.find(key);
  if (it != styles.end()) return it->second;
  std::string css = "* { font-family: \"" + font.face + "\", \"IPAPGothic\", \"IPAGothic\", sans-serif; font-size: " +
                    std::to_string(font.pointSize ? font.pointSize : 9) +
                    "pt; }\n"
                    "entry { min-height: 0; padding: 0 3px; }\n"
                    "button { min-height: 0; min-width: 0; padding: 0 4px; }\n"
                    "label { padding: 0; }\n";
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
  styles[key] = provider;
  return provider;
}

void ApplyStyle(GtkWidget* widget, GtkCssProvider* style) {
  gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(style),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child; child = child->next) ApplyStyle(GTK_WIDGET(child->data), style);
    g_list_free(children);
  }
}

}  // namespace win32::gtk

extern "C" win32::Backend* KelvaneWin32Backend() { return &win32::gtk::Desktop(); }
