// A literal, one-sample-at-a-time, one-voice-at-a-time rendition of the block
// algorithm, written for clarity and nothing else. The engine's vectorised
// loop must agree with it bit for bit.
#pragma once

#include <vector>

#include "engine/plugin.h"

namespace zynka::test {

/// Renders one block from `state` (updating it as the engine would) into `out`.
/// `tuning` and `wave` are the current program's stored values that note start reads.
void referenceRenderBlock(EngineState& state, float tuning, float wave, std::vector<double>& out, int frames);

/// One sample of the voice loop: every voice above the threshold, in voice order;
/// returns the sum of their values (before the output gain).
double referenceVoicesSample(Voice* voices, double vibratoOffset, double a, double b);

}  // namespace zynka::test
