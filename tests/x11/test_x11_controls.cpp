// The controls of a frame on X11 driven as a user drives them, with XTest: a knob
// dragged, a double click and a wheel turn, the text field opened by a click, typed
// into and committed by Return or a click elsewhere, and the popup menu answered with
// the keyboard, with a click, and dismissed.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that gtest's own names would meet.
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <functional>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/x11/scene.h"
#include "tests/x11/x11_test_util.h"

using namespace VSTGUI;
using namespace x11_test;

namespace {

/// What the controls told the listener and the host.
struct Journal : CControlListener, VSTGUIEditorInterface {
  void valueChanged(CControl* control) override {
    lines.push_back("change " + std::to_string(control->getTag()));
    values.push_back(control->getValue());
    if (auto* edit = dynamic_cast<CTextEdit*>(control)) texts.push_back(edit->getText());
  }
  std::int32_t getKnobMode() const override { return kLinearMode; }
  void beginEdit(std::int32_t tag) override { lines.push_back("begin " + std::to_string(tag)); }
  void endEdit(std::int32_t tag) override { lines.push_back("end " + std::to_string(tag)); }
  std::vector<std::string> lines;
  std::vector<float> values;
  std::vector<std::string> texts;
};

/// A view that keeps the buttons of its clicks and its wheel turns.
struct ClickView : CView {
  using CView::CView;
  CMouseEventResult onMouseDown(const CPoint&, const CButton& buttons) override {
    presses.push_back(buttons);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  bool onWheel(const CPoint&, const float& distance, const CButton&) override {
    wheel += distance;
    return true;
  }
  std::vector<CButton> presses;
  float wheel = 0.f;
};

class X11Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(host.display(), nullptr);
    scene = buildScene(host.parentHandle(), &journal, &journal);
    ASSERT_NE(scene.frame->getPlatformWindow(), nullptr);
    ASSERT_TRUE(idleUntil(scene.frame, [&] { return isViewable(host.display(), host.childWindow()); }));
  }
  void TearDown() override {
    if (scene.frame) scene.frame->forget();
  }
  /// The plug-in's windows: its frame window and what it opened inside.
  std::vector<Window> fieldWindows() {
    std::vector<Window> out;
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(host.display(), host.childWindow(), &root, &up, &children, &count)) {
      out.assign(children, children + count);
      XFree(children);
    }
    return out;
  }

  Host host;
  Journal journal;
  Scene scene;
};

}  // namespace

TEST_F(X11Controls, KnobDragReachesTheHostAsAGestureWithItsValues) {
  scene.knob->setValue(0.0f);
  host.moveTo(96, 112);
  host.button(1, true);
  idleUntil(scene.frame, [&] { return !journal.lines.empty(); });  // the press began the gesture
  host.moveTo(146, 62);  // 50 up, 50 right of the 200-pixel linear range
  idleUntil(scene.frame, [&] { return scene.knob->getValue() == 0.5f; });
  EXPECT_FLOAT_EQ(scene.knob->getValue(), 0.5f);
  host.moveTo(400, 0);  // far outside the window: the grab keeps the drag going
  idleUntil(scene.frame, [&] { return scene.knob->getValue() == 1.0f; });
  host.button(1, false);
  idleUntil(scene.frame, [&] { return !journal.lines.empty() && journal.lines.back() == "end 7"; });
  ASSERT_GE(journal.lines.size(), 3u);
  EXPECT_EQ(journal.lines.front(), "begin 7");
  EXPECT_EQ(journal.lines.back(), "end 7");
  EXPECT_FLOAT_EQ(journal.values.front(), 0.5f);
  EXPECT_FLOAT_EQ(journal.values.back(), 1.0f);
}

