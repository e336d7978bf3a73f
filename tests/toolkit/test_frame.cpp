// The frame: modal view, hover tracking, focus and tab order, keys, the wheel, the
// window messages of its platform window (capture, double-click, key-state word,
// paint, destroy), cursors, the window class count and drag routing.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/toolkit/toolkit_test_util.h"
#include "toolkit/cdragcontainer.h"

using namespace VSTGUI;
using namespace toolkit_test;

namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Headless::setMouseButtons(0);
    Headless::setAltDown(false);
    frame = new CFrame(CRect(0, 0, 400, 300), fakeParentWindow(), &editor);
    window = windowOf(frame);
    ASSERT_NE(window, nullptr);
    a = add(CRect(10, 10, 60, 60), "a");
    b = add(CRect(100, 10, 150, 60), "b");
  }
  void TearDown() override {
    if (frame) frame->forget();
  }
  RecordingView* add(const CRect& r, const char* name) {
    auto* v = new RecordingView(r, &log, name);
    frame->addView(v);
    return v;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const Event& e : log) out.push_back(e.what);
    return out;
  }

  struct Editor : VSTGUIEditorInterface {
    std::int32_t getKnobMode() const override { return 2; }
    void beginEdit(std::int32_t tag) override { edits.push_back(tag); }
    void endEdit(std::int32_t tag) override { edits.push_back(-tag); }
    std::vector<std::int32_t> edits;
  } editor;
  std::vector<Event> log;
  CFrame* frame = nullptr;
  Platform::Window* window = nullptr;
  RecordingView* a = nullptr;
  RecordingView* b = nullptr;
};

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(FrameTest, ConstructionRegistersWindowDropTargetAndEditor) {
  EXPECT_TRUE(frame->isOpen());
  EXPECT_TRUE(frame->isAttached());
  EXPECT_EQ(frame->getFrame(), frame);
  EXPECT_TRUE(frame->isDropActive());
  EXPECT_TRUE(Headless::isDropTargetRegistered(window));
  EXPECT_EQ(Headless::parentWindow(window), fakeParentWindow());
  EXPECT_EQ(frame->getKnobMode(), 2);
  EXPECT_EQ(a->getEditor(), &editor);
  frame->beginEdit(7);
  frame->endEdit(7);
  EXPECT_EQ(editor.edits, (std::vector<std::int32_t>{7, -7}));
  EXPECT_TRUE(frame->isTypeOf("CFrame"));
  EXPECT_TRUE(frame->isTypeOf("CViewContainer"));
  EXPECT_FALSE(frame->setPosition(5, 5));
}

TEST_F(FrameTest, WithoutParentWindowThereIsNoPlatformWindow) {
  CFrame* bare = new CFrame(CRect(0, 0, 100, 100), nullptr, nullptr);
  EXPECT_EQ(bare->getPlatformWindow(), nullptr);
  bare->invalid();  // nowhere to go, and no crash
  bare->idle();
  EXPECT_EQ(bare->getKnobMode(), 0);
  bare->forget();
}

// --- modal view ---------------------------------------------------------------------------

