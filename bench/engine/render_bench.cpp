// Rendering speed: sounding voices at 44.1 kHz, block 512, float and double,
// reported as a real-time factor ("realtime" = seconds of audio per second).
// The voice loop picks its kernel by the number of sounding voices; the
// render_kernel cases force each kernel this processor has, the SSE2 one
// every x86-64 machine runs among them.
// Goals: 32 voices at least 800 times faster than real time with the widest
// kernel, 350 times with SSE2 only; 1 voice far cheaper than 8.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/plugin.h"
#include "engine/voice_kernel.h"

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == 1 ? 2400 : 0;
}

/// A plug-in with `voices` held notes of "Chiff Organ" (no decay, vibrato on).
std::unique_ptr<zynka::Plugin> holdingNotes(int voices) {
  auto plugin = std::make_unique<zynka::Plugin>(quietHost);
  plugin->setSampleRate(44100.0f);
  plugin->resume();
  plugin->setProgram(8);
  std::vector<VstMidiEvent> midi(voices);
  std::vector<unsigned char> storage(sizeof(VstEvents) + voices * sizeof(VstEvent*));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = voices;
  for (int v = 0; v < voices; ++v) {
    midi[v] = VstMidiEvent{};
    midi[v].type = kVstMidiType;
    midi[v].midiData[0] = static_cast<char>(0x90);
    midi[v].midiData[1] = static_cast<char>(36 + (v * 7) % 60);
    midi[v].midiData[2] = 100;
    list->events[v] = reinterpret_cast<VstEvent*>(&midi[v]);
  }
  plugin->processEvents(list);
  return plugin;
}

template <typename Sample>
void render(benchmark::State& state) {
  const int voices = static_cast<int>(state.range(0));
  const int block = static_cast<int>(state.range(1));
  auto plugin = holdingNotes(voices);
  std::vector<Sample> left(block), right(block);
  Sample* outputs[2] = {left.data(), right.data()};
  auto process = [&] {
    if constexpr (sizeof(Sample) == 4)
      plugin->processReplacing(nullptr, outputs, block);
    else
      plugin->processDoubleReplacing(nullptr, outputs, block);
  };
  process();
  if (plugin->getActiveVoiceCount() != voices) state.SkipWithError("voices did not all sound");
  for (auto _ : state) {
    process();
    benchmark::DoNotOptimize(left.data());
  }
  if (plugin->getActiveVoiceCount() != voices) state.SkipWithError("voices stopped sounding");
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * block / 44100.0, benchmark::Counter::kIsRate);
}

void voiceCounts(benchmark::internal::Benchmark* b) {
  for (int voices : {1, 8, 32}) b->Args({voices, 512});
}
void blockSizes(benchmark::internal::Benchmark* b) {
  for (int block = 4; block <= 4096; block *= 4) b->Args({32, block});
}

BENCHMARK(render<float>)->Apply(voiceCounts)->Name("render_float/voices_block");
BENCHMARK(render<double>)->Apply(voiceCounts)->Name("render_double/voices_block");
BENCHMARK(render<float>)->Apply(blockSizes)->Name("render_float_blocksize/voices_block");

/// A release tail into silence: catches slow-downs from tiny numbers as voices fade.
void releaseTail(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto plugin = holdingNotes(32);
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    plugin->processReplacing(nullptr, outputs, 512);
    VstMidiEvent allOff{};
    allOff.type = kVstMidiType;
    allOff.midiData[0] = static_cast<char>(0xB0);
    allOff.midiData[1] = 123;
    VstEvents list{1, 0, {reinterpret_cast<VstEvent*>(&allOff), nullptr}};
    plugin->processEvents(&list);
    state.ResumeTiming();
    for (int block = 0; block < 100; ++block) plugin->processReplacing(nullptr, outputs, 512);
    benchmark::DoNotOptimize(left.data());
  }
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 100 * 512 / 44100.0, benchmark::Counter::kIsRate);
}
BENCHMARK(releaseTail)->Unit(benchmark::kMicrosecond);

/// Float rendering with one kernel forced for the whole run.
void renderWithKernel(benchmark::State& state, int kernel) {
  zynka::setVoiceKernelOverride(kernel);
  render<float>(state);
  zynka::setVoiceKernelOverride(-1);
}

}  // namespace

int main(int argc, char** argv) {
  for (int kernel = 0; kernel < zynka::voiceKernelCount(); ++kernel) {
    if (!zynka::voiceKernelAvailable(kernel)) continue;
    std::string name = std::string("render_kernel/") + zynka::voiceKernelName(kernel) + "/voices_block";
    for (char& c : name)
      if (c == ' ') c = '_';
    auto* b = benchmark::RegisterBenchmark(name.c_str(), renderWithKernel, kernel);
    voiceCounts(b);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
