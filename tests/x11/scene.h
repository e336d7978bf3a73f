// The frame every X11 test shows: the background picture, a film-strip knob, a slider
// with a picture handle, a text edit and an option menu. Built on either platform, so
// the headless drawing of it is the picture the X11 window must show.
#pragma once

#include "toolkit/cframe.h"
#include "toolkit/cknob.h"
#include "toolkit/coptionmenu.h"
#include "toolkit/cslider.h"
#include "toolkit/ctextedit.h"

namespace x11_test {

struct Scene {
  VSTGUI::CFrame* frame = nullptr;
  VSTGUI::CAnimKnob* knob = nullptr;        // tag 7, at (64, 80)-(128, 144), value 0.25
  VSTGUI::CVerticalSlider* slider = nullptr;  // tag 6, at (720, 60)-(784, 330), value 0.7
  VSTGUI::CTextEdit* edit = nullptr;        // tag 102, at (316, 90)-(488, 106), "Bright E.Piano"
  VSTGUI::COptionMenu* menu = nullptr;      // tag 105, at (316, 120)-(488, 136), "Program 1" shown
};

/// Builds the scene's frame inside parent; the caller releases scene.frame.
Scene buildScene(void* parent, VSTGUI::CControlListener* listener, VSTGUI::VSTGUIEditorInterface* editor);

}  // namespace x11_test
