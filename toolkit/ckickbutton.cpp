#include "toolkit/ckickbutton.h"

#include <cstring>

#include "toolkit/cbitmap.h"

namespace VSTGUI {

CKickButton::CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag,
                         CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset) {
  setHeightOfOneImage(heightOfOneImage);
}

CKickButton::CKickButton(const CKickButton& other)
    : CControl(other), IMultiBitmapControl(other), offset(other.offset) {}

CKickButton::~CKickButton() = default;

bool CKickButton::isTypeOf(const char* type) const {
  return (type && std::strcmp(type, "CKickButton") == 0) || CControl::isTypeOf(type);
}

CView* CKickButton::newCopy() const { return new CKickButton(*this); }

void CKickButton::autoComputeHeightOfOneImage() { setHeightOfOneImage(size.height()); }

void CKickButton::draw(CDrawContext* pContext) {
  CPoint source(offset);
  bounceValue();
  if (value != 0.0f) source.v += heightOfOneImage;
  drawBitmap(pBackground, pContext, size, source);
  setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(const CPoint& where, const CButton& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  fEntryState = value;
  beginEdit();
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButton::onMouseMoved(const CPoint& where, const CButton& buttons) {
  if (buttons & kLButton) {
    if (size.pointInside(where))
      value = fEntryState == 0.0f ? 1.0f : 0.0f;
    else
      value = fEntryState;
    if (isDirty()) invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(const CPoint&, const CButton&) {
  if (value != 0.0f && listener) listener->valueChanged(this);
  value = 0.0f;
  if (listener) listener->valueChanged(this);
  if (isDirty()) invalid();
  endEdit();
  return kMouseEventHandled;
}

}  // namespace VSTGUI
