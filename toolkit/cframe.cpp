#include "toolkit/cframe.h"

#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

CFrame::CFrame(const CRect& inSize, void* parentWindow, VSTGUIEditorInterface* editor)
    : CViewContainer(inSize, nullptr, nullptr), pEditor(editor), pSystemWindow(parentWindow) {
  pParentFrame = this;
  bIsAttached = true;
  threadSetup = Platform::setUpThread();
  GDIPlusGlobals::enter();
  bComposited = Platform::isComposited();
  if (pSystemWindow) {
    pHwnd = Platform::createWindow(pSystemWindow, this, size, bComposited);
    if (pHwnd) setDropActive(true);
  }
}

CFrame::~CFrame() {
  if (pModalView) removeView(pModalView, false);
  pModalView = nullptr;
  if (!bCursorSaved) {
    oldCursor = Platform::getCursor();
    bCursorSaved = true;
  }
  if (oldCursor) Platform::setCursor(oldCursor);
  setDropActive(false);
  if (pFrameContext) {
    pFrameContext->forget();
    pFrameContext = nullptr;
  }
  pFocusView = nullptr;
  pMouseOverView = nullptr;
  CViewContainer::removeAll(true);
  Platform::endThreadSetup(threadSetup);
  threadSetup = nullptr;
  if (backBuffer) {
    backBuffer->forget();
    backBuffer = nullptr;
  }
  if (pHwnd) {
    Platform::destroyWindow(pHwnd);
    pHwnd = nullptr;
  }
  pParentFrame = nullptr;
  bIsAttached = false;
  GDIPlusGlobals::exit();
}

bool CFrame::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CFrame") == 0) || CViewContainer::isTypeOf(type);
}

VSTGUIEditorInterface* CFrame::getEditor() const { return pEditor; }

bool CFrame::isOpen() const { return bOpenFlag; }
bool CFrame::getOpenFlag() const { return bOpenFlag; }
void CFrame::setOpenFlag(bool state) { bOpenFlag = state; }

void CFrame::idle() {
  if (!bOpenFlag) return;
  invalidateDirtyViews();
  if (pHwnd) Platform::idleWindow(pHwnd);
}

bool CFrame::setWindowVisible(bool visible) {
  if (!pHwnd) return false;
  Platform::showWindow(pHwnd, visible);
  return true;
}

int CFrame::getEventDescriptor() const { return pHwnd ? Platform::getEventDescriptor(pHwnd) : -1; }

bool CFrame::startIdleTimer(std::uint32_t periodMs) { return pHwnd && Platform::startIdleTimer(pHwnd, periodMs); }

void CFrame::onIdleTimer() {
  if (pEditor) pEditor->onIdleTimer();
}

void CFrame::doIdleStuff() {
  if (pEditor) pEditor->doIdleStuff();
}

std::uint32_t CFrame::getTicks() const { return Platform::getTicks(); }

std::int32_t CFrame::getKnobMode() const { return pEditor ? pEditor->getKnobMode() : 0; }

void CFrame::beginEdit(std::int32_t tag) {
  if (pEditor) pEditor->beginEdit(tag);
}

void CFrame::endEdit(std::int32_t tag) {
  if (pEditor) pEditor->endEdit(tag);
}

bool CFrame::setPosition(CCoord, CCoord) { return false; }

bool CFrame::getPosition(CCoord& x, CCoord& y) const {
  return pHwnd && Platform::getOuterPosition(pHwnd, x, y);
}

bool CFrame::getSize(CRect* rect) const { return rect && getSize(*rect); }

bool CFrame::getSize(CRect& rect) const { return pHwnd && Platform::getParentRect(pHwnd, rect); }

bool CFrame::setSize(CCoord width, CCoord height) {
  if (!bOpenFlag) return false;
  if (width == size.width() && height == size.height()) return false;
  if (backBuffer) {
    backBuffer->forget();
    backBuffer = nullptr;
  }
  if (pHwnd) Platform::growWindows(pHwnd, width - size.width(), height - size.height());
  setViewSize(CRect(size.left, size.top, size.left + width, size.top + height));
  return true;
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
  if (!pHwnd) return false;
  where = Platform::getMousePosition(pHwnd);
  return true;
}

CButton CFrame::getCurrentMouseButtons() const { return Platform::getMouseButtons(); }

void CFrame::setCursor(CCursorType type) {
  if (!bCursorSaved) {
    oldCursor = Platform::getCursor();
    bCursorSaved = true;
  }
  if (type == kCursorDefault || type == kCursorCopy)
    Platform::setCursor(oldCursor);
  else
    Platform::setCursor(Platform::getSystemCursor(type));
}

