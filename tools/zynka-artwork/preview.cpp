// Puts the pictures together the way the editor does, to judge the whole.
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>

#include "tools/zynka-artwork/artwork.h"

namespace zart {

namespace {

struct Pictures {
  std::unique_ptr<Canvas> background, knob, sliderBack, sliderHandle, prev, next, menu, menuActive;
};

std::unique_ptr<Canvas> load(const std::string& folder, const char* name) {
  const std::string path = folder + "/" + name;
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "zynka-artwork: cannot read %s\n", path.c_str());
    cairo_surface_destroy(s);
    return nullptr;
  }
  return std::make_unique<Canvas>(s);
}

bool loadAll(const std::string& folder, Pictures& p) {
  p.background = load(folder, "background.png");
  p.knob = load(folder, "knob.png");
  p.sliderBack = load(folder, "sliderback.png");
  p.sliderHandle = load(folder, "sliderhandle.png");
  p.prev = load(folder, "prev.png");
  p.next = load(folder, "next.png");
  p.menu = load(folder, "menuinactive.png");
  p.menuActive = load(folder, "menuactive.png");
  return p.background && p.knob && p.sliderBack && p.sliderHandle && p.prev && p.next && p.menu &&
         p.menuActive;
}

// Draws the part of a picture starting at (srcX, srcY) into the box, source-over,
// one pixel to one pixel, as the editor's bitmaps are drawn.
void blit(cairo_t* cr, const Canvas& picture, double srcX, double srcY, const Box& to) {
  cairo_save(cr);
  cairo_rectangle(cr, to.left, to.top, to.width(), to.height());
  cairo_clip(cr);
  cairo_set_source_surface(cr, picture.surface(), to.left - srcX, to.top - srcY);
  cairo_paint(cr);
  cairo_restore(cr);
}

void drawKnob(cairo_t* cr, const Pictures& p, const Box& box, double value) {
  const int frame = int(std::lround(value * (kKnobFrames - 1)));
  blit(cr, *p.knob, 0, kKnobSize * frame, box);
}

void drawSlider(cairo_t* cr, const Pictures& p, const Box& box, double value) {
  blit(cr, *p.sliderBack, 0, 0, box);
  const int top = box.top + int(std::lround((kSliderHeight - kHandleHeight) * (1 - value)));
  blit(cr, *p.sliderHandle, 0, 0, {box.left, top, box.right, top + kHandleHeight});
}

// Text as the editor's cairo drawing places it: 12-pixel font, vertically
// centred in its box by the same arithmetic, full hinting.
void editorText(cairo_t* cr, const char* text, const Box& box, Rgb colour, bool centre = false) {
  cairo_save(cr);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  const double size = 12;
  cairo_set_font_size(cr, size);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(cr, text, &te);
  double x = box.left;
  // The editor measures and places in whole pixels, dropping fractions.
  if (centre) x = std::trunc(box.width() * 0.5 + box.left - std::trunc(te.x_advance) * 0.5);
  const double bottom = std::trunc(box.bottom + size / 2 - box.height() / 2.0 - 1);
  const double top = bottom + 1 - fe.height;
  cairo_rectangle(cr, box.left, box.top, box.width(), box.height());
  cairo_clip(cr);
  cairo_move_to(cr, x, top + fe.ascent);
  setColour(cr, colour);
  cairo_show_text(cr, text);
  cairo_restore(cr);
}

void valueBox(cairo_t* cr, const Box& box, const char* text) {
  cairo_rectangle(cr, box.left, box.top, box.width(), box.height());
  cairo_set_source_rgb(cr, 64 / 255.0, 64 / 255.0, 64 / 255.0);
  cairo_fill(cr);
  cairo_rectangle(cr, box.left + 0.5, box.top + 0.5, box.width() - 1, box.height() - 1);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  editorText(cr, text, box, rgb(255, 255, 255), true);
}

constexpr std::array<double, 5> kKnobValues{0.35, 0.0, 0.5, 0.5, 0.8};
constexpr std::array<double, 12> kSliderValues{0.25, 0.5, 0.8, 0.4, 0.6, 0.3,
                                               0.5,  0.0, 0.2, 0.1, 0.45, 1.0};

}  // namespace

