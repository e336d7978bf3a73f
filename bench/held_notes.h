// What the plug-in benchmarks play: held notes of "Chiff Organ" (program 9: no decay,
// vibrato on), so every voice sounds for as long as a benchmark runs, and the VST2 library
// driven through its AEffect as a host drives it, for the other formats to be timed against.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tools/hostkit/hostkit.h"

namespace bench {

constexpr int kChiffOrgan = 8;
constexpr double kRate = 44100.0;

/// The keys of `voices` held notes, spread over five octaves.
inline int heldKey(int voice) { return 36 + (voice * 7) % 60; }

/// The "realtime" counter: seconds of audio rendered per second.
inline void countRealtime(benchmark::State& state, int block) {
  state.counters["realtime"] = benchmark::Counter(static_cast<double>(state.iterations()) * block / kRate,
                                                  benchmark::Counter::kIsRate);
}

/// Times the VST2 library at `pluginPath` playing `voices` held notes, blocks of `block`
/// samples through processReplacing.
inline void timeVst2HeldNotes(benchmark::State& state, const std::string& pluginPath, int voices, int block) {
  std::string error;
  auto library = hostkit::PluginLibrary::load(pluginPath, error);
  hostkit::Host host;
  host.recordCalls = false;
  host.blockSize = block;
  AEffect* effect = library ? host.instantiate(*library, error) : nullptr;
  if (!effect) {
    state.SkipWithError(error.c_str());
    return;
  }
  host.start(effect);
  host.dispatch(effect, effSetProgram, 0, kChiffOrgan);
  std::vector<VstMidiEvent> notes(voices);
  std::vector<unsigned char> storage(sizeof(VstEvents) + voices * sizeof(VstEvent*));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = voices;
  for (int v = 0; v < voices; ++v) {
    notes[v] = VstMidiEvent{};
    notes[v].type = kVstMidiType;
    notes[v].byteSize = sizeof(VstMidiEvent);
    notes[v].midiData[0] = static_cast<char>(0x90);
    notes[v].midiData[1] = static_cast<char>(heldKey(v));
    notes[v].midiData[2] = 100;
    list->events[v] = reinterpret_cast<VstEvent*>(&notes[v]);
  }
  host.dispatch(effect, effProcessEvents, 0, 0, list);
  std::vector<float> left(block), right(block);
  float* outputs[2] = {left.data(), right.data()};
  effect->processReplacing(effect, nullptr, outputs, block);
  for (auto _ : state) {
    effect->processReplacing(effect, nullptr, outputs, block);
    benchmark::DoNotOptimize(left.data());
  }
  countRealtime(state, block);
  host.close(effect);
}

}  // namespace bench
