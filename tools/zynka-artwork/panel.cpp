// The two full-window pictures: the editor's panel and the about screen.
#include <cmath>
#include <cstdint>

#include "tools/zynka-artwork/artwork.h"

namespace zart {

namespace {

constexpr const char* kSans = "Liberation Sans";
constexpr const char* kNarrow = "Liberation Sans Narrow";

TextStyle capsStyle(double capHeight, double tracking, bool bold = true) {
  TextStyle s;
  s.family = kSans;
  s.bold = bold;
  s.size = sizeForCapHeight(kSans, bold, capHeight);
  s.tracking = tracking;
  return s;
}

// Brushed graphite: the vertical gradient, a soft pool of light from above.
void paintPanel(cairo_t* cr, int width, int height, Rgb top, Rgb bottom) {
  cairo_pattern_t* base = verticalGradient(0, height, top, 1, bottom, 1);
  cairo_set_source(cr, base);
  cairo_paint(cr);
  cairo_pattern_destroy(base);

  cairo_pattern_t* pool =
      cairo_pattern_create_radial(width / 2.0, -height * 0.6, 0, width / 2.0, -height * 0.6,
                                  height * 1.6);
  cairo_pattern_add_color_stop_rgba(pool, 0, 1, 1, 1, 0.05);
  cairo_pattern_add_color_stop_rgba(pool, 1, 1, 1, 1, 0.0);
  cairo_set_source(cr, pool);
  cairo_paint(cr);
  cairo_pattern_destroy(pool);

  {
    // Brushed aluminium under the anodizing: faint horizontal streaks of random
    // length, from a fixed seed so every run draws the same ones.
    std::uint32_t seed = 0x5eed1234u;
    auto next = [&seed] {
      seed = seed * 1664525u + 1013904223u;
      return (seed >> 8) / double(1u << 24);
    };
    for (int i = 0; i < height * 6; ++i) {
      const double y = std::floor(next() * height), len = 30 + next() * 260;
      const double x = next() * (width + len) - len;
      const bool light = next() < 0.5;
      cairo_rectangle(cr, x, y, len, 1);
      cairo_set_source_rgba(cr, light, light, light, 0.008 + 0.012 * next());
      cairo_fill(cr);
    }
  }

  // The panel's machined edge: a fine highlight ring, a dark line inside it.
  cairo_set_line_width(cr, 1);
  cairo_pattern_t* edge = verticalGradient(0, height, rgb(255, 255, 255), 0.22, rgb(255, 255, 255),
                                           0.08);
  cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
  cairo_set_source(cr, edge);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
  cairo_rectangle(cr, 1.5, 1.5, width - 3, height - 3);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_stroke(cr);
}

// A countersunk cross-head screw; each sits at its own angle, as screws do.
void drawScrew(cairo_t* cr, double x, double y, double turn) {
  const double r = 5.0;
  cairo_arc(cr, x, y + 0.8, r + 1.2, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_fill(cr);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  cairo_pattern_t* head = cairo_pattern_create_linear(x - r, y - r, x + r, y + r);
  addStop(head, 0, rgb(150, 152, 156));
  addStop(head, 1, rgb(52, 54, 58));
  cairo_set_source(cr, head);
  cairo_fill(cr);
  cairo_pattern_destroy(head);
  cairo_arc(cr, x, y, r - 0.5, 0, 2 * kPi);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, turn);
  cairo_set_line_width(cr, 1.6);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  for (int i = 0; i < 2; ++i) {
    cairo_move_to(cr, -3.2, 0);
    cairo_line_to(cr, 3.2, 0);
    cairo_rotate(cr, kPi / 2);
  }
  cairo_set_source_rgba(cr, 0.08, 0.08, 0.09, 0.9);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// A one-pixel rule printed on the panel, on a whole pixel row so it stays crisp.
void printedRule(cairo_t* cr, double x0, double x1, int row) {
  cairo_rectangle(cr, x0, row, x1 - x0, 1);
  setColour(cr, palette::rule, 0.85);
  cairo_fill(cr);
}

// A shallow recessed plate that groups a section's controls.
void drawPlate(cairo_t* cr, double left, double top, double right, double bottom) {
  const double r = 6;
  roundedRect(cr, left, top, right - left, bottom - top, r);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.16);
  cairo_fill(cr);
  cairo_set_line_width(cr, 1);
  roundedRect(cr, left + 0.5, top + 0.5, right - left - 1, bottom - top - 1, r - 0.5);
  cairo_pattern_t* edge = verticalGradient(top, bottom, rgb(0, 0, 0), 0.45, rgb(0, 0, 0), 0.15);
  cairo_set_source(cr, edge);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
  // The lower lip catches the light.
  cairo_save(cr);
  cairo_rectangle(cr, left, (top + bottom) / 2, right - left, bottom - top);
  cairo_clip(cr);
  roundedRect(cr, left - 0.5, top + 1.5, right - left + 1, bottom - top - 1, r);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.07);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// Section title centred on a plate, on a rule that stops short of its edges.
void drawSectionTitle(cairo_t* cr, const char* title, int left, int right, int baseline,
                      double capHeight) {
  const TextStyle style = capsStyle(capHeight, 1.6);
  const double centre = (left + right) / 2.0;
  const double width = textWidth(cr, style, title);
  const int row = baseline - int(std::lround(capHeight / 2));
  const double gap = 7, inset = 8;
  const double textLeft = std::round(centre - width / 2);
  // Stubs of rule would look like dashes; a narrow plate shows its title alone.
  if (textLeft - gap - (left + inset) >= 12) {
    printedRule(cr, left + inset, textLeft - gap, row);
    printedRule(cr, textLeft + width + gap, right - inset, row);
  }
  setColour(cr, palette::legend);
  drawText(cr, style, title, textLeft, baseline);
}

// Captions use the narrow cut, so neighbours 56 pixels apart keep clear gaps.
void drawCaption(cairo_t* cr, const char* text, double centre, int baseline) {
  TextStyle style;
  style.family = kNarrow;
  style.bold = true;
  style.size = sizeForCapHeight(kNarrow, true, 7);
  style.tracking = 1;
  setColour(cr, palette::caption);
  drawText(cr, style, text, centre, baseline, Align::Centre);
}

// A display window: a recessed bezel round dark glass.
void drawGlass(cairo_t* cr, const Box& g) {
  // Recess in the panel: shadowed above, lit below.
  roundedRect(cr, g.left - 8, g.top - 8, g.width() + 16, g.height() + 16, 7);
  cairo_pattern_t* recess = verticalGradient(g.top - 8, g.bottom + 8, rgb(0, 0, 0), 0.55,
                                             rgb(255, 255, 255), 0.12);
  cairo_set_source(cr, recess);
  cairo_fill(cr);
  cairo_pattern_destroy(recess);
  // Bezel.
  roundedRect(cr, g.left - 7, g.top - 7, g.width() + 14, g.height() + 14, 6);
  cairo_pattern_t* bezel = verticalGradient(g.top - 7, g.bottom + 7, rgb(30, 31, 34), 1,
                                            rgb(22, 23, 25), 1);
  cairo_set_source(cr, bezel);
  cairo_fill(cr);
  cairo_pattern_destroy(bezel);
  // Glass.
  roundedRect(cr, g.left, g.top, g.width(), g.height(), 3);
  cairo_pattern_t* glass = verticalGradient(g.top, g.bottom, palette::glassTop, 1,
                                            palette::glassBottom, 1);
  cairo_set_source(cr, glass);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(glass);
  cairo_save(cr);
  cairo_clip(cr);
  // Inner shadow along the top edge of the window.
  cairo_pattern_t* shadow = verticalGradient(g.top, g.top + 6, rgb(0, 0, 0), 0.6, rgb(0, 0, 0), 0);
  cairo_rectangle(cr, g.left, g.top, g.width(), 6);
  cairo_set_source(cr, shadow);
  cairo_fill(cr);
  cairo_pattern_destroy(shadow);
  // A faint reflection across the glass, kept away from the text's contrast.
  cairo_move_to(cr, g.left, g.top);
  cairo_line_to(cr, g.left + 120, g.top);
  cairo_line_to(cr, g.left + 60, g.bottom);
  cairo_line_to(cr, g.left, g.bottom);
  cairo_close_path(cr);
  cairo_pattern_t* sheen = cairo_pattern_create_linear(g.left, g.top, g.left + 90, g.bottom);
  cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, 0.045);
  cairo_pattern_add_color_stop_rgba(sheen, 1, 1, 1, 1, 0.0);
  cairo_set_source(cr, sheen);
  cairo_fill(cr);
  cairo_pattern_destroy(sheen);
  cairo_restore(cr);
  // Edge of the glass: a dark hairline, lit at the bottom.
  roundedRect(cr, g.left + 0.5, g.top + 0.5, g.width() - 1, g.height() - 1, 2.5);
  cairo_pattern_t* edge = verticalGradient(g.top, g.bottom, rgb(0, 0, 0), 0.9, rgb(80, 90, 90), 0.5);
  cairo_set_source(cr, edge);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void drawDisplay(cairo_t* cr) {
  drawGlass(cr, kGlass);
  // A dim rule between the program line and the button line.
  cairo_rectangle(cr, kProgramNumber.left, 109, kProgramName.right - kProgramNumber.left, 1);
  setColour(cr, palette::teal, 0.16);
  cairo_fill(cr);
}

}  // namespace

void drawLogotype(cairo_t* cr, double x, double y, double lw, double gap, double h, double stroke,
                  Rgb colour, Rgb accent) {
  const double a = stroke / 2;
  cairo_save(cr);
  cairo_set_line_width(cr, stroke);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_set_miter_limit(cr, 20);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  for (int i = 0; i < 5; ++i) {
    const double lx = x + i * (lw + gap);
    cairo_save(cr);
    // Each letter is clipped to its box, so mitred corners end flush with it.
    cairo_rectangle(cr, lx, y, lw, h);
    cairo_clip(cr);
    cairo_translate(cr, lx, y);
    setColour(cr, colour);
    switch (i) {
      case 0:  // Z
        cairo_move_to(cr, 0, a);
        cairo_line_to(cr, lw - a * 0.4, a);
        cairo_line_to(cr, a * 0.4, h - a);
        cairo_line_to(cr, lw, h - a);
        cairo_stroke(cr);
        break;
      case 1:  // Y
        cairo_move_to(cr, a * 0.6, -stroke);
        cairo_line_to(cr, lw / 2, h * 0.52);
        cairo_line_to(cr, lw - a * 0.6, -stroke);
        cairo_stroke(cr);
        cairo_move_to(cr, lw / 2, h * 0.5);
        cairo_line_to(cr, lw / 2, h + stroke);
        cairo_stroke(cr);
        break;
      case 2:  // N
        cairo_move_to(cr, a, h + stroke);
        cairo_line_to(cr, a, a * 0.2);
        cairo_line_to(cr, lw - a, h - a * 0.2);
        cairo_line_to(cr, lw - a, -stroke);
        cairo_stroke(cr);
        break;
      case 3:  // K
        cairo_move_to(cr, a, -stroke);
        cairo_line_to(cr, a, h + stroke);
        cairo_stroke(cr);
        cairo_move_to(cr, lw + stroke, -stroke * 1.2);
        cairo_line_to(cr, a, h * 0.62);
        cairo_stroke(cr);
        cairo_move_to(cr, lw * 0.42, h * 0.44);
        cairo_line_to(cr, lw + stroke * 0.6, h + stroke * 0.9);
        cairo_stroke(cr);
        break;
      case 4:  // A, its crossbar in the accent colour, tucked under the legs
        setColour(cr, accent);
        cairo_rectangle(cr, lw * 0.1, std::round(h * 0.64), lw * 0.8, stroke);
        cairo_fill(cr);
        setColour(cr, colour);
        cairo_move_to(cr, a * 0.3, h + stroke);
        cairo_line_to(cr, lw / 2, a * 0.3);
        cairo_line_to(cr, lw - a * 0.3, h + stroke);
        cairo_stroke(cr);
        break;
    }
    cairo_restore(cr);
  }
  cairo_restore(cr);
}

std::unique_ptr<Canvas> drawBackground() {
  auto canvas = std::make_unique<Canvas>(kWindowWidth, kWindowHeight);
  cairo_t* cr = canvas->cr();
  paintPanel(cr, kWindowWidth, kWindowHeight, palette::panelTop, palette::panelBottom);

  drawScrew(cr, 14, 14, 0.4);
  drawScrew(cr, kWindowWidth - 14, 14, 1.1);
  drawScrew(cr, 14, kWindowHeight - 14, 0.9);
  drawScrew(cr, kWindowWidth - 14, kWindowHeight - 14, 0.2);

  // Brand: the logotype fills the splash screen's hot area; the maker beside it.
  // Whole-pixel letter boxes and stroke keep the upright strokes crisp: five
  // letters of 14 with gaps of 4 make 86 pixels, centred in the 88 of the area.
  drawLogotype(cr, kLogo.left + 1, kLogo.top, 14, 4, kLogo.height(), 3.0, palette::legend,
               palette::teal);
  {
    TextStyle maker;
    maker.family = kSans;
    maker.size = 13;
    maker.tracking = 1;
    setColour(cr, palette::caption);
    drawText(cr, maker, "Tarnwick", kLogo.right + 12, kLogo.bottom);
    setColour(cr, palette::caption, 0.8);
    drawText(cr, capsStyle(7, 1.6), "POLYPHONIC FM SYNTHESIZER", 800, kLogo.bottom, Align::Right);
  }

  // Section plates: six pixels above the title's capitals, four below the
  // captions; the knob value boxes (y 156..180) and the slider ones (from
  // y 348) fall just outside them.
  for (const Section& s : kKnobSections) {
    drawPlate(cr, s.left - 8, 56, s.right + 8, zynka::layout::kKnobValueBoxTop);
    drawSectionTitle(cr, s.title, s.left - 8, s.right + 8, 70, 8);
  }
  for (const Section& s : kSliderSections) {
    drawPlate(cr, s.left, 181, s.right, zynka::layout::kSliderValueBoxTop);
    drawSectionTitle(cr, s.title, s.left, s.right, 195, 8);
  }

  for (const Control& k : kKnobs) drawCaption(cr, k.caption, k.box.centreX(), kKnobCaptionBottom);
  for (const Control& s : kSliders)
    drawCaption(cr, s.caption, s.box.centreX(), kSliderCaptionBottom);

  drawDisplay(cr);
  setColour(cr, palette::caption);
  drawText(cr, capsStyle(7, 1.6), "PROGRAM", kGlass.centreX(), 70, Align::Centre);
  return canvas;
}

namespace {

// One bar of a decaying FM note: the modulation index falls as the note fades,
// so the wave turns from bright to pure, the instrument's own sound drawn.
void drawFmWave(cairo_t* cr, double x0, double x1, double centreY, double amplitude) {
  const int steps = int((x1 - x0) * 4);
  auto point = [&](int i, double& x, double& y) {
    const double t = double(i) / steps;
    x = x0 + (x1 - x0) * t;
    const double envelope = std::min(1.0, t * 12) * std::exp(-2.2 * t) * (1 - t * t * t * t);
    const double index = 2.4 * std::exp(-3.0 * t);
    const double phase = 2 * kPi * 14 * t;
    y = centreY - amplitude * envelope * std::sin(phase + index * std::sin(phase));
  };
  for (int pass = 0; pass < 2; ++pass) {
    double x, y;
    point(0, x, y);
    cairo_move_to(cr, x, y);
    for (int i = 1; i <= steps; ++i) {
      point(i, x, y);
      cairo_line_to(cr, x, y);
    }
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, pass == 0 ? 6 : 1.6);
    setColour(cr, palette::teal, pass == 0 ? 0.12 : 0.95);
    cairo_stroke(cr);
  }
}

}  // namespace

