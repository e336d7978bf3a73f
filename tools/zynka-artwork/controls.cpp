// The control pictures: knob strip, fader groove and cap, display buttons.
#include <cmath>

#include "tools/zynka-artwork/artwork.h"

namespace zart {

namespace {

// Knob geometry inside its 64 x 64 cell.
constexpr double kCentre = 32.0;
constexpr double kArcRadius = 28.0;
constexpr double kArcWidth = 3.0;
constexpr double kSkirtRadius = 22.0;
constexpr double kFaceRadius = 17.0;

// The knob's mouse geometry: value 0 at 225 degrees, value 1 at -45, clockwise
// over the top, angles counter-clockwise with y up. Cairo's angles run
// clockwise with y down, so they are the negated ones.
double pointerAngle(double value) { return 225.0 - 270.0 * value; }
double cairoAngle(double mathDegrees) { return radians(-mathDegrees); }

// A conic sweep of grey around (cx, cy): brightness(theta) gives 0..1 for the
// screen angle theta (radians, clockwise from +x). Mesh patches avoid the seams
// that thin wedges would leave.
void fillConic(cairo_t* cr, double cx, double cy, double r, Rgb dark, Rgb light,
               double (*brightness)(double)) {
  const int sectors = 72;
  cairo_pattern_t* mesh = cairo_pattern_create_mesh();
  for (int i = 0; i < sectors; ++i) {
    const double t0 = 2 * kPi * i / sectors, t1 = 2 * kPi * (i + 1) / sectors;
    const double h = 4.0 / 3.0 * std::tan((t1 - t0) / 4);  // cubic arc handle length
    const double x0 = cx + r * std::cos(t0), y0 = cy + r * std::sin(t0);
    const double x1 = cx + r * std::cos(t1), y1 = cy + r * std::sin(t1);
    const Rgb c0 = mix(dark, light, brightness(t0)), c1 = mix(dark, light, brightness(t1));
    cairo_mesh_pattern_begin_patch(mesh);
    cairo_mesh_pattern_move_to(mesh, cx, cy);
    cairo_mesh_pattern_line_to(mesh, x0, y0);
    cairo_mesh_pattern_curve_to(mesh, x0 - h * r * std::sin(t0), y0 + h * r * std::cos(t0),
                                x1 + h * r * std::sin(t1), y1 - h * r * std::cos(t1), x1, y1);
    cairo_mesh_pattern_line_to(mesh, cx, cy);
    cairo_mesh_pattern_set_corner_color_rgb(mesh, 0, c0.r, c0.g, c0.b);
    cairo_mesh_pattern_set_corner_color_rgb(mesh, 1, c0.r, c0.g, c0.b);
    cairo_mesh_pattern_set_corner_color_rgb(mesh, 2, c1.r, c1.g, c1.b);
    cairo_mesh_pattern_set_corner_color_rgb(mesh, 3, c1.r, c1.g, c1.b);
    cairo_mesh_pattern_end_patch(mesh);
  }
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_set_source(cr, mesh);
  cairo_fill(cr);
  cairo_pattern_destroy(mesh);
}

// Machined faces reflect a light from above-left and above-right as two soft
// highlights opposite each other, the look of a turned metal top.
double machinedSheen(double theta) {
  const double a = std::cos(2 * (theta + radians(55)));
  return 0.5 + 0.5 * a * a * a;
}

void drawKnobFrame(cairo_t* cr, double value) {
  const double c = kCentre;
  const double start = cairoAngle(225.0), end = cairoAngle(-45.0);
  // cairo_arc runs with increasing angle, clockwise on screen.
  const double startCw = start, endCw = end + 2 * kPi * (end < start ? 1 : 0);
  const double valueCw = startCw + radians(270.0 * value);

  // Shadow the cap throws on the panel, a little below it.
  {
    cairo_pattern_t* p = cairo_pattern_create_radial(c, c + 2.5, kSkirtRadius - 4, c, c + 2.5,
                                                     kSkirtRadius + 5);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(p, 0.45, 0, 0, 0, 0.25);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
    cairo_arc(cr, c, c + 2.5, kSkirtRadius + 5, 0, 2 * kPi);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }

  // The scale: a recessed track, lit in the accent up to the value.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, kArcWidth + 1.0);
  cairo_arc(cr, c, c, kArcRadius, startCw, endCw);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.07);  // lip of the track, lit from above
  cairo_save(cr);
  cairo_translate(cr, 0, 0.6);
  cairo_stroke(cr);
  cairo_restore(cr);
  cairo_set_line_width(cr, kArcWidth);
  cairo_arc(cr, c, c, kArcRadius, startCw, endCw);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_stroke(cr);
  if (value > 0) {
    cairo_arc(cr, c, c, kArcRadius, startCw, valueCw);
    cairo_set_line_width(cr, kArcWidth + 2.5);
    setColour(cr, palette::teal, 0.16);  // glow
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, kArcWidth - 0.6);
    setColour(cr, palette::teal);
    cairo_stroke(cr);
  }

