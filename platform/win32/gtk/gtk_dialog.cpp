// Modal dialogs laid out from their templates: dialog units become pixels
// with the dialog font's metrics, computed by the common part.
#include "gtk_backend.h"

namespace win32::gtk {

namespace {

HWND HandleOf(gpointer data) { return static_cast<HWND>(data); }

// Enter and Escape belong to the dialog's own loop; other keys go to the focused control.
gboolean OnDialogKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  UINT vk = VirtualKeyFromKeyval(event->keyval);
  if (vk != VK_RETURN && vk != VK_ESCAPE) return FALSE;
  desktop::Key(HandleOf(data), vk, event->type == GDK_KEY_PRESS);
  return TRUE;
}

gboolean OnDialogDelete(GtkWidget*, GdkEvent*, gpointer data) {
  desktop::CloseRequest(HandleOf(data));
  return TRUE;
}

void OnClicked(GtkButton*, gpointer data) { desktop::ButtonClicked(HandleOf(data)); }

void OnEdited(GtkEditable* editable, gpointer data) {
  desktop::ControlTextEdited(HandleOf(data), gtk_entry_get_text(GTK_ENTRY(editable)));
}

gboolean OnDrawIcon(GtkWidget* widget, cairo_t* cr, gpointer data) {
  Window* control = FindWindow(HandleOf(data));
  if (!control || !control->control) return FALSE;
  auto& icons = State().iconResources;
  auto it = icons.find(control->control->iconId);
  if (it == icons.end()) return FALSE;
  GdkPixbuf* pixbuf = PixbufFromIcon(it->second);
  if (!pixbuf) return FALSE;
  int width = gtk_widget_get_allocated_width(widget), height = gtk_widget_get_allocated_height(widget);
  // SS_CENTERIMAGE: the icon at its own size, centred; else at the top left.
  bool centre = (control->control->style & SS_CENTERIMAGE) != 0;
  double x = centre ? (width - static_cast<int>(it->second.width)) / 2.0 : 0;
  double y = centre ? (height - static_cast<int>(it->second.height)) / 2.0 : 0;
  gdk_cairo_set_source_pixbuf(cr, pixbuf, x, y);
  cairo_paint(cr);
  g_object_unref(pixbuf);
  return TRUE;
}

GtkWidget* MakeControl(Window& control) {
  const DialogControl& layout = *control.control;
  GtkWidget* widget = nullptr;
  switch (layout.kind) {
    case DialogControlKind::PushButton:
    case DialogControlKind::DefPushButton:
      widget = gtk_button_new_with_label(Utf8(control.text).c_str());
      g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), control.handle);
      break;
    case DialogControlKind::LeftText:
    case DialogControlKind::CenterText:
    case DialogControlKind::RightText: {
      widget = gtk_label_new(Utf8(control.text).c_str());
      float x = layout.kind == DialogControlKind::LeftText ? 0.0f : layout.kind == DialogControlKind::RightText ? 1.0f : 0.5f;
      gtk_label_set_xalign(GTK_LABEL(widget), x);
      gtk_label_set_yalign(GTK_LABEL(widget), (layout.style & SS_CENTERIMAGE) ? 0.5f : 0.0f);
      gtk_label_set_line_wrap(GTK_LABEL(widget), TRUE);
      break;
    }
    case DialogControlKind::Edit:
      widget = gtk_entry_new();
      gtk_entry_set_width_chars(GTK_ENTRY(widget), 1);
      gtk_entry_set_text(GTK_ENTRY(widget), Utf8(control.text).c_str());
      gtk_entry_set_alignment(GTK_ENTRY(widget), (layout.style & ES_RIGHT) ? 1.0f : (layout.style & ES_CENTER) ? 0.5f : 0.0f);
      gtk_editable_set_editable(GTK_EDITABLE(widget), !(layout.style & ES_READONLY));
      gtk_entry_set_has_frame(GTK_ENTRY(widget), (layout.style & WS_BORDER) != 0);
      g_signal_connect(widget, "changed", G_CALLBACK(OnEdited), control.handle);
      break;
    case DialogControlKind::Icon:
      widget = gtk_drawing_area_new();
      g_signal_connect(widget, "draw", G_CALLBACK(OnDrawIcon), control.handle);
      break;
    case DialogControlKind::GroupBox: widget = gtk_frame_new(Utf8(control.text).c_str()); break;
  }
  gtk_widget_set_size_request(widget, control.client.cx, control.client.cy);
  return widget;
}

}  // namespace

