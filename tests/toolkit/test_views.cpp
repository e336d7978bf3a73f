// Views and containers: ownership on add and remove, attaching, mouse routing
// through nested containers with the modifier rule, hit order, dirty tracking and
// invalidation, visible size, autosizing and attributes.
#include <gtest/gtest.h>

#include "tests/toolkit/toolkit_test_util.h"
#include "toolkit/ccontrollistener.h"

using namespace VSTGUI;
using namespace toolkit_test;

namespace {

/// A view that tells when it is deleted.
class TrackedView : public CView {
 public:
  TrackedView(const CRect& r, int* deleted) : CView(r), deleted(deleted) {}
  ~TrackedView() override { ++*deleted; }
  int* deleted;
};

}  // namespace

TEST(ViewOwnership, ContainerHoldsOneReferenceAndReleasesOnRemove) {
  CFrame* frame = new CFrame(CRect(0, 0, 200, 200), nullptr, nullptr);
  int deleted = 0;
  auto* view = new TrackedView(CRect(0, 0, 10, 10), &deleted);
  ASSERT_TRUE(frame->addView(view));
  EXPECT_EQ(view->getNbReference(), 2);
  EXPECT_TRUE(view->isAttached());
  EXPECT_EQ(view->getFrame(), frame);
  EXPECT_EQ(view->getParentView(), frame);

  EXPECT_TRUE(frame->removeView(view, false));  // only the container's reference goes
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(view->getNbReference(), 1);
  EXPECT_FALSE(view->isAttached());
  EXPECT_EQ(view->getFrame(), nullptr);
  EXPECT_EQ(view->getParentView(), nullptr);

  ASSERT_TRUE(frame->addView(view));
  EXPECT_TRUE(frame->removeView(view, true));  // the creator's goes too
  EXPECT_EQ(deleted, 1);
  EXPECT_FALSE(frame->removeView(view, true)) << "not a child any more";
  frame->forget();
}

TEST(ViewOwnership, RemoveWithForgetAfterTheCreatorLetGoFreesOnce) {
  CFrame* frame = new CFrame(CRect(0, 0, 200, 200), nullptr, nullptr);
  int deleted = 0;
  auto* view = new TrackedView(CRect(0, 0, 10, 10), &deleted);
  frame->addView(view);
  view->forget();  // the creator releases its reference as the ownership rule asks
  EXPECT_EQ(deleted, 0);
  frame->removeView(view, true);
  EXPECT_EQ(deleted, 1);
  frame->forget();
}

TEST(ViewOwnership, FrameDestroysViewsTheCreatorKept) {
  int deleted = 0;
  CFrame* frame = new CFrame(CRect(0, 0, 200, 200), nullptr, nullptr);
  auto* container = new CViewContainer(CRect(10, 10, 100, 100));
  frame->addView(new TrackedView(CRect(0, 0, 10, 10), &deleted));
  frame->addView(new TrackedView(CRect(0, 0, 10, 10), &deleted));
  auto* inner = new TrackedView(CRect(0, 0, 10, 10), &deleted);
  container->addView(inner);
  inner->forget();  // the container owns it alone
  frame->addView(container);
  frame->forget();
  EXPECT_EQ(deleted, 3);
}

TEST(ViewOwnership, RemoveAllReleasesEveryChild) {
  int deleted = 0;
  auto* container = new CViewContainer(CRect(0, 0, 100, 100));
  for (int i = 0; i < 4; ++i) container->addView(new TrackedView(CRect(0, 0, 5, 5), &deleted));
  EXPECT_EQ(container->getNbViews(), 4);
  container->removeAll(true);
  EXPECT_EQ(deleted, 4);
  EXPECT_EQ(container->getNbViews(), 0);
  container->forget();
}

