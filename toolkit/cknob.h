// Rotary knobs: CKnob turns a handle (a bitmap or a line) over a background, and
// CAnimKnob shows one image of a film strip per value. Both follow the mouse in
// the frame's knob mode: linear (up or right increases) or by the pointer's angle.
#pragma once

#include "toolkit/ccontrol.h"

namespace VSTGUI {

/// The knob modes an editor may choose.
enum CKnobMode : std::int32_t { kCircularMode = 0, kRelativCircularMode, kLinearMode };

class CKnob : public CControl {
 public:
  /// A knob of size; handle may be null (a line handle is drawn then).
  CKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
        CBitmap* handle, const CPoint& offset = CPoint());
  CKnob(const CKnob& other);
  ~CKnob() override;

  void draw(CDrawContext* pContext) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButton& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButton& buttons) override;
  std::int32_t onKeyDown(VstKeyCode& keyCode) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;

  /// The angle of the minimum (radians, counter-clockwise from the positive x axis).
  virtual void setStartAngle(float val);
  virtual float getStartAngle() const;
  /// The signed sweep from minimum to maximum (negative: clockwise).
  virtual void setRangeAngle(float val);
  virtual float getRangeAngle() const;
  /// The handle point of the value, in local coordinates.
  virtual void valueToPoint(CPoint& point) const;
  /// The value of a point in local coordinates.
  virtual float valueFromPoint(CPoint& point) const;
  virtual CCoord getInsetValue() const;
  virtual void setInsetValue(CCoord val);
  virtual CColor getColorShadowHandle() const;
  virtual void setColorShadowHandle(CColor color);
  virtual CColor getColorHandle() const;
  virtual void setColorHandle(CColor color);
  virtual CBitmap* getHandleBitmap() const;
  virtual void setHandleBitmap(CBitmap* bitmap);
  /// The divisor of the linear drag speed while Shift is held.
  virtual void setZoomFactor(float val);
  virtual float getZoomFactor() const;
  virtual void drawHandle(CDrawContext* pContext);

 protected:
  /// Recomputes the value-from-angle coefficients and the dead zone.
  void compute();

  CPoint offset;
  CColor colorHandle = kWhiteCColor;
  CColor colorShadowHandle = kGreyCColor;
  CBitmap* pHandle = nullptr;
  CCoord inset = 3;
  float startAngle = 0.0f;
  float rangeAngle = 0.0f;
  float halfAngle = 0.0f;
  float aCoef = 0.0f;
  float bCoef = 0.0f;
  float radius = 0.0f;
  float zoomFactor = 1.5f;

  // The drag in progress.
  CPoint firstPoint;
  CPoint lastPoint;
  float startValue = 0.0f;
  float fEntryState = 0.0f;
  float range = 0.0f;
  float coef = 0.0f;
  CButton oldButton = 0;
  bool modeLinear = false;
};

/// A knob drawn as one image of a vertical film strip per value.
class CAnimKnob : public CKnob, public IMultiBitmapControl {
 public:
  CAnimKnob(const CRect& size, CControlListener* listener, std::int32_t tag, std::int32_t subPixmaps,
            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());
  CAnimKnob(const CAnimKnob& other);
  ~CAnimKnob() override;

  void draw(CDrawContext* pContext) override;
  /// Not dirty while the value's rim point is the one drawn last, unless marked.
  bool isDirty() const override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;

  /// Stores the height; with a bitmap, the bitmap's height decides the number of images.
  void setHeightOfOneImage(const CCoord& height) override;
  void autoComputeHeightOfOneImage() override;

  void setInverseBitmap(bool state) { bInverseBitmap = state; }
  bool getInverseBitmap() const { return bInverseBitmap; }
  /// The source y of the image the value shows.
  CCoord imageOffsetForValue() const;

 protected:
  bool bInverseBitmap = false;
  CPoint lastDrawnPoint;
};

}  // namespace VSTGUI