TEST_F(FrameTest, ModalViewIsTheOnlyTargetOfTheMouse) {
  auto* modal = new RecordingView(CRect(200, 100, 300, 200), &log, "modal");
  ASSERT_TRUE(frame->setModalView(modal));
  EXPECT_EQ(frame->getView(frame->getNbViews() - 1), modal) << "added on top";
  EXPECT_EQ(frame->onMouseDown(CPoint(20, 20), kLButton), kMouseEventNotHandled);
  EXPECT_TRUE(log.empty()) << "a click outside the modal view reaches nobody";

  EXPECT_EQ(frame->onMouseDown(CPoint(250, 150), kLButton), kMouseEventHandled);
  EXPECT_EQ(frame->getMouseDownView(), modal);
  frame->onMouseMoved(CPoint(20, 20), kLButton);
  EXPECT_EQ(Strings(names()), (Strings{"modal:down", "modal:moved"}));
  frame->onMouseUp(CPoint(20, 20), 0);

  VstKeyCode key{0, 0, 0};
  modal->keyResult = 1;
  EXPECT_EQ(frame->onKeyDown(key), 1);
  log.clear();
  EXPECT_TRUE(frame->onWheel(CPoint(20, 20), 1.f, 0));
  EXPECT_EQ(Strings(names()), (Strings{"modal:wheel"}));

  auto* second = new CView(CRect(0, 0, 1, 1));
  EXPECT_FALSE(frame->setModalView(second)) << "one modal view at a time";
  EXPECT_FALSE(frame->setModalView(a)) << "an attached view cannot become modal";
  EXPECT_TRUE(frame->setModalView(nullptr));
  EXPECT_EQ(frame->getModalView(), nullptr);
  EXPECT_FALSE(frame->isChild(modal));
  EXPECT_EQ(modal->getNbReference(), 1) << "removed without releasing the creator's reference";
  ASSERT_TRUE(frame->setModalView(modal));
  frame->removeView(modal, false);
  EXPECT_EQ(frame->getModalView(), nullptr) << "removing the modal view clears the pointer";
  modal->forget();
  second->forget();
}

// --- hover ---------------------------------------------------------------------------------

TEST_F(FrameTest, HoverSendsEnteredMovedAndExitedInLocalCoordinates) {
  auto* box = new CViewContainer(CRect(200, 100, 350, 250));
  auto* inner = new RecordingView(CRect(10, 10, 60, 60), &log, "inner");
  box->addView(inner);
  inner->forget();  // the container owns it
  frame->addView(box);

  EXPECT_EQ(frame->onMouseMoved(CPoint(5, 5), 0), kMouseEventNotHandled);
  EXPECT_EQ(Headless::mouseLeaveRequests(window), 1);
  EXPECT_EQ(frame->onMouseMoved(CPoint(20, 20), kShift), kMouseEventHandled);
  EXPECT_EQ(frame->getMouseOverView(), a);
  frame->onMouseMoved(CPoint(21, 22), kShift);
  frame->onMouseMoved(CPoint(220, 120), 0);  // into the nested view
  EXPECT_EQ(frame->getMouseOverView(), inner);
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].what, "a:entered");
  EXPECT_EQ(log[0].buttons, kShift);
  EXPECT_EQ(log[1].what, "a:moved");
  EXPECT_EQ(log[1].buttons, 0) << "hover moves carry no buttons";
  EXPECT_EQ(log[2].what, "a:exited");
  EXPECT_EQ(log[3].what, "inner:entered");
  EXPECT_EQ(log[3].where, CPoint(20, 20)) << "in the view's parent coordinates";
  EXPECT_EQ(Headless::mouseLeaveRequests(window), 1) << "tracking asked once while inside";

  log.clear();
  Headless::setMousePosition(window, CPoint(390, 290));
  Headless::send(window, Headless::mouseMessage(WindowMessage::kMouseLeave, 0, 0));
  EXPECT_EQ(Strings(names()), (Strings{"inner:exited"}));
  EXPECT_EQ(log[0].where, CPoint(190, 190));
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
  frame->onMouseMoved(CPoint(5, 5), 0);
  EXPECT_EQ(Headless::mouseLeaveRequests(window), 2) << "tracking restarts after leaving";
}

TEST_F(FrameTest, AClickEndsTheHoverFirst) {
  frame->onMouseMoved(CPoint(20, 20), 0);
  log.clear();
  frame->onMouseDown(CPoint(20, 20), kLButton);
  EXPECT_EQ(Strings(names()), (Strings{"a:exited", "a:down"}));
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
}

