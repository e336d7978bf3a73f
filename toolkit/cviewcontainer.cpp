#include "toolkit/cviewcontainer.h"

#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/ccontrollistener.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"

namespace VSTGUI {

namespace {

ControlListenerQuery gControlListenerQuery = nullptr;

// Buttons that offer a click to the control's listener first: right button, Shift, Control, Alt, Apple.
constexpr CButton kModifierClickButtons = kRButton | kShift | kControl | kAlt | kApple;

}  // namespace

void setControlListenerQuery(ControlListenerQuery query) { gControlListenerQuery = query; }

#define FOREACH_CHILD(entry) for (CCView* entry = pFirstView; entry; entry = entry->pNext)
#define FOREACH_CHILD_REVERSE(entry) for (CCView* entry = pLastView; entry; entry = entry->pPrevious)

CViewContainer::CViewContainer(const CRect& size, CFrame* /*frame*/, CBitmap* background)
    : CView(size) {
  if (background) setBackground(background);
  setDirty(true);
}

CViewContainer::~CViewContainer() {
  removeAll(false);
  if (pOffscreenContext) pOffscreenContext->forget();
}

// --- children -----------------------------------------------------------------------

CViewContainer::CCView* CViewContainer::findEntry(CView* view) const {
  FOREACH_CHILD(entry) {
    if (entry->pView == view) return entry;
  }
  return nullptr;
}

bool CViewContainer::addView(CView* view, CView* before) {
  if (!view || view->isAttached() || findEntry(view)) return false;
  auto* entry = new CCView{view, nullptr, nullptr};
  CCView* next = before ? findEntry(before) : nullptr;
  if (next) {
    entry->pNext = next;
    entry->pPrevious = next->pPrevious;
    (next->pPrevious ? next->pPrevious->pNext : pFirstView) = entry;
    next->pPrevious = entry;
  } else {
    entry->pPrevious = pLastView;
    (pLastView ? pLastView->pNext : pFirstView) = entry;
    pLastView = entry;
  }
  view->remember();
  if (bIsAttached) {
    view->attached(this);
    view->invalid();
  }
  return true;
}

bool CViewContainer::addView(CView* view, const CRect& area, bool mouseEnabled) {
  if (!addView(view, nullptr)) return false;
  view->setMouseEnabled(mouseEnabled);
  view->setMouseableArea(area);
  return true;
}

bool CViewContainer::addView(CView* view) { return addView(view, nullptr); }

void CViewContainer::releaseChild(CCView* entry, bool withForget) {
  CView* view = entry->pView;
  (entry->pPrevious ? entry->pPrevious->pNext : pFirstView) = entry->pNext;
  (entry->pNext ? entry->pNext->pPrevious : pLastView) = entry->pPrevious;
  delete entry;
  // No pointer of ours may outlive the child.
  if (mouseDownView == view) mouseDownView = nullptr;
  if (currentDragView == view) currentDragView = nullptr;
  if (pParentFrame) pParentFrame->onViewRemoved(view);
  if (bIsAttached) view->removed(this);
  // The creator's reference goes only when it is still there: a second release of a
  // view whose creator already let go would free it twice.
  if (withForget && view->getNbReference() > 1) view->forget();
  view->forget();
}

bool CViewContainer::removeView(CView* view, bool withForget) {
  CCView* entry = findEntry(view);
  if (!entry) return false;
  view->invalid();
  releaseChild(entry, withForget);
  return true;
}

bool CViewContainer::removeAll(bool withForget) {
  mouseDownView = nullptr;
  currentDragView = nullptr;
  while (pFirstView) releaseChild(pFirstView, withForget);
  return true;
}

bool CViewContainer::isChild(CView* view) const { return view && findEntry(view); }

std::int32_t CViewContainer::getNbViews() const {
  std::int32_t n = 0;
  FOREACH_CHILD(entry) { ++n; }
  return n;
}

CView* CViewContainer::getView(std::int32_t index) const {
  if (index < 0) return nullptr;
  FOREACH_CHILD(entry) {
    if (index-- == 0) return entry->pView;
  }
  return nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& p, bool deep) const {
  if (!bIsAttached || !bVisible) return nullptr;
  const CPoint where(p.h - size.left, p.v - size.top);
  FOREACH_CHILD_REVERSE(entry) {
    CView* view = entry->pView;
    if (!view->isVisible() || !view->getMouseableArea().pointInside(where)) continue;
    if (deep && isViewContainer(view))
      return static_cast<CViewContainer*>(view)->getViewAt(where, deep);
    return view;
  }
  return nullptr;
}

CViewContainer* CViewContainer::getContainerAt(const CPoint& p, bool deep) const {
  auto* self = const_cast<CViewContainer*>(this);
  if (!bVisible) return nullptr;
  const CPoint where(p.h - size.left, p.v - size.top);
  FOREACH_CHILD_REVERSE(entry) {
    CView* view = entry->pView;
    if (!view->isVisible() || !view->getMouseableArea().pointInside(where)) continue;
    if (deep && isViewContainer(view))
      return static_cast<CViewContainer*>(view)->getContainerAt(where, deep);
    break;
  }
  return self;
}

bool CViewContainer::hitTestSubViews(const CPoint& p, const CButton& buttons) {
  const CPoint where(p.h - size.left, p.v - size.top);
  FOREACH_CHILD_REVERSE(entry) {
    if (entry->pView->getMouseEnabled() && entry->pView->hitTest(where, buttons)) return true;
  }
  return false;
}

CMessageResult CViewContainer::notify(CBaseObject* sender, const char* message) {
  if (message == kMsgCheckIfViewContainer) return kMessageNotified;
  return CView::notify(sender, message);
}

bool CViewContainer::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CViewContainer") == 0) || CView::isTypeOf(type);
}

