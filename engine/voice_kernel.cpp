// The voice loop, vectorised across voices. Each lane performs exactly the
// scalar operations in the same order (no fused multiply-add, no reassociation),
// and the lanes are added to the sum in voice order, so every result is the
// one a plain loop over voices would give, bit for bit.
//
// The sounding voices are dealt, in voice order, into groups of one vector's
// width. A pass renders a fixed number of groups over the whole chunk with their
// state in registers (as far as they go) and stores each sample's values as whole
// vectors; the sum over voices then runs on tiles of those values turned around, a
// vector of samples at a time. The two tests a sample would need are hoisted out of
// the loop: a voice's amplitude target only falls (its factor is at most 1), so if it
// is still above the threshold after the chunk it was above it at every sample;
// and that every phase stays within 3 of zero, where one step of the wrap each
// way is exact, is proven from the state before the chunk or, where it cannot
// be, gathered without a branch and looked at once. Where either fails, the
// pass is done again by the checked loop, sample by sample.
#include "engine/voice_kernel.h"

#include <atomic>
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

#define ZYNKA_INLINE inline __attribute__((always_inline))

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

// Unaligned loads and stores: nothing here relies on the stack's alignment.
template <typename Vec>
ZYNKA_INLINE Vec load(const double* p) {
  Vec v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
template <typename Vec>
ZYNKA_INLINE void store(double* p, Vec v) {
  __builtin_memcpy(p, &v, sizeof v);
}

template <int kLanes, typename Mask = typename Simd<kLanes>::Mask>
ZYNKA_INLINE bool allLanes(Mask m) {
  long long bits = -1;
  for (int l = 0; l < kLanes; ++l) bits &= m[l];
  return bits != 0;
}

template <int kLanes, typename Vec = typename Simd<kLanes>::Vec>
ZYNKA_INLINE Vec gather(Voice* const* lane, double Voice::*field) {
  Vec v;
  for (int l = 0; l < kLanes; ++l) v[l] = lane[l]->*field;
  return v;
}

template <int kLanes, typename Vec = typename Simd<kLanes>::Vec>
ZYNKA_INLINE void scatter(Voice* const* lane, double Voice::*field, Vec v) {
  for (int l = 0; l < kLanes; ++l) lane[l]->*field = v[l];
}

/// One group's state: six values that change every sample, six that hold for the chunk.
template <int kLanes>
struct Group {
  using Vec = typename Simd<kLanes>::Vec;
  Vec ampTarget, y1, y2, modLevel, phase, ampLevel;
  Vec modOscCoef, modTarget, modCoef, increment, ampCoef, ampFactor;

  ZYNKA_INLINE void load(Voice* const* lane) {
    ampTarget = gather<kLanes>(lane, &Voice::ampTarget);
    y1 = gather<kLanes>(lane, &Voice::modOscY1);
    y2 = gather<kLanes>(lane, &Voice::modOscY2);
    modLevel = gather<kLanes>(lane, &Voice::modLevel);
    phase = gather<kLanes>(lane, &Voice::phase);
    ampLevel = gather<kLanes>(lane, &Voice::ampLevel);
    modOscCoef = gather<kLanes>(lane, &Voice::modOscCoef);
    modTarget = gather<kLanes>(lane, &Voice::modTarget);
    modCoef = gather<kLanes>(lane, &Voice::modCoef);
    increment = gather<kLanes>(lane, &Voice::phaseIncrement);
    ampCoef = gather<kLanes>(lane, &Voice::ampCoef);
    ampFactor = gather<kLanes>(lane, &Voice::ampFactor);
  }
  ZYNKA_INLINE void save(Voice* const* lane) const {
    scatter<kLanes>(lane, &Voice::ampTarget, ampTarget);
    scatter<kLanes>(lane, &Voice::modOscY1, y1);
    scatter<kLanes>(lane, &Voice::modOscY2, y2);
    scatter<kLanes>(lane, &Voice::modLevel, modLevel);
    scatter<kLanes>(lane, &Voice::phase, phase);
    scatter<kLanes>(lane, &Voice::ampLevel, ampLevel);
  }
};

/// The voices of one kernel call: the sounding ones in voice order, padded to whole
/// groups with silent stand-ins. A stand-in's level stays 0, so it adds a zero,
/// which changes no sum (the sum is never -0).
template <int kLanes>
struct Lanes {
  using Mask = typename Simd<kLanes>::Mask;
  Voice standIn[kLanes];
  Voice* voice[kNumVoices + kLanes];
  Mask isStandIn[kNumVoices / kLanes + 1];
  int groups;

  ZYNKA_INLINE Lanes(Voice* voices, const int* sounding, int numSounding) {
    groups = (numSounding + kLanes - 1) / kLanes;
    for (int k = 0; k < groups * kLanes; ++k) {
      const bool real = k < numSounding;
      voice[k] = real ? &voices[sounding[k]] : &standIn[k - numSounding];
      isStandIn[k / kLanes][k % kLanes] = real ? 0 : -1;
    }
  }
};

// Lane by lane; always inlined like every helper here (a lambda would not be, and its
// call would not follow the kernel's instruction set in an unoptimised build).
template <typename Vec>
ZYNKA_INLINE Vec magnitude(Vec x) {
  return x < 0.0 ? -x : x;
}
template <typename Vec>
ZYNKA_INLINE Vec larger(Vec x, Vec y) {
  return x > y ? x : y;
}

/// Lanes whose phase provably stays within 3 of zero for the whole chunk, before it
/// is wrapped: |w| is at most |increment| + |phase| + |modLevel m| + |vibrato|, the
/// phase is in -1..1 after the first sample, modLevel moves toward modTarget without
/// passing it (its coefficient is in 0..1), and the modulator's recurrence keeps
/// y1^2 - c y1 y2 + y2^2 (c = modOscCoef), so |m|^2 is at most that over 1 - c^2 / 4.
/// Compared squared, with room for rounding far beyond what 128 samples can gather
/// (so not for a modulator too close to standing still, where 1 - c^2 / 4 is tiny).
template <int kLanes, typename Mask = typename Simd<kLanes>::Mask>
ZYNKA_INLINE Mask provenWithin3(const Group<kLanes>& v, double maxVibrato) {
  using Vec = typename Simd<kLanes>::Vec;
  // A NaN or infinity anywhere makes the proof fail (the second argument of larger keeps a NaN).
  const Vec room = 2.9 - ((magnitude(v.increment) + larger(Vec{} + 1.0, magnitude(v.phase))) + maxVibrato);
  const Vec modLevel = larger(magnitude(v.modLevel), magnitude(v.modTarget));
  const Vec halfCoef = v.modOscCoef * 0.5;
  const Vec still = (1.0 - halfCoef * halfCoef) - 1e-15;
  const Vec cross = v.modOscCoef * v.y1 * v.y2;
  const Vec kept = (v.y1 * v.y1 - cross) + v.y2 * v.y2 + 1e-15 * ((v.y1 * v.y1 + magnitude(cross)) + v.y2 * v.y2);
  const Mask settled = (v.modCoef >= 0.0) & (v.modCoef <= 1.0) & (room >= 0.0) & (v.modLevel == v.modLevel) &
                       (v.modTarget == v.modTarget);
  const Mask bounded = (still >= 1e-6) & ((modLevel * modLevel) * kept * 1.001 <= (room * room) * still);
  const Mask silentModulator = (v.y1 == 0.0) & (v.y2 == 0.0) & (modLevel <= 1e300);
  return settled & (bounded | silentModulator);
}

/// The samples of a fast pass. With kCheckRange it also gathers whether every |w|
/// stayed at 3 or below (a NaN fails too) and returns that; without, the range is proven.
template <int kLanes, int kGroups, bool kBlend, bool kCheckRange>
ZYNKA_INLINE bool fastSamples(Group<kLanes>* s, const double* vibrato, int count, double a, double b, double* values,
                              int stride) {
  using Vec = typename Simd<kLanes>::Vec;
  using Mask = typename Simd<kLanes>::Mask;
  const Mask absBits = Mask{} + 0x7fffffffffffffffLL;
  const Mask two = reinterpret_cast<Mask>(Vec{} + 2.0), minusTwo = reinterpret_cast<Mask>(Vec{} - 2.0);
  // One mask per group for 8-lane vectors, whose masks the compiler builds best one comparison at a time.
  constexpr int kRanges = kLanes == 8 ? kGroups : 1;
  Mask inRange[kRanges];
#pragma GCC unroll 8
  for (int r = 0; r < kRanges; ++r) inRange[r] = ~Mask{};
  for (int i = 0; i < count; ++i) {
    const double vibratoOffset = vibrato[i];
    double* row = values + i * stride;
#pragma GCC unroll 8
    for (int g = 0; g < kGroups; ++g) {
      Group<kLanes>& v = s[g];
      const Vec modLevel = (v.modTarget - v.modLevel) * v.modCoef + v.modLevel;
      const Vec ampLevel = (v.ampTarget - v.ampLevel) * v.ampCoef + v.ampLevel;
      v.ampTarget = v.ampTarget * v.ampFactor;
      const Vec m = v.y1 * v.modOscCoef - v.y2;
      Vec w = ((v.increment + v.phase) + modLevel * m) + vibratoOffset;
      if constexpr (kCheckRange) {
        Mask small = reinterpret_cast<Vec>(reinterpret_cast<Mask>(w) & absBits) <= 3.0;
        // Kept a plain mask: folded into the accumulation, the compiler would select lane by lane.
        __asm__("" : "+v"(small));
        inRange[kRanges == 1 ? 0 : g] &= small;
      }
      // Within 3 one step at most is taken each way, so the wrap is exact with one step:
      if constexpr (kBlend) {
        const Vec up = w < -1.0 ? w + 2.0 : w;
        w = w > 1.0 ? w - 2.0 : up;
      } else {  // w - 2 above 1, w - (-2), which is w + 2, below -1, w - (+0), which is w even for -0, between
        w = w - reinterpret_cast<Vec>(((w > 1.0) & two) | ((w < -1.0) & minusTwo));
      }
      // p(w) = a w^5 - (1 + a) w^3 + w, plus the modulator of the previous sample.
      const Vec value = ((((w * a) * w - 1.0 - a) * (w * w * w) + w) + b * v.y1) * ampLevel;
      v.modLevel = modLevel;
      v.ampLevel = ampLevel;
      v.y2 = v.y1;
      v.y1 = m;
      v.phase = w;
      store(row + g * kLanes, value);
    }
  }
  Mask all = ~Mask{};
#pragma GCC unroll 8
  for (int r = 0; r < kRanges; ++r) all &= inRange[r];
  return allLanes<kLanes>(all);
}

/// The fast pass: kGroups groups over the chunk, state in registers, no branch per
/// sample. False, with the voices untouched, when the hoisted tests fail. kBlend
/// wraps by two selections, one instruction each from AVX on; SSE2 needs three per
/// selection and subtracts a selected step instead.
template <int kLanes, int kGroups, bool kBlend>
ZYNKA_INLINE bool fastPass(Voice* const* lane, const typename Simd<kLanes>::Mask* isStandIn, const double* vibrato,
                           double maxVibrato, int count, double a, double b, double* values, int stride) {
  using Mask = typename Simd<kLanes>::Mask;
  Group<kLanes> s[kGroups];
  Mask usable = ~Mask{}, proven = ~Mask{};
#pragma GCC unroll 8
  for (int g = 0; g < kGroups; ++g) {
    s[g].load(lane + g * kLanes);
    usable &= (s[g].ampFactor >= 0.0) & (s[g].ampFactor <= 1.0);  // so the target only falls
    proven &= provenWithin3<kLanes>(s[g], maxVibrato);
  }
  if (!allLanes<kLanes>(usable)) return false;
  const bool inRange = allLanes<kLanes>(proven)
                           ? fastSamples<kLanes, kGroups, kBlend, false>(s, vibrato, count, a, b, values, stride)
                           : fastSamples<kLanes, kGroups, kBlend, true>(s, vibrato, count, a, b, values, stride);
  if (!inRange) return false;

  Mask sounded = ~Mask{};
#pragma GCC unroll 8
  for (int g = 0; g < kGroups; ++g) sounded &= (s[g].ampTarget > kSilenceThreshold) | isStandIn[g];
  if (!allLanes<kLanes>(sounded)) return false;
#pragma GCC unroll 8
  for (int g = 0; g < kGroups; ++g) s[g].save(lane + g * kLanes);
  return true;
}

/// Brings each lane's phase into -1..1 exactly as repeated steps of 2 would.
template <int kLanes, typename Vec = typename Simd<kLanes>::Vec>
ZYNKA_INLINE Vec wrapLanes(Vec w) {
  const Vec zero = {};
  const Vec magnitude = w < zero ? -w : w;
  if (__builtin_expect(allLanes<kLanes>(magnitude <= 3.0), 1)) {
    w = w > 1.0 ? w - 2.0 : w;
    return w < -1.0 ? w + 2.0 : w;
  }
  for (int l = 0; l < kLanes; ++l) w[l] = wrapPhase(w[l]);
  return w;
}

/// The checked pass, one group: tests every sample for voices falling silent and
/// phases beyond the plain wrap.
template <int kLanes>
ZYNKA_INLINE void checkedPass(Voice* const* lane, typename Simd<kLanes>::Mask isStandIn, const double* vibrato,
                              int count, double a, double b, double* values, int stride) {
  using Vec = typename Simd<kLanes>::Vec;
  using Mask = typename Simd<kLanes>::Mask;
  Group<kLanes> v;
  v.load(lane);
  const Vec zero = {};
  for (int i = 0; i < count; ++i) {
    // A voice whose target has fallen to the threshold is no longer rendered.
    const Mask sounds = v.ampTarget > kSilenceThreshold;
    const Vec modLevel = (v.modTarget - v.modLevel) * v.modCoef + v.modLevel;
    const Vec ampLevel = (v.ampTarget - v.ampLevel) * v.ampCoef + v.ampLevel;
    const Vec ampTarget = v.ampTarget * v.ampFactor;
    const Vec m = v.y1 * v.modOscCoef - v.y2;
    const Vec w = wrapLanes<kLanes>(((v.increment + v.phase) + modLevel * m) + vibrato[i]);
    const Vec value = ((((w * a) * w - 1.0 - a) * (w * w * w) + w) + b * v.y1) * ampLevel;
    Vec added;
    // Stand-ins may take the plain path too: whatever they compute, they add zero.
    if (allLanes<kLanes>(sounds | isStandIn)) {
      v.modLevel = modLevel;
      v.ampLevel = ampLevel;
      v.ampTarget = ampTarget;
      v.y2 = v.y1;
      v.y1 = m;
      v.phase = w;
      added = value;
    } else {  // some lanes are silent: they keep their state and add +0.0
      v.modLevel = sounds ? modLevel : v.modLevel;
      v.ampLevel = sounds ? ampLevel : v.ampLevel;
      v.ampTarget = sounds ? ampTarget : v.ampTarget;
      v.y2 = sounds ? v.y1 : v.y2;
      v.y1 = sounds ? m : v.y1;
      v.phase = sounds ? w : v.phase;
      added = sounds ? value : zero;
    }
    store(values + i * stride, added);
  }
  v.save(lane);
}

/// 8 x 8, 4 x 4 or 2 x 2 values turned around: row[k][j] becomes column[j][k].
template <int kLanes, typename Vec = typename Simd<kLanes>::Vec>
ZYNKA_INLINE void transpose(const Vec* r, Vec* t) {
  if constexpr (kLanes == 2) {
    t[0] = __builtin_shufflevector(r[0], r[1], 0, 2);
    t[1] = __builtin_shufflevector(r[0], r[1], 1, 3);
  } else if constexpr (kLanes == 4) {
    const Vec a = __builtin_shufflevector(r[0], r[1], 0, 4, 2, 6);
    const Vec b = __builtin_shufflevector(r[0], r[1], 1, 5, 3, 7);
    const Vec c = __builtin_shufflevector(r[2], r[3], 0, 4, 2, 6);
    const Vec d = __builtin_shufflevector(r[2], r[3], 1, 5, 3, 7);
    t[0] = __builtin_shufflevector(a, c, 0, 1, 4, 5);
    t[1] = __builtin_shufflevector(b, d, 0, 1, 4, 5);
    t[2] = __builtin_shufflevector(a, c, 2, 3, 6, 7);
    t[3] = __builtin_shufflevector(b, d, 2, 3, 6, 7);
  } else {
    Vec p[8], q[8];
    for (int k = 0; k < 8; k += 2) {
      p[k] = __builtin_shufflevector(r[k], r[k + 1], 0, 8, 2, 10, 4, 12, 6, 14);
      p[k + 1] = __builtin_shufflevector(r[k], r[k + 1], 1, 9, 3, 11, 5, 13, 7, 15);
    }
    for (int k = 0; k < 8; k += 4) {
      q[k] = __builtin_shufflevector(p[k], p[k + 2], 0, 1, 8, 9, 4, 5, 12, 13);
      q[k + 1] = __builtin_shufflevector(p[k + 1], p[k + 3], 0, 1, 8, 9, 4, 5, 12, 13);
      q[k + 2] = __builtin_shufflevector(p[k], p[k + 2], 2, 3, 10, 11, 6, 7, 14, 15);
      q[k + 3] = __builtin_shufflevector(p[k + 1], p[k + 3], 2, 3, 10, 11, 6, 7, 14, 15);
    }
    for (int j = 0; j < 4; ++j) {
      t[j] = __builtin_shufflevector(q[j], q[j + 4], 0, 1, 2, 3, 8, 9, 10, 11);
      t[j + 4] = __builtin_shufflevector(q[j], q[j + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
  }
}

/// Adds each sample's values (rows of `stride`, in voice order) to out, kLanes samples at a time.
template <int kLanes>
ZYNKA_INLINE void sumInVoiceOrder(const double* values, int stride, int count, double* out) {
  using Vec = typename Simd<kLanes>::Vec;
  int i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    Vec sum = load<Vec>(out + i);
    for (int v = 0; v < stride; v += kLanes) {
      Vec rows[kLanes], columns[kLanes];
      for (int k = 0; k < kLanes; ++k) rows[k] = load<Vec>(values + (i + k) * stride + v);
      transpose<kLanes>(rows, columns);
      for (int j = 0; j < kLanes; ++j) sum = sum + columns[j];
    }
    store(out + i, sum);
  }
  for (; i < count; ++i) {
    double sum = out[i];
    for (int v = 0; v < stride; ++v) sum = sum + values[i * stride + v];
    out[i] = sum;
  }
}

/// The largest |x[i]|, infinite if there is a NaN; four vectors at a time, without a branch.
template <int kLanes>
ZYNKA_INLINE double largestMagnitude(const double* x, int count) {
  using Vec = typename Simd<kLanes>::Vec;
  using Mask = typename Simd<kLanes>::Mask;
  Vec top[4] = {};
  Mask notNumber = {};
  int i = 0;
  for (; i + 4 * kLanes <= count; i += 4 * kLanes)
    for (int k = 0; k < 4; ++k) {
      const Vec m = magnitude(load<Vec>(x + i + k * kLanes));
      notNumber |= m != m;
      top[k] = larger(top[k], m);
    }
  double largest = 0;
  bool nan = false;
  for (; i < count; ++i) {
    const double m = x[i] < 0 ? -x[i] : x[i];
    nan |= m != m;
    largest = m > largest ? m : largest;
  }
  for (int k = 0; k < 4; ++k)
    for (int l = 0; l < kLanes; ++l) {
      nan |= notNumber[l] != 0;
      largest = top[k][l] > largest ? top[k][l] : largest;
    }
  return nan ? __builtin_inf() : largest;
}

/// Dispatches a pass of `groups` (1..kGroups) groups to the fast pass made for that many.
template <int kLanes, int kGroups, bool kBlend>
ZYNKA_INLINE bool fastPassOf(int groups, Voice* const* lane, const typename Simd<kLanes>::Mask* isStandIn,
                             const double* vibrato, double maxVibrato, int count, double a, double b, double* values,
                             int stride) {
  if constexpr (kGroups > 1) {
    if (groups < kGroups)
      return fastPassOf<kLanes, kGroups - 1, kBlend>(groups, lane, isStandIn, vibrato, maxVibrato, count, a, b, values,
                                                     stride);
  }
  return fastPass<kLanes, kGroups, kBlend>(lane, isStandIn, vibrato, maxVibrato, count, a, b, values, stride);
}

/// The whole call with one vector width, kGroups groups at most per pass.
template <int kLanes, int kGroups, bool kBlend>
ZYNKA_INLINE void renderGroups(Voice* voices, const int* sounding, int numSounding, const double* vibrato, int count,
                               double a, double b, double* out) {
  Lanes<kLanes> lanes(voices, sounding, numSounding);
  const int stride = lanes.groups * kLanes;
  // On a cache line, so that no vector stored or loaded here straddles two lines. The
  // compiler aligns it at run time where the stack itself is only 16-byte aligned (Windows);
  // left to the stack, it would sit across lines for half the hosts' call depths.
  alignas(64) double values[kMaxCount * kNumVoices];  // values[i * stride + v]: voice v at sample i
  const double maxVibrato = largestMagnitude<kLanes>(vibrato, count);
  for (int g = 0; g < lanes.groups; g += kGroups) {
    const int groups = lanes.groups - g < kGroups ? lanes.groups - g : kGroups;
    Voice* const* lane = lanes.voice + g * kLanes;
    double* column = values + g * kLanes;
    if (fastPassOf<kLanes, kGroups, kBlend>(groups, lane, lanes.isStandIn + g, vibrato, maxVibrato, count, a, b,
                                            column, stride))
      continue;
    for (int k = 0; k < groups; ++k)
      checkedPass<kLanes>(lane + k * kLanes, lanes.isStandIn[g + k], vibrato, count, a, b, column + k * kLanes,
                          stride);
  }
  sumInVoiceOrder<kLanes>(values, stride, count, out);
}

using Kernel = void (*)(Voice*, const int*, int, const double*, int, double, double, double*);

// Two groups per pass overlap their dependency chains (the phase's three additions
// and its wrap take longer than one group's arithmetic). With the 16 vector registers
// of SSE2 and AVX2 the compiler already keeps most of the chunk's coefficients, and a
// few changing values, in stack slots, and still one group per pass is about a fifth
// slower; three or four groups spill more and are slower too, on AVX-512 as well.
constexpr int kGroupsPerPass = 2;

void kernelSse2x2(Voice* voices, const int* sounding, int n, const double* vibrato, int count, double a, double b,
                  double* out) {
  renderGroups<2, kGroupsPerPass, false>(voices, sounding, n, vibrato, count, a, b, out);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) void kernelAvx2x2(Voice* voices, const int* sounding, int n, const double* vibrato,
                                                  int count, double a, double b, double* out) {
  renderGroups<2, kGroupsPerPass, true>(voices, sounding, n, vibrato, count, a, b, out);
}

__attribute__((target("avx2"))) void kernelAvx2x4(Voice* voices, const int* sounding, int n, const double* vibrato,
                                                  int count, double a, double b, double* out) {
  renderGroups<4, kGroupsPerPass, true>(voices, sounding, n, vibrato, count, a, b, out);
}

__attribute__((target("avx512f"))) void kernelAvx512x8(Voice* voices, const int* sounding, int n,
                                                       const double* vibrato, int count, double a, double b,
                                                       double* out) {
  renderGroups<8, kGroupsPerPass, true>(voices, sounding, n, vibrato, count, a, b, out);
}
#endif

struct KernelEntry {
  const char* name;
  int lanes;
  Kernel render;
};

enum KernelNumber { kSse2x2, kAvx2x2, kAvx2x4, kAvx512x8, kKernelCount };

const KernelEntry kKernels[] = {
    {"sse2 x2", 2, kernelSse2x2},
#if defined(__x86_64__)
    {"avx2 x2", 2, kernelAvx2x2},
    {"avx2 x4", 4, kernelAvx2x4},
    {"avx512 x8", 8, kernelAvx512x8},
#endif
};
constexpr int kBuiltKernels = sizeof kKernels / sizeof kKernels[0];

/// What the processor offers, and the kernel for each number of sounding voices:
/// the narrowest that holds them, else the widest. Settled when the library loads,
/// so the audio thread never waits on an initialisation guard.
struct Choice {
  bool available[kKernelCount] = {};
  int kernelFor[kNumVoices + 1] = {};
};

const Choice kChoice = [] {
  Choice c;
  c.available[kSse2x2] = true;
#if defined(__x86_64__)
  __builtin_cpu_init();
  // The library's checks include the operating system's support for the wider registers.
  c.available[kAvx2x2] = c.available[kAvx2x4] = __builtin_cpu_supports("avx2");
  c.available[kAvx512x8] = __builtin_cpu_supports("avx512f");
#endif
  for (int n = 0; n <= kNumVoices; ++n) {
    int chosen = kSse2x2;
    for (int k = 1; k < kBuiltKernels; ++k) {
      if (!c.available[k]) continue;
      const bool holds = n <= kKernels[k].lanes;
      const bool chosenHolds = n <= kKernels[chosen].lanes;
      // A kernel that holds the voices beats one that does not; among those that
      // hold them the narrowest, among those that do not the widest; on a tie the
      // later (newer instruction set).
      if (holds && (!chosenHolds || kKernels[k].lanes <= kKernels[chosen].lanes)) chosen = k;
      if (!holds && !chosenHolds && kKernels[k].lanes >= kKernels[chosen].lanes) chosen = k;
    }
    c.kernelFor[n] = chosen;
  }
  return c;
}();

std::atomic<int> kernelOverride{-1};

/// The sounding voices, in voice order; their number.
int findSounding(const Voice* voices, int numVoices, int* sounding) {
  int n = 0;
  for (int v = 0; v < numVoices && v < kNumVoices; ++v)
    if (voices[v].ampTarget > kSilenceThreshold) sounding[n++] = v;
  return n;
}

}  // namespace

int voiceKernelCount() { return kBuiltKernels; }
const char* voiceKernelName(int kernel) { return kernel >= 0 && kernel < kBuiltKernels ? kKernels[kernel].name : ""; }
int voiceKernelLanes(int kernel) { return kernel >= 0 && kernel < kBuiltKernels ? kKernels[kernel].lanes : 0; }
bool voiceKernelAvailable(int kernel) { return kernel >= 0 && kernel < kBuiltKernels && kChoice.available[kernel]; }
int voiceKernelFor(int numSounding) {
  return kChoice.kernelFor[numSounding < 0 ? 0 : numSounding > kNumVoices ? kNumVoices : numSounding];
}

void setVoiceKernelOverride(int kernel) {
  kernelOverride.store(voiceKernelAvailable(kernel) ? kernel : -1, std::memory_order_relaxed);
}

bool renderVoicesWithKernel(int kernel, Voice* voices, int numVoices, const double* vibrato, int count,
                            double waveShape, double thruLevel, double* out) {
  if (!voiceKernelAvailable(kernel)) return false;
  for (int done = 0; done < count; done += kMaxCount) {  // callers stay within kMaxCount; split rather than overrun
    int sounding[kNumVoices];
    const int n = findSounding(voices, numVoices, sounding);
    if (n == 0) break;
    const int part = count - done < kMaxCount ? count - done : kMaxCount;
    kKernels[kernel].render(voices, sounding, n, vibrato + done, part, waveShape, thruLevel, out + done);
  }
  return true;
}

void renderVoices(Voice* voices, int numVoices, const double* vibrato, int count, double waveShape, double thruLevel,
                  double* out) {
  int sounding[kNumVoices];
  const int n = findSounding(voices, numVoices, sounding);
  if (n == 0) return;
  const int forced = kernelOverride.load(std::memory_order_relaxed);
  const int kernel = forced >= 0 ? forced : kChoice.kernelFor[n];
  if (count <= kMaxCount) {
    kKernels[kernel].render(voices, sounding, n, vibrato, count, waveShape, thruLevel, out);
  } else {
    renderVoicesWithKernel(kernel, voices, numVoices, vibrato, count, waveShape, thruLevel, out);
  }
}

}  // namespace zynka
