#include "tools/zynka-artwork/canvas.h"

#include "tools/zynka-artwork/pngwrite.h"

#include <cmath>
#include <vector>

namespace zart {

Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void setColour(cairo_t* cr, Rgb c, double alpha) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha) {
  cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}

Canvas::Canvas(int width, int height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::Canvas(cairo_surface_t* adopted) : surface_(adopted), cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

int Canvas::width() const { return cairo_image_surface_get_width(surface_); }
int Canvas::height() const { return cairo_image_surface_get_height(surface_); }

bool Canvas::ok() const {
  return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS &&
         cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

bool Canvas::writePng(const std::string& path) const {
  return ok() && writeCompactPng(surface_, path);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, radians(-90), radians(0));
  cairo_arc(cr, x + w - r, y + h - r, r, radians(0), radians(90));
  cairo_arc(cr, x + r, y + h - r, r, radians(90), radians(180));
  cairo_arc(cr, x + r, y + r, r, radians(180), radians(270));
  cairo_close_path(cr);
}

cairo_pattern_t* verticalGradient(double y0, double y1, Rgb top, double topAlpha, Rgb bottom,
                                  double bottomAlpha) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  addStop(p, 0, top, topAlpha);
  addStop(p, 1, bottom, bottomAlpha);
  return p;
}

namespace {

void selectFont(cairo_t* cr, const TextStyle& style) {
  cairo_select_font_face(cr, style.family, CAIRO_FONT_SLANT_NORMAL,
                         style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, style.size);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  // Slight hinting fits stems to the pixel rows without distorting letter shapes;
  // large display type is left unhinted so it keeps its true proportions.
  cairo_font_options_set_hint_style(options,
                                    style.hinted ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options,
                                      style.hinted ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

// Glyphs of the text laid out from x = 0 on baseline 0, tracking applied.
std::vector<cairo_glyph_t> layout(cairo_t* cr, const TextStyle& style, std::string_view text,
                                  double& width) {
  std::vector<cairo_glyph_t> out;
  width = 0;
  if (text.empty()) return out;
  cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  if (cairo_scaled_font_text_to_glyphs(font, 0, 0, text.data(), int(text.size()), &glyphs, &count,
                                       nullptr, nullptr, nullptr) != CAIRO_STATUS_SUCCESS)
    return out;
  out.assign(glyphs, glyphs + count);
  cairo_glyph_free(glyphs);
  for (int i = 0; i < count; ++i) out[i].x += i * style.tracking;
  cairo_text_extents_t last;
  cairo_scaled_font_glyph_extents(font, &out.back(), 1, &last);
  width = out.back().x + last.x_advance;
  return out;
}

}  // namespace

double sizeForCapHeight(const char* family, bool bold, double capHeight) {
  // Measure a capital at a large size, where hinting and rounding do not matter.
  Canvas probe(1, 1);
  TextStyle style;
  style.family = family;
  style.bold = bold;
  style.size = 1000;
  style.hinted = false;
  selectFont(probe.cr(), style);
  cairo_text_extents_t e;
  cairo_text_extents(probe.cr(), "H", &e);
  return capHeight * 1000.0 / -e.y_bearing;
}

double textWidth(cairo_t* cr, const TextStyle& style, std::string_view text) {
  cairo_save(cr);
  selectFont(cr, style);
  double width = 0;
  layout(cr, style, text, width);
  cairo_restore(cr);
  return width;
}

double drawText(cairo_t* cr, const TextStyle& style, std::string_view text, double x,
                double baseline, Align align) {
  cairo_save(cr);
  selectFont(cr, style);
  double width = 0;
  std::vector<cairo_glyph_t> glyphs = layout(cr, style, text, width);
  double left = x;
  if (align == Align::Centre) left = x - width / 2;
  if (align == Align::Right) left = x - width;
  for (cairo_glyph_t& g : glyphs) {
    g.x += left;
    g.y += baseline;
    if (style.hinted) {
      g.x = std::round(g.x);
      g.y = std::round(g.y);
    }
  }
  if (!glyphs.empty()) cairo_show_glyphs(cr, glyphs.data(), int(glyphs.size()));
  cairo_restore(cr);
  return width;
}

}  // namespace zart