TEST_F(FrameTest, RemovingTheHoverOrFocusViewClearsTheFramePointers) {
  frame->onMouseMoved(CPoint(20, 20), 0);
  a->setWantsFocus(true);
  frame->setFocusView(a);
  ASSERT_EQ(frame->getMouseOverView(), a);
  ASSERT_EQ(frame->getFocusView(), a);
  frame->removeView(a, true);
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
  EXPECT_EQ(frame->getFocusView(), nullptr);

  auto* box = new CViewContainer(CRect(200, 100, 350, 250));
  auto* inner = new RecordingView(CRect(10, 10, 60, 60), &log, "inner");
  box->addView(inner);
  inner->forget();  // the container owns it
  frame->addView(box);
  frame->setFocusView(inner);
  frame->onMouseMoved(CPoint(220, 120), 0);
  frame->removeView(box, true);  // takes the focus and hover views with it
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
  VstKeyCode key{0, VKEY_TAB, 0};
  frame->onKeyDown(key);  // must not touch the freed views
}

// --- focus and keys ---------------------------------------------------------------------------

namespace {

class NotedContainer : public CViewContainer {
 public:
  NotedContainer(const CRect& r, std::vector<Event>* log) : CViewContainer(r), log(log) {}
  CMessageResult notify(CBaseObject* sender, const char* message) override {
    if (message == kMsgNewFocusView) log->push_back({"box:newFocus", {}, 0});
    if (message == kMsgOldFocusView) log->push_back({"box:oldFocus", {}, 0});
    (void)sender;
    return CViewContainer::notify(sender, message);
  }
  std::vector<Event>* log;
};

}  // namespace

TEST_F(FrameTest, FocusChangesNotifyAncestorsAndTheOldView) {
  auto* box = new NotedContainer(CRect(200, 100, 350, 250), &log);
  auto* inner = new RecordingView(CRect(10, 10, 60, 60), &log, "inner");
  inner->setWantsFocus(true);
  box->addView(inner);
  inner->forget();  // the container owns it
  frame->addView(box);
  inner->setDirty(false);
  frame->setFocusView(inner);
  EXPECT_TRUE(inner->isDirty());
  EXPECT_EQ(Strings(names()), (Strings{"box:newFocus"}));
  log.clear();
  frame->setFocusView(inner);
  EXPECT_TRUE(log.empty()) << "the focus view again: nothing happens";
  frame->setFocusView(a);  // a does not want the focus: no messages for it
  EXPECT_EQ(Strings(names()), (Strings{"box:oldFocus", "inner:looseFocus"}));
  log.clear();
  frame->onMouseDown(CPoint(300, 20), kLButton);  // a click clears the focus
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(Strings(names()), (Strings{"a:looseFocus"}));
}

TEST_F(FrameTest, TabWalksIntoAndOutOfContainersAndShiftTabWalksBack) {
  auto* box = new CViewContainer(CRect(200, 100, 350, 250));
  auto* b1 = new RecordingView(CRect(0, 0, 10, 10), &log, "b1");
  auto* b2 = new RecordingView(CRect(20, 0, 30, 10), &log, "b2");
  box->addView(b1);
  box->addView(b2);
  b1->forget();
  b2->forget();
  frame->addView(box);
  auto* d = add(CRect(0, 200, 10, 210), "d");
  for (RecordingView* v : {a, b1, b2, d}) v->setWantsFocus(true);

  VstKeyCode tab{0, VKEY_TAB, 0};
  std::vector<CView*> order;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    order.push_back(frame->getFocusView());
  }
  EXPECT_EQ(order, (std::vector<CView*>{a, b1, b2, d}));
  EXPECT_EQ(frame->onKeyDown(tab), -1) << "nothing after the last";
  EXPECT_EQ(frame->getFocusView(), nullptr);

  VstKeyCode backTab{0, VKEY_TAB, MODIFIER_SHIFT};
  frame->setFocusView(d);
  order.clear();
  for (int i = 0; i < 3; ++i) {
    frame->onKeyDown(backTab);
    order.push_back(frame->getFocusView());
  }
  EXPECT_EQ(order, (std::vector<CView*>{b2, b1, a}));
  EXPECT_NE(std::count_if(log.begin(), log.end(), [](const Event& e) { return e.what == "b1:takeFocus"; }), 0);
}

