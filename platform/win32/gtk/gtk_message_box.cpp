// Message boxes: icon, text and the type's buttons, modal to the owner.
#include <cstdio>

#include "gtk_backend.h"

namespace win32 {
int MessageBoxCloseResult(UINT type);
}

namespace win32::gtk {

namespace {

StockIcon IconOfType(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return StockIcon::Error;
    case MB_ICONQUESTION: return StockIcon::Question;
    case MB_ICONWARNING: return StockIcon::Warning;
    case MB_ICONINFORMATION: return StockIcon::Information;
    default: return StockIcon::None;
  }
}

constexpr int kIconSize = 32;

gboolean OnDrawIcon(GtkWidget*, cairo_t* cr, gpointer data) {
  DrawStockIcon(cr, static_cast<StockIcon>(GPOINTER_TO_INT(data)), kIconSize);
  return TRUE;
}

void OnButton(GtkButton*, gpointer data) { desktop::MessageBoxAnswered(GPOINTER_TO_INT(data)); }

// Escape and the close button mean "close", which not every box allows.
gboolean OnBoxKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  if (event->keyval != GDK_KEY_Escape) return FALSE;
  if (int result = MessageBoxCloseResult(GPOINTER_TO_UINT(data))) desktop::MessageBoxAnswered(result);
  return TRUE;
}

gboolean OnBoxDelete(GtkWidget*, GdkEvent*, gpointer data) {
  if (int result = MessageBoxCloseResult(GPOINTER_TO_UINT(data))) desktop::MessageBoxAnswered(result);
  return TRUE;
}

}  // namespace

void GtkBackend::MessageBoxOpened(const MessageBoxRequest& request) {
  if (!ready_) {
    // Nobody can see a box: say it where the user may still read it.
    std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
    Backend::MessageBoxOpened(request);
    return;
  }
  GtkWidget* box = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* window = GTK_WINDOW(box);
  gtk_window_set_title(window, Utf8(request.caption).c_str());
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_deletable(window, MessageBoxCloseResult(request.type) != 0);
  if (GtkWindow* owner = NativeOwner(request.owner)) {
    gtk_window_set_transient_for(window, owner);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER_ON_PARENT);
  } else {
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
  }

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  gtk_container_set_border_width(GTK_CONTAINER(column), 12);
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  StockIcon icon = IconOfType(request.type);
  if (icon != StockIcon::None) {
    GtkWidget* picture = gtk_drawing_area_new();
    gtk_widget_set_size_request(picture, kIconSize, kIconSize);
    gtk_widget_set_valign(picture, GTK_ALIGN_START);
    g_signal_connect(picture, "draw", G_CALLBACK(OnDrawIcon), GINT_TO_POINTER(static_cast<int>(icon)));
    gtk_box_pack_start(GTK_BOX(row), picture, FALSE, FALSE, 0);
  }
  GtkWidget* text = gtk_label_new(Utf8(request.text).c_str());
  gtk_label_set_xalign(GTK_LABEL(text), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(text), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(text), 60);
  gtk_box_pack_start(GTK_BOX(row), text, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(column), row, TRUE, TRUE, 0);

  GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  gtk_widget_set_halign(buttons, GTK_ALIGN_CENTER);
  int defaultId = MessageBoxDefaultButton(request.type);
  GtkWidget* defaultButton = nullptr;
  for (const MessageBoxButton& button : MessageBoxButtons(request.type)) {
    GtkWidget* widget = gtk_button_new_with_label(button.label);
    gtk_widget_set_size_request(widget, 88, -1);
    g_signal_connect(widget, "clicked", G_CALLBACK(OnButton), GINT_TO_POINTER(button.id));
    gtk_box_pack_start(GTK_BOX(buttons), widget, FALSE, FALSE, 0);
    if (button.id == defaultId) defaultButton = widget;
  }
  gtk_box_pack_start(GTK_BOX(column), buttons, FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(box), column);
  ApplyStyle(box, DialogStyle({9, "Ｐゴシック"}));
  g_signal_connect(box, "key-press-event", G_CALLBACK(OnBoxKey), GUINT_TO_POINTER(request.type));
  g_signal_connect(box, "delete-event", G_CALLBACK(OnBoxDelete), GUINT_TO_POINTER(request.type));
  gtk_widget_show_all(box);
  if (defaultButton) {
    gtk_widget_set_can_default(defaultButton, TRUE);
    gtk_window_set_default(window, defaultButton);
    gtk_widget_grab_focus(defaultButton);
  }
  gtk_window_present(window);
  boxes_.push_back(box);
}

void GtkBackend::MessageBoxClosed() {
  if (boxes_.empty()) return;
  gtk_widget_destroy(boxes_.back());
  boxes_.pop_back();
}

}  // namespace win32::gtk
