// The display panel's controls: the teal text lines (program number, voice count),
// the program name field and the program menu button, which lists the four file
// commands and all 99 programs when it opens.
#pragma once

#include "editor/layout.h"
#include "toolkit/coptionmenu.h"
#include "toolkit/cparamdisplay.h"
#include "toolkit/ctextedit.h"

namespace zynka {

class Plugin;

/// The panel's text colour: teal on the dark glass printed on the background.
inline constexpr VSTGUI::CColor kPanelTextColor{layout::kTeal.red, layout::kTeal.green, layout::kTeal.blue, 255};

/// A read-only line of teal text, left aligned, over the panel.
class TextLabel : public VSTGUI::CTextLabel {
 public:
  explicit TextLabel(const VSTGUI::CRect& size);
};

/// The program name field; its tag is always kTagProgramName.
class TextEdit : public VSTGUI::CTextEdit {
 public:
  TextEdit(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener);
};

/// The program menu button: draws only its picture, and rebuilds its items from the
/// plug-in's programs on every press.
class OptionMenu : public VSTGUI::COptionMenu {
 public:
  OptionMenu(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, VSTGUI::CBitmap* background,
             VSTGUI::CBitmap* bgWhenClick, Plugin* plugin);

  void draw(VSTGUI::CDrawContext* pContext) override;
  VSTGUI::CMouseEventResult onMouseDown(const VSTGUI::CPoint& where, const VSTGUI::CButton& buttons) override;

 private:
  /// The four file commands, a separator and the names of programs 1 to 99.
  void rebuildItems();

  Plugin* plugin;
};

}  // namespace zynka
