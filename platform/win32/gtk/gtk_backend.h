// The GTK 3 desktop: native windows for the layer's windows, dialogs, message
// boxes and the help window. Signal handlers only translate GTK events into
// the layer's desktop events; all decisions are made by the common part.
#pragma once

#include <gtk/gtk.h>

#include <map>
#include <string>
#include <vector>

#include "user_state.h"
#include "win32_backend.h"

namespace win32::gtk {

struct NativeWindow {
  HWND handle = nullptr;
  GtkWidget* window = nullptr;
  GtkWidget* menuBar = nullptr;
  GtkWidget* clientArea = nullptr;  // main windows: shows presented frames
  std::map<UINT, GtkWidget*> menuItems;  // command id → check menu item
  std::map<HWND, GtkWidget*> controls;   // dialogs: control → widget
  bool presentPending = false;           // the next draw shows a present, not a desktop redraw
};

class GtkBackend final : public Backend {
 public:
  GtkBackend();

  int SystemMetric(int index) override;
  SIZE DialogBaseUnits(const DialogFont& font) override;
  void WindowCreated(HWND handle) override;
  void WindowShown(HWND handle, bool visible) override;
  void WindowDestroyed(HWND handle) override;
  void WindowTextChanged(HWND handle) override;
  void MenuItemChanged(HMENU menu, UINT commandId) override;
  void FramePresented(HWND handle) override;
  void ControlTextChanged(HWND control) override;
  void DialogOpened(HWND handle) override;
  void FocusChanged(HWND window) override;
  void MessageBoxOpened(const MessageBoxRequest& request) override;
  void MessageBoxClosed() override;
  bool ShowHelp(HWND owner, const HelpResource& help) override;
  void CloseHelp() override;
  bool Pump(bool wait) override;

  NativeWindow* Find(HWND handle);
  NativeWindow* FindByWidget(GtkWidget* toplevel);
  void ForgetHelpWindow() { help_ = nullptr; }

 private:
  void BuildMainWindow(Window& window);
  void BuildMenuBar(NativeWindow& native, HMENU menu, GtkWidget* shell);
  void SyncMenuItem(NativeWindow& native, UINT commandId);
  void BuildDialog(Window& window);
  GtkWindow* NativeOwner(HWND owner);

  bool ready_ = false;
  std::map<HWND, NativeWindow> windows_;
  std::vector<GtkWidget*> boxes_;  // open message boxes, innermost last
  GtkWidget* help_ = nullptr;
  GtkWidget* helpText_ = nullptr;
  int menuHeight_ = 0;
};

GtkBackend& Desktop();

// Helpers shared by the pieces of the backend.
std::string Utf8(const std::string& text);  // malformed sequences become U+FFFD, as GTK needs valid text
UINT VirtualKeyFromKeyval(guint keyval);
enum class StockIcon { None, Error, Question, Warning, Information };
void DrawStockIcon(cairo_t* cr, StockIcon icon, double size);
GdkPixbuf* PixbufFromIcon(const IconResource& icon);  // a new reference
GtkCssProvider* DialogStyle(const DialogFont& font);  // shared, owned by the backend
void ApplyStyle(GtkWidget* widget, GtkCssProvider* style);

}  // namespace win32::gtk
