// Rendering: a MIDI file played through the plug-in into a WAV file, on until the
// tail has faded.
#pragma once

#include "tools/zynka-render/options.h"

namespace zrender {

/// Renders options.midi through options.plugin into options.output and prints a summary
/// line; the exit status.
int renderFile(const Options& options);

}  // namespace zrender
