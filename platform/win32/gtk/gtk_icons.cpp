// Message-box icons drawn with Cairo, and icon resources as pixbufs.
#include <cmath>

#include "gtk_backend.h"

namespace win32::gtk {

namespace {

void Glyph(cairo_t* cr, const char* text, double size, double centerY) {
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, size * 0.62);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  cairo_move_to(cr, size / 2 - extents.width / 2 - extents.x_bearing, centerY - extents.height / 2 - extents.y_bearing);
  cairo_show_text(cr, text);
}

}  // namespace

void DrawStockIcon(cairo_t* cr, StockIcon icon, double size) {
  double r = size / 2 - 1;
  switch (icon) {
    case StockIcon::None: return;
    case StockIcon::Error:
      cairo_arc(cr, size / 2, size / 2, r, 0, 2 * M_PI);
      cairo_set_source_rgb(cr, 0.85, 0.1, 0.1);
      cairo_fill(cr);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_set_line_width(cr, size / 9);
      cairo_move_to(cr, size * 0.32, size * 0.32);
      cairo_line_to(cr, size * 0.68, size * 0.68);
      cairo_move_to(cr, size * 0.68, size * 0.32);
      cairo_line_to(cr, size * 0.32, size * 0.68);
      cairo_stroke(cr);
      return;
    case StockIcon::Warning:
      cairo_move_to(cr, size / 2, 1);
      cairo_line_to(cr, size - 1, size - 2);
      cairo_line_to(cr, 1, size - 2);
      cairo_close_path(cr);
      cairo_set_source_rgb(cr, 0.98, 0.8, 0.1);
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, 0.3, 0.25, 0);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      cairo_set_source_rgb(cr, 0, 0, 0);
      Glyph(cr, "!", size, size * 0.62);
      return;
    case StockIcon::Information:
    case StockIcon::Question:
      cairo_arc(cr, size / 2, size / 2, r, 0, 2 * M_PI);
      cairo_set_source_rgb(cr, 0.15, 0.35, 0.85);
      cairo_fill(cr);
      cairo_set_source_rgb(cr, 1, 1, 1);
      Glyph(cr, icon == StockIcon::Question ? "?" : "i", size, size / 2);
      return;
  }
}

GdkPixbuf* PixbufFromIcon(const IconResource& icon) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, static_cast<int>(icon.width),
                                     static_cast<int>(icon.height));
  if (!pixbuf) return nullptr;
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  int stride = gdk_pixbuf_get_rowstride(pixbuf);
  for (UINT y = 0; y < icon.height; ++y) {
    for (UINT x = 0; x < icon.width; ++x) {
      DWORD argb = icon.pixels[static_cast<size_t>(y) * icon.width + x];
      guchar* p = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride) + x * 4;
      p[0] = static_cast<guchar>(argb >> 16);
      p[1] = static_cast<guchar>(argb >> 8);
      p[2] = static_cast<guchar>(argb);
      p[3] = static_cast<guchar>(argb >> 24);
    }
  }
  return pixbuf;
}

}  // namespace win32::gtk
