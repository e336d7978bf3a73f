#include "toolkit/cknob.h"

#include <cmath>
#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"

namespace VSTGUI {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831855f;
/// Pixels of combined up and right motion that sweep the whole range in linear mode.
constexpr float kLinearRange = 200.0f;

}  // namespace

// --- CKnob ------------------------------------------------------------------------------

CKnob::CKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
             CBitmap* handle, const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset), pHandle(handle) {
  if (pHandle) {
    pHandle->remember();
    inset = static_cast<CCoord>(pHandle->getWidth() * 0.5 + 2.5);
  }
  radius = static_cast<float>(size.right - size.left) * 0.5f;
  setWantsFocus(true);
  setStartAngle(5.0f * kPi / 4.0f);
  setRangeAngle(-3.0f * kPi / 2.0f);
}

CKnob::CKnob(const CKnob& other)
    : CControl(other),
      offset(other.offset),
      colorHandle(other.colorHandle),
      colorShadowHandle(other.colorShadowHandle),
      pHandle(other.pHandle),
      inset(other.inset),
      startAngle(other.startAngle),
      rangeAngle(other.rangeAngle),
      halfAngle(other.halfAngle),
      aCoef(other.aCoef),
      bCoef(other.bCoef),
      radius(other.radius),
      zoomFactor(other.zoomFactor) {
  if (pHandle) pHandle->remember();
}

CKnob::~CKnob() {
  if (pHandle) pHandle->forget();
}

bool CKnob::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CKnob") == 0) || CControl::isTypeOf(type);
}

CView* CKnob::newCopy() const { return new CKnob(*this); }

void CKnob::compute() {
  aCoef = (vmax - vmin) / rangeAngle;
  bCoef = vmin - aCoef * startAngle;
  halfAngle = (kTwoPi - std::fabs(rangeAngle)) * 0.5f;
  setDirty();
}

void CKnob::setStartAngle(float val) {
  startAngle = val;
  compute();
}
float CKnob::getStartAngle() const { return startAngle; }

void CKnob::setRangeAngle(float val) {
  rangeAngle = val;
  compute();
}
float CKnob::getRangeAngle() const { return rangeAngle; }

void CKnob::valueToPoint(CPoint& point) const {
  const float alpha = (value - bCoef) / aCoef;
  const float reach = radius - static_cast<float>(inset);
  point.h = truncateToCoord(radius + std::cos(alpha) * reach + 0.5f);
  point.v = truncateToCoord(radius - std::sin(alpha) * reach + 0.5f);
}

float CKnob::valueFromPoint(CPoint& point) const {
  float alpha = std::atan2(radius - static_cast<float>(point.v), static_cast<float>(point.h) - radius);
  if (alpha < 0.0f) alpha += kTwoPi;
  float alpha2 = alpha - startAngle;
  auto wrapOnce = [](float a) {
    if (a < 0.0f) return a + kTwoPi;
    if (a > kTwoPi) return a - kTwoPi;
    return a;
  };
  if (rangeAngle < 0.0f) {
    alpha2 -= rangeAngle;
    const float alpha3 = wrapOnce(alpha2);
    if (alpha3 > halfAngle - rangeAngle) return vmax;
    if (alpha3 > -rangeAngle) return vmin;
    if (alpha2 > halfAngle - rangeAngle)
      alpha2 -= kTwoPi;
    else if (alpha2 < -halfAngle)
      alpha2 += kTwoPi;
    return aCoef * alpha2 + vmax;
  }
  const float alpha3 = wrapOnce(alpha2);
  if (alpha3 > halfAngle + rangeAngle) return vmin;
  if (alpha3 > rangeAngle) return vmax;
  if (alpha2 > halfAngle + rangeAngle)
    alpha2 -= kTwoPi;
  else if (alpha2 < -halfAngle)
    alpha2 += kTwoPi;
  return aCoef * alpha2 + vmin;
}

CCoord CKnob::getInsetValue() const { return inset; }
void CKnob::setInsetValue(CCoord val) { inset = val; }
CColor CKnob::getColorShadowHandle() const { return colorShadowHandle; }
void CKnob::setColorShadowHandle(CColor color) {
  colorShadowHandle = color;
  setDirty();
}
CColor CKnob::getColorHandle() const { return colorHandle; }
void CKnob::setColorHandle(CColor color) {
  colorHandle = color;
  setDirty();
}
CBitmap* CKnob::getHandleBitmap() const { return pHandle; }

void CKnob::setHandleBitmap(CBitmap* bitmap) {
  if (pHandle) pHandle->forget();
  pHandle = bitmap;
  if (pHandle) {
    pHandle->remember();
    inset = static_cast<CCoord>(pHandle->getWidth() * 0.5 + 2.5);
  }
}

void CKnob::setZoomFactor(float val) { zoomFactor = val; }
float CKnob::getZoomFactor() const { return zoomFactor; }

void CKnob::draw(CDrawContext* pContext) {
  drawBitmap(pBackground, pContext, size, offset);
  drawHandle(pContext);
  setDirty(false);
}

