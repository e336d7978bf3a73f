#include "tests/x11/scene.h"

#include "toolkit/cbitmap.h"

using namespace VSTGUI;

namespace x11_test {

Scene buildScene(void* parent, CControlListener* listener, VSTGUIEditorInterface* editor) {
  Scene scene;
  scene.frame = new CFrame(CRect(0, 0, 856, 392), parent, editor);
  CBitmap* background = new CBitmap(CResourceDescription("Background"));
  scene.frame->setBackground(background);
  background->forget();

  CBitmap* strip = new CBitmap(CResourceDescription("STRIP"));
  scene.knob = new CAnimKnob(CRect(64, 80, 128, 144), listener, 7, 101, 64, strip);
  strip->forget();
  scene.knob->setValue(0.25f);
  scene.frame->addView(scene.knob);
  scene.knob->forget();

  CBitmap* handle = new CBitmap(CResourceDescription("Alpha"));
  scene.slider = new CVerticalSlider(CRect(720, 60, 784, 330), listener, 6, 60, 266, handle, nullptr);
  handle->forget();
  scene.slider->setValue(0.7f);
  scene.frame->addView(scene.slider);
  scene.slider->forget();

  scene.edit = new CTextEdit(CRect(316, 90, 488, 106), listener, 102, "Bright E.Piano");
  scene.edit->setBackColor(CColor{20, 30, 60, 255});
  scene.frame->addView(scene.edit);
  scene.edit->forget();

  scene.menu = new COptionMenu(CRect(316, 120, 488, 136), listener, 105);
  for (const char* title : {"Save Preset...", "Load Preset...", "-", "Program 1", "Program 2"})
    scene.menu->addEntry(title);
  scene.menu->setValue(3.0f);
  scene.frame->addView(scene.menu);
  scene.menu->forget();
  return scene;
}

}  // namespace x11_test
