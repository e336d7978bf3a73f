// Where the editor puts each control in its 856 x 392 window. The artwork is
// drawn around these rectangles, so they must agree with the editor's own.
#pragma once

#include <array>

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

inline constexpr std::array<Control, 5> kKnobs{{
    {"RATE", {64, 80, 128, 144}},
    {"AMOUNT", {136, 80, 200, 144}},
    {"OCTAVE", {584, 80, 648, 144}},
    {"TUNING", {656, 80, 720, 144}},
    {"VOLUME", {728, 80, 792, 144}},
}};

inline constexpr std::array<Control, 12> kSliders{{
    {"COARSE", {64, 200, 112, 328}},
    {"FINE", {120, 200, 168, 328}},
    {"INITIAL", {192, 200, 240, 328}},
    {"DECAY", {248, 200, 296, 328}},
    {"SUSTAIN", {304, 200, 352, 328}},
    {"RELEASE", {360, 200, 408, 328}},
    {"VELOCITY", {432, 200, 480, 328}},
    {"WAVE", {488, 200, 536, 328}},
    {"THRU", {544, 200, 592, 328}},
    {"ATTACK", {632, 200, 680, 328}},
    {"DECAY", {688, 200, 736, 328}},
    {"RELEASE", {744, 200, 792, 328}},
}};

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
inline constexpr Box kProgramNumber{296, 90, 314, 106};
inline constexpr Box kProgramName{316, 90, 488, 106};
inline constexpr Box kMenuButton{297, 112, 313, 128};
inline constexpr Box kPrevButton{320, 112, 336, 128};
inline constexpr Box kNextButton{336, 112, 352, 128};
inline constexpr Box kVoices{424, 112, 488, 128};
inline constexpr Box kLogo{40, 16, 128, 40};

// The display's text colour, which the editor uses too.
inline constexpr int kTealR = 80, kTealG = 205, kTealB = 189;

}  // namespace zart