void CKnob::drawHandle(CDrawContext* pContext) {
  CPoint p;
  valueToPoint(p);
  if (pHandle) {
    const CCoord w = pHandle->getWidth();
    const CCoord h = pHandle->getHeight();
    const CCoord left = size.left + p.h - w / 2;
    const CCoord top = size.top + p.v - h / 2;
    pHandle->drawTransparent(pContext, CRect(left, top, left + w, top + h));
    return;
  }
  const CPoint centre(size.left + size.width() / 2, size.top + size.height() / 2);
  p.offset(size.left, size.top);
  pContext->setFrameColor(colorShadowHandle);
  pContext->moveTo(CPoint(p.h - 1, p.v));
  pContext->lineTo(CPoint(centre.h - 1, centre.v));
  pContext->setFrameColor(colorHandle);
  pContext->moveTo(CPoint(p.h, p.v - 1));
  pContext->lineTo(CPoint(centre.h, centre.v - 1));
}

CMouseEventResult CKnob::onMouseDown(const CPoint& where, const CButton& buttons) {
  beginEdit();
  if (checkDefaultValue(buttons)) {
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  firstPoint = where;
  lastPoint = CPoint(-1, -1);
  startValue = oldValue;
  modeLinear = false;
  fEntryState = value;
  range = kLinearRange;
  coef = (vmax - vmin) / range;
  oldButton = buttons;

  const std::int32_t mode = pParentFrame ? pParentFrame->getKnobMode() : kCircularMode;
  const bool alt = (buttons & kAlt) != 0;
  const bool linear = (buttons & kLButton) && (mode == kLinearMode ? !alt : alt);
  if (linear) {
    if (buttons & kShift) range *= zoomFactor;
    lastPoint = where;
    modeLinear = true;
    coef = (vmax - vmin) / range;
  } else {
    CPoint local(where.h - size.left, where.v - size.top);
    startValue = valueFromPoint(local);
  }
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKnob::onMouseMoved(const CPoint& where, const CButton& buttons) {
  if (!(buttons & kLButton)) return kMouseEventHandled;
  if (where == lastPoint) return kMouseEventHandled;
  lastPoint = where;

  if (modeLinear) {
    const CCoord diff = (firstPoint.v - where.v) + (where.h - firstPoint.h);
    if (buttons != oldButton) {
      // Shift pressed or released mid-drag changes the speed from here on, without a jump.
      range = kLinearRange;
      if (buttons & kShift) range *= zoomFactor;
      const float coef2 = (vmax - vmin) / range;
      fEntryState += static_cast<float>(diff) * (coef - coef2);
      coef = coef2;
      oldButton = buttons;
    }
    value = fEntryState + static_cast<float>(diff) * coef;
    bounceValue();
  } else {
    CPoint local(where.h - size.left, where.v - size.top);
    const float v = valueFromPoint(local);
    value = v;
    const float middle = (vmax - vmin) * 0.5f;
    // The pointer cannot wrap across the dead zone from one end to the other.
    if (startValue - v > middle)
      value = vmax;
    else if (v - startValue > middle)
      value = vmin;
    else
      startValue = v;
  }
  if (value != oldValue && listener) listener->valueChanged(this);
  if (isDirty()) invalid();
  return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(const CPoint&, const CButton&) {
  endEdit();
  return kMouseEventHandled;
}

bool CKnob::onWheel(const CPoint&, const float& distance, const CButton& buttons) {
  return wheelStep(distance, buttons);
}

std::int32_t CKnob::onKeyDown(VstKeyCode& keyCode) { return arrowKeyStep(keyCode); }

// --- CAnimKnob -----------------------------------------------------------------------------

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, std::int32_t tag,
                     std::int32_t subPixmaps, CCoord heightOfOneImage, CBitmap* background,
                     const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset) {
  setNumSubPixmaps(subPixmaps);
  setHeightOfOneImage(heightOfOneImage);
  inset = 0;
}

CAnimKnob::CAnimKnob(const CAnimKnob& other)
    : CKnob(other), IMultiBitmapControl(other), bInverseBitmap(other.bInverseBitmap) {}

CAnimKnob::~CAnimKnob() = default;

bool CAnimKnob::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CAnimKnob") == 0) || CKnob::isTypeOf(type);
}

CView* CAnimKnob::newCopy() const { return new CAnimKnob(*this); }

void CAnimKnob::setHeightOfOneImage(const CCoord& height) {
  IMultiBitmapControl::setHeightOfOneImage(height);
  if (pBackground && heightOfOneImage > 0)
    subPixmaps = static_cast<std::int16_t>(pBackground->getHeight() / heightOfOneImage);
}

void CAnimKnob::autoComputeHeightOfOneImage() { setHeightOfOneImage(size.height()); }

bool CAnimKnob::isDirty() const {
  if (!bDirty) {
    CPoint p;
    valueToPoint(p);
    if (p == lastDrawnPoint) return false;
  }
  return CKnob::isDirty();
}

CCoord CAnimKnob::imageOffsetForValue() const {
  if (!(value >= 0.0f) || heightOfOneImage <= 0) return 0;
  const CCoord total = heightOfOneImage * (subPixmaps - 1);
  const float fraction = bInverseBitmap ? 1.0f - value : value;
  CCoord y = truncateToCoord(static_cast<float>(total) * fraction);
  // Rounded down to a whole image; a value of exactly 1 shows the last one. Beyond 1
  // the last image stays: the strip has nothing further down.
  if (y >= total) return total > 0 ? total : 0;
  return y < 0 ? 0 : y - y % heightOfOneImage;
}

void CAnimKnob::draw(CDrawContext* pContext) {
  drawBitmap(pBackground, pContext, size, CPoint(0, imageOffsetForValue()));
  valueToPoint(lastDrawnPoint);
  setDirty(false);
}

}  // namespace VSTGUI