void GtkBackend::DialogOpened(HWND handle) {
  Window* window = FindWindow(handle);
  if (!ready_ || !window || !window->dialog) return;
  BuildDialog(*window);
}

void GtkBackend::BuildDialog(Window& window) {
  NativeWindow& native = windows_[window.handle];
  native.handle = window.handle;
  native.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* gtkWindow = GTK_WINDOW(native.window);
  gtk_window_set_title(gtkWindow, Utf8(window.text).c_str());
  gtk_window_set_modal(gtkWindow, TRUE);
  gtk_window_set_resizable(gtkWindow, FALSE);
  gtk_window_set_deletable(gtkWindow, (window.style & WS_SYSMENU) != 0);
  gtk_window_set_type_hint(gtkWindow, GDK_WINDOW_TYPE_HINT_DIALOG);
  if (GtkWindow* owner = NativeOwner(window.dialog->owner)) {
    gtk_window_set_transient_for(gtkWindow, owner);
    gtk_window_set_position(gtkWindow, GTK_WIN_POS_CENTER_ON_PARENT);
  } else {
    gtk_window_set_position(gtkWindow, GTK_WIN_POS_CENTER);
  }

  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, window.client.cx, window.client.cy);
  gtk_container_add(GTK_CONTAINER(native.window), fixed);
  GtkWidget* defaultButton = nullptr;
  for (HWND controlHandle : window.dialog->controls) {
    Window* control = FindWindow(controlHandle);
    if (!control || !control->control) continue;
    GtkWidget* widget = MakeControl(*control);
    gtk_fixed_put(GTK_FIXED(fixed), widget, control->outer.left, control->outer.top);
    native.controls[controlHandle] = widget;
    if (control->control->kind == DialogControlKind::DefPushButton) defaultButton = widget;
  }
  ApplyStyle(native.window, DialogStyle(window.dialog->layout.font));
  if (defaultButton) {
    gtk_widget_set_can_default(defaultButton, TRUE);
    gtk_window_set_default(gtkWindow, defaultButton);
  }
  g_signal_connect(native.window, "key-press-event", G_CALLBACK(OnDialogKey), window.handle);
  g_signal_connect(native.window, "key-release-event", G_CALLBACK(OnDialogKey), window.handle);
  g_signal_connect(native.window, "delete-event", G_CALLBACK(OnDialogDelete), window.handle);
  gtk_widget_show_all(native.window);
  gtk_window_present(gtkWindow);
  FocusChanged(State().focus);  // a control that WM_INITDIALOG gave the focus
}

void GtkBackend::FocusChanged(HWND handle) {
  Window* control = FindWindow(handle);
  if (!control || !control->control) return;
  NativeWindow* native = Find(control->parent);
  if (!native) return;
  auto it = native->controls.find(handle);
  if (it != native->controls.end()) gtk_widget_grab_focus(it->second);
}

void GtkBackend::ControlTextChanged(HWND controlHandle) {
  Window* control = FindWindow(controlHandle);
  if (!control) return;
  NativeWindow* native = Find(control->parent);
  if (!native) return;
  auto it = native->controls.find(controlHandle);
  if (it == native->controls.end()) return;
  GtkWidget* widget = it->second;
  if (GTK_IS_ENTRY(widget)) {
    if (control->text != gtk_entry_get_text(GTK_ENTRY(widget))) gtk_entry_set_text(GTK_ENTRY(widget), Utf8(control->text).c_str());
  } else if (GTK_IS_LABEL(widget)) {
    gtk_label_set_text(GTK_LABEL(widget), Utf8(control->text).c_str());
  } else if (GTK_IS_BUTTON(widget)) {
    gtk_button_set_label(GTK_BUTTON(widget), Utf8(control->text).c_str());
  }
}

}  // namespace win32::gtk
