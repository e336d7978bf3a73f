// The splash screen: a hot area that, when clicked, shows a picture over the whole
// editor as the frame's modal view until the next click on the picture.
#pragma once

#include "toolkit/ccontrol.h"

namespace VSTGUI {

/// The picture view a splash screen shows.
class CDefaultSplashScreenView : public CControl {
 public:
  CDefaultSplashScreenView(const CRect& size, CControlListener* listener, CBitmap* background,
                           const CPoint& offset = CPoint());
  void draw(CDrawContext* pContext) override;
  /// A left click tells the splash screen to go.
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override;
  CView* newCopy() const override;

 protected:
  CPoint offset;
};

/// The hot area; it owns its picture view.
class CSplashScreen : public CControl, public CControlListener {
 public:
  CSplashScreen(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                const CRect& toDisplay, const CPoint& offset = CPoint());
  ~CSplashScreen() override;
  CSplashScreen(const CSplashScreen&) = delete;
  CSplashScreen& operator=(const CSplashScreen&) = delete;

  /// Draws nothing: the hot area shows what lies beneath.
  void draw(CDrawContext* pContext) override;
  /// Inside the mouseable area, with the left button.
  bool hitTest(const CPoint& where, const CButton& buttons = -1) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override;
  /// A splash screen leaving the frame takes its picture with it.
  bool removed(CView* parent) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;

  /// Hides the picture; the value becomes 0.
  virtual void unSplash();
  virtual void setDisplayArea(const CRect& rect);
  virtual CRect& getDisplayArea(CRect& rect) const;

  /// The picture was clicked.
  void valueChanged(CControl* pControl) override;

  CView* getSplashView() const { return modalView; }

 protected:
  CRect toDisplay;
  CPoint offset;
  CView* modalView = nullptr;
};

}  // namespace VSTGUI
