// The editor's layout, written once: the 856 x 392 window, the geometry of its
// pictures, where each view sits and what is printed around it, and the display's
// teal. The editor builds its views from it, the artwork generator draws the pictures
// and the panel around it, and the tools, benchmarks and tests take their sizes and
// click points from it, so none of them can drift apart.
#pragma once

#include <cstdint>

#include "engine/parameters.h"

namespace zynka::layout {

/// A rectangle in window pixels: left, top, right, bottom (right and bottom exclusive).
struct Rect {
  int left, top, right, bottom;
};

/// A point in window pixels.
struct Point {
  int x, y;
};

/// The middle of a rectangle (rounded towards its top-left).
constexpr Point centre(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

/// A colour as red, green and blue.
struct Colour {
  std::uint8_t red, green, blue;
};

// --- the window and its pictures ----------------------------------------------------------

/// The window: the background's size.
inline constexpr int kWindowWidth = 856;
inline constexpr int kWindowHeight = 392;

/// The knob film strip: kKnobImages images of kKnobSize x kKnobSize, one above the other,
/// image k showing the value k / (kKnobImages - 1).
inline constexpr int kKnobSize = 64;
inline constexpr int kKnobImages = 101;

/// A fader: its groove picture is the control's size; its handle picture is as wide and
/// kSliderHandleHeight high, and travels the groove's whole height.
inline constexpr int kSliderWidth = 48;
inline constexpr int kSliderHeight = 128;
inline constexpr int kSliderHandleHeight = 16;

/// The display's buttons: square pictures; the previous and next buttons hold two images,
/// released and pressed, one above the other.
inline constexpr int kButtonSize = 16;

/// Programs in each column of the program menu.
inline constexpr int kMenuItemsPerColumn = 26;

/// The display's text (program number, name, voice count) and its lit keys: teal on dark glass.
inline constexpr Colour kTeal{80, 205, 189};

// --- the controls -------------------------------------------------------------------------

/// A parameter's control and the caption printed under it.
struct ControlPlace {
  ParameterIndex tag;
  bool knob;
  Rect rect;
  const char* caption;
};

/// The 17 controls in the order they are created (and drawn): the knobs left to right,
/// then the faders left to right.
inline constexpr ControlPlace kControlPlaces[kNumParams] = {
    {kVibRate, true, {64, 80, 128, 144}, "RATE"},
    {kVibAmt, true, {136, 80, 200, 144}, "AMOUNT"},
    {kOctave, true, {584, 80, 648, 144}, "OCTAVE"},
    {kTuning, true, {656, 80, 720, 144}, "TUNING"},
    {kVolume, true, {728, 80, 792, 144}, "VOLUME"},
    {kCoarse, false, {64, 200, 112, 328}, "COARSE"},
    {kFine, false, {120, 200, 168, 328}, "FINE"},
    {kModInit, false, {192, 200, 240, 328}, "INITIAL"},
    {kModDec, false, {248, 200, 296, 328}, "DECAY"},
    {kModSus, false, {304, 200, 352, 328}, "SUSTAIN"},
    {kModRel, false, {360, 200, 408, 328}, "RELEASE"},
    {kVelocity, false, {432, 200, 480, 328}, "VELOCITY"},
    {kWave, false, {488, 200, 536, 328}, "WAVE"},
    {kThru, false, {544, 200, 592, 328}, "THRU"},
    {kAmpAtt, false, {632, 200, 680, 328}, "ATTACK"},
    {kAmpDec, false, {688, 200, 736, 328}, "DECAY"},
    {kAmpRel, false, {744, 200, 792, 328}, "RELEASE"},
};
inline constexpr int kKnobCount = 5;

/// True when every control is the size of its pictures, and the knobs come first.
constexpr bool controlsFitTheirPictures() {
  for (int i = 0; i < kNumParams; ++i) {
    const ControlPlace& place = kControlPlaces[i];
    const int width = place.rect.right - place.rect.left, height = place.rect.bottom - place.rect.top;
    if (place.knob != (i < kKnobCount)) return false;
    if (place.knob ? width != kKnobSize || height != kKnobSize : width != kSliderWidth || height != kSliderHeight)
      return false;
  }
  return true;
}
static_assert(controlsFitTheirPictures());

/// The control of parameter `tag`.
constexpr const ControlPlace& placeOf(ParameterIndex tag) {
  for (const ControlPlace& place : kControlPlaces)
    if (place.tag == tag) return place;
  return kControlPlaces[0];
}

/// Where a fader's handle starts (its top at value 1) and ends (its top at value 0).
constexpr int sliderTravelStart(const ControlPlace& place) { return place.rect.top; }
constexpr int sliderTravelEnd(const ControlPlace& place) { return place.rect.bottom - kSliderHandleHeight; }

/// The caption bands under the controls: knob captions at y 144..152, fader captions at
/// y 336..344 (their text's baseline is the band's bottom).
inline constexpr int kKnobCaptionTop = 144, kKnobCaptionBottom = 152;
inline constexpr int kSliderCaptionTop = 336, kSliderCaptionBottom = 344;

/// Value boxes sit under their control's caption.
inline constexpr int kKnobValueBoxTop = kKnobCaptionBottom + 4;
inline constexpr int kSliderValueBoxTop = kSliderCaptionBottom + 4;
inline constexpr int kValueBoxWidth = 64;
inline constexpr int kValueBoxHeight = 24;

/// A value box: centred under its control, just below the caption printed there.
constexpr Rect valueBoxRect(const ControlPlace& place) {
  const int centre = (place.rect.left + place.rect.right) / 2;
  const int top = place.knob ? kKnobValueBoxTop : kSliderValueBoxTop;
  return {centre - kValueBoxWidth / 2, top, centre + kValueBoxWidth / 2, top + kValueBoxHeight};
}

/// A section of the panel: a title over a group of neighbouring controls, kControlPlaces
/// `first` to `last`. It spans their value boxes.
struct Section {
  const char* title;
  int first, last;
  constexpr int left() const { return valueBoxRect(kControlPlaces[first]).left; }
  constexpr int right() const { return valueBoxRect(kControlPlaces[last]).right; }
};
inline constexpr Section kKnobSections[] = {{"VIBRATO", 0, 1}, {"MASTER", 2, 4}};
inline constexpr Section kSliderSections[] = {
    {"MOD RATIO", 5, 6}, {"MOD ENVELOPE", 7, 10}, {"MODULATION", 11, 13}, {"AMP ENVELOPE", 14, 16}};

// --- the splash area and the display --------------------------------------------------------

/// The hot area over the product name that opens the splash screen.
inline constexpr Rect kSplashArea{40, 16, 128, 40};
/// The display's glass, printed on the background, and the views on it.
inline constexpr Rect kDisplay{288, 84, 496, 134};
inline constexpr Rect kProgramNumber{296, 90, 314, 106};
inline constexpr Rect kProgramName{316, 90, 488, 106};
inline constexpr Rect kProgramMenu{297, 112, 313, 128};
inline constexpr Rect kPrevButton{320, 112, 336, 128};
inline constexpr Rect kNextButton{336, 112, 352, 128};
inline constexpr Rect kVoiceCount{424, 112, 488, 128};
static_assert(kProgramMenu.right - kProgramMenu.left == kButtonSize && kPrevButton.right - kPrevButton.left == kButtonSize &&
              kNextButton.right - kNextButton.left == kButtonSize);

}  // namespace zynka::layout