TEST(ViewOwnership, AddRefusesNullAttachedAndDuplicateViews) {
  CFrame* frame = new CFrame(CRect(0, 0, 200, 200), nullptr, nullptr);
  auto* view = new CView(CRect(0, 0, 10, 10));
  EXPECT_FALSE(frame->addView(nullptr));
  EXPECT_TRUE(frame->addView(view));
  EXPECT_FALSE(frame->addView(view));
  auto* other = new CViewContainer(CRect(0, 0, 50, 50));
  EXPECT_FALSE(other->addView(view)) << "already attached elsewhere";
  auto* loose = new CView(CRect(0, 0, 1, 1));
  EXPECT_TRUE(other->addView(loose));
  EXPECT_FALSE(other->addView(loose)) << "already a child";
  EXPECT_FALSE(loose->removed(other)) << "a detached view cannot be detached";
  other->forget();
  loose->forget();
  frame->forget();
}

TEST(ViewOwnership, OrderIndexAndInsertBefore) {
  auto* container = new CViewContainer(CRect(0, 0, 100, 100));
  auto* a = new CView(CRect(0, 0, 1, 1));
  auto* b = new CView(CRect(0, 0, 1, 1));
  auto* c = new CView(CRect(0, 0, 1, 1));
  container->addView(a);
  container->addView(c);
  container->addView(b, c);
  EXPECT_EQ(container->getView(0), a);
  EXPECT_EQ(container->getView(1), b);
  EXPECT_EQ(container->getView(2), c);
  EXPECT_EQ(container->getView(3), nullptr);
  EXPECT_EQ(container->getView(-1), nullptr);
  EXPECT_TRUE(container->isChild(b));
  EXPECT_EQ(container->notify(nullptr, kMsgCheckIfViewContainer), kMessageNotified);
  const std::string sameText = "kMsgCheckIfViewContainer";
  EXPECT_EQ(container->notify(nullptr, sameText.c_str()), kMessageUnknown)
      << "messages are told apart by address, not text";
  EXPECT_TRUE(container->isTypeOf("CView"));
  EXPECT_TRUE(container->isTypeOf("CViewContainer"));
  EXPECT_FALSE(a->isTypeOf("CViewContainer"));
  for (CView* v : {a, b, c}) v->forget();
  container->forget();
}

TEST(ViewOwnership, AttachingAContainerAttachesItsTree) {
  CFrame* frame = new CFrame(CRect(0, 0, 200, 200), nullptr, nullptr);
  auto* outer = new CViewContainer(CRect(10, 10, 100, 100));
  auto* inner = new CViewContainer(CRect(5, 5, 50, 50));
  auto* leaf = new CView(CRect(1, 1, 5, 5));
  inner->addView(leaf);
  outer->addView(inner);
  EXPECT_FALSE(leaf->isAttached());
  frame->addView(outer);
  EXPECT_TRUE(leaf->isAttached());
  EXPECT_EQ(leaf->getFrame(), frame);
  EXPECT_EQ(leaf->getParentView(), inner);
  CPoint p(20, 20);
  leaf->frameToLocal(p);
  EXPECT_EQ(p, CPoint(5, 5));  // minus (10, 10) and (5, 5)
  leaf->localToFrame(p);
  EXPECT_EQ(p, CPoint(20, 20));
  frame->removeView(outer, false);
  EXPECT_FALSE(leaf->isAttached());
  EXPECT_EQ(leaf->getFrame(), nullptr);
  outer->forget();
  inner->forget();
  leaf->forget();
  frame->forget();
}

// --- mouse routing ---------------------------------------------------------------------

class Routing : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new CFrame(CRect(0, 0, 400, 300), nullptr, nullptr);
    outer = new CViewContainer(CRect(100, 100, 300, 250));
    inner = new CViewContainer(CRect(20, 10, 120, 110));
    deep = new RecordingView(CRect(10, 10, 50, 50), &log, "deep");
    inner->addView(deep);
    deep->forget();  // the container owns it
    outer->addView(inner);
    inner->forget();
    frame->addView(outer);
  }
  void TearDown() override { frame->forget(); }

  std::vector<Event> log;
  CFrame* frame = nullptr;
  CViewContainer* outer = nullptr;
  CViewContainer* inner = nullptr;
  RecordingView* deep = nullptr;
};

