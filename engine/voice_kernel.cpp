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
template <>
struct Simd<8> {
  typedef double Vec __attribute__((vector_size(64)));
  typedef long long Mask __attribute__((vector_size(64)));
};


/// Samples per call: the render loop never asks for more.
constexpr int kMaxCount = 128;

template <int kLanes, typename Vec = typename Simd<kLanes>::Vec>
inline __attribute__((always_inline)) Vec gather(Voice* const* lane, double Voice::*field) {
  Vec v;
  for (int l = 0; l < kLanes; ++l) v[l] = lane[l]->*field;
  return v;
}

template <int kLanes, typename Vec = typename Simd<kLanes>::Vec>
inline __attribute__((always_inline)) void scatter(Voice* const* lane, double Voice::*field, Vec v) {
  for (int l = 0; l < kLanes; ++l) lane[l]->*field = v[l];
}

template <int kLanes, typename Mask = typename Simd<kLanes>::Mask>
inline __attribute__((always_inline)) bool allLanes(Mask m) {
  long long bits = -1;
  for (int l = 0; l < kLanes; ++l) bits &= m[l];
  return bits != 0;
}

/// Brings each lane's phase into -1..1 exactly as repeated steps of 2 would.
template <int kLanes, typename Vec = typename Simd<kLanes>::Vec>
inline __attribute__((always_inline)) Vec wrapLanes(Vec w) {
  const Vec zero = {};
  const Vec magnitude = w < zero ? -w : w;
  if (__builtin_expect(allLanes<kLanes>(magnitude <= 3.0), 1)) {
    // Within 3 one step at most is taken each way, so two selections are exact.
    w = w > 1.0 ? w - 2.0 : w;
    return w < -1.0 ? w + 2.0 : w;
  }
  for (int l = 0; l < kLanes; ++l) w[l] = wrapPhase(w[l]);
  return w;
}

