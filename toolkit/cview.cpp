#include "toolkit/cview.h"

#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"
#include "toolkit/cviewcontainer.h"

namespace VSTGUI {

bool isViewContainer(CView* view) {
  return view && view->notify(nullptr, kMsgCheckIfViewContainer) == kMessageNotified;
}

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::CView(const CView& other)
    : CBaseObject(),
      size(other.size),
      mouseableArea(other.mouseableArea),
      bDirty(other.bDirty),
      bMouseEnabled(other.bMouseEnabled),
      bTransparencyEnabled(other.bTransparencyEnabled),
      bWantsFocus(other.bWantsFocus),
      bVisible(other.bVisible),
      autosizeFlags(other.autosizeFlags),
      pBackground(other.pBackground) {
  if (pBackground) pBackground->remember();
  for (CAttributeListEntry* e = other.pAttributeList; e; e = e->next)
    setAttribute(e->id, e->size, e->data);
}

CView::LifeWatch::LifeWatch(CView* watched) : view(watched), next(watched ? watched->lifeWatches : nullptr) {
  if (view) view->lifeWatches = this;
}

CView::LifeWatch::~LifeWatch() {
  if (!view) return;
  for (LifeWatch** link = &view->lifeWatches; *link; link = &(*link)->next) {
    if (*link == this) {
      *link = next;
      break;
    }
  }
}

CView::~CView() {
  for (LifeWatch* watch = lifeWatches; watch; watch = watch->next) watch->view = nullptr;
  if (pBackground) pBackground->forget();
  while (pAttributeList) {
    CAttributeListEntry* next = pAttributeList->next;
    delete[] pAttributeList->data;
    delete pAttributeList;
    pAttributeList = next;
  }
}

void CView::draw(CDrawContext* pContext) {
  if (pBackground) {
    if (bTransparencyEnabled)
      pBackground->drawTransparent(pContext, size);
    else
      pBackground->draw(pContext, size);
  }
  setDirty(false);
}

void CView::drawRect(CDrawContext* pContext, const CRect& /*updateRect*/) { draw(pContext); }

bool CView::checkUpdate(const CRect& updateRect) const { return updateRect.rectOverlap(size); }

bool CView::isDirty() const { return bDirty; }

void CView::setDirty(bool state) { bDirty = state; }

void CView::invalidRect(const CRect& rect) {
  if (!bIsAttached || !bVisible) return;
  if (pParentView)
    pParentView->invalidRect(rect);
  else if (pParentFrame && pParentFrame != static_cast<CView*>(this))
    pParentFrame->invalidRect(rect);
}

void CView::invalid() {
  setDirty(false);
  invalidRect(size);
}

void CView::setVisible(bool state) {
  if (state == bVisible) return;
  if (state) {
    bVisible = true;
    setDirty(true);
  } else {
    // Repaint the area it leaves before it stops taking invalidations.
    invalid();
    bVisible = false;
  }
}

CMouseEventResult CView::onMouseDown(const CPoint&, const CButton&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(const CPoint&, const CButton&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(const CPoint&, const CButton&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(const CPoint&, const CButton&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(const CPoint&, const CButton&) { return kMouseEventNotImplemented; }

bool CView::hitTest(const CPoint& where, const CButton&) { return mouseableArea.pointInside(where); }

bool CView::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                    const CButton& buttons) {
  return onWheel(where, axis == kMouseWheelAxisX ? -distance : distance, buttons);
}

bool CView::onWheel(const CPoint&, const float&, const CButton&) { return false; }

void CView::setMouseEnabled(bool enable) { bMouseEnabled = enable; }
bool CView::getMouseEnabled() const { return bMouseEnabled; }
void CView::setMouseableArea(const CRect& rect) { mouseableArea = rect; }
const CRect& CView::getMouseableArea() const { return mouseableArea; }
CRect& CView::getMouseableArea(CRect& rect) const {
  rect = mouseableArea;
  return rect;
}

bool CView::onDrop(CDragContainer*, const CPoint&) { return false; }
void CView::onDragEnter(CDragContainer*, const CPoint&) {}
void CView::onDragLeave(CDragContainer*, const CPoint&) {}
void CView::onDragMove(CDragContainer*, const CPoint&) {}

std::int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
std::int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

void CView::setViewSize(const CRect& rect, bool invalid) {
  size = rect;
  if (invalid) setDirty(true);
}

const CRect& CView::getViewSize() const { return size; }

CRect& CView::getViewSize(CRect& rect) const {
  rect = size;
  return rect;
}

CRect CView::getVisibleSize() const {
  if (pParentView && isViewContainer(pParentView))
    return static_cast<CViewContainer*>(pParentView)->getVisibleSize(size);
  if (pParentFrame && pParentFrame != static_cast<const CView*>(this))
    return static_cast<CViewContainer*>(pParentFrame)->getVisibleSize(size);
  return size;
}

void CView::parentSizeChanged() {}

CPoint& CView::frameToLocal(CPoint& point) const {
  for (CView* parent = pParentView; parent; parent = parent->getParentView())
    point.offset(-parent->getViewSize().left, -parent->getViewSize().top);
  return point;
}

CPoint& CView::localToFrame(CPoint& point) const {
  for (CView* parent = pParentView; parent; parent = parent->getParentView())
    point.offset(parent->getViewSize().left, parent->getViewSize().top);
  return point;
}

void CView::setAutosizeFlags(std::int32_t flags) { autosizeFlags = flags; }
std::int32_t CView::getAutosizeFlags() const { return autosizeFlags; }

void CView::looseFocus() {}
void CView::takeFocus() {}
bool CView::wantsFocus() const { return bWantsFocus; }
void CView::setWantsFocus(bool state) { bWantsFocus = state; }

void CView::setBackground(CBitmap* background) {
  if (background) background->remember();
  if (pBackground) pBackground->forget();
  pBackground = background;
  setDirty(true);
}

CBitmap* CView::getBackground() const { return pBackground; }
void CView::setTransparency(bool state) { bTransparencyEnabled = state; }
bool CView::getTransparency() const { return bTransparencyEnabled; }

bool CView::removed(CView* /*parent*/) {
  if (!bIsAttached) return false;
  pParentView = nullptr;
  pParentFrame = nullptr;
  bIsAttached = false;
  return true;
}

bool CView::attached(CView* parent) {
  if (bIsAttached || !parent) return false;
  pParentView = parent;
  pParentFrame = parent->getFrame();
  bIsAttached = true;
  return true;
}

VSTGUIEditorInterface* CView::getEditor() const {
  return pParentFrame ? pParentFrame->getEditor() : nullptr;
}

bool CView::isTypeOf(const char* type) const { return type && std::strcmp(type, "CView") == 0; }

CView* CView::newCopy() const { return new CView(*this); }

bool CView::setAttribute(CViewAttributeID id, std::int32_t inSize, const void* data) {
  if (!data || inSize < 0) return false;
  CAttributeListEntry* last = nullptr;
  for (CAttributeListEntry* e = pAttributeList; e; e = e->next) {
    if (e->id == id) {
      if (e->size < inSize) {
        delete[] e->data;
        e->data = new char[inSize > 0 ? inSize : 1];
      }
      std::memcpy(e->data, data, inSize);
      e->size = inSize;
      return true;
    }
    last = e;
  }
  auto* entry = new CAttributeListEntry{id, inSize, new char[inSize > 0 ? inSize : 1], nullptr};
  std::memcpy(entry->data, data, inSize);
  if (last)
    last->next = entry;
  else
    pAttributeList = entry;
  return true;
}

bool CView::getAttributeSize(CViewAttributeID id, std::int32_t& outSize) const {
  for (CAttributeListEntry* e = pAttributeList; e; e = e->next) {
    if (e->id == id) {
      outSize = e->size;
      return true;
    }
  }
  return false;
}

bool CView::getAttribute(CViewAttributeID id, std::int32_t inSize, void* buffer,
                         std::int32_t& outSize) const {
  for (CAttributeListEntry* e = pAttributeList; e; e = e->next) {
    if (e->id == id) {
      if (!buffer || inSize < e->size) return false;
      std::memcpy(buffer, e->data, e->size);
      outSize = e->size;
      return true;
    }
  }
  return false;
}

bool CView::removeAttribute(CViewAttributeID id) {
  CAttributeListEntry* previous = nullptr;
  for (CAttributeListEntry* e = pAttributeList; e; previous = e, e = e->next) {
    if (e->id == id) {
      (previous ? previous->next : pAttributeList) = e->next;
      delete[] e->data;
      delete e;
      return true;
    }
  }
  return false;
}

}  // namespace VSTGUI
