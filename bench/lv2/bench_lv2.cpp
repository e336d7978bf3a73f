// zynka.lv2 as a host drives it, beside zynka.so in the same run:
// - lv2_run vs vst2_render: 32 held notes of "Chiff Organ" (no decay, vibrato on) at
//   44.1 kHz in blocks of 512, through the LV2 instance's run() and through zynka.so's
//   processReplacing (as host_bench does); "realtime" is seconds of audio per second.
// - lv2_ui_open_to_first_paint: the UI instantiated in a parent window (with instance-access,
//   as Ardour, Carla and jalv give it), one idle call, and a round trip to the X server, so
//   the first picture has been drawn. Needs DISPLAY (an Xvfb); skipped without one.
//
//   bench_lv2 [benchmark options]
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/midi/midi.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "engine/factory_presets.h"
#include "lv2/bundle.h"
#include "bench/held_notes.h"
#include "bench/x11_parent.h"

namespace {

constexpr int kProgram = bench::kChiffOrgan;
using bench::kRate;

std::map<std::string, LV2_URID> uris;
LV2_URID map(LV2_URID_Map_Handle, const char* uri) {
  return uris.try_emplace(uri, static_cast<LV2_URID>(uris.size() + 1)).first->second;
}
LV2_URID_Map uridMap{nullptr, map};
const LV2_Feature mapFeature{LV2_URID__map, &uridMap};

/// zynka_dsp.so's descriptor, as a host loads it.
const LV2_Descriptor* dspDescriptor() {
  static const LV2_Descriptor* descriptor = [] {
    const std::string path = std::string(ZYNKA_LV2_BUNDLE) + "/" + zynka::lv2::kDspBinary;
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto entry =
        library ? reinterpret_cast<const LV2_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2_descriptor")) : nullptr;
    return entry ? entry(0) : nullptr;
  }();
  return descriptor;
}

/// An LV2 instance with its ports on buffers of its own, on program kProgram's values.
struct Lv2Instance {
  explicit Lv2Instance(int block) : left(block), right(block), midi(1024) {
    const LV2_Descriptor* d = dspDescriptor();
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    handle = d ? d->instantiate(d, kRate, ZYNKA_LV2_BUNDLE, features) : nullptr;
    if (!handle) return;
    for (int i = 0; i < zynka::kNumParams; ++i) {
      controls[i] = zynka::kFactoryPresets[kProgram].values[i];
      d->connect_port(handle, i, &controls[i]);
    }
    d->connect_port(handle, zynka::lv2::kMidiInPort, midi.data());
    d->connect_port(handle, zynka::lv2::kLeftOutPort, left.data());
    d->connect_port(handle, zynka::lv2::kRightOutPort, right.data());
    d->connect_port(handle, zynka::lv2::kVoicesPort, &voices);
    d->activate(handle);
  }
  ~Lv2Instance() {
    if (!handle) return;
    dspDescriptor()->deactivate(handle);
    dspDescriptor()->cleanup(handle);
  }
  /// Makes the next block's MIDI these notes (none when empty).
  void setNotes(const std::vector<int>& notes) {
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midi.data());
    sequence->atom.type = map(nullptr, LV2_ATOM__Sequence);
    sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    for (int note : notes) {
      struct {
        LV2_Atom_Event event;
        unsigned char bytes[8];
      } event{};
      event.event.body.type = map(nullptr, LV2_MIDI__MidiEvent);
      event.event.body.size = 3;
      event.bytes[0] = 0x90;
      event.bytes[1] = static_cast<unsigned char>(note);
      event.bytes[2] = 100;
      lv2_atom_sequence_append_event(sequence, static_cast<uint32_t>(midi.size() * 8 - sizeof(LV2_Atom)), &event.event);
    }
  }
  LV2_Handle handle = nullptr;
  float controls[zynka::kNumParams];
  float voices = 0;
  std::vector<float> left, right;
  std::vector<std::uint64_t> midi;
};

std::vector<int> heldNotes(int voices) {
  std::vector<int> notes;
  for (int v = 0; v < voices; ++v) notes.push_back(bench::heldKey(v));
  return notes;
}

void lv2Run(benchmark::State& state) {
  const int voices = static_cast<int>(state.range(0));
  const int block = static_cast<int>(state.range(1));
  Lv2Instance instance(block);
  if (!instance.handle) {
    state.SkipWithError("zynka_dsp.so did not load");
    return;
  }
  const LV2_Descriptor* d = dspDescriptor();
  instance.setNotes(heldNotes(voices));
  d->run(instance.handle, static_cast<uint32_t>(block));
  instance.setNotes({});
  for (auto _ : state) {
    d->run(instance.handle, static_cast<uint32_t>(block));
    benchmark::DoNotOptimize(instance.left.data());
  }
  if (instance.voices != static_cast<float>(voices)) state.SkipWithError("the notes are not all sounding");
  bench::countRealtime(state, block);
}

void vst2Render(benchmark::State& state) {
  bench::timeVst2HeldNotes(state, ZYNKA_PLUGIN_PATH, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}

void lv2UiOpenToFirstPaint(benchmark::State& state) {
  bench::X11Parent parent;
  Lv2Instance dsp(512);
  const std::string path = std::string(ZYNKA_LV2_BUNDLE) + "/" + zynka::lv2::kUiBinary;
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  auto entry =
      library ? reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor")) : nullptr;
  const LV2UI_Descriptor* ui = entry ? entry(0) : nullptr;
  if (!parent.ok()) {
    state.SkipWithError("no X display (set DISPLAY, e.g. under Xvfb)");
    return;
  }
  if (!dsp.handle || !ui) {
    state.SkipWithError(("the bundle did not load: " + std::string(dlerror() ? dlerror() : "")).c_str());
    return;
  }
  const auto* idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
  const LV2_Feature parentFeature{LV2_UI__parent, parent.handle()};
  const LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI, dsp.handle};
  const LV2_Feature* features[] = {&parentFeature, &instanceFeature, &mapFeature, nullptr};
  auto write = [](LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {};
  for (auto _ : state) {
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle =
        ui->instantiate(ui, zynka::lv2::kPluginUri, ZYNKA_LV2_BUNDLE "/", write, nullptr, &widget, features);
    if (!handle) {
      state.SkipWithError("the UI did not open");
      break;
    }
    idle->idle(handle);  // the first pass paints the whole window
    parent.roundTrip();
    state.PauseTiming();
    ui->cleanup(handle);
    state.ResumeTiming();
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RegisterBenchmark("lv2_run/voices_block", lv2Run)->Args({32, 512});
  benchmark::RegisterBenchmark("vst2_render/voices_block", vst2Render)->Args({32, 512});
  // A fixed count: repetitions of a benchmark that pauses its timer then agree.
  benchmark::RegisterBenchmark("lv2_ui_open_to_first_paint", lv2UiOpenToFirstPaint)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(20);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
