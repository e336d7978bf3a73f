// A literal, one-sample-at-a-time, one-voice-at-a-time rendition of the block
// algorithm, written for clarity and nothing else. The engine's vectorised
// loop must agree with it bit for bit.
//
// Its steps and numbers are the algorithm's published ones, written from its
// description and not from the engine's code: the semitone 0.05776226505 (ln 2 / 12)
// and the doubled Tuning of the pitch factor, the key scale held at 50 and the
// velocity centred on 64, the amplitude (1.5 - Wave) x volume x (velocity + 10),
// the silence threshold 0.0003, a vibrato step every 101 samples, the end mark
// 99999999 and note code 128 of the pedal. They cannot differ from the engine's:
// bit-for-bit agreement needs the same operations in the same order, and that
// is what these tests prove of the vectorised loop. What they cannot catch, a
// number wrong in both, the tests that listen from outside do (pitch, decay time).
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
