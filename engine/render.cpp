// Rendering: blocks are cut into segments at the queued note events; within a
// segment every sounding voice is rendered sample by sample and summed in voice
// order, so the result does not depend on how the work is arranged.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "engine/plugin.h"
#include "engine/voice_kernel.h"

namespace zynka {

namespace {

/// Samples rendered per pass: the scratch buffers live on the stack.
constexpr int kChunk = 128;

/// Zero for values too small to be normal in the output format, so no host gets subnormals.
/// A sum beyond the float range (only extreme stored values reach one) is held at the
/// largest float: converting it would be undefined.
template <typename Sample>
inline Sample toOutput(double value) {
  if constexpr (std::is_same_v<Sample, float>) {
    value = value < -double{FLT_MAX} ? -double{FLT_MAX} : value;
    value = value > double{FLT_MAX} ? double{FLT_MAX} : value;
  }
  const Sample sample = static_cast<Sample>(value);
  return std::fabs(sample) < std::numeric_limits<Sample>::min() ? Sample(0) : sample;
}

}  // namespace

void Plugin::processReplacing(float** /*inputs*/, float** outputs, VstInt32 sampleFrames) {
  renderBlock(outputs, sampleFrames);
}

void Plugin::processDoubleReplacing(double** /*inputs*/, double** outputs, VstInt32 sampleFrames) {
  renderBlock(outputs, sampleFrames);
}

template <typename Sample>
void Plugin::renderBlock(Sample** outputs, VstInt32 sampleFrames) {
  Sample* left = outputs ? outputs[0] : nullptr;
  Sample* right = outputs ? outputs[1] : nullptr;
  int* queue = engine.eventQueue;
  const int frames = sampleFrames > 0 ? sampleFrames : 0;

  if (engine.activeVoices <= 0 && queue[0] >= sampleFrames) {
    // Nothing sounds and nothing starts in this block: silence, the vibrato rests.
    if (left) std::fill(left, left + frames, Sample(0));
    if (right) std::fill(right, right + frames, Sample(0));
    queue[0] = kEventQueueEnd;
    return;
  }

  // Wave and Thru are read once per block; Volume at every sample.
  const double waveShape = engine.coef.waveShape;
  const double thruLevel = engine.coef.thruLevel;
  double scratch[kChunk];
  auto render = [&](int start, int count) {
    while (count > 0) {
      const int n = std::min(count, kChunk);
      renderSegment(scratch, n, waveShape, thruLevel);
      const double gain = engine.coef.outputGain;
      Sample* const first = left ? left + start : right ? right + start : nullptr;
      if (first)
        for (int i = 0; i < n; ++i) first[i] = toOutput<Sample>(scratch[i] * gain);
      if (left && right) std::copy(first, first + n, right + start);
      start += n;
      count -= n;
    }
  };

  // Segments end at each queued offset; the note event acts from that sample on.
  // An offset below the samples already done acts at once, so a block never
  // produces more than sampleFrames samples.
  int done = 0;
  for (int p = 0; frames > 0; p += 3) {
    const bool last = p >= kEventQueueLimit || queue[p] == kEventQueueEnd;
    const int end = last ? frames : std::min(queue[p], frames);
    if (end > done) {
      render(done, end - done);
      done = end;
    }
    if (done >= frames || last) break;
    noteOnOff(queue[p + 1], queue[p + 2]);
  }

  // Retire voices that fell silent and count the rest.
  int active = kNumVoices;
  for (Voice& voice : engine.voices) {
    if (voice.ampTarget < kSilenceThreshold) {
      voice.ampLevel = 0;
      voice.ampTarget = 0;
      --active;
    }
    if (voice.modLevel < kSilenceThreshold) {
      voice.modTarget = 0;
      voice.modLevel = 0;
    }
  }
  engine.activeVoices = active;
  queue[0] = kEventQueueEnd;
}

template void Plugin::renderBlock<float>(float**, VstInt32);
template void Plugin::renderBlock<double>(double**, VstInt32);

void Plugin::renderSegment(double* out, int count, double waveShape, double thruLevel) {
  // The shared vibrato offset, one value per sample. It steps when the countdown
  // falls below 0, so a sample and the `countdown` after it share one offset.
  double vibrato[kChunk];
  const Coefficients& c = engine.coef;
  double offset = engine.vibratoOffset;
  int countdown = engine.lfoCountdown;
  for (int i = 0; i < count;) {
    if (--countdown < 0) {
      countdown = kVibratoInterval;
      engine.lfoCosine = c.vibratoRate * engine.lfoSine + engine.lfoCosine;
      engine.lfoSine = engine.lfoSine - engine.lfoCosine * c.vibratoRate;
      offset = (c.vibratoDepth + engine.wheelDepth) * engine.lfoSine;
    }
    const int run = std::min(count - i, countdown + 1);
    std::fill(vibrato + i, vibrato + i + run, offset);
    i += run;
    countdown -= run - 1;
  }
  engine.vibratoOffset = offset;
  engine.lfoCountdown = countdown;

  // The voices' sum; the caller applies the output gain.
  std::fill(out, out + count, 0.0);
  renderVoices(engine.voices, kNumVoices, vibrato, count, waveShape, thruLevel, out);
}

}  // namespace zynka
