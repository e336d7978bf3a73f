// The interface through which controls report value changes and gestures.
#pragma once

#include <cstdint>

#include "toolkit/vstguibase.h"

namespace VSTGUI {

class CControl;

/// Receives a control's value changes, modifier clicks and gesture brackets.
class CControlListener {
 public:
  virtual ~CControlListener() = default;
  /// The control's value changed; read it with getValue and getTag.
  virtual void valueChanged(CControl* pControl) = 0;
  /// A click with a modifier or the right button; non-zero when the listener used it.
  virtual std::int32_t controlModifierClicked(CControl* /*pControl*/, CButton /*button*/) {
    return 0;
  }
  /// A user gesture on the control begins.
  virtual void controlBeginEdit(CControl* /*pControl*/) {}
  /// The gesture ends.
  virtual void controlEndEdit(CControl* /*pControl*/) {}
};

}  // namespace VSTGUI
