// The plug-in's state taken and given as a whole.
#include "engine/plugin.h"
#include "engine/program_state.h"

namespace zynka {

PluginState captureState(Plugin& plugin) {
  PluginState state;
  state.currentProgram = plugin.getProgram();
  for (int i = 0; i < kNumPrograms; ++i)
    if (const ProgramRecord* record = plugin.getProgramRecord(i)) state.programs[i] = *record;
  return state;
}

void applyState(Plugin& plugin, const PluginState& state) {
  for (int i = 0; i < kNumPrograms; ++i) {
    const ProgramRecord& record = state.programs[i];
    plugin.setProgramRecord(i, record.name, record.values);
  }
  plugin.setProgram(state.currentProgram);
  plugin.showParametersInEditor();
}

std::string saveState(Plugin& plugin) { return formatState(captureState(plugin)); }

bool loadState(Plugin& plugin, std::string_view text) {
  PluginState state;
  if (!readState(text, state)) return false;
  applyState(plugin, state);
  return true;
}

}  // namespace zynka
