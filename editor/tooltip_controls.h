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
class TooltipEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
 public:
  using AEffGUIEditor::AEffGUIEditor;

  /// Shows or hides the box of the control's parameter.
  virtual void showTooltip(VSTGUI::CControl* control, bool show);
  /// Shows or hides the box of parameter `tag`; other tags and a closed editor do nothing.
  virtual void showTooltipForTag(std::int32_t tag, bool show) = 0;
};

/// A control that shows its box while it is pressed, turned by the wheel or keyed with the
/// arrows, and hides it when the mouse is released. Base is a knob or a slider.
template <typename Base>
class TooltipControl : public Base {
 public:
  using Base::Base;

  VSTGUI::CMouseEventResult onMouseDown(const VSTGUI::CPoint& where, const VSTGUI::CButton& buttons) override {
    // The reset gesture (Control + left click) restores the default without a box.
    if (buttons != (VSTGUI::kLButton | VSTGUI::kControl)) showTooltipOf(this, true);
    return Base::onMouseDown(where, buttons);
  }
  VSTGUI::CMouseEventResult onMouseUp(const VSTGUI::CPoint& where, const VSTGUI::CButton& buttons) override {
    showTooltipOf(this, false);
    return Base::onMouseUp(where, buttons);
  }
  bool onWheel(const VSTGUI::CPoint& where, const float& distance, const VSTGUI::CButton& buttons) override {
    if (!this->getMouseEnabled()) return false;
    showTooltipOf(this, true);
    return Base::onWheel(where, distance, buttons);
  }
  std::int32_t onKeyDown(VSTGUI::VstKeyCode& keyCode) override {
    if (keyCode.virt >= VSTGUI::VKEY_LEFT && keyCode.virt <= VSTGUI::VKEY_DOWN) showTooltipOf(this, true);
    return Base::onKeyDown(keyCode);
  }

 private:
  /// The listener of a tooltip control is the editor; a control without one shows no box.
  static void showTooltipOf(VSTGUI::CControl* control, bool show) {
    if (auto* editor = dynamic_cast<TooltipEditor*>(control->getListener())) editor->showTooltip(control, show);
  }
};

/// A film-strip knob with a value box.
class TooltipKnob : public TooltipControl<VSTGUI::CAnimKnob> {
 public:
  using TooltipControl::TooltipControl;
};

/// A vertical slider with a value box.
class TooltipSlider : public TooltipControl<VSTGUI::CVerticalSlider> {
 public:
  using TooltipControl::TooltipControl;
};

/// The box: white centred text on dark grey with a black border.
class TooltipDisplay : public VSTGUI::CParamDisplay {
 public:
  explicit TooltipDisplay(const VSTGUI::CRect& size);
};

}  // namespace zynka
