// Small drawing helpers over cairo shared by every picture the generator paints.
#pragma once

#include <cairo.h>

#include <string>
#include <string_view>

namespace zart {

struct Rgb {
  double r, g, b;
};

// Colours are written as 0..255 triples, as a designer picks them.
constexpr Rgb rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }
Rgb mix(Rgb a, Rgb b, double t);

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0);

// An ARGB32 image with its own context; frees both when it goes.
class Canvas {
 public:
  Canvas(int width, int height);
  explicit Canvas(cairo_surface_t* adopted);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const;
  int height() const;
  bool ok() const;
  bool writePng(const std::string& path) const;

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A vertical linear gradient from top to bottom colour over [y0, y1].
cairo_pattern_t* verticalGradient(double y0, double y1, Rgb top, double topAlpha, Rgb bottom,
                                  double bottomAlpha);

enum class Align { Left, Centre, Right };

// Text in one of the fonts fontconfig knows by family name. Tracking is extra
// space after every letter but the last; glyphs land on whole pixels so small
// captions stay crisp.
struct TextStyle {
  const char* family = "Liberation Sans";
  bool bold = false;
  double size = 12.0;
  double tracking = 0.0;
  bool hinted = true;
};

// Pixel size at which the family's capitals are capHeight pixels tall.
double sizeForCapHeight(const char* family, bool bold, double capHeight);
double textWidth(cairo_t* cr, const TextStyle& style, std::string_view text);
// Returns the width drawn. The current source paints the glyphs.
double drawText(cairo_t* cr, const TextStyle& style, std::string_view text, double x,
                double baseline, Align align = Align::Left);

constexpr double kPi = 3.14159265358979323846;
inline double radians(double degrees) { return degrees * kPi / 180.0; }

}  // namespace zart
