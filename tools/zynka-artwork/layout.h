// The artwork's view of the editor's layout: the rectangles come from the editor's
// own table (editor/layout.h), the captions and section titles are the artwork's.
#pragma once

#include <array>

#include "editor/layout.h"

namespace zart {

struct Box {
  int left, top, right, bottom;  // right and bottom exclusive
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  double centreX() const { return (left + right) / 2.0; }
  double centreY() const { return (top + bottom) / 2.0; }
};

inline constexpr int kWindowWidth = 856;
inline constexpr int kWindowHeight = 392;

inline constexpr int kKnobSize = 64;
inline constexpr int kKnobFrames = 101;
inline constexpr int kSliderWidth = 48;
inline constexpr int kSliderHeight = 128;
inline constexpr int kHandleHeight = 16;
inline constexpr int kButtonSize = 16;

struct Control {
  const char* caption;
  Box box;
};

constexpr Box boxOf(const zynka::layout::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
/// The editor's control number i (knobs first, then sliders, left to right).
constexpr Box controlBox(int i) { return boxOf(zynka::layout::kControlPlaces[i].rect); }

inline constexpr std::array<Control, 5> kKnobs{{
    {"RATE", controlBox(0)},
    {"AMOUNT", controlBox(1)},
    {"OCTAVE", controlBox(2)},
    {"TUNING", controlBox(3)},
    {"VOLUME", controlBox(4)},
}};

inline constexpr std::array<Control, 12> kSliders{{
    {"COARSE", controlBox(5)},
    {"FINE", controlBox(6)},
    {"INITIAL", controlBox(7)},
    {"DECAY", controlBox(8)},
    {"SUSTAIN", controlBox(9)},
    {"RELEASE", controlBox(10)},
    {"VELOCITY", controlBox(11)},
    {"WAVE", controlBox(12)},
    {"THRU", controlBox(13)},
    {"ATTACK", controlBox(14)},
    {"DECAY", controlBox(15)},
    {"RELEASE", controlBox(16)},
}};
static_assert(zynka::layout::kKnobCount == 5 && zynka::layout::kControlPlaces[4].knob &&
                  !zynka::layout::kControlPlaces[5].knob,
              "the editor's first five controls are its knobs");

// Caption bands under the controls.
inline constexpr int kKnobCaptionTop = 144, kKnobCaptionBottom = 152;
inline constexpr int kSliderCaptionTop = 336, kSliderCaptionBottom = 344;

struct Section {
  const char* title;
  int left, right;
};

inline constexpr std::array<Section, 2> kKnobSections{{
    {"VIBRATO", 64, 200},
    {"MASTER", 584, 792},
}};
inline constexpr std::array<Section, 4> kSliderSections{{
    {"MOD RATIO", 56, 176},
    {"MOD ENVELOPE", 184, 416},
    {"MODULATION", 424, 600},
    {"AMP ENVELOPE", 624, 800},
}};

// The display and what the editor draws on it.
inline constexpr Box kGlass{288, 84, 496, 134};
inline constexpr Box kProgramNumber = boxOf(zynka::layout::kProgramNumber);
inline constexpr Box kProgramName = boxOf(zynka::layout::kProgramName);
inline constexpr Box kMenuButton = boxOf(zynka::layout::kProgramMenu);
inline constexpr Box kPrevButton = boxOf(zynka::layout::kPrevButton);
inline constexpr Box kNextButton = boxOf(zynka::layout::kNextButton);
inline constexpr Box kVoices = boxOf(zynka::layout::kVoiceCount);
inline constexpr Box kLogo = boxOf(zynka::layout::kSplashArea);

// The display's text colour, which the editor uses too.
inline constexpr int kTealR = 80, kTealG = 205, kTealB = 189;

}  // namespace zart
