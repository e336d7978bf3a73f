// Rendering speed of the plug-in library as a host drives it: zynka.so natively or
// zynka.dll under Wine, loaded through its entry, 1, 8 or 32 held notes of
// "Chiff Organ" (no decay, vibrato on) at 44.1 kHz, blocks of 512 through the
// AEffect's processReplacing. Reported as a real-time factor ("realtime" =
// seconds of audio per second), as render_bench does for the engine itself.
//
//   host_bench PLUGIN [benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/hostkit/hostkit.h"

namespace {

std::string pluginPath;

void renderThroughTheRecord(benchmark::State& state) {
  const int voices = static_cast<int>(state.range(0));
  const int block = static_cast<int>(state.range(1));
  std::string error;
  auto library = hostkit::PluginLibrary::load(pluginPath, error);
  if (!library) {
    state.SkipWithError(error.c_str());
    return;
  }
  hostkit::Host host;
  host.recordCalls = false;
  host.blockSize = block;
  AEffect* effect = host.instantiate(*library, error);
  if (!effect) {
    state.SkipWithError(error.c_str());
    return;
  }
  host.start(effect);
  host.dispatch(effect, effSetProgram, 0, 8);

  std::vector<VstMidiEvent> notes(voices);
  std::vector<unsigned char> storage(sizeof(VstEvents) + voices * sizeof(VstEvent*));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = voices;
  for (int v = 0; v < voices; ++v) {
    notes[v] = VstMidiEvent{};
    notes[v].type = kVstMidiType;
    notes[v].byteSize = sizeof(VstMidiEvent);
    notes[v].midiData[0] = static_cast<char>(0x90);
    notes[v].midiData[1] = static_cast<char>(36 + (v * 7) % 60);
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
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * block / 44100.0, benchmark::Counter::kIsRate);
  host.close(effect);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: host_bench PLUGIN [benchmark options]\n");
    return 2;
  }
  pluginPath = argv[1];
  auto* b = benchmark::RegisterBenchmark("host_render_float/voices_block", renderThroughTheRecord);
  for (int voices : {1, 8, 32}) b->Args({voices, 512});
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