TEST_F(X11Controls, DoubleClickIsTwoPressesCloseInTimeAndPlaceAndTheWheelTurnsByNotches) {
  auto* view = new ClickView(CRect(600, 200, 700, 300));
  scene.frame->addView(view);
  view->forget();
  host.click(650, 250);
  host.click(651, 251);  // within two pixels and 500 ms
  host.click(651, 251);  // a third press starts again
  idleUntil(scene.frame, [&] { return view->presses.size() == 3; });
  ASSERT_EQ(view->presses.size(), 3u);
  EXPECT_FALSE(view->presses[0] & kDoubleClick);
  EXPECT_TRUE(view->presses[1] & kDoubleClick);
  EXPECT_TRUE(view->presses[1] & kLButton);
  EXPECT_FALSE(view->presses[2] & kDoubleClick);
  host.click(650, 250);
  host.click(690, 290);  // too far for a double click
  idleUntil(scene.frame, [&] { return view->presses.size() == 5; });
  ASSERT_EQ(view->presses.size(), 5u);
  EXPECT_FALSE(view->presses[4] & kDoubleClick);

  host.click(650, 250, 4);  // up
  host.click(650, 250, 4);
  host.click(650, 250, 5);  // down
  idleUntil(scene.frame, [&] { return view->wheel == 1.f; });
  EXPECT_EQ(view->wheel, 1.f);
}

TEST_F(X11Controls, TextFieldOpensSelectedTakesTypedTextAndCommitsOnReturn) {
  host.click(350, 98);
  idleUntil(scene.frame, [&] { return scene.edit->isEditing(); });
  ASSERT_TRUE(scene.edit->isEditing());
  const std::vector<Window> inside = fieldWindows();
  ASSERT_EQ(inside.size(), 1u) << "the edit box is a child window of the frame's";
  XWindowAttributes box{};
  XGetWindowAttributes(host.display(), inside[0], &box);
  EXPECT_EQ(box.x, 316);
  EXPECT_EQ(box.y, 90);
  EXPECT_EQ(box.width, 173);
  EXPECT_TRUE(idleUntil(scene.frame, [&] { return host.focus() == inside[0]; }))
      << "the box has the keyboard while editing";

  host.typeText("Glass Pad");  // replaces the selected text
  host.type(XK_eacute);
  host.type(XK_Escape);  // the box's own keys: editing goes on, and the 2 typed after them counts
  host.type(XK_Tab);
  host.typeText("2");
  host.type(XK_Return);
  idleUntil(scene.frame, [&] { return !scene.edit->isEditing(); });
  EXPECT_FALSE(scene.edit->isEditing());
  ASSERT_EQ(journal.texts.size(), 1u);
  EXPECT_EQ(journal.texts[0], "Glass Pad\xC3\xA9" "2");
  EXPECT_EQ(std::string(scene.edit->getText()), "Glass Pad\xC3\xA9" "2");
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"begin 102", "end 102", "change 102"}));
  EXPECT_TRUE(fieldWindows().empty());
  EXPECT_NE(host.focus(), inside[0]) << "the keyboard went back";

  // Opened again, typed into, and a click elsewhere commits as Return does.
  host.click(350, 98);
  idleUntil(scene.frame, [&] { return scene.edit->isEditing() && fieldWindows().size() == 1 && host.focus() == fieldWindows()[0]; });
  host.type(XK_End);
  host.typeText(" 3");
  host.click(600, 300);
  idleUntil(scene.frame, [&] { return !scene.edit->isEditing(); });
  ASSERT_EQ(journal.texts.size(), 2u);
  EXPECT_EQ(journal.texts[1], "Glass Pad\xC3\xA9" "2 3");
}