  // Skirt: soft-touch black, lit from above.
  cairo_arc(cr, c, c, kSkirtRadius, 0, 2 * kPi);
  cairo_pattern_t* skirt = verticalGradient(c - kSkirtRadius, c + kSkirtRadius, rgb(74, 76, 80), 1,
                                            rgb(20, 21, 23), 1);
  cairo_set_source(cr, skirt);
  cairo_fill(cr);
  cairo_pattern_destroy(skirt);

  // Fine knurling on the skirt turns with the knob.
  const double pointer = cairoAngle(pointerAngle(value));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_width(cr, 0.9);
  for (int i = 0; i < 48; ++i) {
    const double t = pointer + 2 * kPi * i / 48 + kPi / 48;
    const double light = 0.5 - 0.5 * std::sin(t);  // 1 at the top
    cairo_move_to(cr, c + (kFaceRadius + 1.8) * std::cos(t), c + (kFaceRadius + 1.8) * std::sin(t));
    cairo_line_to(cr, c + (kSkirtRadius - 0.8) * std::cos(t), c + (kSkirtRadius - 0.8) * std::sin(t));
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_stroke(cr);
    const double u = t + 2 * kPi / 96;
    cairo_move_to(cr, c + (kFaceRadius + 1.8) * std::cos(u), c + (kFaceRadius + 1.8) * std::sin(u));
    cairo_line_to(cr, c + (kSkirtRadius - 0.8) * std::cos(u), c + (kSkirtRadius - 0.8) * std::sin(u));
    cairo_set_source_rgba(cr, 1, 1, 1, 0.03 + 0.10 * light);
    cairo_stroke(cr);
  }
  // Crisp rim: dark edge against the panel, a hairline highlight on the upper half.
  cairo_set_line_width(cr, 1.0);
  cairo_arc(cr, c, c, kSkirtRadius - 0.5, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.75);
  cairo_stroke(cr);
  {
    cairo_pattern_t* rim = verticalGradient(c - kSkirtRadius, c, rgb(255, 255, 255), 0.22,
                                            rgb(255, 255, 255), 0.0);
    cairo_arc(cr, c, c, kSkirtRadius - 1.5, radians(180), radians(360));
    cairo_set_source(cr, rim);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
  }