template <int kLanes>
inline __attribute__((always_inline)) void renderGroups(Voice* voices, int numVoices, const double* vibrato,
                                                       int count, double a, double b, double* out) {
  // The sounding voices, in voice order, kLanes to a group.
  int sounding[kNumVoices];
  int numSounding = 0;
  for (int v = 0; v < numVoices && v < kNumVoices; ++v)
    if (voices[v].ampTarget > kSilenceThreshold) sounding[numSounding++] = v;
  if (numSounding == 0) return;
  using Vec = typename Simd<kLanes>::Vec;
  using Mask = typename Simd<kLanes>::Mask;
  constexpr int kMaxGroups = kNumVoices / kLanes;
  const int numGroups = (numSounding + kLanes - 1) / kLanes;

  // Lanes past the last sounding voice run on silent stand-ins: their level stays
  // 0, so they add a zero, which changes no sum.
  Voice standIn[kLanes];
  Voice* lanes[kMaxGroups][kLanes];
  Mask isStandIn[kMaxGroups];
  for (int g = 0; g < numGroups; ++g)
    for (int l = 0; l < kLanes; ++l) {
      const int k = g * kLanes + l;
      standIn[l].ampTarget = 0;
      lanes[g][l] = k < numSounding ? &voices[sounding[k]] : &standIn[l];
      isStandIn[g][l] = k < numSounding ? 0 : -1;
    }

  Vec ampTarget[kMaxGroups], y1[kMaxGroups], y2[kMaxGroups], modLevel[kMaxGroups], phase[kMaxGroups],
      ampLevel[kMaxGroups], modOscCoef[kMaxGroups], modTarget[kMaxGroups], modCoef[kMaxGroups],
      increment[kMaxGroups], ampCoef[kMaxGroups], ampFactor[kMaxGroups];
  for (int g = 0; g < numGroups; ++g) {
    ampTarget[g] = gather<kLanes>(lanes[g], &Voice::ampTarget);
    y1[g] = gather<kLanes>(lanes[g], &Voice::modOscY1);
    y2[g] = gather<kLanes>(lanes[g], &Voice::modOscY2);
    modLevel[g] = gather<kLanes>(lanes[g], &Voice::modLevel);
    phase[g] = gather<kLanes>(lanes[g], &Voice::phase);
    ampLevel[g] = gather<kLanes>(lanes[g], &Voice::ampLevel);
    modOscCoef[g] = gather<kLanes>(lanes[g], &Voice::modOscCoef);
    modTarget[g] = gather<kLanes>(lanes[g], &Voice::modTarget);
    modCoef[g] = gather<kLanes>(lanes[g], &Voice::modCoef);
    increment[g] = gather<kLanes>(lanes[g], &Voice::phaseIncrement);
    ampCoef[g] = gather<kLanes>(lanes[g], &Voice::ampCoef);
    ampFactor[g] = gather<kLanes>(lanes[g], &Voice::ampFactor);
  }

  // Each voice's value at each sample; the groups are interleaved per sample so
  // their dependency chains overlap instead of running one after the other.
  alignas(64) double contribution[kNumVoices][kMaxCount];
  const Vec zero = {};
  for (int i = 0; i < count; ++i) {
    const double vibratoOffset = vibrato[i];
    for (int g = 0; g < numGroups; ++g) {
      // A voice whose target has fallen to the threshold is no longer rendered.
      const Mask sounds = ampTarget[g] > kSilenceThreshold;
      const Vec newModLevel = (modTarget[g] - modLevel[g]) * modCoef[g] + modLevel[g];
      const Vec newAmpLevel = (ampTarget[g] - ampLevel[g]) * ampCoef[g] + ampLevel[g];
      const Vec newAmpTarget = ampTarget[g] * ampFactor[g];
      const Vec m = y1[g] * modOscCoef[g] - y2[g];
      const Vec w = wrapLanes<kLanes>(((increment[g] + phase[g]) + newModLevel * m) + vibratoOffset);

      // p(w) = a w^5 - (1 + a) w^3 + w, plus the modulator of the previous sample.
      const Vec value = ((((w * a) * w - 1.0 - a) * (w * w * w) + w) + b * y1[g]) * newAmpLevel;

      Vec added;
      // Stand-ins may take the plain path too: whatever they compute, they add zero.
      if (__builtin_expect(allLanes<kLanes>(sounds | isStandIn[g]), 1)) {
        modLevel[g] = newModLevel;
        ampLevel[g] = newAmpLevel;
        ampTarget[g] = newAmpTarget;
        y2[g] = y1[g];
        y1[g] = m;
        phase[g] = w;
        added = value;
      } else {  // some lanes are silent: they keep their state and add +0.0
        modLevel[g] = sounds ? newModLevel : modLevel[g];
        ampLevel[g] = sounds ? newAmpLevel : ampLevel[g];
        ampTarget[g] = sounds ? newAmpTarget : ampTarget[g];
        y2[g] = sounds ? y1[g] : y2[g];
        y1[g] = sounds ? m : y1[g];
        phase[g] = sounds ? w : phase[g];
        added = sounds ? value : zero;
      }
      for (int l = 0; l < kLanes; ++l) contribution[g * kLanes + l][i] = added[l];
    }
  }

  for (int g = 0; g < numGroups; ++g) {
    scatter<kLanes>(lanes[g], &Voice::ampTarget, ampTarget[g]);
    scatter<kLanes>(lanes[g], &Voice::modOscY1, y1[g]);
    scatter<kLanes>(lanes[g], &Voice::modOscY2, y2[g]);
    scatter<kLanes>(lanes[g], &Voice::modLevel, modLevel[g]);
    scatter<kLanes>(lanes[g], &Voice::phase, phase[g]);
    scatter<kLanes>(lanes[g], &Voice::ampLevel, ampLevel[g]);
  }

  // The sum in voice order, kLanes samples at a time.
  const int rows = numGroups * kLanes;
  int i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    Vec sum;
    __builtin_memcpy(&sum, out + i, sizeof sum);
    for (int v = 0; v < rows; ++v) {
      Vec term;
      __builtin_memcpy(&term, &contribution[v][i], sizeof term);
      sum = sum + term;
    }
    __builtin_memcpy(out + i, &sum, sizeof sum);
  }
  for (; i < count; ++i) {
    double sum = out[i];
    for (int v = 0; v < rows; ++v) sum = sum + contribution[v][i];
    out[i] = sum;
  }
}

