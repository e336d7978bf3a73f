// Drawing with cairo on image surfaces: no anti-aliasing of shapes, nearest-pixel
// image copies composed with source-over, text through fontconfig families.
#include <cairo.h>

#include <string>

#include "toolkit/cbitmap.h"
#include "toolkit/platform/cairo/cairotypes.h"
#include "toolkit/platform/platform.h"
#include "toolkit/textconvert.h"

namespace VSTGUI::Platform {

namespace {

void setSourceArgb(cairo_t* cr, std::uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, ((argb >> 24) & 0xFF) / 255.0);
}

Graphics* graphicsOn(cairo_surface_t* surface) {
  if (!surface) return nullptr;
  cairo_t* cr = cairo_create(surface);
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr);
    return nullptr;
  }
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  return new Graphics{cr};
}

cairo_status_t readFromStream(void* closure, unsigned char* data, unsigned int length) {
  auto* stream = static_cast<ResourceStream*>(closure);
  std::uint32_t got = 0;
  return stream->read(data, length, &got) == ResourceStream::kOk && got == length
             ? CAIRO_STATUS_SUCCESS
             : CAIRO_STATUS_READ_ERROR;
}

}  // namespace

std::uint32_t readPixel(cairo_surface_t* surface, int x, int y) {
  if (!surface || x < 0 || y < 0 || x >= cairo_image_surface_get_width(surface) ||
      y >= cairo_image_surface_get_height(surface))
    return 0;
  cairo_surface_flush(surface);
  const unsigned char* row =
      cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
  std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[x];
  if (cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24) return p | 0xFF000000u;
  const std::uint32_t a = p >> 24;
  if (a == 0) return 0;
  if (a == 255) return p;
  auto un = [a](std::uint32_t c) { return (c * 255 + a / 2) / a; };
  return (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
}

bool startGraphics() { return true; }
void stopGraphics() {}

Graphics* createGraphics(Device* device) { return device ? graphicsOn(device->surface) : nullptr; }

Graphics* createImageGraphics(Image* image) { return image ? graphicsOn(image->surface) : nullptr; }

void deleteGraphics(Graphics* graphics) {
  if (!graphics) return;
  cairo_surface_flush(cairo_get_target(graphics->cr));
  cairo_destroy(graphics->cr);
  delete graphics;
}

void setSmoothing(Graphics* graphics, bool on) {
  if (graphics) cairo_set_antialias(graphics->cr, on ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void setClip(Graphics* graphics, const CRect& rect) {
  if (!graphics) return;
  cairo_reset_clip(graphics->cr);
  cairo_rectangle(graphics->cr, rect.left, rect.top, rect.width(), rect.height());
  cairo_clip(graphics->cr);
}

void fillRect(Graphics* graphics, Brush* brush, float x, float y, float w, float h) {
  if (!graphics || !brush) return;
  setSourceArgb(graphics->cr, brush->argb);
  cairo_rectangle(graphics->cr, x, y, w, h);
  cairo_fill(graphics->cr);
}

void strokeRect(Graphics* graphics, Pen* pen, float x, float y, float w, float h) {
  if (!graphics || !pen) return;
  cairo_t* cr = graphics->cr;
  setSourceArgb(cr, pen->argb);
  if (!pen->dashed) {
    // A solid outline is four filled bands: exact pixels whatever the rasteriser.
    const float t = pen->width > 0.f ? pen->width : 1.f;
    cairo_rectangle(cr, x, y, w + t, t);
    cairo_rectangle(cr, x, y + h, w + t, t);
    cairo_rectangle(cr, x, y + t, t, h - t);
    cairo_rectangle(cr, x + w, y + t, t, h - t);
    cairo_fill(cr);
    return;
  }
  const double dash = 1.0;
  cairo_set_dash(cr, &dash, 1, 0);
  cairo_set_line_width(cr, pen->width);
  cairo_rectangle(cr, x + 0.5, y + 0.5, w, h);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

void drawLine(Graphics* graphics, Pen* pen, int x1, int y1, int x2, int y2) {
  if (!graphics || !pen) return;
  cairo_t* cr = graphics->cr;
  setSourceArgb(cr, pen->argb);
  cairo_set_line_width(cr, pen->width > 0.f ? pen->width : 1.f);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);  // both end points belong to the line
  if (pen->dashed) {
    const double dash = 1.0;
    cairo_set_dash(cr, &dash, 1, 0);
  }
  cairo_move_to(cr, x1 + 0.5, y1 + 0.5);
  cairo_line_to(cr, x2 + 0.5, y2 + 0.5);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

Pen* createPen(std::uint32_t argb, float width) { return new Pen{argb, width, false}; }
void setPenColor(Pen* pen, std::uint32_t argb) {
  if (pen) pen->argb = argb;
}
void setPenWidth(Pen* pen, float width) {
  if (pen) pen->width = width;
}
void setPenDashed(Pen* pen, bool dashed) {
  if (pen) pen->dashed = dashed;
}
void deletePen(Pen* pen) { delete pen; }
Brush* createBrush(std::uint32_t argb) { return new Brush{argb}; }
void setBrushColor(Brush* brush, std::uint32_t argb) {
  if (brush) brush->argb = argb;
}
void deleteBrush(Brush* brush) { delete brush; }

Font* createFont(const char16_t* family, float pixelSize, int style) {
  // fontconfig resolves the family: "Arial" becomes its metric twin (Liberation Sans),
  // and a family it does not know becomes the default sans-serif one.
  std::string name = family ? utf16ToUtf8(family) : std::string();
  if (name.empty()) name = "sans-serif";
  cairo_font_face_t* face = cairo_toy_font_face_create(
      name.c_str(), style == 2 ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
      style == 1 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(face);
    face = cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL,
                                      CAIRO_FONT_WEIGHT_NORMAL);
  }
  cairo_matrix_t fontMatrix;
  cairo_matrix_t identity;
  cairo_matrix_init_scale(&fontMatrix, pixelSize, pixelSize);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &fontMatrix, &identity, options);
  cairo_font_options_destroy(options);
  if (cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) {
    cairo_scaled_font_destroy(scaled);
    cairo_font_face_destroy(face);
    return nullptr;
  }
  return new Font{face, scaled, pixelSize, style == 4};
}

void deleteFont(Font* font) {
  if (!font) return;
  cairo_scaled_font_destroy(font->scaled);
  cairo_font_face_destroy(font->face);
  delete font;
}

float getFontLineHeight(Font* font, Graphics*) {
  if (!font) return 0.f;
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(font->scaled, &extents);
  return static_cast<float>(extents.height);
}

bool measureString(Graphics*, Font* font, const char16_t* text, int length, float& width) {
  if (!font || !text) return false;
  const std::string utf8 = utf16ToUtf8(std::u16string_view(text, length));
  cairo_text_extents_t extents;
  cairo_scaled_font_text_extents(font->scaled, utf8.c_str(), &extents);
  width = static_cast<float>(extents.x_advance);
  return cairo_scaled_font_status(font->scaled) == CAIRO_STATUS_SUCCESS;
}

void drawString(Graphics* graphics, Font* font, Brush* brush, const char16_t* text, int length,
                float x, float y, bool antialias) {
  if (!graphics || !font || !brush || !text) return;
  cairo_t* cr = graphics->cr;
  const std::string utf8 = utf16ToUtf8(std::u16string_view(text, length));
  cairo_save(cr);
  setSourceArgb(cr, brush->argb);
  cairo_set_font_face(cr, font->face);
  cairo_set_font_size(cr, font->size);
  cairo_font_options_t* options = cairo_font_options_create();
  if (antialias) {
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
  }
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  cairo_font_extents_t extents;
  cairo_font_extents(cr, &extents);
  // (x, y) is the top-left of the line box; cairo places text by its baseline.
  const double baseline = y + extents.ascent;
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, utf8.c_str());
  if (font->underline) {
    cairo_text_extents_t text;
    cairo_text_extents(cr, utf8.c_str(), &text);
    const double thickness = font->size / 14.0 < 1.0 ? 1.0 : font->size / 14.0;
    cairo_rectangle(cr, x, baseline + extents.descent / 2.0, text.x_advance, thickness);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

Image* decodeImage(ResourceStream* stream) {
  if (!stream) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readFromStream, stream);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return new Image{surface};
}

Image* loadBitmapResource(const char*, int) { return nullptr; }  // no such resources here

Image* createImage(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return new Image{surface};  // cairo clears new image surfaces to transparent
}

bool isPremultipliedArgb(Image* image) {
  return image && cairo_image_surface_get_format(image->surface) == CAIRO_FORMAT_ARGB32;
}

void getImageSize(Image* image, int& width, int& height) {
  width = image ? cairo_image_surface_get_width(image->surface) : 0;
  height = image ? cairo_image_surface_get_height(image->surface) : 0;
}

void deleteImage(Image* image) {
  if (!image) return;
  cairo_surface_destroy(image->surface);
  delete image;
}

void drawImage(Graphics* graphics, Image* image, const CRect& dest, const CPoint& src, float alpha) {
  if (!graphics || !image || dest.isEmpty()) return;
  cairo_t* cr = graphics->cr;
  cairo_surface_flush(image->surface);
  cairo_save(cr);
  cairo_rectangle(cr, dest.left, dest.top, dest.width(), dest.height());
  cairo_clip(cr);
  cairo_set_source_surface(cr, image->surface, dest.left - src.h, dest.top - src.v);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  if (alpha >= 1.f)
    cairo_paint(cr);
  else
    cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}

}  // namespace VSTGUI::Platform
