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

void paint(CFrame* frame, Platform::Window* window, COffscreenContext*& backBuffer,
           int majorVersion) {
  Platform::Device* device = nullptr;
  CRect updateRect;
  if (!Platform::beginPaint(window, device, updateRect)) return;
  auto* context = new CDrawContext(frame, device, window);
  if (majorVersion < 6) {
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

std::intptr_t dispatchWindowMessage(CFrame* frame, Platform::Window* window,
                                    const WindowMessage& message, bool& callDefault) {
  callDefault = false;
  if (!frame) {
    callDefault = true;
    return 0;
  }
  const CPoint where(message.x, message.y);
  switch (message.kind) {
    case WindowMessage::kPaint:
      paint(frame, window, frame->backBuffer, frame->platformMajorVersion);
      return 0;
    case WindowMessage::kEraseBackground:
      return 1;
    case WindowMessage::kMouseMove:
      frame->onMouseMoved(where, buttonsFromKeyState(message.keyState));
      return 0;
    case WindowMessage::kButtonDown:
    case WindowMessage::kButtonDoubleClick: {
      CButton buttons = buttonsFromKeyState(message.keyState);
      if (message.kind == WindowMessage::kButtonDoubleClick) buttons |= kDoubleClick;
      if (frame->onMouseDown(where, buttons) == kMouseEventHandled) Platform::captureMouse(window);
      return 0;
    }
    case WindowMessage::kButtonUp:
      frame->onMouseUp(where, buttonsFromKeyState(message.keyState));
      Platform::releaseMouse(window);
      return 0;
    case WindowMessage::kWheel: {
      const CButton buttons = Platform::getMouseButtons() & (kShift | kControl | kAlt);
      const CPoint origin = Platform::getScreenOrigin(window);
      const CPoint local(message.x - origin.h, message.y - origin.v);
      // Whole notches only: a delta below 120 turns nothing.
      const float distance = static_cast<float>(message.wheelDelta / 120);
      frame->onWheel(local, distance, buttons);
      callDefault = true;
      return 0;
    }
    case WindowMessage::kMouseLeave: {
      CPoint location;
      frame->getCurrentMouseLocation(location);
      frame->onMouseExited(location, frame->getCurrentMouseButtons());
      return 0;
    }
    case WindowMessage::kTextFieldColour: {
      auto* field = dynamic_cast<CTextFieldColours*>(frame->getFocusView());
      if (!field) {
        callDefault = true;
        return 0;
      }
      return Platform::colourTextField(message, field->getTextFieldFontColor(),
                                       field->getTextFieldBackColor());
    }
    case WindowMessage::kDestroyed:
      frame->setOpenFlag(false);
      frame->pSystemWindow = nullptr;
      callDefault = true;
      return 0;
    case WindowMessage::kOther:
      break;
  }
  callDefault = true;
  return 0;
}

}  // namespace VSTGUI