CView* CViewContainer::newCopy() const {
  auto* copy = new CViewContainer(size, nullptr, pBackground);
  copy->mouseableArea = mouseableArea;
  copy->bMouseEnabled = bMouseEnabled;
  copy->bTransparencyEnabled = bTransparencyEnabled;
  copy->bWantsFocus = bWantsFocus;
  copy->bVisible = bVisible;
  copy->autosizeFlags = autosizeFlags;
  copy->backgroundColor = backgroundColor;
  copy->backgroundOffset = backgroundOffset;
  copy->bDrawInOffscreen = bDrawInOffscreen;
  for (CAttributeListEntry* e = pAttributeList; e; e = e->next)
    copy->setAttribute(e->id, e->size, e->data);
  FOREACH_CHILD(entry) {
    CView* child = entry->pView->newCopy();
    copy->addView(child);
    child->forget();
  }
  return copy;
}

// --- attach and detach ---------------------------------------------------------------

void CViewContainer::makeOffscreenContext() {
  if (bDrawInOffscreen && !pOffscreenContext && size.width() > 0 && size.height() > 0)
    pOffscreenContext =
        new COffscreenContext(pParentFrame, size.width(), size.height(), kBlackCColor);
}

bool CViewContainer::attached(CView* parent) {
  if (bIsAttached || !parent) return false;
  if (!CView::attached(parent)) return false;
  makeOffscreenContext();
  FOREACH_CHILD(entry) { entry->pView->attached(this); }
  return true;
}

bool CViewContainer::removed(CView* parent) {
  if (!bIsAttached) return false;
  if (pOffscreenContext) {
    pOffscreenContext->forget();
    pOffscreenContext = nullptr;
  }
  FOREACH_CHILD(entry) { entry->pView->removed(this); }
  return CView::removed(parent);
}

// --- background ---------------------------------------------------------------------

void CViewContainer::setBackgroundColor(const CColor& color) {
  backgroundColor = color;
  setDirty(true);
}
CColor CViewContainer::getBackgroundColor() const { return backgroundColor; }
void CViewContainer::setBackgroundOffset(const CPoint& offset) { backgroundOffset = offset; }
const CPoint& CViewContainer::getBackgroundOffset() const { return backgroundOffset; }

void CViewContainer::setDrawInOffscreen(bool state) {
  if (state == bDrawInOffscreen) return;
  bDrawInOffscreen = state;
  if (!state && pOffscreenContext) {
    pOffscreenContext->forget();
    pOffscreenContext = nullptr;
  }
}

