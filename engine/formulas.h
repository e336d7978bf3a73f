// The modulator ratio's two parts, which the coefficients use and the display shows.
#pragma once

#include <cmath>

namespace zynka {

/// The integer part of the modulator ratio (0 to 40 for Coarse in 0..1).
inline double coarseRatioOf(double coarse) { return std::floor(coarse * 40.1 * coarse); }

/// The fractional part: grows with the square of Fine below 0.5, then musical steps.
/// The steps are told apart in double precision, so no value makes the truncation undefined.
inline double fineRatioOf(double fine) {
  if (fine < 0.5) return fine * 0.2 * fine;
  const double k = std::trunc(fine * 8.9);
  if (k == 4.0) return 0.25;
  if (k == 5.0) return 0.33333333;
  if (k == 6.0) return 0.5;
  if (k == 7.0) return 0.66666667;
  return 0.75;
}

}  // namespace zynka
