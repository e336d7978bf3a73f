// The control base: a view that holds one value, reports changes of it to a
// listener and brackets every user gesture with begin-edit and end-edit notices
// that travel through the frame to the host. Also the film-strip mix-in.
#pragma once

#include <cmath>
#include <cstdint>

#include "toolkit/ccontrollistener.h"
#include "toolkit/cview.h"

namespace VSTGUI {

/// A pixel coordinate from a computed value, truncated toward zero; NaN gives 0 and
/// values beyond the coordinate range stop at its ends, so no value is undefined behaviour.
inline CCoord truncateToCoord(double v) {
  if (!(v == v)) return 0;
  if (v >= 1.0e9) return 1000000000;
  if (v <= -1.0e9) return -1000000000;
  return static_cast<CCoord>(v);
}

/// A view with a value in vmin..vmax that a listener hears about.
class CControl : public CView {
 public:
  CControl(const CRect& size, CControlListener* listener = nullptr, std::int32_t tag = 0,
           CBitmap* background = nullptr);
  CControl(const CControl& other);
  ~CControl() override;

  void draw(CDrawContext* pContext) override = 0;
  CView* newCopy() const override = 0;
  bool isDirty() const override;
  /// true: forces a redraw (the last drawn value becomes one the value cannot be); false: the value is drawn.
  void setDirty(bool state = true) override;
  bool isTypeOf(const char* type) const override;

  /// Lets the editor run pending work, through the frame.
  virtual void doIdleStuff();
  /// Stores the value: no clamping, no redraw, no notice.
  virtual void setValue(float val);
  virtual float getValue() const;
  virtual void setMin(float val);
  virtual float getMin() const;
  virtual void setMax(float val);
  virtual float getMax() const;
  /// The value last drawn.
  virtual void setOldValue(float val);
  virtual float getOldValue() const;
  /// The value the reset gesture (Control + left click) restores.
  virtual void setDefaultValue(float val);
  virtual float getDefaultValue() const;
  /// Brings the value into vmin..vmax.
  virtual void bounceValue();
  /// For exactly Control + left button: restores the default value as a gesture of its own; true when it did.
  virtual bool checkDefaultValue(CButton button);
  virtual void setTag(std::int32_t val);
  virtual std::int32_t getTag() const;
  /// A user gesture starts: the listener, then the frame (focus view and host).
  virtual void beginEdit();
  /// The gesture ends: the frame (host), then the listener.
  virtual void endEdit();
  virtual CControlListener* getListener() const;
  virtual void setListener(CControlListener* l);
  virtual void setBackOffset(const CPoint& offset);
  /// The background source offset becomes the view's position.
  virtual void copyBackOffset();
  /// The step of the wheel and the arrow keys.
  virtual void setWheelInc(float val);
  virtual float getWheelInc() const;

  const CPoint& getBackOffset() const { return backOffset; }

 protected:
  /// Draws a bitmap from source into rect, with its alpha when the view is transparent.
  void drawBitmap(CBitmap* bitmap, CDrawContext* pContext, const CRect& rect, const CPoint& source) const;
  /// The wheel's step (a tenth with Shift); false when the mouse is off for this view.
  bool wheelStep(float distance, CButton buttons);
  /// Up and right add the wheel step, down and left take it away (a tenth with Shift): 1; other keys -1.
  std::int32_t arrowKeyStep(const VstKeyCode& keyCode);
  /// value += delta, clamped; a change is reported as a gesture of its own.
  void stepValue(float delta);

  CControlListener* listener = nullptr;
  std::int32_t tag = 0;
  float oldValue = 1.0f;
  float defaultValue = 0.5f;
  float value = 0.0f;
  float vmin = 0.0f;
  float vmax = 1.0f;
  float wheelInc = 0.1f;
  CPoint backOffset;
};

/// A bitmap that is a vertical strip of equally high images (sub-pixmaps).
class IMultiBitmapControl {
 public:
  virtual ~IMultiBitmapControl() = default;
  virtual void setHeightOfOneImage(const CCoord& height) { heightOfOneImage = height; }
  virtual CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  /// The height of one image becomes the height of the view.
  virtual void autoComputeHeightOfOneImage() = 0;

  void setNumSubPixmaps(std::int32_t count) { subPixmaps = count; }
  std::int32_t getNumSubPixmaps() const { return subPixmaps; }

 protected:
  CCoord heightOfOneImage = 0;
  std::int32_t subPixmaps = 0;
};

}  // namespace VSTGUI