void CFrame::setDropActive(bool active) {
  if (!pHwnd || bDropActive == active) return;
  if (active) {
    dropTarget = Platform::registerDropTarget(pHwnd, this);
  } else {
    Platform::revokeDropTarget(pHwnd, dropTarget);
    dropTarget = nullptr;
  }
  bDropActive = active;
}

bool CFrame::isDropActive() const { return bDropActive; }

CMouseObserver* CFrame::getMouseObserver() const { return pMouseObserver; }
void CFrame::setMouseObserver(CMouseObserver* observer) { pMouseObserver = observer; }

// --- invalidation and painting ------------------------------------------------------------

void CFrame::invalidRect(const CRect& rect) {
  if (!bVisible || !pHwnd) return;
  Platform::invalidateRect(pHwnd, rect);
}

void CFrame::invalid() {
  invalidRect(size);
  bDirty = false;
}

void CFrame::invalidate(const CRect& rect) { invalidRect(rect); }

void CFrame::drawRect(CDrawContext* pContext, const CRect& updateRect) {
  bFirstDraw = false;
  CDrawContext* context = pContext;
  if (context)
    context->remember();
  else
    context = new CDrawContext(this, nullptr, pHwnd);

  CRect oldClip;
  context->getClipRect(oldClip);
  CRect newClip(updateRect);
  newClip.bound(oldClip);
  context->setClipRect(newClip);
  if (updateRect.width() > 0 && updateRect.height() > 0)
    CViewContainer::drawRect(context, updateRect);
  context->setClipRect(oldClip);
  context->forget();
}

// --- modal view and children ----------------------------------------------------------------

bool CFrame::setModalView(CView* view) {
  if (view && (pModalView || view->isAttached())) return false;
  if (pModalView) removeView(pModalView, false);
  pModalView = view;
  if (pModalView) addView(pModalView);
  return true;
}

CView* CFrame::getModalView() const { return pModalView; }

bool CFrame::removeView(CView* view, bool withForget) {
  if (view && view == pModalView) pModalView = nullptr;
  return CViewContainer::removeView(view, withForget);
}

bool CFrame::removeAll(bool withForget) {
  pModalView = nullptr;
  pFocusView = nullptr;
  pMouseOverView = nullptr;
  return CViewContainer::removeAll(withForget);
}

bool CFrame::isInside(CView* view, CView* root) {
  for (CView* v = view; v; v = v->getParentView())
    if (v == root) return true;
  return false;
}

void CFrame::onViewRemoved(CView* view) {
  // A removed container takes its descendants with it: no pointer may stay on them.
  if (pFocusView && isInside(pFocusView, view)) pFocusView = nullptr;
  if (pMouseOverView && isInside(pMouseOverView, view)) pMouseOverView = nullptr;
  if (pModalView && isInside(pModalView, view) && pModalView != view) pModalView = nullptr;
}

// --- focus and keys ---------------------------------------------------------------------------

void CFrame::notifyAncestors(CView* view, const char* message) {
  for (CView* receiver = view->getParentView(); receiver && receiver != this;
       receiver = receiver->getParentView())
    receiver->notify(view, message);
}

void CFrame::setFocusView(CView* view) {
  // One guard for the process: a view losing the focus may ask to clear it again.
  static bool gInSetFocusView = false;
  if (gInSetFocusView || view == pFocusView) return;
  gInSetFocusView = true;

  CView* oldFocus = pFocusView;
  pFocusView = view;
  if (pFocusView && pFocusView->wantsFocus()) {
    pFocusView->setDirty(true);
    notifyAncestors(pFocusView, kMsgNewFocusView);
  }
  if (oldFocus) {
    if (oldFocus->wantsFocus()) {
      oldFocus->setDirty(true);
      notifyAncestors(oldFocus, kMsgOldFocusView);
    }
    oldFocus->looseFocus();
  }
  gInSetFocusView = false;
}

CView* CFrame::getFocusView() const { return pFocusView; }

