// The X11 window under a real X server (run it with DISPLAY set, e.g. under Xvfb):
// opening a frame (the tests' scene: background, film-strip knob, slider, text edit
// and option menu) until its first paint has reached the server, and the idle pass
// with nothing to do (pending events taken, nothing dirty), which a host runs many
// times a second; then the same for zynka.so's editor, loaded and opened as a host
// does (effEditOpen until the first paint, effEditIdle with nothing to do).
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "host/aeffect.h"
#include "host/opcodes.h"

#include "bench/x11_parent.h"
#include "tests/x11/scene.h"
#include "toolkit/platform/platform.h"

using namespace VSTGUI;

namespace {

void BM_OpenToFirstPaint(benchmark::State& state) {
  bench::X11Parent parent;
  if (!parent.ok()) {
    state.SkipWithError("no X display (set DISPLAY, e.g. under Xvfb)");
    return;
  }
  for (auto _ : state) {
    x11_test::Scene scene = x11_test::buildScene(parent.handle(), nullptr, nullptr);
    scene.frame->idle();  // the first pass paints the whole window
    // A round trip on the frame's connection: the server has drawn what came before it.
    benchmark::DoNotOptimize(Platform::getMousePosition(scene.frame->getPlatformWindow()));
    state.PauseTiming();
    scene.frame->forget();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_IdleWithNothingToDo(benchmark::State& state) {
  bench::X11Parent parent;
  if (!parent.ok()) {
    state.SkipWithError("no X display (set DISPLAY, e.g. under Xvfb)");
    return;
  }
  x11_test::Scene scene = x11_test::buildScene(parent.handle(), nullptr, nullptr);
  for (int i = 0; i < 20; ++i) scene.frame->idle();
  for (auto _ : state) scene.frame->idle();
  scene.frame->forget();
}
BENCHMARK(BM_IdleWithNothingToDo)->Unit(benchmark::kMicrosecond);

/// zynka.so loaded as a host loads it.
struct LoadedPlugin {
  LoadedPlugin() {
    library = dlopen(ZYNKA_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    auto entry = library ? reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, "VSTPluginMain"))
                         : nullptr;
    effect = entry ? entry([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
      return opcode == audioMasterVersion ? 2400 : 0;
    })
                   : nullptr;
  }
  ~LoadedPlugin() {
    if (effect) dispatch(effClose);
  }
  VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr) { return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f); }
  void* library = nullptr;
  AEffect* effect = nullptr;
};

void BM_PluginEditOpenToFirstPaint(benchmark::State& state) {
  bench::X11Parent parent;
  LoadedPlugin plugin;
  if (!parent.ok() || !plugin.effect) {
    state.SkipWithError("no X display or no zynka.so");
    return;
  }
  for (auto _ : state) {
    if (plugin.dispatch(effEditOpen, parent.handle()) != 1) state.SkipWithError("effEditOpen failed");
    plugin.dispatch(effEditIdle);  // the first pass paints the whole window
    parent.roundTrip();
    state.PauseTiming();
    plugin.dispatch(effEditClose);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PluginEditOpenToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_PluginEditIdleWithNothingToDo(benchmark::State& state) {
  bench::X11Parent parent;
  LoadedPlugin plugin;
  if (!parent.ok() || !plugin.effect || plugin.dispatch(effEditOpen, parent.handle()) != 1) {
    state.SkipWithError("no X display or no zynka.so");
    return;
  }
  for (int i = 0; i < 20; ++i) plugin.dispatch(effEditIdle);
  for (auto _ : state) plugin.dispatch(effEditIdle);
  plugin.dispatch(effEditClose);
}
BENCHMARK(BM_PluginEditIdleWithNothingToDo)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
