// The editing rules of the X11 text field's line editor, which the window tests type
// through only briefly: the 255-unit limit never splits a character, keys move and
// select by whole characters, Escape and Tab change nothing.
#include <gtest/gtest.h>
// After gtest: the keysym names.
#include <X11/keysym.h>

#include "toolkit/platform/x11/lineedit.h"

using VSTGUI::X11::LineEdit;

TEST(X11LineEdit, KeepsTheLimitAndWholeCharacters) {
  LineEdit edit(255);
  edit.setText(std::u16string(300, u'a'));
  EXPECT_EQ(edit.text().size(), 255u);

  edit.setText(std::u16string(254, u'a'));
  edit.insert(u"\U0001F3B9");  // a pair of units with room for one: not inserted
  EXPECT_EQ(edit.text().size(), 254u);
  edit.setText(u"ab\U0001F3B9");
  EXPECT_EQ(edit.key(XK_BackSpace, 0), LineEdit::Outcome::kEdited);
  EXPECT_EQ(edit.text(), u"ab") << "the whole pair goes";

  edit.setText(u"Bright E.Piano");
  edit.selectAll();
  EXPECT_EQ(edit.key(XK_G, 1), LineEdit::Outcome::kEdited);  // typing replaces the selection
  EXPECT_EQ(edit.text(), u"G");
  EXPECT_EQ(edit.key(XK_Escape, 0), LineEdit::Outcome::kIgnored);
  EXPECT_EQ(edit.key(XK_Tab, 0), LineEdit::Outcome::kIgnored);
  EXPECT_EQ(edit.key(XK_Return, 0), LineEdit::Outcome::kReturn);
  EXPECT_EQ(edit.text(), u"G");

  edit.setText(u"abc");
  edit.key(XK_Home, 0);
  edit.key(XK_Right, 1);  // Shift+Right selects "a"
  edit.key(XK_x, 0);
  EXPECT_EQ(edit.text(), u"xbc");
  edit.key(XK_End, 0);
  edit.key(XK_Left, 0);
  edit.key(XK_Delete, 0);
  EXPECT_EQ(edit.text(), u"xb");
  edit.key(XK_a, 4);  // Control+A selects all
  EXPECT_TRUE(edit.allSelected());
}
