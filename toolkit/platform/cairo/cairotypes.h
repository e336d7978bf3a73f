// The cairo forms of the platform's drawing objects (Linux).
#pragma once

#include <cairo.h>

#include <cstdint>

namespace VSTGUI::Platform {

struct Device {
  cairo_surface_t* surface = nullptr;  // not owned
};

struct Graphics {
  cairo_t* cr = nullptr;
};

struct Pen {
  std::uint32_t argb = 0;
  float width = 1.f;
  bool dashed = false;
};

struct Brush {
  std::uint32_t argb = 0;
};

struct Font {
  cairo_font_face_t* face = nullptr;
  cairo_scaled_font_t* scaled = nullptr;  // for measuring without a surface
  float size = 0.f;
  bool underline = false;
};

struct Image {
  cairo_surface_t* surface = nullptr;
};

/// The ARGB value of one pixel of a cairo ARGB32 or RGB24 surface, alpha not premultiplied.
std::uint32_t readPixel(cairo_surface_t* surface, int x, int y);

}  // namespace VSTGUI::Platform
