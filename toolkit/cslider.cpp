#include "toolkit/cslider.h"

#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

CSlider::CSlider(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord iMinPos,
                 CCoord iMaxPos, CBitmap* handle, CBitmap* background, const CPoint& offset,
                 std::int32_t style)
    : CControl(size, listener, tag, background), offset(offset), pHandle(handle), style(style) {
  if (pHandle) {
    pHandle->remember();
    widthOfSlider = pHandle->getWidth();
    heightOfSlider = pHandle->getHeight();
  }
  widthControl = size.width();
  heightControl = size.height();
  if (isVertical()) {
    minPos = iMinPos - size.top;
  } else {
    minPos = iMinPos - size.left;
  }
  rangeHandle = iMaxPos - iMinPos;
  setOffsetHandle(CPoint(0, 0));
  setWantsFocus(true);
}

CSlider::CSlider(const CSlider& other)
    : CControl(other),
      offset(other.offset),
      offsetHandle(other.offsetHandle),
      pHandle(other.pHandle),
      style(other.style),
      widthOfSlider(other.widthOfSlider),
      heightOfSlider(other.heightOfSlider),
      rangeHandle(other.rangeHandle),
      minTmp(other.minTmp),
      maxTmp(other.maxTmp),
      minPos(other.minPos),
      widthControl(other.widthControl),
      heightControl(other.heightControl),
      zoomFactor(other.zoomFactor),
      bDrawTransparentEnabled(other.bDrawTransparentEnabled),
      bFreeClick(other.bFreeClick) {
  if (pHandle) pHandle->remember();
}

CSlider::~CSlider() {
  if (pHandle) pHandle->forget();
}

bool CSlider::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CSlider") == 0) || CControl::isTypeOf(type);
}

CView* CSlider::newCopy() const { return new CSlider(*this); }

void CSlider::setDrawTransparentHandle(bool val) { bDrawTransparentEnabled = val; }
void CSlider::setFreeClick(bool val) { bFreeClick = val; }
bool CSlider::getFreeClick() const { return bFreeClick; }

void CSlider::setOffsetHandle(const CPoint& val) {
  offsetHandle = val;
  if (isVertical()) {
    minTmp = offsetHandle.v + minPos;
    maxTmp = minTmp + rangeHandle + heightOfSlider;
  } else {
    minTmp = offsetHandle.h + minPos;
    maxTmp = minTmp + rangeHandle + widthOfSlider;
  }
}

CPoint CSlider::getOffsetHandle() const { return offsetHandle; }
void CSlider::setOffset(const CPoint& val) { offset = val; }
CPoint CSlider::getOffset() const { return offset; }
std::int32_t CSlider::getStyle() const { return style; }

void CSlider::setHandle(CBitmap* handle) {
  if (pHandle) pHandle->forget();
  pHandle = handle;
  if (pHandle) {
    pHandle->remember();
    widthOfSlider = pHandle->getWidth();
    heightOfSlider = pHandle->getHeight();
  }
}

CBitmap* CSlider::getHandle() const { return pHandle; }
void CSlider::setZoomFactor(float val) { zoomFactor = val; }
float CSlider::getZoomFactor() const { return zoomFactor; }

void CSlider::setViewSize(const CRect& rect, bool invalid) {
  if (isVertical()) {
    minPos += rect.top - size.top;
    rangeHandle += rect.height() - size.height();
  } else {
    minPos += rect.left - size.left;
    rangeHandle += rect.width() - size.width();
  }
  widthControl = rect.width();
  heightControl = rect.height();
  CControl::setViewSize(rect, invalid);
}

float CSlider::handleFraction() const {
  return (style & (kLeft | kTop)) ? value : 1.0f - value;
}

