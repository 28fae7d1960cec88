// Main windows: a GTK window with the menu bar and a client area that shows
// the presented frames, scaled to fit.
#include <algorithm>

#include "gtk_backend.h"

namespace win32::gtk {

namespace {

HWND HandleOf(gpointer data) { return static_cast<HWND>(data); }

int ButtonIndex(guint button) { return button == 1 ? 0 : button == 3 ? 1 : button == 2 ? 2 : -1; }

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  UINT vk = VirtualKeyFromKeyval(event->keyval);
  if (vk == 0) return FALSE;
  desktop::Key(HandleOf(data), vk, event->type == GDK_KEY_PRESS, gdk_keyval_to_unicode(event->keyval));
  return TRUE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  desktop::CloseRequest(HandleOf(data));
  return TRUE;  // the window procedure decides
}

gboolean OnFocus(GtkWidget* widget, GdkEventFocus* event, gpointer data) {
  GdkWindow* gdkWindow = gtk_widget_get_window(widget);
  bool iconified = gdkWindow && (gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_ICONIFIED);
  desktop::Activate(HandleOf(data), event->in != 0, iconified);
  return FALSE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  if ((event->changed_mask & GDK_WINDOW_STATE_ICONIFIED) && (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED))
    desktop::Activate(HandleOf(data), false, true);
  return FALSE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  desktop::MouseMove(HandleOf(data), static_cast<int>(event->x), static_cast<int>(event->y));
  return TRUE;
}

gboolean OnButton(GtkWidget*, GdkEventButton* event, gpointer data) {
  int button = ButtonIndex(event->button);
  if (button < 0 || (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE)) return FALSE;
  desktop::MouseButton(HandleOf(data), button, event->type == GDK_BUTTON_PRESS, static_cast<int>(event->x),
                       static_cast<int>(event->y));
  return TRUE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  int delta = 0;
  if (event->direction == GDK_SCROLL_UP) delta = WHEEL_DELTA;
  else if (event->direction == GDK_SCROLL_DOWN) delta = -WHEEL_DELTA;
  else if (event->direction == GDK_SCROLL_SMOOTH) delta = static_cast<int>(-event->delta_y * WHEEL_DELTA);
  desktop::Wheel(HandleOf(data), delta, static_cast<int>(event->x), static_cast<int>(event->y));
  return TRUE;
}

void OnClientAllocated(GtkWidget*, GdkRectangle* area, gpointer data) {
  desktop::ClientResized(HandleOf(data), area->width, area->height);
}

// A present asked for this draw, or the desktop did: only the latter is a
// reason for the window to paint.
gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  HWND handle = HandleOf(data);
  NativeWindow* native = Desktop().Find(handle);
  Window* window = FindWindow(handle);
  if (!native || !window) return FALSE;
  if (native->presentPending) native->presentPending = false;
  else desktop::Invalidate(handle);

  int width = gtk_widget_get_allocated_width(widget), height = gtk_widget_get_allocated_height(widget);
  const Frame& frame = window->frame;
  if (frame.serial == 0 || frame.pixels.empty()) {
    cairo_set_source_rgb(cr, 1, 1, 1);  // the class background, a white brush
    cairo_paint(cr);
    return TRUE;
  }
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(frame.pixels.data())), CAIRO_FORMAT_RGB24,
      static_cast<int>(frame.width), static_cast<int>(frame.height), static_cast<int>(frame.width * 4));
  cairo_scale(cr, static_cast<double>(width) / frame.width, static_cast<double>(height) / frame.height);
  cairo_set_source_surface(cr, surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
  cairo_paint(cr);
  cairo_surface_destroy(surface);
  return TRUE;
}

void Connect(GtkWidget* widget, const char* signal, GCallback handler, HWND handle) {
  g_signal_connect(widget, signal, handler, handle);
}

}  // namespace

void GtkBackend::WindowCreated(HWND handle) {
  Window* window = FindWindow(handle);
  if (!ready_ || !window || window->dialog) return;  // dialogs are built when they open
  BuildMainWindow(*window);
}