std::unique_ptr<Canvas> drawSplash() {
  auto canvas = std::make_unique<Canvas>(kWindowWidth, kWindowHeight);
  cairo_t* cr = canvas->cr();
  paintPanel(cr, kWindowWidth, kWindowHeight, rgb(40, 42, 45), rgb(20, 21, 23));
  drawScrew(cr, 14, 14, 0.7);
  drawScrew(cr, kWindowWidth - 14, 14, 0.3);
  drawScrew(cr, 14, kWindowHeight - 14, 1.2);
  drawScrew(cr, kWindowWidth - 14, kWindowHeight - 14, 0.5);

  const double cx = kWindowWidth / 2.0;
  drawLogotype(cr, cx - (5 * 35 + 4 * 10) / 2.0 - 0.5, 64, 35, 10, 60, 7.0, palette::legend,
               palette::teal);

  TextStyle subtitle;
  subtitle.family = kSans;
  subtitle.size = 18;
  subtitle.tracking = 1.0;
  setColour(cr, palette::legend, 0.9);
  drawText(cr, subtitle, "FM synthesizer", cx, 162, Align::Centre);

  // The note on a display like the editor's.
  const Box scope{136, 184, 720, 248};
  drawGlass(cr, scope);
  // A faint graticule, as on a scope.
  for (int x = scope.left + 32; x < scope.right - 8; x += 32)
    for (int y = scope.top + 8; y < scope.bottom - 4; y += 8) cairo_rectangle(cr, x, y, 1, 1);
  cairo_rectangle(cr, scope.left + 8, 216, scope.width() - 16, 1);
  setColour(cr, palette::teal, 0.14);
  cairo_fill(cr);
  drawFmWave(cr, 156, 700, 216, 24);

  TextStyle maker;
  maker.family = kSans;
  maker.bold = true;
  maker.size = 15;
  maker.tracking = 0.6;
  setColour(cr, palette::legend);
  drawText(cr, maker, "Tarnwick", cx, 288, Align::Centre);
  TextStyle version;
  version.family = kSans;
  version.size = 12;
  version.tracking = 0.4;
  setColour(cr, palette::caption);
  drawText(cr, version, "Version 1.0.0", cx, 308, Align::Centre);

  setColour(cr, palette::caption, 0.75);
  drawText(cr, version, "click to close", cx, 360, Align::Centre);
  return canvas;
}

}  // namespace zart
