// What the LV2 bundle zynka.lv2 is made of: its URIs and file names, and the port of each
// parameter. The adaptor, the Turtle generator and the tests read it; it names no LV2
// header, so the generator needs none.
#pragma once

#include <array>
#include <string_view>

#include "engine/config.h"
#include "engine/parameters.h"

namespace zynka::lv2 {

// Fixed forever: hosts keep sessions and presets by these.
inline constexpr const char* kPluginUri = "urn:tarnwick:zynka";
inline constexpr const char* kUiUri = "urn:tarnwick:zynka#ui";
inline constexpr const char* kProjectUri = "urn:tarnwick:zynka#project";
/// The whole state text (engine/program_state.h) under one key.
inline constexpr const char* kStateKeyUri = "urn:tarnwick:zynka#state";
/// A program's name, which a factory preset carries beside its port values: restoring it
/// names the current program.
inline constexpr const char* kProgramNameKeyUri = "urn:tarnwick:zynka#programName";
/// Preset n (1 to 32) is this URI followed by its two-digit number.
inline constexpr const char* kPresetUriPrefix = "urn:tarnwick:zynka#preset-";
/// The editor access between the bundle's two libraries (not for hosts).
inline constexpr const char* kEditorAccessUri = "urn:tarnwick:zynka#editor-access";

inline constexpr const char* kDspBinary = "zynka_dsp.so";
inline constexpr const char* kUiBinary = "zynka_ui.so";

/// Port indices: the 17 parameters first, in parameter order, then MIDI in, the two audio
/// outputs and the number of sounding voices.
inline constexpr int kFirstParameterPort = 0;
inline constexpr int kMidiInPort = kNumParams;
inline constexpr int kLeftOutPort = kNumParams + 1;
inline constexpr int kRightOutPort = kNumParams + 2;
inline constexpr int kVoicesPort = kNumParams + 3;
inline constexpr int kNumPorts = kNumParams + 4;

/// The longest parameter symbol: a name has at most 8 characters.
inline constexpr int kMaxSymbolLength = 8;
using Symbol = std::array<char, kMaxSymbolLength + 1>;

/// A parameter's port symbol, derived from its name: lower case, a space becoming "_"
/// ("Vib Rate" is vib_rate). Hosts keep saved values by symbol, so a symbol, once
/// released, never changes (a test pins them).
constexpr Symbol parameterSymbol(int index) {
  Symbol symbol{};
  const char* name = kParameters[index].name;
  for (int i = 0; name[i] && i < kMaxSymbolLength; ++i) {
    const char c = name[i];
    symbol[i] = c >= 'A' && c <= 'Z'                               ? static_cast<char>(c - 'A' + 'a')
                : (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? c
                                                                   : '_';
  }
  return symbol;
}

inline constexpr const char* kMidiInSymbol = "midi_in";
inline constexpr const char* kLeftOutSymbol = "out_left";
inline constexpr const char* kRightOutSymbol = "out_right";
inline constexpr const char* kVoicesSymbol = "voices";

}  // namespace zynka::lv2

namespace zynka::lv2::detail {
constexpr bool symbolsAreValidAndDistinct() {
  for (int i = 0; i < kNumParams; ++i) {
    const Symbol a = parameterSymbol(i);
    if (!(a[0] >= 'a' && a[0] <= 'z')) return false;
    for (int j = 0; j < i; ++j)
      if (parameterSymbol(j) == a) return false;
  }
  return true;
}
static_assert(symbolsAreValidAndDistinct(), "every parameter symbol starts with a letter and is its own");
}  // namespace zynka::lv2::detail
