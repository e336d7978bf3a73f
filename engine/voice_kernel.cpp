// The voice loop, vectorised across voices. Each lane performs exactly the
// scalar operations in the same order (no fused multiply-add, no reassociation),
// and the lanes are added to the sum in voice order, so every result is the
// one a plain loop over voices would give, bit for bit.
#include "engine/voice_kernel.h"

#include <cmath>

#include "engine/plugin.h"

namespace zynka {

double wrapPhase(double w) {
  if (!(std::fabs(w) < kFarPhase)) {
    // fmod is exact, so this lands where repeated steps of 2 would.
    w = std::isfinite(w) && std::fabs(w) < 0x1p52 ? std::fmod(w, 2.0) : 0.0;
  }
  while (w > 1.0) w -= 2.0;
  while (w < -1.0) w += 2.0;
  return w;
}

namespace {

// The vector helpers below are always inlined; no vector ever crosses a real call,
// so the note that a 32-byte vector return changes the ABI does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

template <int Lanes>
struct Simd;
template <>
struct Simd<2> {
  typedef double Vec __attribute__((vector_size(16)));
  typedef long long Mask __attribute__((vector_size(16)));
};
template <>
struct Simd<4> {
  typedef double Vec __attribute__((vector_size(32)));
  typedef long long Mask __attribute__((vector_size(32)));
};

// Windows: 16-byte vectors only, since GCC there does not realign the stack for 32-byte spills.
#if defined(_WIN32)
constexpr int kLanes = 2;
#else
constexpr int kLanes = 4;
#endif
using Vec = Simd<kLanes>::Vec;
using Mask = Simd<kLanes>::Mask;

/// Samples per call: the render loop never asks for more.
constexpr int kMaxCount = 128;

inline __attribute__((always_inline)) bool anyLane(Mask m) {
  long long bits = 0;
  for (int l = 0; l < kLanes; ++l) bits |= m[l];
  return bits != 0;
}

inline __attribute__((always_inline)) Vec gather(Voice* const* lane, double Voice::*field) {
  Vec v;
  for (int l = 0; l < kLanes; ++l) v[l] = lane[l]->*field;
  return v;
}

inline __attribute__((always_inline)) void scatter(Voice* const* lane, double Voice::*field, Vec v) {
  for (int l = 0; l < kLanes; ++l) lane[l]->*field = v[l];
}

inline __attribute__((always_inline)) void renderGroups(Voice* voices, int numVoices, const double* vibrato,
                                                       int count, double a, double b, double* out) {
  // The sounding voices, in voice order, taken kLanes at a time.
  int sounding[kNumVoices];
  int numSounding = 0;
  for (int v = 0; v < numVoices && v < kNumVoices; ++v)
    if (voices[v].ampTarget > kSilenceThreshold) sounding[numSounding++] = v;

  alignas(32) double contribution[kMaxCount][kLanes];
  for (int g = 0; g < numSounding; g += kLanes) {
    // Lanes past the last sounding voice run on silent stand-ins and add +0.0.
    Voice standIn[kLanes];
    Voice* lane[kLanes];
    for (int l = 0; l < kLanes; ++l) {
      standIn[l].ampTarget = 0;
      lane[l] = g + l < numSounding ? &voices[sounding[g + l]] : &standIn[l];
    }
    Vec ampTarget = gather(lane, &Voice::ampTarget);
    const Vec modOscCoef = gather(lane, &Voice::modOscCoef);
    Vec y1 = gather(lane, &Voice::modOscY1);
    Vec y2 = gather(lane, &Voice::modOscY2);
    Vec modLevel = gather(lane, &Voice::modLevel);
    const Vec modTarget = gather(lane, &Voice::modTarget);
    const Vec modCoef = gather(lane, &Voice::modCoef);
    Vec phase = gather(lane, &Voice::phase);
    const Vec increment = gather(lane, &Voice::phaseIncrement);
    Vec ampLevel = gather(lane, &Voice::ampLevel);
    const Vec ampCoef = gather(lane, &Voice::ampCoef);
    const Vec ampFactor = gather(lane, &Voice::ampFactor);
    const Vec zero = {};

    for (int i = 0; i < count; ++i) {
      // A voice whose target has fallen to the threshold is no longer rendered.
      const Mask sounds = ampTarget > kSilenceThreshold;
      const Vec newModLevel = (modTarget - modLevel) * modCoef + modLevel;
      const Vec newAmpLevel = (ampTarget - ampLevel) * ampCoef + ampLevel;
      const Vec newAmpTarget = ampTarget * ampFactor;
      const Vec m = y1 * modOscCoef - y2;
      Vec w = ((increment + phase) + newModLevel * m) + vibrato[i];

      const Vec magnitude = w < zero ? -w : w;
      const Mask near = magnitude < kFarPhase;
      if (anyLane(~near))
        for (int l = 0; l < kLanes; ++l)
          if (!near[l]) w[l] = wrapPhase(w[l]);
      for (Mask high = w > 1.0; anyLane(high); high = w > 1.0) w = high ? w - 2.0 : w;
      for (Mask low = w < -1.0; anyLane(low); low = w < -1.0) w = low ? w + 2.0 : w;

      // p(w) = a w^5 - (1 + a) w^3 + w, plus the modulator of the previous sample.
      const Vec value = ((((w * a) * w - 1.0 - a) * (w * w * w) + w) + b * y1) * newAmpLevel;

      modLevel = sounds ? newModLevel : modLevel;
      ampLevel = sounds ? newAmpLevel : ampLevel;
      ampTarget = sounds ? newAmpTarget : ampTarget;
      y2 = sounds ? y1 : y2;
      y1 = sounds ? m : y1;
      phase = sounds ? w : phase;
      const Vec added = sounds ? value : zero;
      for (int l = 0; l < kLanes; ++l) contribution[i][l] = added[l];
    }

    scatter(lane, &Voice::ampTarget, ampTarget);
    scatter(lane, &Voice::modOscY1, y1);
    scatter(lane, &Voice::modOscY2, y2);
    scatter(lane, &Voice::modLevel, modLevel);
    scatter(lane, &Voice::phase, phase);
    scatter(lane, &Voice::ampLevel, ampLevel);

    for (int i = 0; i < count; ++i) {
      double sum = out[i];
      for (int l = 0; l < kLanes; ++l) sum = sum + contribution[i][l];
      out[i] = sum;
    }
  }
}

void renderVoicesBaseline(Voice* voices, int numVoices, const double* vibrato, int count, double a, double b,
                          double* out) {
  renderGroups(voices, numVoices, vibrato, count, a, b, out);
}

#if defined(__x86_64__) && !defined(_WIN32)
#define ZYNKA_HAVE_AVX2_KERNEL 1
__attribute__((target("avx2"))) void renderVoicesAvx2(Voice* voices, int numVoices, const double* vibrato,
                                                      int count, double a, double b, double* out) {
  renderGroups(voices, numVoices, vibrato, count, a, b, out);
}

// Decided once when the library loads, so the audio thread never waits on an initialisation guard.
const bool kUseAvx2 = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}();
#endif

}  // namespace

void renderVoices(Voice* voices, int numVoices, const double* vibrato, int count, double a, double b, double* out) {
  if (count > kMaxCount) {  // callers stay within kMaxCount; split rather than overrun
    renderVoices(voices, numVoices, vibrato, kMaxCount, a, b, out);
    renderVoices(voices, numVoices, vibrato + kMaxCount, count - kMaxCount, a, b, out + kMaxCount);
    return;
  }
#ifdef ZYNKA_HAVE_AVX2_KERNEL
  if (kUseAvx2) return renderVoicesAvx2(voices, numVoices, vibrato, count, a, b, out);
#endif
  renderVoicesBaseline(voices, numVoices, vibrato, count, a, b, out);
}

}  // namespace zynka
