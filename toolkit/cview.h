// The rectangular view: geometry, visibility, dirty state, mouse and key entry
// points, focus, background bitmap and a list of tagged attributes.
#pragma once

#include <cstdint>

#include "toolkit/vstguibase.h"

namespace VSTGUI {

class CBitmap;
class CDrawContext;
class CDragContainer;
class CFrame;
class CViewContainer;
class VSTGUIEditorInterface;

using CViewAttributeID = std::uint32_t;

/// A view: a rectangle in its parent's coordinates that draws itself and takes events.
class CView : public CBaseObject {
 public:
  explicit CView(const CRect& size);
  /// A detached copy that shares the background and duplicates the attributes.
  CView(const CView& other);
  CView& operator=(const CView&) = delete;
  ~CView() override;

  /// Draws the background bitmap into the view rectangle and marks the view clean.
  virtual void draw(CDrawContext* pContext);
  /// Draws the part in updateRect (the whole view for a plain view).
  virtual void drawRect(CDrawContext* pContext, const CRect& updateRect);
  /// True when the view's rectangle overlaps updateRect.
  virtual bool checkUpdate(const CRect& updateRect) const;
  /// True when the view must be redrawn.
  virtual bool isDirty() const;
  /// Marks the view for redraw (or clean).
  virtual void setDirty(bool state = true);
  /// Asks for rect (parent coordinates) to be repainted.
  virtual void invalidRect(const CRect& rect);
  /// Marks the view clean and asks for its whole rectangle to be repainted.
  virtual void invalid();
  /// Shows or hides the view.
  virtual void setVisible(bool state);

  virtual CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons);
  virtual CMouseEventResult onMouseUp(const CPoint& where, const CButton& buttons);
  virtual CMouseEventResult onMouseMoved(const CPoint& where, const CButton& buttons);
  virtual CMouseEventResult onMouseEntered(const CPoint& where, const CButton& buttons);
  virtual CMouseEventResult onMouseExited(const CPoint& where, const CButton& buttons);
  /// True when where (parent coordinates) lies in the mouseable area, edges included.
  virtual bool hitTest(const CPoint& where, const CButton& buttons = -1);
  /// Wheel on an axis: the x axis turns the other way, then the axis-less form runs.
  virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                       const CButton& buttons);
  /// Wheel without axis: not used by a plain view.
  virtual bool onWheel(const CPoint& where, const float& distance, const CButton& buttons);

  virtual void setMouseEnabled(bool enable);
  virtual bool getMouseEnabled() const;
  virtual void setMouseableArea(const CRect& rect);
  virtual const CRect& getMouseableArea() const;
  virtual CRect& getMouseableArea(CRect& rect) const;

  virtual bool onDrop(CDragContainer* drag, const CPoint& where);
  virtual void onDragEnter(CDragContainer* drag, const CPoint& where);
  virtual void onDragLeave(CDragContainer* drag, const CPoint& where);
  virtual void onDragMove(CDragContainer* drag, const CPoint& where);

  /// A key from the host: 1 when used, -1 when not.
  virtual std::int32_t onKeyDown(VstKeyCode& keyCode);
  virtual std::int32_t onKeyUp(VstKeyCode& keyCode);

  /// Stores the rectangle (the mouseable area stays); marks dirty when asked.
  virtual void setViewSize(const CRect& rect, bool invalid = true);
  virtual const CRect& getViewSize() const;
  virtual CRect& getViewSize(CRect& rect) const;
  /// The view rectangle bounded by what the ancestors show (parent coordinates).
  virtual CRect getVisibleSize() const;
  /// Called after the parent changed size.
  virtual void parentSizeChanged();
  /// Turns a frame position into this view's parent coordinates.
  virtual CPoint& frameToLocal(CPoint& point) const;
  /// Turns a position in this view's parent coordinates into frame coordinates.
  virtual CPoint& localToFrame(CPoint& point) const;
  virtual void setAutosizeFlags(std::int32_t flags);
  virtual std::int32_t getAutosizeFlags() const;

  virtual void looseFocus();
  virtual void takeFocus();
  virtual bool wantsFocus() const;
  virtual void setWantsFocus(bool state);

  /// Replaces the background bitmap (one reference held).
  virtual void setBackground(CBitmap* background);
  virtual CBitmap* getBackground() const;
  /// Draws the background with its alpha when on.
  virtual void setTransparency(bool state);
  virtual bool getTransparency() const;

  /// Detaches the view from its parent; false when it is not attached.
  virtual bool removed(CView* parent);
  /// Attaches the view to parent (a container); false when already attached.
  virtual bool attached(CView* parent);
  /// The frame's editor, or null while detached.
  virtual VSTGUIEditorInterface* getEditor() const;
  /// True for "CView" and, in subclasses, their own and their bases' names.
  virtual bool isTypeOf(const char* type) const;
  /// A detached copy of the view.
  virtual CView* newCopy() const;

  /// Learns whether a view was destroyed while a call that may run a platform loop
  /// (a popup menu, a dialog) was on the stack: the host may close the editor meanwhile.
  class LifeWatch {
   public:
    explicit LifeWatch(CView* view);
    ~LifeWatch();
    LifeWatch(const LifeWatch&) = delete;
    LifeWatch& operator=(const LifeWatch&) = delete;
    /// False once the view was destroyed.
    bool alive() const { return view != nullptr; }

   private:
    friend class CView;
    CView* view;
    LifeWatch* next;
  };

  CView* getParentView() const { return pParentView; }
  CFrame* getFrame() const { return pParentFrame; }
  bool isVisible() const { return bVisible; }
  bool isAttached() const { return bIsAttached; }

  /// Stores size bytes under id, replacing earlier data; false for null data.
  bool setAttribute(CViewAttributeID id, std::int32_t size, const void* data);
  /// The size of the data under id; false when there is none.
  bool getAttributeSize(CViewAttributeID id, std::int32_t& size) const;
  /// Copies the data under id into buffer (of inSize bytes); false when missing or too large.
  bool getAttribute(CViewAttributeID id, std::int32_t inSize, void* buffer,
                    std::int32_t& outSize) const;
  /// Deletes the data under id; false when there is none.
  bool removeAttribute(CViewAttributeID id);

 protected:
  struct CAttributeListEntry {
    CViewAttributeID id;
    std::int32_t size;
    char* data;
    CAttributeListEntry* next;
  };

  CRect size;
  CRect mouseableArea;
  CFrame* pParentFrame = nullptr;
  CView* pParentView = nullptr;
  bool bDirty = false;
  bool bMouseEnabled = true;
  bool bTransparencyEnabled = false;
  bool bWantsFocus = false;
  bool bIsAttached = false;
  bool bVisible = true;
  std::int32_t autosizeFlags = kAutosizeNone;
  CBitmap* pBackground = nullptr;
  CAttributeListEntry* pAttributeList = nullptr;

 private:
  LifeWatch* lifeWatches = nullptr;
};

/// True when view is a container (it answers "kMsgCheckIfViewContainer").
bool isViewContainer(CView* view);

}  // namespace VSTGUI