bool writePreview(const std::string& folder, const std::string& out, bool valueBoxes) {
  Pictures p;
  if (!loadAll(folder, p)) return false;
  Canvas canvas(kWindowWidth, kWindowHeight);
  cairo_t* cr = canvas.cr();
  blit(cr, *p.background, 0, 0, {0, 0, kWindowWidth, kWindowHeight});
  for (std::size_t i = 0; i < kKnobs.size(); ++i) drawKnob(cr, p, kKnobs[i].box, kKnobValues[i]);
  for (std::size_t i = 0; i < kSliders.size(); ++i)
    drawSlider(cr, p, kSliders[i].box, kSliderValues[i]);
  blit(cr, *p.menu, 0, 0, kMenuButton);
  blit(cr, *p.prev, 0, 0, kPrevButton);
  blit(cr, *p.next, 0, 0, kNextButton);
  editorText(cr, "01", kProgramNumber, palette::teal);
  editorText(cr, "Bright E.Piano", kProgramName, palette::teal);
  editorText(cr, "Voices 00", kVoices, palette::teal);
  if (valueBoxes) {
    using zynka::layout::kControlPlaces;
    valueBox(cr, boxOf(zynka::layout::valueBoxRect(kControlPlaces[4])), "100.0");  // Volume
    valueBox(cr, boxOf(zynka::layout::valueBoxRect(kControlPlaces[9])), "60.0");   // Mod Sus
  }
  return canvas.writePng(out);
}

bool writeCloseup(const std::string& folder, const std::string& out) {
  Pictures p;
  if (!loadAll(folder, p)) return false;
  constexpr int scale = 4;
  const std::array<double, 5> knobValues{0.0, 0.25, 0.5, 0.75, 1.0};
  const std::array<double, 3> sliderValues{0.0, 0.5, 1.0};
  const int width = int(knobValues.size()) * (kKnobSize + 4) * scale;
  const int height = (kKnobSize + 4 + kSliderHeight + 4) * scale;
  Canvas sheet(width, height);
  cairo_t* cr = sheet.cr();
  cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
  cairo_paint(cr);

  // Each piece is composed in its own place on the panel, then enlarged.
  auto enlarge = [&](const Canvas& piece, double x, double y) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, piece.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
  };
  const Box knobBox = kKnobs[0].box;
  for (std::size_t i = 0; i < knobValues.size(); ++i) {
    Canvas piece(kKnobSize, kKnobSize);
    blit(piece.cr(), *p.background, knobBox.left, knobBox.top, {0, 0, kKnobSize, kKnobSize});
    drawKnob(piece.cr(), p, {0, 0, kKnobSize, kKnobSize}, knobValues[i]);
    enlarge(piece, i * (kKnobSize + 4) * scale, 0);
  }
  const Box sliderBox = kSliders[0].box;
  const int rowY = (kKnobSize + 4) * scale;
  for (std::size_t i = 0; i < sliderValues.size(); ++i) {
    Canvas piece(kSliderWidth, kSliderHeight);
    blit(piece.cr(), *p.background, sliderBox.left, sliderBox.top,
         {0, 0, kSliderWidth, kSliderHeight});
    drawSlider(piece.cr(), p, {0, 0, kSliderWidth, kSliderHeight}, sliderValues[i]);
    enlarge(piece, i * (kSliderWidth + 4) * scale, rowY);
  }
  // Display buttons on the glass: menu closed and open, arrows released and pressed.
  {
    const Box area{292, 108, 360, 132};
    Canvas piece(area.width(), 2 * area.height());
    for (int pressed = 0; pressed < 2; ++pressed) {
      cairo_t* pc = piece.cr();
      const int dy = pressed * area.height();
      blit(pc, *p.background, area.left, area.top - dy, {0, dy, area.width(), dy + area.height()});
      auto at = [&](const Box& b) {
        return Box{b.left - area.left, b.top - area.top + dy, b.right - area.left,
                   b.bottom - area.top + dy};
      };
      blit(pc, pressed ? *p.menuActive : *p.menu, 0, 0, at(kMenuButton));
      blit(pc, *p.prev, 0, pressed * kButtonSize, at(kPrevButton));
      blit(pc, *p.next, 0, pressed * kButtonSize, at(kNextButton));
    }
    enlarge(piece, 3 * (kSliderWidth + 4) * scale + 16, rowY);
  }
  return sheet.writePng(out);
}

}  // namespace zart
