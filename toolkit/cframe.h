// The frame: the top container, bound to the plug-in's child window inside the
// host's editor window. It routes the window's mouse, wheel and paint events into
// the view tree, keeps focus, hover and modal state, and runs the idle pass.
#pragma once

#include <cstdint>

#include "toolkit/cviewcontainer.h"
#include "toolkit/platform/platform.h"
#include "toolkit/platform/windowmessage.h"

namespace VSTGUI {

class CDrawContext;
class COffscreenContext;

/// What the frame needs from the editor that owns it.
class VSTGUIEditorInterface {
 public:
  /// Lets the editor run its pending work during a long gesture.
  virtual void doIdleStuff() {}
  /// The knob mode shared by the editor's knobs (0 circular, 1 relative circular, 2 linear).
  virtual std::int32_t getKnobMode() const { return 0; }
  /// A user gesture on the parameter with this index begins.
  virtual void beginEdit(std::int32_t /*index*/) {}
  /// The gesture ends.
  virtual void endEdit(std::int32_t /*index*/) {}
  /// The frame's own idle timer fired (CFrame::startIdleTimer): time for the editor's idle pass.
  virtual void onIdleTimer() {}
  virtual ~VSTGUIEditorInterface() = default;

  /// The open frame, or null.
  CFrame* getFrame() const { return frame; }

 protected:
  CFrame* frame = nullptr;
};

/// Watches the mouse over a frame (optional).
class CMouseObserver {
 public:
  virtual ~CMouseObserver() = default;
  virtual void onMouseEntered(CView* view, CFrame* frame) = 0;
  virtual void onMouseExited(CView* view, CFrame* frame) = 0;
  virtual void onMouseMoved(CFrame* frame, const CPoint& where) = 0;
  virtual void onMouseDown(CFrame* frame, const CPoint& where) = 0;
};

/// Implemented by a view that shows a native text field while it has the focus:
/// the colours the frame's window gives that field.
class CTextFieldColours {
 public:
  virtual ~CTextFieldColours() = default;
  /// The field's text colour.
  virtual CColor getTextFieldFontColor() const = 0;
  /// The field's background colour.
  virtual CColor getTextFieldBackColor() const = 0;
};

/// The top view of an editor window.
class CFrame : public CViewContainer {
 public:
  /// A frame of size inside parentWindow; without a parent window it has no platform window.
  CFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor);
  ~CFrame() override;
  CFrame(const CFrame&) = delete;
  CFrame& operator=(const CFrame&) = delete;

  /// True until the platform window is destroyed.
  virtual bool isOpen() const;
  /// The idle pass: invalidates what became dirty.
  virtual void idle();
  /// Forwards to the editor.
  virtual void doIdleStuff();
  /// Milliseconds since an arbitrary start.
  virtual std::uint32_t getTicks() const;
  /// The editor's knob mode (0 without an editor).
  virtual std::int32_t getKnobMode() const;
  /// Not supported: false.
  virtual bool setPosition(CCoord x, CCoord y);
  /// The editor's outer window position relative to its parent.
  virtual bool getPosition(CCoord& x, CCoord& y) const;
  /// Resizes the window, its ancestors and the frame.
  virtual bool setSize(CCoord width, CCoord height);
  /// The rectangle of the frame window's parent, relative to the parent's parent.
  virtual bool getSize(CRect* rect) const;
  virtual bool getSize(CRect& rect) const;
  /// Shows view on top of everything as the only target of the mouse; null removes the modal view.
  virtual bool setModalView(CView* view);
  virtual CView* getModalView() const;
  /// Forwards a gesture start on a tag to the editor.
  virtual void beginEdit(std::int32_t tag);
  /// Forwards a gesture end on a tag to the editor.
  virtual void endEdit(std::int32_t tag);
  /// The mouse position in frame coordinates.
  virtual bool getCurrentMouseLocation(CPoint& where) const;
  /// The mouse buttons and modifier keys held now.
  virtual CButton getCurrentMouseButtons() const;
  /// Shows a cursor shape; the default shape restores the cursor found at the first call.
  virtual void setCursor(CCursorType type);
  /// Gives the keyboard focus to view (null clears it).
  virtual void setFocusView(CView* view);
  virtual CView* getFocusView() const;
  /// Clears the frame's pointers to a view that leaves the tree.
  virtual void onViewRemoved(CView* view);
  /// Registers or revokes the window's drop target.
  virtual void setDropActive(bool active);
  virtual bool isDropActive() const;
  virtual void setOpenFlag(bool state);
  virtual bool getOpenFlag() const;
  /// Asks the window to repaint rect.
  virtual void invalidate(const CRect& rect);
  virtual CMouseObserver* getMouseObserver() const;
  virtual void setMouseObserver(CMouseObserver* observer);