TEST_F(Routing, DownMoveUpReachTheChildInItsParentsCoordinates) {
  // Frame (140, 130) is (40, 30) in outer and (20, 20) in inner, where deep lives.
  EXPECT_EQ(frame->onMouseDown(CPoint(140, 130), kLButton), kMouseEventHandled);
  EXPECT_EQ(frame->onMouseMoved(CPoint(145, 131), kLButton), kMouseEventHandled);
  EXPECT_EQ(frame->onMouseUp(CPoint(146, 132), 0), kMouseEventHandled);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].what, "deep:down");
  EXPECT_EQ(log[0].where, CPoint(20, 20));
  EXPECT_EQ(log[0].buttons, kLButton);
  EXPECT_EQ(log[1].what, "deep:moved");
  EXPECT_EQ(log[1].where, CPoint(25, 21));
  EXPECT_EQ(log[2].what, "deep:up");
  EXPECT_EQ(log[2].where, CPoint(26, 22));
  EXPECT_EQ(frame->getMouseDownView(), nullptr);
  EXPECT_EQ(frame->onMouseUp(CPoint(146, 132), 0), kMouseEventNotHandled);
}

TEST_F(Routing, HandledButNoMovesMeansNoMovesAndNoRelease) {
  deep->downResult = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  EXPECT_EQ(frame->onMouseDown(CPoint(140, 130), kLButton),
            kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(outer->getMouseDownView(), nullptr);
  frame->onMouseMoved(CPoint(141, 131), kLButton);
  EXPECT_EQ(frame->onMouseUp(CPoint(141, 131), 0), kMouseEventNotHandled);
  ASSERT_GE(log.size(), 1u);
  for (std::size_t i = 1; i < log.size(); ++i) {
    EXPECT_NE(log[i].what, "deep:moved");
    EXPECT_NE(log[i].what, "deep:up");
  }
}

TEST_F(Routing, AMoveAnswerOtherThanHandledEndsTheGesture) {
  frame->onMouseDown(CPoint(140, 130), kLButton);
  deep->movedResult = kMouseEventNotHandled;
  EXPECT_EQ(outer->onMouseMoved(CPoint(40, 30), kLButton), kMouseEventNotHandled);
  EXPECT_EQ(outer->getMouseDownView(), nullptr);
}

TEST_F(Routing, ClickOutsideEveryChildIsNotHandled) {
  EXPECT_EQ(frame->onMouseDown(CPoint(5, 5), kLButton), kMouseEventNotHandled);
  EXPECT_EQ(frame->onMouseDown(CPoint(290, 240), kLButton), kMouseEventNotHandled);
  EXPECT_TRUE(log.empty());
}

TEST(RoutingEdges, AFrameAwayFromTheOriginGivesDownMoveAndUpTheSameCoordinates) {
  std::vector<Event> log;
  CFrame* frame = new CFrame(CRect(10, 20, 410, 320), nullptr, nullptr);
  auto* view = new RecordingView(CRect(0, 0, 100, 100), &log, "v");
  frame->addView(view);
  view->forget();
  frame->onMouseDown(CPoint(30, 40), kLButton);
  frame->onMouseMoved(CPoint(35, 45), kLButton);
  frame->onMouseUp(CPoint(36, 46), 0);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].where, CPoint(20, 20));
  EXPECT_EQ(log[1].where, CPoint(25, 25)) << "the move in the same coordinates as the click";
  EXPECT_EQ(log[2].where, CPoint(26, 26));
  frame->forget();
}

namespace {

/// Leaves its container while it handles the click, and still answers handled.
class LeavingView : public RecordingView {
 public:
  using RecordingView::RecordingView;
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override {
    RecordingView::onMouseDown(where, buttons);
    static_cast<CViewContainer*>(getParentView())->removeView(this, false);
    return kMouseEventHandled;
  }
};

}  // namespace

