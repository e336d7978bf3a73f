// Where the editor puts each of its views in its 856 x 392 window. The editor builds
// its views from these rectangles and the artwork generator draws the panel around
// them, so the picture and the controls always agree.
#pragma once

#include "engine/parameters.h"

namespace zynka::layout {

/// A rectangle in window pixels: left, top, right, bottom (right and bottom exclusive).
struct Rect {
  int left, top, right, bottom;
};

/// A parameter's control.
struct ControlPlace {
  ParameterIndex tag;
  bool knob;
  Rect rect;
};

/// The 17 controls in the order they are created (and drawn): the knobs left to right,
/// then the sliders left to right.
inline constexpr ControlPlace kControlPlaces[kNumParams] = {
    {kVibRate, true, {64, 80, 128, 144}},    {kVibAmt, true, {136, 80, 200, 144}},
    {kOctave, true, {584, 80, 648, 144}},    {kTuning, true, {656, 80, 720, 144}},
    {kVolume, true, {728, 80, 792, 144}},    {kCoarse, false, {64, 200, 112, 328}},
    {kFine, false, {120, 200, 168, 328}},    {kModInit, false, {192, 200, 240, 328}},
    {kModDec, false, {248, 200, 296, 328}},  {kModSus, false, {304, 200, 352, 328}},
    {kModRel, false, {360, 200, 408, 328}},  {kVelocity, false, {432, 200, 480, 328}},
    {kWave, false, {488, 200, 536, 328}},    {kThru, false, {544, 200, 592, 328}},
    {kAmpAtt, false, {632, 200, 680, 328}},  {kAmpDec, false, {688, 200, 736, 328}},
    {kAmpRel, false, {744, 200, 792, 328}},
};
inline constexpr int kKnobCount = 5;

// The hot area over the product name that opens the splash screen, and the display panel.
inline constexpr Rect kSplashArea{40, 16, 128, 40};
inline constexpr Rect kProgramNumber{296, 90, 314, 106};
inline constexpr Rect kProgramName{316, 90, 488, 106};
inline constexpr Rect kProgramMenu{297, 112, 313, 128};
inline constexpr Rect kPrevButton{320, 112, 336, 128};
inline constexpr Rect kNextButton{336, 112, 352, 128};
inline constexpr Rect kVoiceCount{424, 112, 488, 128};

/// Value boxes sit under their control's caption: knob captions at y 144..152, slider
/// captions at y 336..344.
inline constexpr int kKnobValueBoxTop = 156;
inline constexpr int kSliderValueBoxTop = 348;
inline constexpr int kValueBoxWidth = 64;
inline constexpr int kValueBoxHeight = 24;

/// A value box: centred under its control, just below the caption printed there.
constexpr Rect valueBoxRect(const ControlPlace& place) {
  const int centre = (place.rect.left + place.rect.right) / 2;
  const int top = place.knob ? kKnobValueBoxTop : kSliderValueBoxTop;
  return {centre - kValueBoxWidth / 2, top, centre + kValueBoxWidth / 2, top + kValueBoxHeight};
}

}  // namespace zynka::layout
