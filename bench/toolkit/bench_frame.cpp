// Frame drawing on the headless platform: a full redraw of the editor-sized frame
// (856 x 392 background plus 20 alpha-blended 64 x 64 pictures), the idle pass
// with one dirty view, alone and followed by the paint it asks for, and the idle
// pass over film-strip knobs: one knob changed, and nothing changed.
#include <benchmark/benchmark.h>

#include <vector>

#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"
#include "toolkit/cknob.h"
#include "toolkit/platform/headless/headless.h"

using namespace VSTGUI;

namespace {

struct Scene {
  explicit Scene(bool composited = true) {
    Headless::setComposited(composited);
    frame = new CFrame(CRect(0, 0, 856, 392), reinterpret_cast<void*>(0x1000), nullptr);
    Headless::setComposited(true);
    CBitmap* background = new CBitmap(CResourceDescription("Background"));
    CBitmap* picture = new CBitmap(CResourceDescription("Alpha"));
    frame->setBackground(background);
    for (int i = 0; i < 20; ++i) {
      const CCoord x = 24 + (i % 10) * 80;
      const CCoord y = 60 + (i / 10) * 160;
      auto* view = new CView(CRect(x, y, x + 64, y + 64));
      view->setBackground(picture);
      view->setTransparency(true);
      frame->addView(view);
      view->forget();
      views.push_back(view);
    }
    background->forget();
    picture->forget();
    window = frame->getPlatformWindow();
    frame->idle();
    Headless::paint(window);
  }
  ~Scene() { frame->forget(); }

  CFrame* frame;
  Platform::Window* window;
  std::vector<CView*> views;
};

void BM_FullRedraw(benchmark::State& state) {
  Scene scene(state.range(0) != 0);
  const CRect all(0, 0, 856, 392);
  for (auto _ : state) Headless::paint(scene.window, all);
  state.SetLabel(state.range(0) ? "direct" : "through the back buffer");
}
// 1: a composited window system, drawn straight into the window; 0: through the back buffer.
BENCHMARK(BM_FullRedraw)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_IdleOneDirtyView(benchmark::State& state) {
  Scene scene;
  CView* view = scene.views[7];
  for (auto _ : state) {
    view->setDirty(true);
    scene.frame->idle();
    Headless::clearInvalidRects(scene.window);
  }
}
BENCHMARK(BM_IdleOneDirtyView)->Unit(benchmark::kNanosecond);

void BM_IdleAndPaintOneDirtyView(benchmark::State& state) {
  Scene scene;
  CView* view = scene.views[7];
  for (auto _ : state) {
    view->setDirty(true);
    scene.frame->idle();
    Headless::paint(scene.window);
  }
}
BENCHMARK(BM_IdleAndPaintOneDirtyView)->Unit(benchmark::kMicrosecond);

/// Five film-strip knobs over the background, as the editor has them.
struct KnobScene : Scene {
  KnobScene() {
    CBitmap* strip = new CBitmap(CResourceDescription("Strip"));
    for (int i = 0; i < 5; ++i) {
      const CCoord x = 64 + i * 144;
      auto* knob = new CAnimKnob(CRect(x, 80, x + 64, 144), nullptr, i, 101, 64, strip);
      frame->addView(knob);
      knob->forget();
      knobs.push_back(knob);
    }
    strip->forget();
    frame->idle();
    Headless::paint(window);
  }
  std::vector<CAnimKnob*> knobs;
};

void BM_IdleOneKnobChanged(benchmark::State& state) {
  KnobScene scene;
  CAnimKnob* knob = scene.knobs[2];
  float value = 0.0f;
  for (auto _ : state) {
    value = value >= 1.0f ? 0.0f : value + 0.01f;
    knob->setValue(value);  // as the editor sets it from a parameter
    scene.frame->idle();
    Headless::paint(scene.window);
  }
}
BENCHMARK(BM_IdleOneKnobChanged)->Unit(benchmark::kMicrosecond);

void BM_IdleNothingChanged(benchmark::State& state) {
  KnobScene scene;
  for (auto _ : state) {
    scene.frame->idle();
    if (Headless::paint(scene.window)) state.SkipWithError("an idle pass with nothing changed drew");
  }
}
BENCHMARK(BM_IdleNothingChanged)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
