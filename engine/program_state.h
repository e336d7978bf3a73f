// The plug-in's whole state as one text, for plug-in formats whose hosts keep a state
// with the session (CLAP, LV2): a version line, the current program and the 99 programs
// as bank lines. The same text in every format, so a sound moves between hosts and formats.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/config.h"
#include "engine/program.h"

namespace zynka {

class Plugin;

/// First line: the header, a space and the version number.
inline constexpr std::string_view kStateHeader = "ZYNKA State";
/// The version this build writes; it reads this one and every earlier one.
inline constexpr int kStateVersion = 1;
/// Far beyond any state this build writes (about 20 kB): a host's stream that goes on
/// longer is not ours.
inline constexpr std::size_t kMaxStateSize = std::size_t{1} << 20;

/// What the state holds.
struct PluginState {
  int currentProgram = 0;  // 0 to 98
  std::array<ProgramRecord, kNumPrograms> programs;
};

/// The state's text: "ZYNKA State 1", "Program <0..98>", then 99 program lines with exact
/// values (the shortest text of each float), CR LF each.
std::string formatState(const PluginState& state);
/// Reads a whole state text into `state`; false, with `state` untouched, unless the text is
/// a state of a version this build knows, with a current program in range and 99 program
/// lines that all parse (a text cut short, or another plug-in's, is refused as a whole).
bool readState(std::string_view text, PluginState& state);

/// The plug-in's programs and current program now.
PluginState captureState(Plugin& plugin);
/// Makes `state` the plug-in's: its 99 programs, then its current program selected (which
/// silences the voices), with the editor's controls shown the new values.
void applyState(Plugin& plugin, const PluginState& state);

/// The plug-in's state as text.
std::string saveState(Plugin& plugin);
/// Loads a state text; false, with the plug-in as it was, when the text is not a whole state.
bool loadState(Plugin& plugin, std::string_view text);

}  // namespace zynka