void GtkBackend::BuildMainWindow(Window& window) {
  NativeWindow& native = windows_[window.handle];
  native.handle = window.handle;
  native.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(native.window), Utf8(window.text).c_str());
  gtk_window_set_resizable(GTK_WINDOW(native.window), (window.style & WS_THICKFRAME) != 0);

  // The outer size the program asked for, less the frame and caption the
  // desktop draws itself; the menu bar comes out of the client area.
  int width = window.outer.right - window.outer.left - 2 * SystemMetric(SM_CXDLGFRAME);
  int height = window.outer.bottom - window.outer.top - 2 * SystemMetric(SM_CYDLGFRAME) -
               ((window.style & WS_CAPTION) ? SystemMetric(SM_CYCAPTION) : 0);
  gtk_window_set_default_size(GTK_WINDOW(native.window), std::max(width, 1), std::max(height, 1));

  auto& classes = State().classes;
  auto cls = classes.find(ToLowerAscii(window.className));
  if (cls != classes.end())
    if (const IconResource* icon = IconOf(cls->second.hIcon))
      if (GdkPixbuf* pixbuf = PixbufFromIcon(*icon)) {
        gtk_window_set_icon(GTK_WINDOW(native.window), pixbuf);
        g_object_unref(pixbuf);
      }

  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(native.window), box);
  if (window.menu) {
    native.menuBar = gtk_menu_bar_new();
    BuildMenuBar(native, window.menu, native.menuBar);
    gtk_box_pack_start(GTK_BOX(box), native.menuBar, FALSE, FALSE, 0);
  }
  native.clientArea = gtk_drawing_area_new();
  gtk_widget_set_can_focus(native.clientArea, TRUE);
  gtk_widget_add_events(native.clientArea, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                               GDK_BUTTON_RELEASE_MASK | GDK_SCROLL_MASK);
  gtk_box_pack_start(GTK_BOX(box), native.clientArea, TRUE, TRUE, 0);

  HWND handle = window.handle;
  Connect(native.window, "key-press-event", G_CALLBACK(OnKey), handle);
  Connect(native.window, "key-release-event", G_CALLBACK(OnKey), handle);
  Connect(native.window, "delete-event", G_CALLBACK(OnDelete), handle);
  Connect(native.window, "focus-in-event", G_CALLBACK(OnFocus), handle);
  Connect(native.window, "focus-out-event", G_CALLBACK(OnFocus), handle);
  Connect(native.window, "window-state-event", G_CALLBACK(OnWindowState), handle);
  Connect(native.clientArea, "motion-notify-event", G_CALLBACK(OnMotion), handle);
  Connect(native.clientArea, "button-press-event", G_CALLBACK(OnButton), handle);
  Connect(native.clientArea, "button-release-event", G_CALLBACK(OnButton), handle);
  Connect(native.clientArea, "scroll-event", G_CALLBACK(OnScroll), handle);
  Connect(native.clientArea, "size-allocate", G_CALLBACK(OnClientAllocated), handle);
  Connect(native.clientArea, "draw", G_CALLBACK(OnDraw), handle);
  gtk_widget_show_all(box);
}

void GtkBackend::WindowShown(HWND handle, bool visible) {
  NativeWindow* native = Find(handle);
  if (!native) return;
  if (visible) gtk_widget_show(native->window);
  else gtk_widget_hide(native->window);
}

void GtkBackend::WindowDestroyed(HWND handle) {
  NativeWindow* native = Find(handle);
  if (!native) return;
  GtkWidget* widget = native->window;
  windows_.erase(handle);
  gtk_widget_destroy(widget);
}

void GtkBackend::WindowTextChanged(HWND handle) {
  NativeWindow* native = Find(handle);
  Window* window = FindWindow(handle);
  if (native && window) gtk_window_set_title(GTK_WINDOW(native->window), Utf8(window->text).c_str());
}

void GtkBackend::FramePresented(HWND handle) {
  NativeWindow* native = Find(handle);
  if (!native || !native->clientArea) return;
  native->presentPending = true;
  gtk_widget_queue_draw(native->clientArea);
}

GtkWindow* GtkBackend::NativeOwner(HWND owner) {
  NativeWindow* native = Find(TopLevelOf(owner));
  return native ? GTK_WINDOW(native->window) : nullptr;
}

}  // namespace win32::gtk
