// The parameter controls and their value boxes: while a knob or slider is handled,
// a small box under it shows the parameter's value as text. The editor keeps the
// boxes detached from the view tree and attaches one only while it shows.
#pragma once

#include "editor/aeffguieditor.h"
#include "toolkit/ccontrollistener.h"
#include "toolkit/cknob.h"
#include "toolkit/cparamdisplay.h"
#include "toolkit/cslider.h"

namespace zynka {

/// The editor side: listener of every parameter control, and keeper of the boxes.
class ValueBoxEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
 public:
  using AEffGUIEditor::AEffGUIEditor;

  /// Shows or hides the box of the control's parameter.
  virtual void showValueBox(VSTGUI::CControl* control, bool show);
  /// Shows or hides the box of parameter `tag`; other tags and a closed editor do nothing.
  virtual void showValueBoxForTag(std::int32_t tag, bool show) = 0;
};

/// A control that shows its box while it is pressed, turned by the wheel or keyed with the
/// arrows, and hides it when the mouse is released. Base is a knob or a slider.
template <typename Base>
class ValueBoxControl : public Base {
 public:
  using Base::Base;

  VSTGUI::CMouseEventResult onMouseDown(const VSTGUI::CPoint& where, const VSTGUI::CButton& buttons) override {
    // The reset gesture (Control + left click) restores the default without a box.
    if (buttons != (VSTGUI::kLButton | VSTGUI::kControl)) showValueBoxOf(this, true);
    return Base::onMouseDown(where, buttons);
  }
  VSTGUI::CMouseEventResult onMouseUp(const VSTGUI::CPoint& where, const VSTGUI::CButton& buttons) override {
    showValueBoxOf(this, false);
    return Base::onMouseUp(where, buttons);
  }
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButton& buttons) override {
    if (!this->getMouseEnabled()) return false;
    showValueBoxOf(this, true);
    return Base::onWheel(where, distance, buttons);
  }
  std::int32_t onKeyDown(VSTGUI::VstKeyCode& keyCode) override {
    if (keyCode.virt >= VSTGUI::VKEY_LEFT && keyCode.virt <= VSTGUI::VKEY_DOWN) showValueBoxOf(this, true);
    return Base::onKeyDown(keyCode);
  }

 private:
  /// The listener of a value box control is the editor; a control without one shows no box.
  static void showValueBoxOf(VSTGUI::CControl* control, bool show) {
    if (auto* editor = dynamic_cast<ValueBoxEditor*>(control->getListener())) editor->showValueBox(control, show);
  }
};

/// A film-strip knob with a value box.
class ValueBoxKnob : public ValueBoxControl<VSTGUI::CAnimKnob> {
 public:
  using ValueBoxControl::ValueBoxControl;
};

/// A vertical slider with a value box.
class ValueBoxSlider : public ValueBoxControl<VSTGUI::CVerticalSlider> {
 public:
  using ValueBoxControl::ValueBoxControl;
};

/// The box: white centred text on dark grey with a black border.
class ValueBoxDisplay : public VSTGUI::CParamDisplay {
 public:
  explicit ValueBoxDisplay(const VSTGUI::CRect& size);
};

}  // namespace zynka