void CViewContainer::drawBackgroundRect(CDrawContext* pContext, const CRect& rect) {
  if (pBackground) {
    CRect oldClip;
    pContext->getClipRect(oldClip);
    CRect newClip(rect);
    newClip.bound(oldClip);
    pContext->setClipRect(newClip);
    const CRect bitmapRect(0, 0, pBackground->getWidth(), pBackground->getHeight());
    if (bTransparencyEnabled)
      pBackground->drawTransparent(pContext, bitmapRect, backgroundOffset);
    else
      pBackground->draw(pContext, bitmapRect, backgroundOffset);
    pContext->setClipRect(oldClip);
  } else if (!bTransparencyEnabled || backgroundColor.alpha != 255) {
    pContext->setFillColor(backgroundColor);
    pContext->setFrameColor(backgroundColor);
    pContext->drawRect(CRect(0, 0, size.width(), size.height()), kDrawFilledAndStroked);
  }
}

// --- drawing and dirty tracking ---------------------------------------------------------

void CViewContainer::drawRect(CDrawContext* pContext, const CRect& updateRect) {
  CDrawContext* pC = pContext;
  const CPoint savedOffset = pContext->getOffset();
  if (bDrawInOffscreen) {
    makeOffscreenContext();
    if (pOffscreenContext) pC = pOffscreenContext;
  }
  const bool offscreen = pC != pContext;
  if (!offscreen)
    pContext->setOffset(CPoint(savedOffset.h + size.left, savedOffset.v + size.top));

  CRect boundedUpdate(updateRect);
  boundedUpdate.bound(size);
  CRect clientRect(boundedUpdate);
  clientRect.offset(-size.left, -size.top);

  CRect oldClip;
  pC->getClipRect(oldClip);
  const CRect savedClip(oldClip);
  if (offscreen && static_cast<CView*>(pParentFrame) != this)
    oldClip.offset(-oldClip.left, -oldClip.top);
  CRect newClip(clientRect);
  newClip.bound(oldClip);
  pC->setClipRect(newClip);

  drawBackgroundRect(pC, clientRect);

  FOREACH_CHILD(entry) {
    CView* view = entry->pView;
    if (!checkUpdateRect(view, clientRect)) continue;
    CRect viewClip(view->getViewSize());
    viewClip.bound(newClip);
    if (viewClip.width() == 0 || viewClip.height() == 0) continue;
    pC->setClipRect(viewClip);
    view->drawRect(pC, clientRect);
  }

  pC->setClipRect(savedClip);
  if (offscreen)
    pOffscreenContext->copyFrom(pContext, boundedUpdate, clientRect.getTopLeft());
  else
    pContext->setOffset(savedOffset);
  setDirty(false);
}

bool CViewContainer::checkUpdateRect(CView* view, const CRect& rect) {
  return view->checkUpdate(rect) && view->isVisible();
}

bool CViewContainer::isDirty() const {
  if (bDirty) return true;
  const CRect bounds(0, 0, size.width(), size.height());
  FOREACH_CHILD(entry) {
    if (!entry->pView->isDirty()) continue;
    CRect r(entry->pView->getViewSize());
    r.bound(bounds);
    if (r.width() > 0 && r.height() > 0) return true;
  }
  return false;
}

void CViewContainer::invalidRect(const CRect& rect) {
  if (!bIsAttached || !bVisible) return;
  CRect r(rect);
  r.offset(size.left, size.top);
  r.bound(size);
  if (r.isEmpty()) return;
  if (pParentView)
    pParentView->invalidRect(r);
  else if (pParentFrame && static_cast<CView*>(pParentFrame) != this)
    pParentFrame->invalidRect(r);
}

void CViewContainer::invalid() {
  if (!bVisible) return;
  if (pParentView)
    pParentView->invalidRect(size);
  else if (pParentFrame && static_cast<CView*>(pParentFrame) != this)
    pParentFrame->invalidRect(size);
}

