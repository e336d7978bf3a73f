// zynka.clap's process against the VST2 library of the same build, in the same run and
// measured the same way as host_bench: 32 held notes of "Chiff Organ" (no decay, vibrato on)
// at 44.1 kHz in blocks of 512, through the CLAP plug-in's process and through the AEffect's
// processReplacing; and the CLAP process with one parameter value every 64 samples against
// none: Vib Amt, which splits the block at each value, and Amp Rel, which splits nothing.
// Natively, or under Wine for zynka.dll and its .clap.
//
//   clap_bench VST2_PLUGIN CLAP_PLUGIN [benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/held_notes.h"
#include "tools/hostkit/claphost.h"

namespace {

constexpr int kVoices = 32;
constexpr int kBlock = 512;
using bench::kChiffOrgan;
constexpr std::uint32_t kVibAmt = 1, kAmpRel = 13;
constexpr float kChiffOrganAmpRel = 0.4f;

std::string vst2Path, clapPath;

void vst2Process(benchmark::State& state) { bench::timeVst2HeldNotes(state, vst2Path, kVoices, kBlock); }

/// parameterEvery: a value of `parameter` every that many samples (0: none).
void clapProcess(benchmark::State& state, int parameterEvery, std::uint32_t parameter = kVibAmt) {
  std::string error;
  auto library = claphost::Library::load(clapPath, error);
  claphost::Host host;
  auto instance = library ? claphost::Instance::create(*library, host, "com.tarnwick.zynka", error) : nullptr;
  if (!instance || !instance->start(bench::kRate, kBlock)) {
    state.SkipWithError(error.empty() ? "cannot start" : error.c_str());
    return;
  }
  claphost::InputEvents start, automation;
  start.add(claphost::midiEvent(0, 0xC0, kChiffOrgan, 0));
  for (int v = 0; v < kVoices; ++v) start.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, 0, static_cast<std::int16_t>(bench::heldKey(v)), 100 / 127.0, v));
  // At the program's own value: the coefficients are computed again, the sound stays. Vib Amt
  // is read while the voices render, so each value splits the block; Amp Rel only when a note
  // is released, so it splits nothing.
  for (int t = 0; parameterEvery > 0 && t < kBlock; t += parameterEvery)
    automation.add(claphost::paramValueEvent(static_cast<std::uint32_t>(t), parameter,
                                             parameter == kVibAmt ? 0.138f : kChiffOrganAmpRel));
  claphost::OutputEvents out;
  std::vector<float> left(kBlock), right(kBlock);
  instance->process(kBlock, start, out, left.data(), right.data());
  for (auto _ : state) {
    out.clear();
    instance->process(kBlock, automation, out, left.data(), right.data());
    benchmark::DoNotOptimize(left.data());
  }
  bench::countRealtime(state, kBlock);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: clap_bench VST2_PLUGIN CLAP_PLUGIN [benchmark options]\n");
    return 2;
  }
  vst2Path = argv[1];
  clapPath = argv[2];
  benchmark::RegisterBenchmark("process_32_voices/vst2", vst2Process);
  benchmark::RegisterBenchmark("process_32_voices/clap", [](benchmark::State& s) { clapProcess(s, 0); });
  benchmark::RegisterBenchmark("process_32_voices/clap_param_every_64",
                               [](benchmark::State& s) { clapProcess(s, 64); });
  benchmark::RegisterBenchmark("process_32_voices/clap_note_param_every_64",
                               [](benchmark::State& s) { clapProcess(s, 64, kAmpRel); });
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