  // CViewContainer and CView
  CMouseEventResult onMouseDown(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseMoved(const CPoint& where, const CButton& buttons) override;
  CMouseEventResult onMouseExited(const CPoint& where, const CButton& buttons) override;
  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButton& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButton& buttons) override;
  std::int32_t onKeyDown(VstKeyCode& keyCode) override;
  std::int32_t onKeyUp(VstKeyCode& keyCode) override;
  void drawRect(CDrawContext* pContext, const CRect& updateRect) override;
  void invalidRect(const CRect& rect) override;
  void invalid() override;
  bool removeView(CView* view, bool withForget = true) override;
  bool removeAll(bool withForget = true) override;
  bool advanceNextFocusView(CView* oldFocus, bool reverse = false) override;
  bool isTypeOf(const char* type) const override;
  VSTGUIEditorInterface* getEditor() const override;

  /// Shows or hides the frame's window; false when there is none.
  virtual bool setWindowVisible(bool visible);
  /// The descriptor that turns readable when the window has events for idle(), or -1
  /// (Platform::getEventDescriptor).
  virtual int getEventDescriptor() const;
  /// Runs the editor's idle pass from the window's own timer about every periodMs; false
  /// where the window system cannot (Platform::startIdleTimer), or without a window.
  virtual bool startIdleTimer(std::uint32_t periodMs);
  /// The window's own timer fired: tells the editor (VSTGUIEditorInterface::onIdleTimer).
  virtual void onIdleTimer();

  /// The frame's platform window, or null.
  Platform::Window* getPlatformWindow() const { return pHwnd; }
  /// The host's parent window given at construction (null once the window is destroyed).
  void* getSystemWindow() const { return pSystemWindow; }
  /// The view under the mouse, or null.
  CView* getMouseOverView() const { return pMouseOverView; }
  /// True before the first paint.
  bool isFirstDraw() const { return bFirstDraw; }

 private:
  /// Tells the view under the mouse (and the observer) that the mouse left it.
  void leaveMouseOverView(const CPoint& where, const CButton& buttons);

 protected:
  friend bool dispatchWindowMessage(CFrame*, Platform::Window*, const WindowMessage&);

  /// Sends message (sender = view) to view's ancestor containers below the frame.
  void notifyAncestors(CView* view, const char* message);
  /// True when view is inside (or is) the tree of root.
  static bool isInside(CView* view, CView* root);

  VSTGUIEditorInterface* pEditor = nullptr;
  CMouseObserver* pMouseObserver = nullptr;
  void* pSystemWindow = nullptr;
  CView* pModalView = nullptr;
  CView* pFocusView = nullptr;
  CView* pMouseOverView = nullptr;
  bool bFirstDraw = true;
  bool bOpenFlag = true;
  bool bDropActive = false;
  Platform::Window* pHwnd = nullptr;
  Platform::DropTarget* dropTarget = nullptr;
  COffscreenContext* backBuffer = nullptr;
  bool bMouseInside = false;
  CDrawContext* pFrameContext = nullptr;
  Platform::Cursor* oldCursor = nullptr;
  bool bCursorSaved = false;
  Platform::ThreadSetup* threadSetup = nullptr;
  bool bComposited = true;
};

}  // namespace VSTGUI
