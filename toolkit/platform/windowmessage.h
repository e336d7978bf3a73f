// The messages of the frame's window, taken apart by the platform and run through
// the frame by one shared routine, so every platform behaves alike.
#pragma once

#include <cstdint>

#include "toolkit/platform/platform.h"

namespace VSTGUI {

/// One window message; key-state bits and positions follow the Windows message layout.
struct WindowMessage {
  enum Kind {
    kPaint,
    kEraseBackground,
    kMouseMove,
    kButtonDown,         // left, right, middle or an extra button pressed
    kButtonDoubleClick,  // the same buttons' double-click
    kButtonUp,
    kWheel,
    kMouseLeave,
    kTextFieldColour,  // a native text field asks for its colours
    kDestroyed,
    kOther,
  };
  Kind kind = kOther;
  std::int16_t x = 0;  // client position; screen position for kWheel
  std::int16_t y = 0;
  std::uint32_t keyState = 0;   // kKeyState* bits
  std::int16_t wheelDelta = 0;  // 120 per notch
  std::uintptr_t wParam = 0;    // native extras (the text field's device context)
  std::intptr_t lParam = 0;     // (the text field's window)
};

// Key-state word of mouse messages.
enum : std::uint32_t {
  kKeyStateLButton = 0x0001,
  kKeyStateRButton = 0x0002,
  kKeyStateShift = 0x0004,
  kKeyStateControl = 0x0008,
  kKeyStateMButton = 0x0010,
  kKeyStateXButton1 = 0x0020,
  kKeyStateXButton2 = 0x0040,
};

/// Mouse buttons and modifiers of a key-state word; kAlt is added when Alt is down now.
CButton buttonsFromKeyState(std::uint32_t keyState);

/// Runs one message through the frame; callDefault tells whether the platform's default handling must follow.
std::intptr_t dispatchWindowMessage(CFrame* frame, Platform::Window* window,
                                    const WindowMessage& message, bool& callDefault);

}  // namespace VSTGUI
