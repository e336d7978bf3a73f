// The per-sample voice loop, the engine's hot path.
#pragma once

namespace zynka {

struct Voice;

/// Renders `count` samples of every voice whose amplitude target is above the
/// silence threshold and adds them, in voice order, to out[0..count).
/// `vibrato` holds the shared phase offset per sample; `waveShape` is the carrier's wave
/// shape, `thruLevel` the Thru level. Voices that fall silent stop being rendered at that sample.
/// Uses the narrowest kernel that holds the sounding voices on this processor.
void renderVoices(Voice* voices, int numVoices, const double* vibrato, int count, double waveShape, double thruLevel,
                  double* out);

/// The kernels of this build, by number: "sse2 x2", "avx2 x2", "avx2 x4", "avx512 x8"
/// (instruction set, voices per vector). Every kernel gives the same result bit for
/// bit; the tests hold each one that the processor has to it.
int voiceKernelCount();
const char* voiceKernelName(int kernel);
int voiceKernelLanes(int kernel);
/// Whether this processor (and its operating system) can run the kernel.
bool voiceKernelAvailable(int kernel);
/// The kernel renderVoices uses for this many sounding voices.
int voiceKernelFor(int numSounding);

/// renderVoices with one kernel; false, with nothing rendered, when the processor lacks it.
bool renderVoicesWithKernel(int kernel, Voice* voices, int numVoices, const double* vibrato, int count,
                            double waveShape, double thruLevel, double* out);

/// For benchmarks: every later renderVoices uses this kernel (if available), or
/// chooses again by the number of sounding voices with -1.
void setVoiceKernelOverride(int kernel);

/// Brings a carrier phase into -1..1 exactly as repeated steps of 2 would;
/// a phase that is not finite or too large to step starts over at 0.
double wrapPhase(double w);

}  // namespace zynka
