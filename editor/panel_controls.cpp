#include "editor/panel_controls.h"

#include "engine/plugin.h"
#include "toolkit/cframe.h"

namespace zynka {

using namespace VSTGUI;

namespace {

/// The panel's look: the normal font in teal, left aligned, with nothing drawn behind.
void stylePanelText(CParamDisplay* view) {
  view->setFont(kNormalFont);
  view->setFontColor(kPanelTextColor);
  view->setBackColor(CColor{0, 0, 0, 0});
  view->setFrameColor(CColor{0, 0, 0, 0});
  view->setHoriAlign(kLeftText);
}

}  // namespace

TextLabel::TextLabel(const CRect& size) : CTextLabel(size, nullptr, nullptr, 0) { stylePanelText(this); }

TextEdit::TextEdit(const CRect& size, CControlListener* listener)
    : CTextEdit(size, listener, kTagProgramName, nullptr, nullptr, 0) {
  stylePanelText(this);
}

OptionMenu::OptionMenu(const CRect& size, CControlListener* listener, CBitmap* background, CBitmap* bgWhenClick,
                       Plugin* plugin)
    : COptionMenu(size, listener, kTagProgramMenu, background, bgWhenClick, 0), plugin(plugin) {}

void OptionMenu::draw(CDrawContext* pContext) {
  const bool open = pParentFrame && pParentFrame->getFocusView() == this;
  drawText(pContext, nullptr, open ? bgWhenClick : nullptr);
}

void OptionMenu::rebuildItems() {
  removeAllEntry();
  for (const char* command : {"Save Preset...", "Load Preset...", "Save Bank...", "Load Bank..."}) addEntry(command);
  addSeparator();
  char name[kProgramNameLength + 1];
  for (int program = 0; program < kNumPrograms; ++program) {
    name[0] = 0;
    plugin->getProgramNameIndexed(0, program, name);
    addEntry(new CMenuItem(name, CMenuItem::kNoFlags));  // a name "-" stays a name
  }
}

CMouseEventResult OptionMenu::onMouseDown(const CPoint&, const CButton& buttons) {
  lastButton = buttons;
  if (!(buttons & (kLButton | kRButton | kApple))) return kMouseEventNotHandled;
  beginEdit();
  gestureOpen = true;
  if (plugin) rebuildItems();
  invalid();  // shows "MenuActive" while the popup is open
  takeFocus();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

}  // namespace zynka
