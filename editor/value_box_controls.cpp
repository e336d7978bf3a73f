#include "editor/value_box_controls.h"

namespace zynka {

using namespace VSTGUI;

void ValueBoxEditor::showValueBox(CControl* control, bool show) {
  if (control) showValueBoxForTag(control->getTag(), show);
}

// --- ValueBoxDisplay ---------------------------------------------------------------------

ValueBoxDisplay::ValueBoxDisplay(const CRect& size) : CParamDisplay(size, nullptr, 1) {
  setFont(kNormalFont);
  setFrameColor(CColor{0, 0, 0, 255});
  setBackColor(CColor{64, 64, 64, 255});
  setFontColor(CColor{255, 255, 255, 255});
}

}  // namespace zynka
