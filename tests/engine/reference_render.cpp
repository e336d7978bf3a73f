#include "reference_render.h"

#include <algorithm>
#include <cmath>

namespace zynka::test {

namespace {

void referenceNoteOnOff(EngineState& s, double tuning, double wave, int note, int velocity) {
  if (velocity <= 0) {
    for (Voice& v : s.voices) {
      if (v.note != note) continue;
      if (s.sustainPedal != 0) {
        v.note = 128;
      } else {
        v.ampCoef = 1.0;
        v.modTarget = 0;
        v.ampFactor = s.coef.ampReleaseFactor;
        v.ampTarget = v.ampLevel;
        v.modCoef = s.coef.modReleaseCoef;
      }
    }
    return;
  }
  int chosen = 0;
  double minimum = 1.0;
  for (int i = 0; i < 32; ++i)
    if (s.voices[i].ampTarget < minimum) {
      minimum = s.voices[i].ampTarget;
      chosen = i;
    }
  Voice& v = s.voices[chosen];
  const double P = std::exp((tuning + note + tuning - 1.0) * 0.05776226505);
  v.note = note;
  v.phase = 0;
  v.phaseIncrement = s.pitchBendFactor * s.coef.basePitch * P;
  const double S = std::min(P, 50.0) * ((velocity - 64) * s.coef.velocitySensitivity + 64.0);
  v.modLevel = S * s.coef.modInitLevel;
  v.modTarget = S * s.coef.modSustainLevel;
  v.modCoef = s.coef.modDecayCoef;
  const double theta = s.coef.modFrequencyFactor * v.phaseIncrement;
  v.modOscY1 = 0;
  v.modOscY2 = std::sin(theta);
  v.modOscCoef = std::cos(theta) * 2.0;
  v.ampTarget = (1.5 - wave) * s.channelVolume * (velocity + 10);
  v.ampLevel = 0;
  v.ampCoef = s.coef.ampAttackCoef;
  v.ampFactor = s.coef.ampDecayFactor;
}

}  // namespace

double referenceVoicesSample(Voice* voices, double vibratoOffset, double a, double b) {
  double sum = 0;
  for (int i = 0; i < 32; ++i) {
    Voice& v = voices[i];
    if (!(v.ampTarget > 0.0003)) continue;
    v.modLevel = (v.modTarget - v.modLevel) * v.modCoef + v.modLevel;
    v.ampLevel = (v.ampTarget - v.ampLevel) * v.ampCoef + v.ampLevel;
    v.ampTarget = v.ampTarget * v.ampFactor;
    const double m = v.modOscY1 * v.modOscCoef - v.modOscY2;
    v.modOscY2 = v.modOscY1;
    v.modOscY1 = m;
    double w = ((v.phaseIncrement + v.phase) + v.modLevel * m) + vibratoOffset;
    while (w > 1.0) w -= 2.0;
    while (w < -1.0) w += 2.0;
    v.phase = w;
    sum += ((((w * a) * w - 1.0 - a) * (w * w * w) + w) + b * v.modOscY2) * v.ampLevel;
  }
  return sum;
}

void referenceRenderBlock(EngineState& s, float tuning, float wave, std::vector<double>& out, int frames) {
  out.assign(std::max(frames, 0), 0.0);
  double vibratoOffset = s.vibratoOffset;
  int lfoCountdown = s.lfoCountdown;
  const double a = s.coef.waveShape;
  const double b = s.coef.thruLevel;

  if (!(s.activeVoices <= 0 && s.eventQueue[0] >= frames)) {
    auto renderSamples = [&](int from, int count) {
      for (int n = from; n < from + count; ++n) {
        if (--lfoCountdown < 0) {
          lfoCountdown = 100;
          s.lfoCosine = s.coef.vibratoRate * s.lfoSine + s.lfoCosine;
          s.lfoSine = s.lfoSine - s.lfoCosine * s.coef.vibratoRate;
          vibratoOffset = (s.coef.vibratoDepth + s.wheelDepth) * s.lfoSine;
        }
        out[n] = referenceVoicesSample(s.voices, vibratoOffset, a, b) * s.coef.outputGain;
      }
    };
    if (frames > 0) {
      int done = 0;
      for (int p = 0;; p += 3) {
        const int end = std::min(s.eventQueue[p], frames);
        if (end - done > 0) renderSamples(done, end - done);
        done = std::max(done, end);
        if (done >= frames) break;
        referenceNoteOnOff(s, tuning, wave, s.eventQueue[p + 1], s.eventQueue[p + 2]);
      }
    }
    s.activeVoices = 32;
    for (Voice& v : s.voices) {
      if (v.ampTarget < 0.0003) {
        v.ampLevel = 0;
        v.ampTarget = 0;
        --s.activeVoices;
      }
      if (v.modLevel < 0.0003) {
        v.modTarget = 0;
        v.modLevel = 0;
      }
    }
  }
  s.vibratoOffset = vibratoOffset;
  s.lfoCountdown = lfoCountdown;
  s.eventQueue[0] = 99999999;
}

}  // namespace zynka::test
