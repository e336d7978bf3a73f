// Where the engine's arithmetic would go wrong for some stored value or host
// setting, and what it does instead. Every other value is used as written.
#pragma once

#include <cfloat>
#include <cmath>

namespace zynka {

/// A stored parameter value as the engine computes with it: any number as it is.
/// A NaN reads as 0 and an infinity as the largest float of its sign: no formula
/// gives a number for them, and for every finite float each formula stays finite
/// or overflows only where bounded() holds it.
inline float storedNumber(float value) {
  if (std::isnan(value)) return 0.0f;
  if (std::isinf(value)) return value > 0.0f ? FLT_MAX : -FLT_MAX;
  return value;
}

/// A result that overflowed, held at the largest finite double of its sign, so that
/// no later product or sum of it can turn into NaN (infinity times 0, or minus infinity).
inline double bounded(double x) {
  if (x > DBL_MAX) return DBL_MAX;
  return x < -DBL_MAX ? -DBL_MAX : x;
}

/// The host's sample rate as the engine uses it: anything not a usable rate
/// (NaN, infinite, below 1 Hz) falls back to 44100 Hz or the nearest bound.
inline float usableSampleRate(float rate) {
  if (std::isnan(rate) || std::isinf(rate)) return 44100.0f;
  if (rate < 1.0f) return 1.0f;
  return rate > 1.0e9f ? 1.0e9f : rate;
}

}  // namespace zynka