TEST_F(X11Controls, PopupMenuAnswersTheKeyboardAndTheMouseAndIsDismissedOutside) {
  {
    PopupHand hand([](Host& h, Window) {
      for (KeySym key : {XK_Down, XK_Down, XK_Down, XK_Return}) h.type(key);
    });
    host.click(400, 128);
    idleUntil(scene.frame, [&] { return !journal.values.empty(); });
    EXPECT_NE(hand.popup, 0u) << "the popup menu window appeared";
  }
  ASSERT_EQ(journal.values.size(), 1u);
  EXPECT_EQ(journal.values[0], 3.0f) << "the fourth entry, the separator counted and skipped";
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"begin 105", "change 105", "end 105"}));
  EXPECT_EQ(scene.frame->getFocusView(), nullptr);

  {
    PopupHand hand([](Host& h, Window popup) {
      XWindowAttributes a{};
      XGetWindowAttributes(h.display(), popup, &a);
      // The second entry: below the 3-pixel inset and the first 20-pixel row.
      int x = 0, y = 0;
      Window unused = 0;
      XTranslateCoordinates(h.display(), popup, DefaultRootWindow(h.display()), 40, 3 + 20 + 10, &x, &y, &unused);
      XTestFakeMotionEvent(h.display(), -1, x, y, 0);
      XSync(h.display(), False);
      h.button(1, true);
      h.button(1, false);
    });
    host.click(400, 128);
    idleUntil(scene.frame, [&] { return journal.values.size() == 2; });
  }
  ASSERT_EQ(journal.values.size(), 2u);
  EXPECT_EQ(journal.values[1], 1.0f);

  journal.lines.clear();
  {
    PopupHand hand([](Host& h, Window) { h.type(XK_Escape); });
    host.click(400, 128);
    idleUntil(scene.frame, [&] { return journal.lines.size() == 2; });
  }
  {
    PopupHand hand([](Host& h, Window) {
      XTestFakeMotionEvent(h.display(), -1, 1200, 1000, 0);  // far outside the menu
      h.button(1, true);
      h.button(1, false);
    });
    host.click(400, 128);
    idleUntil(scene.frame, [&] { return journal.lines.size() == 4; });
  }
  EXPECT_EQ(journal.values.size(), 2u) << "a dismissed menu chooses nothing";
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"begin 105", "end 105", "begin 105", "end 105"}));
}

TEST_F(X11Controls, PopupMenuLaysOutColumnsOf26AndOpensSubmenusBesideTheirEntry) {
  auto* menu = new COptionMenu(CRect(600, 20, 700, 36), &journal, 200);
  for (int i = 0; i < 104; ++i) menu->addEntry(("Program " + std::to_string(i + 1)).c_str());
  menu->setNbItemsPerColumn(26);
  scene.frame->addView(menu);
  menu->forget();
  std::atomic<int> width{0}, height{0};
  {
    PopupHand hand([&](Host& h, Window popup) {
      XWindowAttributes a{};
      XGetWindowAttributes(h.display(), popup, &a);
      width = a.width;
      height = a.height;
      h.type(XK_Escape);
    });
    host.click(650, 28);
    idleUntil(scene.frame, [&] { return !journal.lines.empty() && journal.lines.back() == "end 200"; });
  }
  EXPECT_EQ(height, 3 + 26 * 20 + 3) << "26 entries a column";
  EXPECT_GT(width, 4 * 60) << "four columns side by side";

  // A submenu: Right opens it beside its entry, Return chooses its first entry.
  auto* sub = new COptionMenu(CRect(0, 0, 0, 0), nullptr, 0);
  sub->addEntry("Inner A");
  sub->addEntry("Inner B");
  auto* outer = new COptionMenu(CRect(600, 50, 700, 66), &journal, 201);
  outer->addEntry("Plain");
  outer->addEntry(sub, "More");
  sub->forget();
  scene.frame->addView(outer);
  outer->forget();
  std::atomic<int> levels{0};
  {
    PopupHand hand([&](Host& h, Window) {
      for (KeySym key : {XK_Down, XK_Down, XK_Right}) h.type(key);
      waitUntil([&] { return viewableTitled(h.display(), "popup menu").size() == 2; });
      levels = static_cast<int>(viewableTitled(h.display(), "popup menu").size());
      h.type(XK_Down);  // to "Inner B"
      h.type(XK_Return);
    });
    host.click(650, 58);
    idleUntil(scene.frame, [&] { return !journal.lines.empty() && journal.lines.back() == "end 201"; });
  }
  EXPECT_EQ(levels, 2) << "the submenu opened beside the menu";
  ASSERT_FALSE(journal.values.empty());
  EXPECT_EQ(journal.values.back(), 1.0f) << "the submenu's second entry";
  EXPECT_EQ(journal.lines[journal.lines.size() - 2], "change 0") << "reported as the submenu's choice";
}
