// --preset and --bank: ZYNKA programs saved by its editor, handed to the plug-in
// through the VST interface as a host hands over programs.
#pragma once

#include <string>

#include "host/aeffect.h"
#include "tools/hostkit/hostkit.h"
#include "tools/zynka-render/options.h"

namespace zrender {

/// Applies options.presetFile (to program options.program, else the current one) or
/// options.bankFile (all its programs, then selects options.program, else 0): effSetProgram,
/// setParameter for each of the 17 parameters, effSetProgramName. False and an error if the
/// file cannot be read, is not a ZYNKA file, or the plug-in is not ZYNKA.
bool applyProgramFile(hostkit::Host& host, AEffect* effect, const Options& options, std::string& error);

}  // namespace zrender
