// Builds and destroys whole frames (nested and offscreen containers, shared
// bitmaps, fonts, a modal view, painting and idle passes) many times. ctest runs it
// under valgrind, which fails the test on any lost block or invalid access.
#include <gtest/gtest.h>

#include "tests/toolkit/toolkit_test_util.h"

using namespace VSTGUI;
using namespace toolkit_test;

namespace {

class TextView : public CView {
 public:
  using CView::CView;
  void draw(CDrawContext* context) override {
    context->setFont(kNormalFontSmall, 15, kItalicFace);  // a private font copy
    context->setFontColor(kWhiteCColor);
    context->drawString("Voices 07", size, kCenterText);
    CView::draw(context);
  }
};

void buildUseAndDestroy(int round) {
  CFrame* frame = new CFrame(CRect(0, 0, 856, 392), fakeParentWindow(), nullptr);
  CBitmap* background = new CBitmap(CResourceDescription("Background"));
  CBitmap* strip = new CBitmap(CResourceDescription("Strip"));
  CBitmap* alpha = new CBitmap(CResourceDescription("Alpha"));
  CBitmap* missing = new CBitmap(CResourceDescription("Missing"));
  frame->setBackground(background);

  auto* panel = new CViewContainer(CRect(280, 80, 500, 140), frame, alpha);
  panel->setDrawInOffscreen(round % 2 == 0);
  for (int i = 0; i < 4; ++i) {
    auto* label = new TextView(CRect(10 + 50 * i, 10, 55 + 50 * i, 30));
    label->setAttribute(1, 4, "abc");
    panel->addView(label);
    label->forget();  // the container owns it alone
  }
  frame->addView(panel);
  for (int i = 0; i < 10; ++i) {
    auto* knob = new CView(CRect(64 * i, 200, 64 * i + 64, 264));
    knob->setBackground(strip);
    knob->setTransparency(true);
    frame->addView(knob);
    if (i % 2) knob->forget();  // half of them owned by the frame alone
  }
  auto* modal = new CView(CRect(0, 0, 856, 392));
  modal->setBackground(missing);
  frame->setModalView(modal);
  for (CBitmap* b : {background, strip, alpha, missing}) b->forget();

  frame->idle();
  Headless::paint(frame->getPlatformWindow());
  frame->setModalView(nullptr);
  frame->onMouseMoved(CPoint(300, 90), 0);
  frame->onMouseDown(CPoint(300, 210), kLButton);
  frame->onMouseUp(CPoint(300, 210), 0);
  frame->setDirty(true);
  frame->idle();
  Headless::paint(frame->getPlatformWindow());
  modal->forget();
  frame->forget();
}

}  // namespace

TEST(Leaks, FramesWithViewTreesAndBitmapsAreReleasedCompletely) {
  for (int round = 0; round < 25; ++round) buildUseAndDestroy(round);
  EXPECT_EQ(GDIPlusGlobals::get(), nullptr);
  EXPECT_EQ(Headless::windowClassUseCount(), 0);
}
