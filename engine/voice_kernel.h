// The per-sample voice loop, the engine's hot path.
#pragma once

namespace zynka {

struct Voice;

/// Renders `count` samples of every voice whose amplitude target is above the
/// silence threshold and adds them, in voice order, to out[0..count).
/// `vibrato` holds the shared phase offset per sample; a is the wave shape,
/// b the Thru level. Voices that fall silent stop being rendered at that sample.
void renderVoices(Voice* voices, int numVoices, const double* vibrato, int count, double a, double b, double* out);

/// The same with the kernel of one vector width (2, 4 or 8 voices at a time);
/// false when this build or processor has no such kernel. Every width gives the
/// same result bit for bit; the tests hold them to it.
bool renderVoicesWithLanes(int lanes, Voice* voices, int numVoices, const double* vibrato, int count, double a,
                           double b, double* out);

/// Brings a carrier phase into -1..1 exactly as repeated steps of 2 would;
/// a phase that is not finite or too large to step starts over at 0.
double wrapPhase(double w);

}  // namespace zynka
