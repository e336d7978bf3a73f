// The derived synthesis quantities and the engine's silent initial state.
#include <cfloat>
#include <cmath>

#include "engine/formulas.h"
#include "engine/plugin.h"
#include "engine/sanitize.h"

namespace zynka {

void Plugin::updateCoefficients() {
  // Every formula takes the stored value as written, 1.5 as well as 0.5; see
  // storedNumber and bounded for the few values on which it would not give a number.
  const ProgramRecord& program = current();
  auto v = [&program](int index) { return static_cast<double>(storedNumber(program.parameter(index))); };
  const double T = 1.0 / static_cast<double>(usableSampleRate(sampleRate));
  Coefficients& c = engine.coef;

  // Octave above about 148 would overflow the power of two.
  c.basePitch = bounded(std::pow(2.0, std::floor(v(kOctave) * 6.9) - 2.0) * (T * kMidiNote0Hz));
  c.coarseRatio = coarseRatioOf(v(kCoarse));
  c.fineRatio = fineRatioOf(v(kFine));
  c.modFrequencyFactor = (c.fineRatio + c.coarseRatio) * 1.570796326795;
  c.modInitLevel = v(kModInit) * 0.0002 * v(kModInit);
  c.modSustainLevel = v(kModSus) * 0.0002 * v(kModSus);
  c.velocitySensitivity = v(kVelocity);
  c.vibratoDepth = v(kVibAmt) * 0.001 * v(kVibAmt);
  c.ampAttackCoef = 1.0 - std::exp(-(std::exp(8.0 - v(kAmpAtt) * 8.0) * T));
  c.ampDecayFactor = v(kAmpDec) > 0.98 ? 1.0 : std::exp(-(std::exp(5.0 - v(kAmpDec) * 8.0) * T));
  c.ampReleaseFactor = std::exp(-(std::exp(5.0 - v(kAmpRel) * 5.0) * T));
  c.modDecayCoef = 1.0 - std::exp(-(std::exp(6.0 - v(kModDec) * 7.0) * T));
  c.modReleaseCoef = 1.0 - std::exp(-(std::exp(5.0 - v(kModRel) * 8.0) * T));
  c.waveShape = 0.5 - v(kWave) * 3.0 * v(kWave);
  c.thruLevel = v(kThru) * 0.25 * v(kThru);
  const double rate = T * 628.3 * 25.0 * v(kVibRate) * v(kVibRate);
  c.vibratoRate = rate < kUnstableVibratoRate ? rate : kMaxVibratoRate;
  // The square is a float, as the host's value is; beyond about 1.8e19 it would be infinite.
  const float volume = storedNumber(program.parameter(kVolume));
  const float gain = volume * volume;
  c.outputGain = static_cast<double>(gain <= FLT_MAX ? gain : FLT_MAX);
}

void Plugin::resetEngine() {
  engine.eventQueue[0] = kEventQueueEnd;
  engine.lfoSine = 1.0;
  engine.pitchBendFactor = 1.0;
  engine.channelVolume = kDefaultChannelVolume;
  engine.sustainPedal = 0;
  engine.activeVoices = 0;
  engine.lfoCountdown = 0;
  engine.coef = Coefficients{};
  engine.lfoCosine = 0;
  engine.wheelDepth = 0;
  engine.vibratoOffset = 0;
  for (Voice& voice : engine.voices) voice = Voice{};
}

}  // namespace zynka
