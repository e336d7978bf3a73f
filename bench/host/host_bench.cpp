// Rendering speed of the plug-in library as a host drives it: zynka.so natively or
// zynka.dll under Wine, loaded through its entry, 1, 8 or 32 held notes of
// "Chiff Organ" (no decay, vibrato on) at 44.1 kHz, blocks of 512 through the
// AEffect's processReplacing. Reported as a real-time factor ("realtime" =
// seconds of audio per second), as render_bench does for the engine itself.
//
//   host_bench PLUGIN [benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/held_notes.h"

namespace {

std::string pluginPath;

void renderThroughTheRecord(benchmark::State& state) {
  bench::timeVst2HeldNotes(state, pluginPath, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
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
