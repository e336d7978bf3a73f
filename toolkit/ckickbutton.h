// A push button for one-shot commands: shows its pressed image while held, and
// reports 1 then 0 when it is released over itself.
#pragma once

#include "toolkit/ccontrol.h"

namespace VSTGUI {

/// A button whose bitmap holds two images: released on top, pressed below.
class CKickButton : public CControl, public IMultiBitmapControl {
 public:
  CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
              CBitmap* background, const CPoint& offset = CPoint());
  CKickButton(const CKickButton& other);
  ~CKickButton() override;

  void draw(CDrawContext* pContext) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButton& buttons) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;
  void autoComputeHeightOfOneImage() override;

 protected:
  CPoint offset;
  float fEntryState = 0.0f;
};

}  // namespace VSTGUI