  // Step between skirt and face: a dark groove.
  cairo_arc(cr, c, c, kFaceRadius + 1.0, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_fill(cr);

  // Face: turned dark aluminium; its reflections stay put while the knob turns.
  fillConic(cr, c, c, kFaceRadius, rgb(52, 54, 58), rgb(132, 135, 140), machinedSheen);
  {
    // Darken the lower half a little: the light comes from above.
    cairo_pattern_t* shade = verticalGradient(c - kFaceRadius, c + kFaceRadius, rgb(255, 255, 255),
                                              0.10, rgb(0, 0, 0), 0.30);
    cairo_arc(cr, c, c, kFaceRadius, 0, 2 * kPi);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
  }
  cairo_set_line_width(cr, 1.0);
  {
    cairo_pattern_t* edge = verticalGradient(c - kFaceRadius, c + kFaceRadius, rgb(255, 255, 255),
                                             0.35, rgb(255, 255, 255), 0.04);
    cairo_arc(cr, c, c, kFaceRadius - 0.5, 0, 2 * kPi);
    cairo_set_source(cr, edge);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);
  }

  // Pointer: a white line from near the centre across the skirt, with a shadow.
  const double dx = std::cos(pointer), dy = std::sin(pointer);
  const double inner = 6.0, outer = kSkirtRadius - 2.0;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 3.6);
  cairo_move_to(cr, c + inner * dx, c + inner * dy + 0.5);
  cairo_line_to(cr, c + outer * dx, c + outer * dy + 0.5);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 2.2);
  cairo_move_to(cr, c + inner * dx, c + inner * dy);
  cairo_line_to(cr, c + outer * dx, c + outer * dy);
  setColour(cr, rgb(244, 243, 236));
  cairo_stroke(cr);
}

}  // namespace

std::unique_ptr<Canvas> drawKnobStrip() {
  auto canvas = std::make_unique<Canvas>(kKnobSize, kKnobSize * kKnobFrames);
  cairo_t* cr = canvas->cr();
  for (int k = 0; k < kKnobFrames; ++k) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, kKnobSize * k, kKnobSize, kKnobSize);
    cairo_clip(cr);
    cairo_translate(cr, 0, kKnobSize * k);
    drawKnobFrame(cr, k / 100.0);
    cairo_restore(cr);
  }
  return canvas;
}

namespace {

// Fader geometry in the 48 x 128 slider: the handle's centre runs from y 120
// (value 0) to y 8 (value 1); the groove's rounded ends are centred there.
constexpr double kTravelBottom = 120.0, kTravelTop = 8.0;
constexpr double kGrooveLeft = 22.0, kGrooveWidth = 4.0;
constexpr double kCapLeft = 11.0, kCapWidth = 26.0;

}  // namespace

std::unique_ptr<Canvas> drawSliderBack() {
  auto canvas = std::make_unique<Canvas>(kSliderWidth, kSliderHeight);
  cairo_t* cr = canvas->cr();
  const double r = kGrooveWidth / 2;
  const double top = kTravelTop - r, height = kTravelBottom - kTravelTop + 2 * r;

  // Scale ticks, one per tenth, wider at 0, 5 and 10, running across behind
  // the groove like a ladder. They sit on whole pixel rows, the row just above
  // the handle centre, so they line up with the upper row of the cap's line.
  for (int i = 0; i <= 10; ++i) {
    const double centre = kTravelBottom - (kTravelBottom - kTravelTop) * i / 10.0;
    const double row = std::round(centre) - 1;
    const bool major = i % 5 == 0;
    const double half = major ? 15 : 7;
    setColour(cr, palette::caption, major ? 0.75 : 0.42);
    cairo_rectangle(cr, kSliderWidth / 2.0 - half, row, 2 * half, 1);
    cairo_fill(cr);
  }

  // The slot: a lit lip below and right, a dark cut, a deep shadow inside.
  roundedRect(cr, kGrooveLeft - 1, top - 1, kGrooveWidth + 2, height + 2, r + 1);
  cairo_pattern_t* lip = verticalGradient(top, top + height, rgb(0, 0, 0), 0.45, rgb(255, 255, 255),
                                          0.10);
  cairo_set_source(cr, lip);
  cairo_fill(cr);
  cairo_pattern_destroy(lip);
  roundedRect(cr, kGrooveLeft, top, kGrooveWidth, height, r);
  cairo_set_source_rgba(cr, 0.02, 0.02, 0.025, 1);
  cairo_fill(cr);
  return canvas;
}