TEST(RoutingEdges, AChildThatLeftDuringItsClickGetsNoMovesOrRelease) {
  std::vector<Event> log;
  CFrame* frame = new CFrame(CRect(0, 0, 400, 300), nullptr, nullptr);
  auto* box = new CViewContainer(CRect(100, 100, 300, 300));
  auto* leaving = new LeavingView(CRect(0, 0, 50, 50), &log, "leaving");
  box->addView(leaving);
  frame->addView(box);
  box->forget();
  EXPECT_EQ(frame->onMouseDown(CPoint(110, 110), kLButton), kMouseEventHandled);
  EXPECT_FALSE(box->isChild(leaving));
  EXPECT_EQ(box->getMouseDownView(), nullptr);
  frame->onMouseMoved(CPoint(120, 120), kLButton);
  frame->onMouseUp(CPoint(120, 120), 0);
  ASSERT_EQ(log.size(), 1u) << "only the click reached it";
  EXPECT_EQ(log[0].what, "leaving:down");
  leaving->forget();
  frame->forget();
}

TEST(Hit, TopmostChildWinsAndEdgesAreInclusive) {
  std::vector<Event> log;
  CFrame* frame = new CFrame(CRect(0, 0, 400, 300), nullptr, nullptr);
  auto* first = new RecordingView(CRect(0, 0, 100, 100), &log, "first");
  auto* second = new RecordingView(CRect(50, 50, 150, 150), &log, "second");
  frame->addView(first);
  frame->addView(second);
  frame->onMouseDown(CPoint(60, 60), kLButton);
  frame->onMouseUp(CPoint(60, 60), 0);
  frame->onMouseDown(CPoint(100, 20), kLButton);  // right edge of first
  frame->onMouseUp(CPoint(100, 20), 0);
  second->setVisible(false);
  frame->onMouseDown(CPoint(60, 60), kLButton);
  frame->onMouseUp(CPoint(60, 60), 0);
  second->setVisible(true);
  second->setMouseEnabled(false);
  frame->onMouseDown(CPoint(60, 60), kLButton);
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[0].what, "second:down");
  EXPECT_EQ(log[2].what, "first:down");
  EXPECT_EQ(log[4].what, "first:down") << "hidden views take no clicks";
  EXPECT_EQ(log[6].what, "first:down") << "mouse-disabled views take no clicks";
  EXPECT_EQ(frame->getViewAt(CPoint(60, 60)), second) << "mouse-enabled plays no part here";
  frame->forget();
}

TEST(Hit, MouseableAreaDecidesNotTheViewSize) {
  std::vector<Event> log;
  CFrame* frame = new CFrame(CRect(0, 0, 400, 300), nullptr, nullptr);
  auto* view = new RecordingView(CRect(0, 0, 10, 10), &log, "v");
  frame->addView(view, CRect(0, 0, 100, 50));
  EXPECT_EQ(frame->onMouseDown(CPoint(100, 50), kLButton), kMouseEventHandled);
  frame->onMouseUp(CPoint(100, 50), 0);
  EXPECT_EQ(frame->onMouseDown(CPoint(101, 50), kLButton), kMouseEventNotHandled);
  view->setViewSize(CRect(200, 200, 210, 210));
  EXPECT_EQ(view->getMouseableArea(), CRect(0, 0, 100, 50)) << "setViewSize keeps the mouse area";
  frame->forget();
}

TEST(Hit, GetViewAtAndContainerAtWalkDeepOrShallow) {
  CFrame* frame = new CFrame(CRect(0, 0, 400, 300), nullptr, nullptr);
  auto* box = new CViewContainer(CRect(100, 100, 200, 200));
  auto* leaf = new CView(CRect(10, 10, 20, 20));
  box->addView(leaf);
  leaf->forget();
  frame->addView(box);
  EXPECT_EQ(frame->getViewAt(CPoint(115, 115), false), box);
  EXPECT_EQ(frame->getViewAt(CPoint(115, 115), true), leaf);
  EXPECT_EQ(frame->getViewAt(CPoint(150, 150), true), nullptr) << "nothing inside the box there";
  EXPECT_EQ(frame->getContainerAt(CPoint(150, 150), true), box);
  EXPECT_EQ(frame->getContainerAt(CPoint(5, 5), true), frame);
  EXPECT_TRUE(frame->hitTestSubViews(CPoint(150, 150)));
  EXPECT_FALSE(frame->hitTestSubViews(CPoint(50, 50)));
  frame->forget();
}

