// Bringing stored values and host settings into the range the engine is built for.
#pragma once

#include <cmath>

namespace zynka {

/// A stored parameter value as the engine uses it: values in 0..1 unchanged,
/// others pulled to the nearer end, NaN taken as 0.
inline float unitValue(float value) {
  if (value >= 0.0f && value <= 1.0f) return value;
  return value > 1.0f ? 1.0f : 0.0f;
}

/// The host's sample rate as the engine uses it: anything not a usable rate
/// (NaN, infinite, below 1 Hz) falls back to 44100 Hz or the nearest bound.
inline float usableSampleRate(float rate) {
  if (std::isnan(rate) || std::isinf(rate)) return 44100.0f;
  if (rate < 1.0f) return 1.0f;
  return rate > 1.0e9f ? 1.0e9f : rate;
}

/// The fractional modulator ratio for Fine at 0.5 and above: musical steps.
/// Compared as a double, so no value can make the truncation undefined.
inline double fineRatioStep(double fine) {
  const double k = std::trunc(fine * 8.9);
  if (k == 4.0) return 0.25;
  if (k == 5.0) return 0.33333333;
  if (k == 6.0) return 0.5;
  if (k == 7.0) return 0.66666667;
  return 0.75;
}

}  // namespace zynka
