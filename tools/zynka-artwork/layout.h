// The artwork's view of the editor's layout (editor/layout.h): its sizes, rectangles,
// captions, sections and teal, as boxes and lists the drawing code walks.
#pragma once

#include <array>

#include "editor/layout.h"

namespace zart {

namespace layout = zynka::layout;

struct Box {
  int left, top, right, bottom;  // right and bottom exclusive
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  double centreX() const { return (left + right) / 2.0; }
  double centreY() const { return (top + bottom) / 2.0; }
};

constexpr Box boxOf(const layout::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

inline constexpr int kWindowWidth = layout::kWindowWidth;
inline constexpr int kWindowHeight = layout::kWindowHeight;

inline constexpr int kKnobSize = layout::kKnobSize;
inline constexpr int kKnobFrames = layout::kKnobImages;
inline constexpr int kSliderWidth = layout::kSliderWidth;
inline constexpr int kSliderHeight = layout::kSliderHeight;
inline constexpr int kHandleHeight = layout::kSliderHandleHeight;
inline constexpr int kButtonSize = layout::kButtonSize;

struct Control {
  const char* caption;
  Box box;
};

/// The editor's controls first to first + N - 1 (knobs first, then faders, left to right).
template <std::size_t N>
constexpr std::array<Control, N> controls(int first) {
  std::array<Control, N> out{};
  for (std::size_t i = 0; i < N; ++i) {
    const layout::ControlPlace& place = layout::kControlPlaces[first + static_cast<int>(i)];
    out[i] = {place.caption, boxOf(place.rect)};
  }
  return out;
}
inline constexpr auto kKnobs = controls<layout::kKnobCount>(0);
inline constexpr auto kSliders = controls<zynka::kNumParams - layout::kKnobCount>(layout::kKnobCount);

// Caption bands under the controls.
inline constexpr int kKnobCaptionTop = layout::kKnobCaptionTop, kKnobCaptionBottom = layout::kKnobCaptionBottom;
inline constexpr int kSliderCaptionTop = layout::kSliderCaptionTop, kSliderCaptionBottom = layout::kSliderCaptionBottom;

struct Section {
  const char* title;
  int left, right;
};

/// The editor's sections as title and span.
template <std::size_t N>
constexpr std::array<Section, N> sections(const layout::Section (&from)[N]) {
  std::array<Section, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = {from[i].title, from[i].left(), from[i].right()};
  return out;
}
inline constexpr auto kKnobSections = sections(layout::kKnobSections);
inline constexpr auto kSliderSections = sections(layout::kSliderSections);

// The display and what the editor draws on it.
inline constexpr Box kGlass = boxOf(layout::kDisplay);
inline constexpr Box kProgramNumber = boxOf(layout::kProgramNumber);
inline constexpr Box kProgramName = boxOf(layout::kProgramName);
inline constexpr Box kMenuButton = boxOf(layout::kProgramMenu);
inline constexpr Box kPrevButton = boxOf(layout::kPrevButton);
inline constexpr Box kNextButton = boxOf(layout::kNextButton);
inline constexpr Box kVoices = boxOf(layout::kVoiceCount);
inline constexpr Box kLogo = boxOf(layout::kSplashArea);

// The display's text colour, which the editor uses too.
inline constexpr int kTealR = layout::kTeal.red, kTealG = layout::kTeal.green, kTealB = layout::kTeal.blue;

}  // namespace zart
