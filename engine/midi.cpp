// MIDI intake: note events are queued with their sample offsets for the render
// loop; controllers, pitch bend and program changes act at once.
#include <algorithm>
#include <cmath>

#include "engine/plugin.h"
#include "engine/sanitize.h"

namespace zynka {

VstInt32 Plugin::processEvents(VstEvents* events) {
  int* queue = engine.eventQueue;
  int position = 0;  // every list replaces what an earlier one queued
  const int count = events ? events->numEvents : 0;

  for (int e = 0; e < count; ++e) {
    const VstEvent* event = events->events[e];
    if (!event || event->type != kVstMidiType) continue;
    const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
    const int offset = midi->deltaFrames;
    const int status = static_cast<unsigned char>(midi->midiData[0]) & 0xF0;
    // Data bytes read as signed 8-bit numbers, as a sender may set the top bit.
    const int data1 = static_cast<signed char>(midi->midiData[1]);
    const int data2 = static_cast<signed char>(midi->midiData[2]);

    switch (status) {
      case 0x80:  // note off
        queue[position++] = offset;
        queue[position++] = data1 & 0x7F;
        queue[position++] = 0;
        break;
      case 0x90:  // note on; velocity 0 releases
        queue[position++] = offset;
        queue[position++] = data1 & 0x7F;
        queue[position++] = data2 & 0x7F;
        break;
      case 0xB0:  // control change
        if (data1 == 1) {
          engine.wheelDepth = static_cast<double>(static_cast<float>(data2 * data2)) * 5e-8;
        } else if (data1 == 7) {
          engine.channelVolume = static_cast<double>(static_cast<float>(data2 * data2)) * 3.5e-7;
        } else if (data1 == 64) {
          engine.sustainPedal = data2 & 0x40;
          if (engine.sustainPedal == 0) {
            queue[position++] = offset;
            queue[position++] = kSustainNote;
            queue[position++] = 0;
          }
        } else if (data1 > 122) {  // all sound off, reset controllers, all notes off, mono, poly
          for (Voice& voice : engine.voices) voice.ampFactor = 0.99;
          engine.sustainPedal = 0;
        }
        break;
      case 0xC0:  // program change
        if (data1 < kNumPrograms) setProgram(data1);
        break;
      case 0xE0: {  // pitch bend, two semitones either way
        const double x = static_cast<double>((data2 - 64) * 128 + data1);
        engine.pitchBendFactor = x > 0 ? 1.0 + x * 1.4951e-5 : 1.0 + x * 1.3318e-5;
        break;
      }
      default:
        break;
    }
    // A 41st triplet lands past the limit and is taken back at once.
    if (position > kEventQueueLimit) position -= 3;
  }
  queue[position] = kEventQueueEnd;
  return 1;
}

void Plugin::noteOnOff(int note, int velocity) {
  if (velocity <= 0) {
    for (Voice& voice : engine.voices) {
      if (voice.note != note) continue;
      if (engine.sustainPedal != 0) {
        voice.note = kSustainNote;  // the pedal-release triplet releases it later
        continue;
      }
      voice.ampCoef = 1.0;
      voice.modTarget = 0;
      voice.ampFactor = engine.coef.ampReleaseFactor;
      voice.ampTarget = voice.ampLevel;
      voice.modCoef = engine.coef.modReleaseCoef;
    }
    return;
  }

  // Only the render loop calls this with queued MIDI values; anything else is brought into range.
  note = std::clamp(note, 0, 127);
  velocity = std::min(velocity, 127);

  // The lowest-numbered idle voice, else the quietest one (lower number on a tie).
  int chosen = 0;
  double minimum = 1.0;
  for (int i = 0; i < kNumVoices; ++i) {
    if (engine.voices[i].ampTarget < minimum) {
      minimum = engine.voices[i].ampTarget;
      chosen = i;
    }
  }
  Voice& voice = engine.voices[chosen];
  engine.voiceStarts[chosen] = ++engine.notesStarted;
  const Coefficients& c = engine.coef;
  const double tuning = storedNumber(current().parameter(kTuning));
  const double wave = storedNumber(current().parameter(kWave));

  // A huge Tuning or Octave overflows the pitch and the steps; each product is held
  // finite, so none can meet a zero as infinity and give NaN.
  const double pitch = bounded(std::exp((tuning + note + tuning - 1.0) * kSemitone));
  voice.note = note;
  voice.phase = 0;
  voice.phaseIncrement = bounded(bounded(engine.pitchBendFactor * c.basePitch) * pitch);

  const double scale = std::min(pitch, 50.0) * ((velocity - 64) * c.velocitySensitivity + 64.0);
  voice.modLevel = scale * c.modInitLevel;
  voice.modTarget = scale * c.modSustainLevel;
  voice.modCoef = c.modDecayCoef;

  const double theta = bounded(c.modFrequencyFactor * voice.phaseIncrement);
  voice.modOscY1 = 0;
  voice.modOscY2 = std::sin(theta);
  voice.modOscCoef = std::cos(theta) * 2.0;

  voice.ampTarget = (1.5 - wave) * engine.channelVolume * (velocity + 10);
  voice.ampLevel = 0;
  voice.ampCoef = c.ampAttackCoef;
  voice.ampFactor = c.ampDecayFactor;
}

}  // namespace zynka