namespace {

class ModifierListener : public CControlListener {
 public:
  void valueChanged(CControl*) override {}
  std::int32_t controlModifierClicked(CControl* control, CButton button) override {
    ++calls;
    lastControl = control;
    lastButtons = button;
    return answer;
  }
  int calls = 0;
  CControl* lastControl = nullptr;
  CButton lastButtons = 0;
  std::int32_t answer = 1;
};

/// Stands in for a control: answers "CControl" and has a listener.
class FakeControl : public RecordingView {
 public:
  FakeControl(const CRect& r, std::vector<Event>* log, CControlListener* listener)
      : RecordingView(r, log, "control"), listener(listener) {}
  bool isTypeOf(const char* type) const override {
    return std::string(type) == "CControl" || CView::isTypeOf(type);
  }
  CControlListener* listener;
};

CControlListener* fakeListenerQuery(CView* view, CControl** control) {
  *control = reinterpret_cast<CControl*>(view);
  return static_cast<FakeControl*>(view)->listener;
}

}  // namespace

TEST(Hit, ModifierClicksGoToTheListenerFirst) {
  setControlListenerQuery(fakeListenerQuery);
  std::vector<Event> log;
  ModifierListener listener;
  CFrame* frame = new CFrame(CRect(0, 0, 400, 300), nullptr, nullptr);
  auto* box = new CViewContainer(CRect(10, 10, 200, 200));
  auto* control = new FakeControl(CRect(0, 0, 50, 50), &log, &listener);
  box->addView(control);
  control->forget();
  frame->addView(box);

  EXPECT_EQ(frame->onMouseDown(CPoint(20, 20), kLButton | kControl), kMouseEventHandled);
  EXPECT_EQ(listener.calls, 1);
  EXPECT_EQ(listener.lastControl, reinterpret_cast<CControl*>(static_cast<CView*>(control)));
  EXPECT_EQ(listener.lastButtons, kLButton | kControl);
  EXPECT_TRUE(log.empty()) << "the control sees nothing when the listener used the click";

  for (CButton modifier : {kRButton, kShift, kAlt, kApple}) {
    frame->onMouseDown(CPoint(20, 20), modifier | (modifier == kRButton ? 0 : kLButton));
  }
  EXPECT_EQ(listener.calls, 5);
  EXPECT_TRUE(log.empty());

  frame->onMouseDown(CPoint(20, 20), kLButton | kMButton | kDoubleClick);
  EXPECT_EQ(listener.calls, 5) << "no modifier: the listener is not asked";
  ASSERT_EQ(log.size(), 1u);
  frame->onMouseUp(CPoint(20, 20), 0);

  listener.answer = 0;
  log.clear();
  frame->onMouseDown(CPoint(20, 20), kLButton | kShift);
  EXPECT_EQ(listener.calls, 6);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0].what, "control:down") << "an unused modifier click reaches the control";
  frame->forget();
  setControlListenerQuery(nullptr);
}

// --- dirty tracking and invalidation --------------------------------------------------------

class Dirty : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new CFrame(CRect(0, 0, 300, 200), fakeParentWindow(), nullptr);
    window = windowOf(frame);
    ASSERT_NE(window, nullptr);
    box = new CViewContainer(CRect(100, 50, 200, 150));
    view = new RecordingView(CRect(10, 10, 30, 40));
    box->addView(view);
    view->forget();  // the container owns it
    frame->addView(box);
    frame->idle();
    Headless::paint(window);  // everything clean now
    Headless::clearInvalidRects(window);
  }
  void TearDown() override { frame->forget(); }

  CFrame* frame = nullptr;
  Platform::Window* window = nullptr;
  CViewContainer* box = nullptr;
  RecordingView* view = nullptr;
};