bool CFrame::advanceNextFocusView(CView* oldFocus, bool reverse) {
  if (pModalView) {
    if (isViewContainer(pModalView))
      return static_cast<CViewContainer*>(pModalView)->advanceNextFocusView(oldFocus, reverse);
    if (oldFocus != pModalView) {
      setFocusView(pModalView);
      return true;
    }
    return false;
  }
  if (!oldFocus) {
    if (!pFocusView) return CViewContainer::advanceNextFocusView(nullptr, reverse);
    oldFocus = pFocusView;
  }
  if (isChild(oldFocus)) {
    if (CViewContainer::advanceNextFocusView(oldFocus, reverse)) return true;
    setFocusView(nullptr);
    return false;
  }
  // Inside nested containers: each ancestor from the inside out continues after the
  // branch that holds the old focus; the frame's own list then continues after the
  // top-level child that holds it.
  CView* branch = oldFocus;
  for (CView* parent = oldFocus->getParentView(); parent && parent != this;
       parent = parent->getParentView()) {
    if (isViewContainer(parent) &&
        static_cast<CViewContainer*>(parent)->advanceNextFocusView(branch, reverse))
      return true;
    branch = parent;
  }
  return CViewContainer::advanceNextFocusView(branch, reverse);
}

std::int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
  std::int32_t result = -1;
  if (pFocusView) result = pFocusView->onKeyDown(keyCode);
  if (result == -1 && pModalView) result = pModalView->onKeyDown(keyCode);
  if (result == -1 && keyCode.virt == VKEY_TAB)
    result = advanceNextFocusView(pFocusView, (keyCode.modifier & MODIFIER_SHIFT) != 0) ? 1 : -1;
  return result;
}

std::int32_t CFrame::onKeyUp(VstKeyCode& keyCode) {
  std::int32_t result = -1;
  if (pFocusView) result = pFocusView->onKeyUp(keyCode);
  if (result == -1 && pModalView) result = pModalView->onKeyUp(keyCode);
  return result;
}

// --- mouse and wheel ------------------------------------------------------------------------------

CMouseEventResult CFrame::onMouseDown(const CPoint& where, const CButton& buttons) {
  if (pFocusView) setFocusView(nullptr);
  mouseDownView = nullptr;
  if (pMouseOverView) {
    CView* exited = pMouseOverView;
    pMouseOverView = nullptr;
    exited->onMouseExited(where, buttons);
    if (pMouseObserver) pMouseObserver->onMouseExited(exited, this);
  }
  if (pMouseObserver) pMouseObserver->onMouseDown(this, where);
  if (pModalView) {
    if (pModalView->hitTest(where, buttons)) {
      CView* modal = pModalView;
      if (modal->onMouseDown(where, buttons) == kMouseEventHandled) {
        // The modal view may have gone away while handling the click.
        if (pModalView == modal) mouseDownView = modal;
        return kMouseEventHandled;
      }
    }
    return kMouseEventNotHandled;
  }
  return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(const CPoint& where, const CButton& buttons) {
  if (!bMouseInside) {
    if (pHwnd) Platform::trackMouseLeave(pHwnd);
    bMouseInside = true;
  }
  if (pMouseObserver) pMouseObserver->onMouseMoved(this, where);
  if (pModalView) return pModalView->onMouseMoved(where, buttons);
  if (mouseDownView) {
    // The view that took the click gets the move in the frame's own coordinates, as the click.
    const CPoint local(where.h - size.left, where.v - size.top);
    const CMouseEventResult result = mouseDownView->onMouseMoved(local, buttons);
    if (result == kMouseEventHandled) return result;
    mouseDownView = nullptr;
  }

  CView* view = getViewAt(where, true);
  if (view == pMouseOverView) {
    if (!pMouseOverView) return kMouseEventNotHandled;
    CPoint local(where);
    pMouseOverView->frameToLocal(local);
    return pMouseOverView->onMouseMoved(local, 0);
  }
  leaveMouseOverView(where, buttons);
  if (view) {
    CPoint local(where);
    view->frameToLocal(local);
    view->onMouseEntered(local, buttons);
    pMouseOverView = view;
    if (pMouseObserver) pMouseObserver->onMouseEntered(view, this);
  }
  return kMouseEventHandled;
}

void CFrame::leaveMouseOverView(const CPoint& where, const CButton& buttons) {
  if (!pMouseOverView) return;
  CView* exited = pMouseOverView;
  pMouseOverView = nullptr;
  CPoint local(where);
  exited->frameToLocal(local);
  exited->onMouseExited(local, buttons);
  if (pMouseObserver) pMouseObserver->onMouseExited(exited, this);
}

CMouseEventResult CFrame::onMouseExited(const CPoint& where, const CButton& buttons) {
  leaveMouseOverView(where, buttons);
  bMouseInside = false;
  return kMouseEventHandled;
}

bool CFrame::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                     const CButton& buttons) {
  if (mouseDownView) return false;
  CView* target = pModalView ? pModalView : getViewAt(where, false);
  if (!target) return false;
  return target->onWheel(where, axis, distance, buttons);
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButton& buttons) {
  return onWheel(where, kMouseWheelAxisY, distance, buttons);
}

}  // namespace VSTGUI
