// The help window: the help file's title and text, beside the program.
#include "gtk_backend.h"

namespace win32::gtk {

namespace {
void OnHelpDestroyed(GtkWidget*, gpointer) { Desktop().ForgetHelpWindow(); }
}  // namespace

bool GtkBackend::ShowHelp(HWND owner, const HelpResource& help) {
  if (!ready_) return false;
  if (!help_) {
    help_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(help_), 480, 360);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    helpText_ = gtk_text_view_new();
    gtk_text_view_set_editable(GTK_TEXT_VIEW(helpText_), FALSE);
    gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(helpText_), FALSE);
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(helpText_), GTK_WRAP_WORD_CHAR);
    gtk_text_view_set_left_margin(GTK_TEXT_VIEW(helpText_), 12);
    gtk_text_view_set_right_margin(GTK_TEXT_VIEW(helpText_), 12);
    gtk_text_view_set_top_margin(GTK_TEXT_VIEW(helpText_), 8);
    gtk_container_add(GTK_CONTAINER(scroller), helpText_);
    gtk_container_add(GTK_CONTAINER(help_), scroller);
    ApplyStyle(help_, DialogStyle({10, "Ｐゴシック"}));
    g_signal_connect(help_, "destroy", G_CALLBACK(OnHelpDestroyed), nullptr);
  }
  if (GtkWindow* parent = NativeOwner(owner)) gtk_window_set_transient_for(GTK_WINDOW(help_), parent);
  gtk_window_set_title(GTK_WINDOW(help_), Utf8(help.title).c_str());
  gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(helpText_)), Utf8(help.text).c_str(), -1);
  gtk_widget_show_all(help_);
  gtk_window_present(GTK_WINDOW(help_));
  return true;
}

void GtkBackend::CloseHelp() {
  if (help_) gtk_widget_destroy(help_);  // the destroy handler forgets it
}

}  // namespace win32::gtk