std::unique_ptr<Canvas> drawSliderHandle() {
  auto canvas = std::make_unique<Canvas>(kSliderWidth, kHandleHeight);
  cairo_t* cr = canvas->cr();
  // The cap is 14 pixels tall around the handle's middle (y 8), leaving a row
  // below for the shadow it casts.
  const double x = kCapLeft, w = kCapWidth, top = 1, h = kHandleHeight - 2;

  roundedRect(cr, x + 1, top + 1, w, h, 2.5);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_fill(cr);

  // Body: two faces sloping towards the centre line, darker where they meet.
  roundedRect(cr, x, top, w, h, 2.5);
  cairo_pattern_t* body = cairo_pattern_create_linear(0, top, 0, top + h);
  addStop(body, 0.0, rgb(108, 111, 116));
  addStop(body, 0.44, rgb(52, 54, 58));
  addStop(body, 0.56, rgb(36, 37, 40));
  addStop(body, 1.0, rgb(64, 66, 70));
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);

  // Grip ridges on both faces.
  for (int row : {3, 11}) {
    cairo_rectangle(cr, x + 2, row, w - 4, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_fill(cr);
    cairo_rectangle(cr, x + 2, row + 1, w - 4, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_fill(cr);
  }

  // The centre line, the two rows around the cap's middle.
  cairo_rectangle(cr, x + 1, 7, w - 2, 2);
  setColour(cr, rgb(244, 243, 236));
  cairo_fill(cr);

  // Edges: a hairline highlight on top, a dark outline all round.
  cairo_rectangle(cr, x + 2, top + 1, w - 4, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.30);
  cairo_fill(cr);
  roundedRect(cr, x + 0.5, top + 0.5, w - 1, h - 1, 2);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return canvas;
}

namespace {

// A display button: the released picture on top, the pressed one below. Pressed
// lights the key in teal with the glyph cut out in the glass colour.
template <typename Glyph>
std::unique_ptr<Canvas> drawDisplayButton(Glyph glyph) {
  auto canvas = std::make_unique<Canvas>(kButtonSize, 2 * kButtonSize);
  cairo_t* cr = canvas->cr();
  roundedRect(cr, 1, 1, 14, 14, 2);
  setColour(cr, palette::teal, 0.10);
  cairo_fill(cr);
  setColour(cr, palette::teal);
  glyph(cr);

  cairo_translate(cr, 0, kButtonSize);
  roundedRect(cr, 1, 1, 14, 14, 2);
  setColour(cr, palette::teal);
  cairo_fill(cr);
  setColour(cr, palette::ink);
  glyph(cr);
  return canvas;
}

}  // namespace

std::unique_ptr<Canvas> drawArrowButton(bool next) {
  return drawDisplayButton([next](cairo_t* cr) {
    // A solid triangle with its flat side on a pixel edge.
    if (next) {
      cairo_move_to(cr, 6, 4);
      cairo_line_to(cr, 11, 8);
      cairo_line_to(cr, 6, 12);
    } else {
      cairo_move_to(cr, 10, 4);
      cairo_line_to(cr, 5, 8);
      cairo_line_to(cr, 10, 12);
    }
    cairo_close_path(cr);
    cairo_fill(cr);
  });
}

std::unique_ptr<Canvas> drawMenuButton(bool active) {
  auto canvas = std::make_unique<Canvas>(kButtonSize, kButtonSize);
  cairo_t* cr = canvas->cr();
  roundedRect(cr, 1, 1, 14, 14, 2);
  setColour(cr, palette::teal, active ? 1.0 : 0.10);
  cairo_fill(cr);
  setColour(cr, active ? palette::ink : palette::teal);
  for (int row : {4, 7, 10}) cairo_rectangle(cr, 4, row, 8, 2);
  cairo_fill(cr);
  return canvas;
}

}  // namespace zart