TEST_F(FrameTest, KeysGoToTheFocusViewThenTheModalView) {
  a->setWantsFocus(true);
  frame->setFocusView(a);
  auto* modal = new RecordingView(CRect(0, 0, 10, 10), &log, "modal");
  frame->setModalView(modal);
  log.clear();
  VstKeyCode key{'x', 0, 0};
  a->keyResult = 1;
  EXPECT_EQ(frame->onKeyDown(key), 1);
  EXPECT_EQ(Strings(names()), (Strings{"a:key"}));
  a->keyResult = -1;
  log.clear();
  EXPECT_EQ(frame->onKeyDown(key), -1);
  EXPECT_EQ(Strings(names()), (Strings{"a:key", "modal:key"}));
  frame->setModalView(nullptr);
  modal->forget();
}

// --- wheel ---------------------------------------------------------------------------------------

TEST_F(FrameTest, TheWheelTurnsTheViewUnderTheMouseAndIsPassedOnOnlyWhenNoViewUsedIt) {
  Headless::setMouseButtons(kShift | kLButton | kRButton);
  EXPECT_TRUE(Headless::send(window, Headless::wheelMessage(20, 20, 2))) << "used: it goes no further";
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].what, "a:wheel");
  EXPECT_EQ(log[0].where, CPoint(20, 20));
  EXPECT_EQ(log[0].buttons, kShift) << "only the modifier keys";
  EXPECT_EQ(a->lastWheel, 2.f);
  Headless::send(window, Headless::wheelMessage(20, 20, -1));
  EXPECT_EQ(a->lastWheel, -1.f);
  EXPECT_FALSE(Headless::send(window, Headless::wheelMessage(390, 290, 1)))
      << "no view there: the window system's default handling follows";

  frame->onMouseDown(CPoint(20, 20), kLButton);
  log.clear();
  EXPECT_FALSE(Headless::send(window, Headless::wheelMessage(20, 20, 1))) << "no wheel during a drag";
  EXPECT_TRUE(log.empty());
  frame->onMouseUp(CPoint(20, 20), 0);
}

TEST(Wheel, ContainersPassTheTurnInLocalCoordinatesAndXTurnsTheOtherWay) {
  std::vector<Event> log;
  CFrame* frame = new CFrame(CRect(0, 0, 400, 300), nullptr, nullptr);
  auto* box = new CViewContainer(CRect(100, 100, 300, 300));
  auto* v = new RecordingView(CRect(10, 10, 50, 50), &log, "v");
  box->addView(v);
  v->forget();
  frame->addView(box);
  EXPECT_TRUE(frame->onWheel(CPoint(120, 120), kMouseWheelAxisX, 3.f, 0));
  EXPECT_EQ(v->lastWheel, -3.f);
  EXPECT_EQ(log.at(0).where, CPoint(20, 20));
  frame->forget();
}

// --- window messages ---------------------------------------------------------------------------

TEST_F(FrameTest, ButtonMessagesCaptureAndReleaseAndMapTheKeyState) {
  Headless::setAltDown(true);
  Headless::send(window, Headless::mouseMessage(WindowMessage::kButtonDown, 20, 20,
                                                kKeyStateLButton | kKeyStateShift | kKeyStateControl));
  EXPECT_TRUE(Headless::hasCapture(window));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].buttons, kLButton | kShift | kControl | kAlt);
  Headless::send(window, Headless::mouseMessage(WindowMessage::kMouseMove, 25, 26, kKeyStateLButton));
  Headless::send(window, Headless::mouseMessage(WindowMessage::kButtonUp, 25, 26, 0));
  EXPECT_FALSE(Headless::hasCapture(window));
  EXPECT_EQ(Strings(names()), (Strings{"a:down", "a:moved", "a:up"}));
  Headless::setAltDown(false);

  log.clear();
  Headless::send(window, Headless::mouseMessage(WindowMessage::kButtonDoubleClick, 20, 20,
                                                kKeyStateRButton | kKeyStateMButton |
                                                    kKeyStateXButton1 | kKeyStateXButton2));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].buttons, kRButton | kMButton | kButton4 | kButton5 | kDoubleClick);
  Headless::send(window, Headless::mouseMessage(WindowMessage::kButtonUp, 20, 20, 0));

  a->downResult = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  Headless::send(window, Headless::mouseMessage(WindowMessage::kButtonDown, 20, 20, kKeyStateLButton));
  EXPECT_FALSE(Headless::hasCapture(window)) << "no capture unless the click was handled";
  Headless::send(window, Headless::mouseMessage(WindowMessage::kButtonDown, 390, 290, kKeyStateLButton));
  EXPECT_FALSE(Headless::hasCapture(window));
}

