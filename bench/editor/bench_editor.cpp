// The editor on the in-memory window, driven through the plug-in's AEffect record
// as a host drives it: opening it (decoding the nine pictures, building the view
// tree), an idle pass with nothing changed, an idle pass after the host moved one
// parameter, and a full redraw of the 856 x 392 window.
#include <benchmark/benchmark.h>

#include "editor/editor.h"
#include "editor/layout.h"
#include "engine/plugin.h"
#include "toolkit/platform/headless/headless.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

void* const kHostWindow = reinterpret_cast<void*>(0x1000);
const VSTGUI::CRect kWholeWindow(0, 0, zynka::layout::kWindowWidth, zynka::layout::kWindowHeight);

struct Instance {
  Instance() : effect(createEffectInstance(quietHost)->getAeffect()) {
    dispatch(effSetSampleRate);
    dispatch(effMainsChanged, 1);
  }
  ~Instance() { dispatch(effClose); }
  VstIntPtr dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
  }
  /// Opens the editor and paints it once, as a host's window shows it.
  VSTGUI::Platform::Window* open() {
    dispatch(effEditOpen, 0, kHostWindow);
    dispatch(effEditIdle);
    auto* editor = static_cast<zynka::Editor*>(static_cast<zynka::Plugin*>(effect->object)->getEditor());
    VSTGUI::Platform::Window* window = editor->getFrame()->getPlatformWindow();
    VSTGUI::Headless::paint(window, kWholeWindow);
    return window;
  }
  AEffect* effect;
};

void BM_EditorOpen(benchmark::State& state) {
  Instance instance;
  for (auto _ : state) {
    instance.dispatch(effEditOpen, 0, kHostWindow);
    instance.dispatch(effEditClose);
  }
}
BENCHMARK(BM_EditorOpen)->Unit(benchmark::kMillisecond);

void BM_EditorIdleNothingChanged(benchmark::State& state) {
  Instance instance;
  VSTGUI::Platform::Window* window = instance.open();
  for (auto _ : state) {
    instance.dispatch(effEditIdle);
    if (VSTGUI::Headless::paint(window)) state.SkipWithError("an idle pass with nothing changed drew");
  }
}
BENCHMARK(BM_EditorIdleNothingChanged)->Unit(benchmark::kMicrosecond);

void BM_EditorIdleAfterOneKnobChanged(benchmark::State& state) {
  Instance instance;
  VSTGUI::Platform::Window* window = instance.open();
  float value = 0.0f;
  for (auto _ : state) {
    value = value >= 1.0f ? 0.0f : value + 0.01f;
    instance.effect->setParameter(instance.effect, zynka::kTuning, value);
    instance.dispatch(effEditIdle);
    VSTGUI::Headless::paint(window);
  }
}
BENCHMARK(BM_EditorIdleAfterOneKnobChanged)->Unit(benchmark::kMicrosecond);

void BM_EditorFullRedraw(benchmark::State& state) {
  Instance instance;
  VSTGUI::Platform::Window* window = instance.open();
  for (auto _ : state) VSTGUI::Headless::paint(window, kWholeWindow);
}
BENCHMARK(BM_EditorFullRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
