// The nine editor pictures, the palette they share, and the preview.
#pragma once

#include <memory>
#include <string>

#include "tools/zynka-artwork/canvas.h"
#include "tools/zynka-artwork/layout.h"

namespace zart {

namespace palette {
inline constexpr Rgb panelTop = rgb(54, 56, 60);
inline constexpr Rgb panelBottom = rgb(34, 35, 38);
inline constexpr Rgb legend = rgb(222, 222, 216);      // titles, logo
inline constexpr Rgb caption = rgb(168, 171, 172);     // control captions
inline constexpr Rgb rule = rgb(112, 115, 118);        // section lines
inline constexpr Rgb teal = rgb(kTealR, kTealG, kTealB);
inline constexpr Rgb glassTop = rgb(13, 24, 25);
inline constexpr Rgb glassBottom = rgb(7, 13, 14);
inline constexpr Rgb ink = rgb(8, 16, 17);             // dark glyphs on lit teal
}  // namespace palette

std::unique_ptr<Canvas> drawBackground();
std::unique_ptr<Canvas> drawSplash();
std::unique_ptr<Canvas> drawKnobStrip();
std::unique_ptr<Canvas> drawSliderBack();
std::unique_ptr<Canvas> drawSliderHandle();
std::unique_ptr<Canvas> drawArrowButton(bool next);
std::unique_ptr<Canvas> drawMenuButton(bool active);

// The ZYNKA letters drawn as strokes, each in a box lw wide and h tall, gap
// apart, from (x, y); the A's bar in the accent colour.
void drawLogotype(cairo_t* cr, double x, double y, double lw, double gap, double h, double stroke,
                  Rgb colour, Rgb accent);

// Composes the editor from the pictures in a folder, as the plug-in shows it.
bool writePreview(const std::string& folder, const std::string& out, bool valueBoxes);
// Enlarged knob frames, slider parts and buttons on the panel colour, for close inspection.
bool writeCloseup(const std::string& folder, const std::string& out);

}  // namespace zart