TEST_F(FrameTest, NegativePositionsArriveSigned) {
  auto* big = add(CRect(-100, -100, 5, 5), "big");
  Headless::send(window, Headless::mouseMessage(WindowMessage::kButtonDown, -20, -30, kKeyStateLButton));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().what, "big:down");
  EXPECT_EQ(log.back().where, CPoint(-20, -30));
  (void)big;
}

TEST_F(FrameTest, DestroyClosesTheFrameAndOtherMessagesAreLeftToTheWindowSystem) {
  EXPECT_FALSE(Headless::send(window, Headless::mouseMessage(WindowMessage::kOther, 0, 0)));
  EXPECT_FALSE(Headless::send(window, Headless::mouseMessage(WindowMessage::kDestroyed, 0, 0)));
  EXPECT_FALSE(frame->isOpen());
  EXPECT_EQ(frame->getSystemWindow(), nullptr);
  a->setDirty(true);
  Headless::clearInvalidRects(window);
  frame->idle();
  EXPECT_TRUE(Headless::invalidRects(window).empty()) << "no idle work once closed";
}

namespace {

class EditField : public RecordingView, public CTextFieldColours {
 public:
  using RecordingView::RecordingView;
  CColor getTextFieldFontColor() const override { return kRedCColor; }
  CColor getTextFieldBackColor() const override { return kYellowCColor; }
};

}  // namespace

TEST_F(FrameTest, TextFieldColoursComeFromTheFocusView) {
  CColor text, back;
  EXPECT_FALSE(textFieldColours(frame, text, back)) << "no text field has the focus";
  auto* field = new EditField(CRect(0, 100, 50, 120), &log, "field");
  frame->addView(field);
  frame->setFocusView(field);
  ASSERT_TRUE(textFieldColours(frame, text, back));
  EXPECT_EQ(text, kRedCColor);
  EXPECT_EQ(back, kYellowCColor);
}

TEST_F(FrameTest, CursorShapesAndTheSavedCursor) {
  Headless::setMouseButtons(0);
  frame->setCursor(kCursorHand);
  EXPECT_EQ(Headless::currentCursor(), kCursorHand);
  frame->setCursor(kCursorVSize);
  EXPECT_EQ(Headless::currentCursor(), kCursorVSize);
  frame->setCursor(kCursorCopy);
  EXPECT_EQ(Headless::currentCursor(), kCursorDefault) << "restores the cursor saved first";
  frame->setCursor(kCursorWait);
  frame->forget();
  frame = nullptr;
  EXPECT_EQ(Headless::currentCursor(), kCursorDefault) << "the frame's end restores it";
}

