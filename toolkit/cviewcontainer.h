// A view that owns an ordered list of child views: the first child is drawn first
// (bottom), the mouse searches from the last (top) child down.
#pragma once

#include "toolkit/cview.h"
#include "toolkit/vstguibase.h"

namespace VSTGUI {

class COffscreenContext;
class CControl;
class CControlListener;

/// For a view that is a control ("CControl"): stores it as a CControl and answers its listener (or null).
using ControlListenerQuery = CControlListener* (*)(CView* view, CControl** control);
/// Installs how containers reach a control's listener; the control module calls it once.
void setControlListenerQuery(ControlListenerQuery query);

/// A container of child views; it holds one reference on each child.
class CViewContainer : public CView {
 public:
  CViewContainer(const CRect& size, CFrame* frame = nullptr, CBitmap* background = nullptr);
  ~CViewContainer() override;
  CViewContainer(const CViewContainer&) = delete;
  CViewContainer& operator=(const CViewContainer&) = delete;

  /// Inserts view before the child `before` (appends when not found); false for null or attached views.
  virtual bool addView(CView* view, CView* before);
  /// Appends view and sets its mouseable area and mouse-enabled flag.
  virtual bool addView(CView* view, const CRect& mouseableArea, bool mouseEnabled = true);
  /// Appends view.
  virtual bool addView(CView* view);
  /// Removes a child and releases the container's reference (and the creator's with withForget).
  virtual bool removeView(CView* view, bool withForget = true);
  /// Removes every child as removeView does, without invalidating them.
  virtual bool removeAll(bool withForget = true);
  /// True when view is a direct child.
  virtual bool isChild(CView* view) const;
  virtual std::int32_t getNbViews() const;
  /// The child at a 0-based index, or null.
  virtual CView* getView(std::int32_t index) const;
  /// The topmost visible child whose mouseable area holds where (parent coordinates).
  virtual CView* getViewAt(const CPoint& where, bool deep = false) const;
  /// The deepest container under where (this container when no child matches).
  virtual CViewContainer* getContainerAt(const CPoint& where, bool deep = true) const;
  virtual void setBackgroundColor(const CColor& color);
  virtual CColor getBackgroundColor() const;
  virtual void setBackgroundOffset(const CPoint& offset);
  virtual const CPoint& getBackgroundOffset() const;
  /// Draws the background bitmap or colour under rect (local coordinates).
  virtual void drawBackgroundRect(CDrawContext* pContext, const CRect& rect);
  /// Draws the children through an offscreen image of the container's own.
  virtual void setDrawInOffscreen(bool state);
  /// Gives the focus to the next child that wants it after oldFocus.
  virtual bool advanceNextFocusView(CView* oldFocus, bool reverse = false);
  /// Turns dirty children into invalidated rectangles.
  virtual bool invalidateDirtyViews();
  using CView::getVisibleSize;
  /// rect (local coordinates) bounded by what this container and its ancestors show.
  virtual CRect getVisibleSize(const CRect& rect) const;
  /// True when view is visible and overlaps rect.
  virtual bool checkUpdateRect(CView* view, const CRect& rect);
  /// True when some mouse-enabled child's hitTest holds for where (parent coordinates).
  virtual bool hitTestSubViews(const CPoint& where, const CButton& buttons = -1);

  // CView
  void drawRect(CDrawContext* pContext, const CRect& updateRect) override;
  bool isDirty() const override;
  void invalidRect(const CRect& rect) override;
  void invalid() override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseUp(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButton& buttons) override;
  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButton& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButton& buttons) override;
  bool onDrop(CDragContainer* drag, const CPoint& where) override;
  void onDragEnter(CDragContainer* drag, const CPoint& where) override;
  void onDragLeave(CDragContainer* drag, const CPoint& where) override;
  void onDragMove(CDragContainer* drag, const CPoint& where) override;
  std::int32_t onKeyDown(VstKeyCode& keyCode) override;
  std::int32_t onKeyUp(VstKeyCode& keyCode) override;
  void setViewSize(const CRect& rect, bool invalid = true) override;
  bool removed(CView* parent) override;
  bool attached(CView* parent) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override;
  CMessageResult notify(CBaseObject* sender, const char* message) override;

  /// The child that took the current mouse-down gesture, or null.
  CView* getMouseDownView() const { return mouseDownView; }
  bool getDrawInOffscreen() const { return bDrawInOffscreen; }

 protected:
  struct CCView {
    CView* pView;
    CCView* pNext;
    CCView* pPrevious;
  };

  /// The list entry of a direct child, or null.
  CCView* findEntry(CView* view) const;
  /// Unlinks an entry, tells the frame and the child, and releases the references.
  void releaseChild(CCView* entry, bool withForget);
  /// Makes the offscreen surface when drawing in offscreen and there is none.
  void makeOffscreenContext();

  CCView* pFirstView = nullptr;
  CCView* pLastView = nullptr;
  COffscreenContext* pOffscreenContext = nullptr;
  CColor backgroundColor = kBlackCColor;
  CPoint backgroundOffset;
  bool bDrawInOffscreen = false;
  CView* currentDragView = nullptr;
  CView* mouseDownView = nullptr;
};

}  // namespace VSTGUI