CRect CSlider::handleRect() const {
  const CCoord travel = truncateToCoord(static_cast<float>(rangeHandle) * handleFraction());
  const CCoord length = isVertical() ? heightOfSlider : widthOfSlider;
  CCoord lead = (isVertical() ? offsetHandle.v : offsetHandle.h) + travel;
  // Kept inside the control whatever the value; in range this changes nothing.
  if (lead > maxTmp - length) lead = maxTmp - length;
  if (lead < minTmp) lead = minTmp;
  CCoord trail = lead + length;
  if (trail > maxTmp) trail = maxTmp;
  if (isVertical())
    return CRect(offsetHandle.h, lead, offsetHandle.h + widthOfSlider, trail);
  return CRect(lead, offsetHandle.v, trail, offsetHandle.v + heightOfSlider);
}

void CSlider::draw(CDrawContext* pContext) {
  drawBitmap(pBackground, pContext, CRect(size.left, size.top, size.left + widthControl, size.top + heightControl),
             offset);
  if (pHandle) {
    CRect r = handleRect();
    r.offset(size.left, size.top);
    if (bDrawTransparentEnabled)
      pHandle->drawTransparent(pContext, r);
    else
      pHandle->draw(pContext, r);
  }
  setDirty(false);
}

CMouseEventResult CSlider::onMouseDown(const CPoint& where, const CButton& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  const bool vertical = isVertical();
  delta = vertical ? size.top + offsetHandle.v : size.left + offsetHandle.h;
  if (bFreeClick) {
    delta += (vertical ? heightOfSlider : widthOfSlider) / 2 - 1;
  } else {
    // The click must hit the handle, which then keeps its grip point.
    const CCoord travel = truncateToCoord(static_cast<float>(rangeHandle) * handleFraction());
    CRect handle;
    CCoord actual;
    if (vertical) {
      actual = offsetHandle.v + travel + size.top;
      handle = CRect(size.left + offsetHandle.h, actual, size.left + offsetHandle.h + widthOfSlider,
                     actual + heightOfSlider);
    } else {
      actual = offsetHandle.h + travel + size.left;
      handle = CRect(actual, size.top + offsetHandle.v, actual + widthOfSlider,
                     size.top + offsetHandle.v + heightOfSlider);
    }
    if (!handle.pointInside(where)) return kMouseEventNotHandled;
    delta += (vertical ? where.v : where.h) - actual;
  }
  oldVal = vmin - 1.0f;
  oldButton = buttons;
  beginEdit();
  if (checkDefaultValue(buttons)) {
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  if (buttons & kShift) return kMouseEventHandled;
  return onMouseMoved(where, buttons);
}

CMouseEventResult CSlider::onMouseMoved(const CPoint& where, const CButton& buttons) {
  if (!(buttons & kLButton)) return kMouseEventHandled;
  const float norm = (value - vmin) / (vmax - vmin);
  if (oldVal == vmin - 1.0f) oldVal = norm;
  if (buttons != oldButton) {
    oldVal = norm;
    if (buttons & kShift) oldButton = buttons;
  } else if (!(buttons & kShift)) {
    oldVal = norm;
  }

  const CCoord along = isVertical() ? where.v : where.h;
  float n = static_cast<float>(along - delta) / static_cast<float>(rangeHandle);
  if (style & (kRight | kBottom)) n = 1.0f - n;
  if (buttons & kShift) n = oldVal + (n - oldVal) / zoomFactor;
  value = vmin + n * (vmax - vmin);
  bounceValue();
  if (isDirty() && listener) listener->valueChanged(this);
  if (isDirty()) invalid();
  return kMouseEventHandled;
}

CMouseEventResult CSlider::onMouseUp(const CPoint&, const CButton&) {
  endEdit();
  return kMouseEventHandled;
}

bool CSlider::onWheel(const CPoint&, const float& distance, const CButton& buttons) {
  return wheelStep(distance, buttons);
}

std::int32_t CSlider::onKeyDown(VstKeyCode& keyCode) { return arrowKeyStep(keyCode); }

CVerticalSlider::CVerticalSlider(const CRect& size, CControlListener* listener, std::int32_t tag,
                                 CCoord iMinPos, CCoord iMaxPos, CBitmap* handle, CBitmap* background,
                                 const CPoint& offset, std::int32_t style)
    : CSlider(size, listener, tag, iMinPos, iMaxPos, handle, background, offset,
              (style ? style : kBottom) | kVertical) {}

}  // namespace VSTGUI
