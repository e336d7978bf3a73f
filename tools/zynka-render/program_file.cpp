#include "tools/zynka-render/program_file.h"

#include <cstdio>
#include <vector>

#include "engine/config.h"
#include "engine/program.h"
#include "engine/program_files.h"
#include "tools/zynka-render/files.h"

namespace zrender {
namespace {

/// Hands one program to the plug-in as its program `index`.
void sendProgram(hostkit::Host& host, AEffect* effect, int index, const zynka::ProgramRecord& record) {
  host.dispatch(effect, effSetProgram, 0, index);
  for (int slot = 0; slot < zynka::kNumParams; ++slot)
    effect->setParameter(effect, zynka::kParameterOfSlot[slot], record.values[slot]);
  char name[zynka::kProgramNameLength + 1];
  std::snprintf(name, sizeof name, "%s", record.name);
  host.dispatch(effect, effSetProgramName, 0, 0, name);
}

std::string readFailure(zynka::FileReadResult result, const std::string& path, const char* kind) {
  if (result == zynka::FileReadResult::kCannotOpen) return "cannot read " + path;
  return path + " is not a ZYNKA " + kind + " file (its first line is not \"" +
         std::string(kind[0] == 'p' ? zynka::kPresetHeader : zynka::kBankHeader) + "\")";
}

}  // namespace

bool applyProgramFile(hostkit::Host& host, AEffect* effect, const Options& options, std::string& error) {
  const bool preset = !options.presetFile.empty();
  if (!preset && options.bankFile.empty()) return true;
  if (effect->uniqueID != zynka::kUniqueId || effect->numParams != zynka::kNumParams ||
      effect->numPrograms < zynka::kNumPrograms || effect->setParameter == nullptr) {
    error = std::string(preset ? "--preset" : "--bank") + " files hold ZYNKA programs, and " + options.plugin +
            " is not ZYNKA";
    return false;
  }

  if (preset) {
    const int program = options.program >= 0 ? options.program
                                             : static_cast<int>(host.dispatch(effect, effGetProgram));
    zynka::ProgramRecord record;
    bool parsed = false;
    const zynka::FileReadResult result = zynka::readPresetFile(pathOf(options.presetFile), record, &parsed);
    if (result != zynka::FileReadResult::kRead) {
      error = readFailure(result, options.presetFile, "preset");
      return false;
    }
    if (!parsed) {
      error = options.presetFile + " holds no program (its second line needs 17 values and a name)";
      return false;
    }
    sendProgram(host, effect, program, record);
    return true;
  }

  std::vector<zynka::ProgramRecord> bank(zynka::kNumPrograms);
  bool parsed[zynka::kNumPrograms] = {};
  const zynka::FileReadResult result = zynka::readBankFile(pathOf(options.bankFile), bank.data(), parsed);
  if (result != zynka::FileReadResult::kRead) {
    error = readFailure(result, options.bankFile, "bank");
    return false;
  }
  // As the editor loads a bank: programs without a line of their own keep theirs.
  for (int i = 0; i < zynka::kNumPrograms; ++i)
    if (parsed[i]) sendProgram(host, effect, i, bank[i]);
  const int selected = options.program >= 0 ? options.program : 0;
  if (selected < zynka::kNumPrograms && !parsed[selected])
    std::fprintf(stderr, "zynka-render: note: %s has no program %d; the plug-in's own program %d plays\n",
                 options.bankFile.c_str(), selected, selected);
  host.dispatch(effect, effSetProgram, 0, selected);
  return true;
}

}  // namespace zrender