bool CViewContainer::invalidateDirtyViews() {
  if (!bVisible) return true;
  if (bDirty) {
    if (pParentView)
      pParentView->invalidRect(size);
    else if (pParentFrame)
      pParentFrame->invalidRect(size);
    return true;
  }
  FOREACH_CHILD(entry) {
    CView* view = entry->pView;
    if (!view->isDirty() || !view->isVisible()) continue;
    if (isViewContainer(view))
      static_cast<CViewContainer*>(view)->invalidateDirtyViews();
    else
      view->invalid();
  }
  return true;
}

CRect CViewContainer::getVisibleSize(const CRect& rect) const {
  CRect result(rect);
  result.offset(size.left, size.top);
  result.bound(size);
  if (static_cast<const CView*>(pParentFrame) != this) {
    if (pParentView && isViewContainer(pParentView))
      result = static_cast<CViewContainer*>(pParentView)->getVisibleSize(result);
    else if (pParentFrame)
      result = static_cast<CViewContainer*>(pParentFrame)->getVisibleSize(result);
  }
  result.offset(-size.left, -size.top);
  return result;
}

// --- mouse, wheel, keys, drag -------------------------------------------------------------

CMouseEventResult CViewContainer::onMouseDown(const CPoint& p, const CButton& buttons) {
  const CPoint where(p.h - size.left, p.v - size.top);
  FOREACH_CHILD_REVERSE(entry) {
    CView* view = entry->pView;
    if (!view->isVisible() || !view->getMouseEnabled() || !view->hitTest(where, buttons)) continue;
    if ((buttons & kModifierClickButtons) && gControlListenerQuery && view->isTypeOf("CControl")) {
      CControl* control = nullptr;
      if (CControlListener* listener = gControlListenerQuery(view, &control)) {
        if (listener->controlModifierClicked(control, buttons) != 0) return kMouseEventHandled;
      }
    }
    const CMouseEventResult result = view->onMouseDown(where, buttons);
    // A child that left the container while handling the click takes no moves or release.
    if (result == kMouseEventHandled && findEntry(view)) mouseDownView = view;
    return result;
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(const CPoint& p, const CButton& buttons) {
  if (!mouseDownView) return kMouseEventNotHandled;
  const CPoint where(p.h - size.left, p.v - size.top);
  const CMouseEventResult result = mouseDownView->onMouseMoved(where, buttons);
  if (result == kMouseEventHandled) return result;
  mouseDownView = nullptr;
  return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(const CPoint& p, const CButton& buttons) {
  if (!mouseDownView) return kMouseEventNotHandled;
  CView* view = mouseDownView;
  const CPoint where(p.h - size.left, p.v - size.top);
  view->onMouseUp(where, buttons);
  mouseDownView = nullptr;
  return kMouseEventHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis,
                             const float& distance, const CButton& buttons) {
  CView* view = getViewAt(where, false);
  if (!view) return false;
  const CPoint local(where.h - size.left, where.v - size.top);
  return view->onWheel(local, axis, distance, buttons);
}

bool CViewContainer::onWheel(const CPoint& where, const float& distance, const CButton& buttons) {
  return onWheel(where, kMouseWheelAxisY, distance, buttons);
}

std::int32_t CViewContainer::onKeyDown(VstKeyCode& keyCode) {
  FOREACH_CHILD_REVERSE(entry) {
    const std::int32_t result = entry->pView->onKeyDown(keyCode);
    if (result != -1) return result;
  }
  return -1;
}

std::int32_t CViewContainer::onKeyUp(VstKeyCode& keyCode) {
  FOREACH_CHILD_REVERSE(entry) {
    const std::int32_t result = entry->pView->onKeyUp(keyCode);
    if (result != -1) return result;
  }
  return -1;
}

bool CViewContainer::onDrop(CDragContainer* drag, const CPoint& p) {
  const CPoint where(p.h - size.left, p.v - size.top);
  CView* view = getViewAt(p, false);
  if (view != currentDragView) {
    if (currentDragView) currentDragView->onDragLeave(drag, where);
    currentDragView = view;
  }
  bool result = false;
  if (currentDragView) {
    result = currentDragView->onDrop(drag, where);
    currentDragView->onDragLeave(drag, where);
  }
  currentDragView = nullptr;
  return result;
}

void CViewContainer::onDragEnter(CDragContainer* drag, const CPoint& p) {
  const CPoint where(p.h - size.left, p.v - size.top);
  if (currentDragView) currentDragView->onDragLeave(drag, where);
  currentDragView = getViewAt(p, false);
  if (currentDragView) currentDragView->onDragEnter(drag, where);
}

void CViewContainer::onDragLeave(CDragContainer* drag, const CPoint& p) {
  const CPoint where(p.h - size.left, p.v - size.top);
  if (currentDragView) currentDragView->onDragLeave(drag, where);
  currentDragView = nullptr;
}

void CViewContainer::onDragMove(CDragContainer* drag, const CPoint& p) {
  const CPoint where(p.h - size.left, p.v - size.top);
  CView* view = getViewAt(p, false);
  if (view != currentDragView) {
    if (currentDragView) currentDragView->onDragLeave(drag, where);
    if (view) view->onDragEnter(drag, where);
    currentDragView = view;
  } else if (currentDragView) {
    currentDragView->onDragMove(drag, where);
  }
}

// --- focus ---------------------------------------------------------------------------------

bool CViewContainer::advanceNextFocusView(CView* oldFocus, bool reverse) {
  bool foundOld = oldFocus == nullptr;
  for (CCView* entry = reverse ? pLastView : pFirstView; entry;
       entry = reverse ? entry->pPrevious : entry->pNext) {
    CView* view = entry->pView;
    if (!foundOld) {
      foundOld = view == oldFocus;
      continue;
    }
    if (view->wantsFocus()) {
      if (pParentFrame) pParentFrame->setFocusView(view);
      view->takeFocus();
      return true;
    }
    if (isViewContainer(view) &&
        static_cast<CViewContainer*>(view)->advanceNextFocusView(nullptr, reverse))
      return true;
  }
  return false;
}

// --- size ----------------------------------------------------------------------------------

void CViewContainer::setViewSize(const CRect& rect, bool invalid) {
  if (rect == size) return;
  const CRect oldSize(size);
  CView::setViewSize(rect, invalid);

  const CCoord widthDelta = rect.width() - oldSize.width();
  const CCoord heightDelta = rect.height() - oldSize.height();
  if (widthDelta != 0 || heightDelta != 0) {
    const std::int32_t numViews = getNbViews();
    const bool asColumn = (autosizeFlags & kAutosizeColumn) != 0;
    const bool asRow = (autosizeFlags & kAutosizeRow) != 0;
    const CCoord widthShare = numViews ? widthDelta / numViews : 0;
    const CCoord heightShare = numViews ? heightDelta / numViews : 0;
    std::int32_t counter = 0;
    FOREACH_CHILD(entry) {
      CView* view = entry->pView;
      const std::int32_t flags = view->getAutosizeFlags();
      CRect viewSize(view->getViewSize());
      CRect mouseSize(view->getMouseableArea());
      if (asColumn) {
        viewSize.offset(counter * widthShare, 0);
        mouseSize.offset(counter * widthShare, 0);
        viewSize.right += widthShare;
        mouseSize.right += widthShare;
      } else if (flags & kAutosizeRight) {
        viewSize.right += widthDelta;
        mouseSize.right += widthDelta;
        if (!(flags & kAutosizeLeft)) {
          viewSize.left += widthDelta;
          mouseSize.left += widthDelta;
        }
      }
      if (asRow) {
        viewSize.offset(0, counter * heightShare);
        mouseSize.offset(0, counter * heightShare);
        viewSize.bottom += heightShare;
        mouseSize.bottom += heightShare;
      } else if (flags & kAutosizeBottom) {
        viewSize.bottom += heightDelta;
        mouseSize.bottom += heightDelta;
        if (!(flags & kAutosizeTop)) {
          viewSize.top += heightDelta;
          mouseSize.top += heightDelta;
        }
      }
      if (!(viewSize == view->getViewSize())) {
        view->setViewSize(viewSize);
        view->setMouseableArea(mouseSize);
      }
      ++counter;
    }
  }
  FOREACH_CHILD(entry) { entry->pView->parentSizeChanged(); }
  if (pOffscreenContext) {
    pOffscreenContext->forget();
    pOffscreenContext = nullptr;
    makeOffscreenContext();
  }
}

}  // namespace VSTGUI