TEST_F(Dirty, CleanTreeInvalidatesNothing) {
  EXPECT_FALSE(frame->isDirty());
  frame->idle();
  EXPECT_TRUE(Headless::invalidRects(window).empty());
}

TEST_F(Dirty, ADirtyChildIsInvalidatedInWindowCoordinatesOnce) {
  view->setDirty(true);
  EXPECT_TRUE(box->isDirty());
  EXPECT_TRUE(frame->isDirty());
  frame->idle();
  ASSERT_EQ(Headless::invalidRects(window).size(), 1u);
  EXPECT_EQ(Headless::invalidRects(window)[0], CRect(110, 60, 130, 90));
  EXPECT_FALSE(view->isDirty());
  Headless::clearInvalidRects(window);
  frame->idle();
  EXPECT_TRUE(Headless::invalidRects(window).empty()) << "marked clean by the invalidation";
}

TEST_F(Dirty, InvalidationIsBoundedByEveryContainer) {
  view->invalidRect(CRect(-50, -50, 500, 20));
  ASSERT_EQ(Headless::invalidRects(window).size(), 1u);
  EXPECT_EQ(Headless::invalidRects(window)[0], CRect(100, 50, 200, 70));
  Headless::clearInvalidRects(window);
  view->invalidRect(CRect(-50, -50, -10, -10));
  EXPECT_TRUE(Headless::invalidRects(window).empty()) << "nothing left after bounding";
}

TEST_F(Dirty, HiddenViewsAreNotInvalidatedUntilShown) {
  view->setVisible(false);
  Headless::clearInvalidRects(window);
  view->setDirty(true);
  frame->idle();
  view->invalid();
  EXPECT_TRUE(Headless::invalidRects(window).empty());
  view->setVisible(true);
  frame->idle();
  ASSERT_EQ(Headless::invalidRects(window).size(), 1u);
  EXPECT_EQ(Headless::invalidRects(window)[0], CRect(110, 60, 130, 90));
}

TEST_F(Dirty, HidingAViewRepaintsTheAreaItLeaves) {
  view->setVisible(false);
  ASSERT_EQ(Headless::invalidRects(window).size(), 1u);
  EXPECT_EQ(Headless::invalidRects(window)[0], CRect(110, 60, 130, 90));
}

TEST_F(Dirty, ADirtyContainerInvalidatesItsWholeRectangle) {
  box->setDirty(true);
  view->setDirty(true);
  frame->idle();
  ASSERT_EQ(Headless::invalidRects(window).size(), 1u);
  EXPECT_EQ(Headless::invalidRects(window)[0], CRect(100, 50, 200, 150));
}

TEST_F(Dirty, ADirtyChildOutsideItsContainerDoesNotMakeItDirty) {
  view->setViewSize(CRect(500, 500, 520, 520));
  EXPECT_FALSE(box->isDirty()) << "its rectangle lies outside the container's bounds";
}

TEST_F(Dirty, AddingAndRemovingInvalidateTheChild) {
  auto* added = new CView(CRect(0, 0, 10, 10));
  box->addView(added);
  ASSERT_EQ(Headless::invalidRects(window).size(), 1u);
  EXPECT_EQ(Headless::invalidRects(window)[0], CRect(100, 50, 110, 60));
  Headless::clearInvalidRects(window);
  box->removeView(added, true);
  ASSERT_EQ(Headless::invalidRects(window).size(), 1u);
  EXPECT_EQ(Headless::invalidRects(window)[0], CRect(100, 50, 110, 60));
}

TEST_F(Dirty, PaintDrawsOnlyWhatOverlapsTheUpdate) {
  const int before = view->drawCount;
  Headless::paint(window, CRect(0, 0, 50, 50));
  EXPECT_EQ(view->drawCount, before);
  Headless::paint(window, CRect(115, 65, 116, 66));
  EXPECT_EQ(view->drawCount, before + 1);
}