// Windows keeps to 16-byte vectors: GCC there does not realign the stack for 32-byte spills.
#if defined(_WIN32)
constexpr int kBaselineLanes = 2;
#else
constexpr int kBaselineLanes = 4;
#endif

void renderVoicesBaseline(Voice* voices, int numVoices, const double* vibrato, int count, double a, double b,
                          double* out) {
  renderGroups<kBaselineLanes>(voices, numVoices, vibrato, count, a, b, out);
}

#if defined(__x86_64__) && !defined(_WIN32)
#define ZYNKA_HAVE_WIDE_KERNELS 1
__attribute__((target("avx2"))) void renderVoicesAvx2(Voice* voices, int numVoices, const double* vibrato,
                                                      int count, double a, double b, double* out) {
  renderGroups<4>(voices, numVoices, vibrato, count, a, b, out);
}

__attribute__((target("avx512f"))) void renderVoicesAvx512(Voice* voices, int numVoices, const double* vibrato,
                                                           int count, double a, double b, double* out) {
  renderGroups<8>(voices, numVoices, vibrato, count, a, b, out);
}

// Chosen once when the library loads, so the audio thread never waits on an initialisation guard.
using Kernel = void (*)(Voice*, int, const double*, int, double, double, double*);
const Kernel kKernel = [] {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) return static_cast<Kernel>(renderVoicesAvx512);
  if (__builtin_cpu_supports("avx2")) return static_cast<Kernel>(renderVoicesAvx2);
  return static_cast<Kernel>(renderVoicesBaseline);
}();
#endif

}  // namespace

bool renderVoicesWithLanes(int lanes, Voice* voices, int numVoices, const double* vibrato, int count, double a,
                           double b, double* out) {
  if (count > kMaxCount) return false;
  if (lanes == kBaselineLanes) {
    renderVoicesBaseline(voices, numVoices, vibrato, count, a, b, out);
    return true;
  }
  if (lanes == 2) {  // the Windows width, kept here so it is tested everywhere
    renderGroups<2>(voices, numVoices, vibrato, count, a, b, out);
    return true;
  }
#ifdef ZYNKA_HAVE_WIDE_KERNELS
  __builtin_cpu_init();
  if (lanes == 4 && __builtin_cpu_supports("avx2")) {
    renderVoicesAvx2(voices, numVoices, vibrato, count, a, b, out);
    return true;
  }
  if (lanes == 8 && __builtin_cpu_supports("avx512f")) {
    renderVoicesAvx512(voices, numVoices, vibrato, count, a, b, out);
    return true;
  }
#endif
  return false;
}

void renderVoices(Voice* voices, int numVoices, const double* vibrato, int count, double a, double b, double* out) {
  if (count > kMaxCount) {  // callers stay within kMaxCount; split rather than overrun
    renderVoices(voices, numVoices, vibrato, kMaxCount, a, b, out);
    renderVoices(voices, numVoices, vibrato + kMaxCount, count - kMaxCount, a, b, out + kMaxCount);
    return;
  }
#ifdef ZYNKA_HAVE_WIDE_KERNELS
  kKernel(voices, numVoices, vibrato, count, a, b, out);
#else
  renderVoicesBaseline(voices, numVoices, vibrato, count, a, b, out);
#endif
}

}  // namespace zynka
