#include "toolkit/ccontrol.h"

#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"
#include "toolkit/cviewcontainer.h"

namespace VSTGUI {

namespace {

/// How containers reach a control's listener: a right or modifier click goes to the
/// listener's controlModifierClicked before the control sees it.
CControlListener* listenerOfControl(CView* view, CControl** control) {
  auto* c = static_cast<CControl*>(view);
  if (control) *control = c;
  return c->getListener();
}

}  // namespace

CControl::CControl(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag) {
  setControlListenerQuery(listenerOfControl);
  setMouseEnabled(true);
  if (background) setBackground(background);
  setDirty(true);
}

CControl::CControl(const CControl& other)
    : CView(other),
      listener(other.listener),
      tag(other.tag),
      oldValue(other.oldValue),
      defaultValue(other.defaultValue),
      value(other.value),
      vmin(other.vmin),
      vmax(other.vmax),
      wheelInc(other.wheelInc),
      backOffset(other.backOffset) {}

CControl::~CControl() = default;

bool CControl::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CControl") == 0) || CView::isTypeOf(type);
}

bool CControl::isDirty() const {
  // A value that is not a number stays "drawn" once drawn, or every idle pass would redraw it.
  const bool bothNaN = oldValue != oldValue && value != value;
  return bDirty || (!(oldValue == value) && !bothNaN);
}

void CControl::setDirty(bool state) {
  bDirty = state;
  if (state)
    oldValue = value == -1.0f ? 0.0f : -1.0f;
  else
    oldValue = value;
}

void CControl::doIdleStuff() {
  if (pParentFrame) pParentFrame->doIdleStuff();
}

void CControl::setValue(float val) { value = val; }
float CControl::getValue() const { return value; }
void CControl::setMin(float val) { vmin = val; }
float CControl::getMin() const { return vmin; }
void CControl::setMax(float val) { vmax = val; }
float CControl::getMax() const { return vmax; }
void CControl::setOldValue(float val) { oldValue = val; }
float CControl::getOldValue() const { return oldValue; }
void CControl::setDefaultValue(float val) { defaultValue = val; }
float CControl::getDefaultValue() const { return defaultValue; }

void CControl::bounceValue() {
  if (value > vmax)
    value = vmax;
  else if (value < vmin)
    value = vmin;
  else if (value != value)
    value = vmin;  // a value that is no number cannot be moved from; the gesture starts at the bottom
}

bool CControl::checkDefaultValue(CButton button) {
  if (button != (kLButton | kControl)) return false;
  beginEdit();
  const float before = value;
  value = getDefaultValue();
  // Reported when the value changed; the focus the click gave only asks for a redraw.
  if (!(before == value) && listener) listener->valueChanged(this);
  endEdit();
  return true;
}

void CControl::setTag(std::int32_t val) { tag = val; }
std::int32_t CControl::getTag() const { return tag; }

void CControl::beginEdit() {
  if (listener) listener->controlBeginEdit(this);
  if (pParentFrame) {
    pParentFrame->setFocusView(this);
    pParentFrame->beginEdit(tag);
  }
}

void CControl::endEdit() {
  if (pParentFrame) pParentFrame->endEdit(tag);
  if (listener) listener->controlEndEdit(this);
}

CControlListener* CControl::getListener() const { return listener; }
void CControl::setListener(CControlListener* l) { listener = l; }
void CControl::setBackOffset(const CPoint& offset) { backOffset = offset; }
void CControl::copyBackOffset() { backOffset = size.getTopLeft(); }
void CControl::setWheelInc(float val) { wheelInc = val; }
float CControl::getWheelInc() const { return wheelInc; }

void CControl::stepValue(float delta) {
  const float before = value;
  value += delta;
  bounceValue();
  if (!(before == value) && listener) {
    beginEdit();
    listener->valueChanged(this);
    endEdit();
  }
}

void CControl::drawBitmap(CBitmap* bitmap, CDrawContext* pContext, const CRect& rect, const CPoint& source) const {
  if (!bitmap) return;
  if (bTransparencyEnabled)
    bitmap->drawTransparent(pContext, rect, source);
  else
    bitmap->draw(pContext, rect, source);
}

bool CControl::wheelStep(float distance, CButton buttons) {
  if (!bMouseEnabled) return false;
  stepValue(buttons & kShift ? distance * 0.1f * wheelInc : distance * wheelInc);
  return true;
}

std::int32_t CControl::arrowKeyStep(const VstKeyCode& keyCode) {
  float step = 0.0f;
  switch (keyCode.virt) {
    case VKEY_UP:
    case VKEY_RIGHT: step = wheelInc; break;
    case VKEY_DOWN:
    case VKEY_LEFT: step = -wheelInc; break;
    default: return -1;
  }
  if (keyCode.modifier & MODIFIER_SHIFT) step *= 0.1f;
  stepValue(step);
  return 1;
}

}  // namespace VSTGUI
