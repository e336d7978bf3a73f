// Sliders: a handle bitmap travelling over a background bitmap, horizontally or
// vertically. A click anywhere moves the handle there (free click); with Shift the
// handle follows the pointer at a fraction of its speed.
#pragma once

#include "toolkit/ccontrol.h"

namespace VSTGUI {

/// Orientation and direction bits of a slider's style.
enum : std::int32_t {
  kHorizontal = 1 << 0,
  kVertical = 1 << 1,
  kLeft = 1 << 3,
  kRight = 1 << 4,
  kTop = 1 << 5,
  kBottom = 1 << 6,
};

class CSlider : public CControl {
 public:
  /// iMinPos and iMaxPos: the handle's travel in the parent's coordinates (top edge, or left edge).
  CSlider(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord iMinPos, CCoord iMaxPos,
          CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(),
          std::int32_t style = kLeft | kHorizontal);
  CSlider(const CSlider& other);
  ~CSlider() override;

  void draw(CDrawContext* pContext) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButton& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButton& buttons) override;
  std::int32_t onKeyDown(VstKeyCode& keyCode) override;
  /// Moves the travel with the leading edge and grows it with the length.
  void setViewSize(const CRect& rect, bool invalid = true) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;

  virtual void setDrawTransparentHandle(bool val);
  virtual void setFreeClick(bool val);
  virtual bool getFreeClick() const;
  /// The handle's offset inside the control; recomputes the handle's clamps.
  virtual void setOffsetHandle(const CPoint& val);
  virtual CPoint getOffsetHandle() const;
  virtual void setOffset(const CPoint& val);
  virtual CPoint getOffset() const;
  virtual std::int32_t getStyle() const;
  virtual void setHandle(CBitmap* handle);
  virtual CBitmap* getHandle() const;
  /// The divisor of the pointer's motion while Shift is held.
  virtual void setZoomFactor(float val);
  virtual float getZoomFactor() const;

 protected:
  bool isVertical() const { return (style & kVertical) != 0; }
  /// The value's distance from the handle's leading end: 1 - value unless the minimum is left or top.
  float handleFraction() const;
  /// The handle rectangle in local coordinates.
  CRect handleRect() const;

  CPoint offset;
  CPoint offsetHandle;
  CBitmap* pHandle = nullptr;
  std::int32_t style = 0;
  CCoord widthOfSlider = 1;
  CCoord heightOfSlider = 1;
  CCoord rangeHandle = 0;
  CCoord minTmp = 0;
  CCoord maxTmp = 0;
  CCoord minPos = 0;
  CCoord widthControl = 0;
  CCoord heightControl = 0;
  float zoomFactor = 10.0f;
  bool bDrawTransparentEnabled = true;
  bool bFreeClick = true;

  // The drag in progress.
  CCoord delta = 0;
  float oldVal = 0.0f;
  CButton oldButton = 0;
};

/// A slider standing upright; by default its minimum is at the bottom.
class CVerticalSlider : public CSlider {
 public:
  CVerticalSlider(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord iMinPos,
                  CCoord iMaxPos, CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint(),
                  std::int32_t style = kBottom);
};

}  // namespace VSTGUI