TEST_F(Dirty, VisibleSizeIsBoundedByTheAncestors) {
  auto* wide = new CView(CRect(-20, 80, 150, 130));
  box->addView(wide);
  wide->forget();
  EXPECT_EQ(wide->getVisibleSize(), CRect(0, 80, 100, 100));
  EXPECT_EQ(view->getVisibleSize(), CRect(10, 10, 30, 40));
}

// --- autosize -----------------------------------------------------------------------------

TEST(Autosize, ChildrenFollowTheirFlags) {
  auto* box = new CViewContainer(CRect(0, 0, 100, 100));
  auto* fixed = new CView(CRect(10, 10, 20, 20));
  auto* stretch = new CView(CRect(10, 10, 20, 20));
  auto* moving = new CView(CRect(10, 10, 20, 20));
  stretch->setAutosizeFlags(kAutosizeLeft | kAutosizeTop | kAutosizeRight | kAutosizeBottom);
  moving->setAutosizeFlags(kAutosizeRight | kAutosizeBottom);
  for (CView* v : {fixed, stretch, moving}) box->addView(v);
  box->setViewSize(CRect(0, 0, 150, 120));
  EXPECT_EQ(fixed->getViewSize(), CRect(10, 10, 20, 20));
  EXPECT_EQ(stretch->getViewSize(), CRect(10, 10, 70, 40));
  EXPECT_EQ(stretch->getMouseableArea(), CRect(10, 10, 70, 40));
  EXPECT_EQ(moving->getViewSize(), CRect(60, 30, 70, 40));
  EXPECT_EQ(moving->getMouseableArea(), CRect(60, 30, 70, 40));
  for (CView* v : {fixed, stretch, moving}) v->forget();
  box->forget();
}

TEST(Autosize, ColumnsShareTheGrowthEqually) {
  auto* box = new CViewContainer(CRect(0, 0, 90, 50));
  box->setAutosizeFlags(kAutosizeColumn);
  CView* columns[3];
  for (int i = 0; i < 3; ++i) {
    columns[i] = new CView(CRect(30 * i, 0, 30 * i + 30, 50));
    box->addView(columns[i]);
  }
  box->setViewSize(CRect(0, 0, 120, 50));
  EXPECT_EQ(columns[0]->getViewSize(), CRect(0, 0, 40, 50));
  EXPECT_EQ(columns[1]->getViewSize(), CRect(40, 0, 80, 50));
  EXPECT_EQ(columns[2]->getViewSize(), CRect(80, 0, 120, 50));
  for (CView* v : columns) v->forget();
  box->forget();
}

// --- attributes and copies ------------------------------------------------------------------

TEST(Attributes, SetReplacesGrowsAndRemoves) {
  CView* view = new CView(CRect(0, 0, 1, 1));
  const int small = 7;
  const double big[3] = {1.0, 2.0, 3.0};
  EXPECT_TRUE(view->setAttribute('a', sizeof small, &small));
  EXPECT_TRUE(view->setAttribute('a', sizeof big, big));
  std::int32_t size = 0;
  EXPECT_TRUE(view->getAttributeSize('a', size));
  EXPECT_EQ(size, std::int32_t(sizeof big));
  double out[3] = {};
  std::int32_t outSize = 0;
  EXPECT_FALSE(view->getAttribute('a', 8, out, outSize)) << "buffer too small";
  EXPECT_TRUE(view->getAttribute('a', sizeof out, out, outSize));
  EXPECT_EQ(out[2], 3.0);
  CView* copy = view->newCopy();
  EXPECT_TRUE(view->removeAttribute('a'));
  EXPECT_FALSE(view->getAttributeSize('a', size));
  EXPECT_TRUE(copy->getAttributeSize('a', size)) << "the copy has its own list";
  copy->forget();
  view->forget();
}