TEST(FrameLifetime, WindowClassIsRegisteredOnceAndUnregisteredWithTheLastFrame) {
  const int registrations = Headless::windowClassRegistrations();
  ASSERT_EQ(Headless::windowClassUseCount(), 0);
  CFrame* first = new CFrame(CRect(0, 0, 10, 10), fakeParentWindow(), nullptr);
  CFrame* second = new CFrame(CRect(0, 0, 10, 10), fakeParentWindow(), nullptr);
  EXPECT_EQ(Headless::windowClassRegistrations(), registrations + 1);
  EXPECT_EQ(Headless::windowClassUseCount(), 2);
  Platform::Window* w = second->getPlatformWindow();
  first->forget();
  EXPECT_EQ(Headless::windowClassUseCount(), 1);
  EXPECT_TRUE(Headless::isDropTargetRegistered(w));
  second->forget();
  EXPECT_EQ(Headless::windowClassUseCount(), 0);
  CFrame* third = new CFrame(CRect(0, 0, 10, 10), fakeParentWindow(), nullptr);
  EXPECT_EQ(Headless::windowClassRegistrations(), registrations + 2);
  third->forget();
  EXPECT_EQ(GDIPlusGlobals::get(), nullptr) << "the graphics guard ends with the last frame";
}

TEST_F(FrameTest, IdleInvalidatesTheWholeNewFrameOnce) {
  Headless::clearInvalidRects(window);
  frame->setDirty(true);
  frame->idle();
  ASSERT_EQ(Headless::invalidRects(window).size(), 1u);
  EXPECT_EQ(Headless::invalidRects(window)[0], CRect(0, 0, 400, 300));
  EXPECT_TRUE(frame->isFirstDraw());
  Headless::paint(window);
  EXPECT_FALSE(frame->isFirstDraw());
  Headless::clearInvalidRects(window);
  frame->idle();
  EXPECT_TRUE(Headless::invalidRects(window).empty());
}

TEST_F(FrameTest, SetSizeResizesWindowAndFrame) {
  EXPECT_FALSE(frame->setSize(400, 300)) << "same size";
  EXPECT_TRUE(frame->setSize(500, 320));
  EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 500, 320));
  CRect parent;
  EXPECT_TRUE(frame->getSize(parent));
  EXPECT_EQ(parent.width(), 500);
}

// --- drag and drop -----------------------------------------------------------------------------

namespace {

class TextDrag : public CDragContainer {
 public:
  void* first(std::int32_t& size, std::int32_t& type) override {
    index = 0;
    return next(size, type);
  }
  void* next(std::int32_t& size, std::int32_t& type) override {
    if (index++ > 0) return nullptr;
    size = 5;
    type = kUnicodeText;
    return const_cast<char*>("hello");
  }
  std::int32_t getType(std::int32_t) const override { return kUnicodeText; }
  std::int32_t getCount() const override { return 1; }
  int index = 0;
};

class DropView : public RecordingView {
 public:
  using RecordingView::RecordingView;
  void onDragEnter(CDragContainer*, const CPoint& where) override { log->push_back({name + ":enter", where, 0}); }
  void onDragLeave(CDragContainer*, const CPoint& where) override { log->push_back({name + ":leave", where, 0}); }
  void onDragMove(CDragContainer*, const CPoint& where) override { log->push_back({name + ":move", where, 0}); }
  bool onDrop(CDragContainer* drag, const CPoint& where) override {
    std::int32_t size = 0, type = 0;
    const char* text = static_cast<const char*>(drag->first(size, type));
    log->push_back({name + ":drop:" + (text ? text : ""), where, 0});
    return true;
  }
};

}  // namespace

TEST_F(FrameTest, DragsAreRoutedToTheChildUnderThePoint) {
  auto* p = new DropView(CRect(200, 200, 250, 250), &log, "p");
  auto* q = new DropView(CRect(300, 200, 350, 250), &log, "q");
  frame->addView(p);
  frame->addView(q);
  auto* drag = new TextDrag;
  frame->onDragEnter(drag, CPoint(210, 210));
  frame->onDragMove(drag, CPoint(211, 210));
  frame->onDragMove(drag, CPoint(310, 210));
  EXPECT_TRUE(frame->onDrop(drag, CPoint(311, 211)));
  EXPECT_EQ(Strings(names()),
            (Strings{"p:enter", "p:move", "p:leave", "q:enter", "q:drop:hello", "q:leave"}));
  drag->forget();
}
