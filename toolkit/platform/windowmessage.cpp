#include "toolkit/platform/windowmessage.h"

#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"

namespace VSTGUI {

CButton buttonsFromKeyState(std::uint32_t keyState) {
  CButton buttons = 0;
  if (keyState & kKeyStateLButton) buttons |= kLButton;
  if (keyState & kKeyStateRButton) buttons |= kRButton;
  if (keyState & kKeyStateMButton) buttons |= kMButton;
  if (keyState & kKeyStateXButton1) buttons |= kButton4;
  if (keyState & kKeyStateXButton2) buttons |= kButton5;
  if (keyState & kKeyStateControl) buttons |= kControl;
  if (keyState & kKeyStateShift) buttons |= kShift;
  if (Platform::isAltDown()) buttons |= kAlt;
  return buttons;
}

namespace {

void paint(CFrame* frame, Platform::Window* window, COffscreenContext*& backBuffer, bool composited) {
  Platform::Device* device = nullptr;
  CRect updateRect;
  if (!Platform::beginPaint(window, device, updateRect)) return;
  auto* context = new CDrawContext(frame, device, window);
  if (!composited) {
    // Without composition a persistent back buffer keeps the paint from flickering.
    const CRect& size = frame->getViewSize();
    if (!backBuffer) backBuffer = new COffscreenContext(frame, size.width(), size.height(), kBlackCColor);
    frame->drawRect(backBuffer, updateRect);
    backBuffer->copyFrom(context, updateRect, updateRect.getTopLeft());
  } else {
    frame->drawRect(context, updateRect);
  }
  context->forget();
  Platform::endPaint(window);
}

}  // namespace

bool dispatchWindowMessage(CFrame* frame, Platform::Window* window, const WindowMessage& message) {
  if (!frame) return false;
  const CPoint where(message.x, message.y);
  switch (message.kind) {
    case WindowMessage::kPaint:
      paint(frame, window, frame->backBuffer, frame->bComposited);
      return true;
    case WindowMessage::kMouseMove:
      frame->onMouseMoved(where, buttonsFromKeyState(message.keyState));
      return true;
    case WindowMessage::kButtonDown:
    case WindowMessage::kButtonDoubleClick: {
      CButton buttons = buttonsFromKeyState(message.keyState);
      if (message.kind == WindowMessage::kButtonDoubleClick) buttons |= kDoubleClick;
      if (frame->onMouseDown(where, buttons) == kMouseEventHandled) Platform::captureMouse(window);
      return true;
    }
    case WindowMessage::kButtonUp:
      frame->onMouseUp(where, buttonsFromKeyState(message.keyState));
      Platform::releaseMouse(window);
      return true;
    case WindowMessage::kWheel: {
      const CButton buttons = Platform::getMouseButtons() & (kShift | kControl | kAlt);
      // A turn the frame used goes no further: a host that hands the window system's wheel
      // messages back to the window under the mouse would otherwise turn the control again.
      return frame->onWheel(where, static_cast<float>(message.wheelNotches), buttons);
    }
    case WindowMessage::kMouseLeave: {
      CPoint location;
      frame->getCurrentMouseLocation(location);
      frame->onMouseExited(location, frame->getCurrentMouseButtons());
      return true;
    }
    case WindowMessage::kDestroyed:
      frame->setOpenFlag(false);
      frame->pSystemWindow = nullptr;
      return false;
    case WindowMessage::kIdleTimer:
      frame->onIdleTimer();
      return true;
    case WindowMessage::kOther:
      break;
  }
  return false;
}

bool textFieldColours(CFrame* frame, CColor& text, CColor& back) {
  auto* field = frame ? dynamic_cast<CTextFieldColours*>(frame->getFocusView()) : nullptr;
  if (!field) return false;
  text = field->getTextFieldFontColor();
  back = field->getTextFieldBackColor();
  return true;
}

}  // namespace VSTGUI
