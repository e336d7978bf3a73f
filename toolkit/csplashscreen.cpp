#include "toolkit/csplashscreen.h"

#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"

namespace VSTGUI {

// --- CDefaultSplashScreenView -------------------------------------------------------------

CDefaultSplashScreenView::CDefaultSplashScreenView(const CRect& size, CControlListener* listener,
                                                   CBitmap* background, const CPoint& offset)
    : CControl(size, listener, 0, background), offset(offset) {}

void CDefaultSplashScreenView::draw(CDrawContext* pContext) {
  drawBitmap(pBackground, pContext, size, offset);
  setDirty(false);
}

CMouseEventResult CDefaultSplashScreenView::onMouseDown(const CPoint&, const CButton& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  if (listener) listener->valueChanged(this);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CView* CDefaultSplashScreenView::newCopy() const {
  return new CDefaultSplashScreenView(size, listener, pBackground, offset);
}

// --- CSplashScreen -----------------------------------------------------------------------------

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, std::int32_t tag,
                             CBitmap* background, const CRect& toDisplay, const CPoint& offset)
    : CControl(size, listener, tag, background), toDisplay(toDisplay), offset(offset) {
  modalView = new CDefaultSplashScreenView(toDisplay, this, background, offset);
}

CSplashScreen::~CSplashScreen() {
  if (modalView) modalView->forget();
}

bool CSplashScreen::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CSplashScreen") == 0) || CControl::isTypeOf(type);
}

CView* CSplashScreen::newCopy() const {
  return new CSplashScreen(size, listener, tag, pBackground, toDisplay, offset);
}

void CSplashScreen::draw(CDrawContext*) { setDirty(false); }

bool CSplashScreen::hitTest(const CPoint& where, const CButton& buttons) {
  return mouseableArea.pointInside(where) && (buttons & kLButton);
}

CMouseEventResult CSplashScreen::onMouseDown(const CPoint&, const CButton& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value = value == 0.0f ? 1.0f : 0.0f;
  if (value == 0.0f) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  if (modalView && isAttached() && pParentFrame->setModalView(modalView) && listener)
    listener->valueChanged(this);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSplashScreen::unSplash() {
  value = 0.0f;
  if (isAttached() && pParentFrame->getModalView() == modalView) {
    modalView->invalid();
    pParentFrame->setModalView(nullptr);
  }
}

void CSplashScreen::valueChanged(CControl* pControl) {
  if (pControl != modalView) return;
  unSplash();
  if (listener) listener->valueChanged(this);
}

void CSplashScreen::setDisplayArea(const CRect& rect) { toDisplay = rect; }

CRect& CSplashScreen::getDisplayArea(CRect& rect) const {
  rect = toDisplay;
  return rect;
}

bool CSplashScreen::removed(CView* parent) {
  // The picture's listener is this view: it must not stay in the frame without it.
  if (isAttached() && pParentFrame && pParentFrame->getModalView() == modalView)
    pParentFrame->setModalView(nullptr);
  return CControl::removed(parent);
}

}  // namespace VSTGUI
