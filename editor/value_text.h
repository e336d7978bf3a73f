// The value boxes' texts under their editor names. Each is the host's display text
// of its parameters, so a box and the host always agree; the parameter table says
// which parameter shows which.
#pragma once

#include "engine/parameters.h"

namespace zynka {

/// "6.25 Hz": Vib Rate.
inline constexpr DisplayFunction formatRate = display::vibratoRate;
/// "65.0": Vib Amt, the envelopes, Velocity, Wave, Thru and Volume.
inline constexpr DisplayFunction formatPercent = display::percent;
/// "28": Coarse.
inline constexpr DisplayFunction formatCoarse = display::coarseRatio;
/// "0.250": Fine.
inline constexpr DisplayFunction formatFine = display::fineRatio;
/// "+1 oct": Octave.
inline constexpr DisplayFunction formatOctave = display::octave;
/// "+1.4 ct": Tuning.
inline constexpr DisplayFunction formatCents = display::cents;

}  // namespace zynka
