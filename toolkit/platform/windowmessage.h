// The messages of the frame's window, taken apart by the platform and run through
// the frame by one shared routine, so every platform behaves alike.
#pragma once

#include <cstdint>

#include "toolkit/platform/platform.h"

namespace VSTGUI {

/// One window message in the toolkit's terms.
struct WindowMessage {
  enum Kind {
    kPaint,
    kMouseMove,
    kButtonDown,         // left, right, middle or an extra button pressed
    kButtonDoubleClick,  // the same buttons' double-click
    kButtonUp,
    kWheel,
    kMouseLeave,
    kDestroyed,
    kIdleTimer,  // the window's own timer (Platform::startIdleTimer)
    kOther,
  };
  Kind kind = kOther;
  std::int16_t x = 0;  // position in the window (client coordinates)
  std::int16_t y = 0;
  std::uint32_t keyState = 0;  // kKeyState* bits
  int wheelNotches = 0;        // kWheel: whole notches turned, away from the user positive
};

// Key-state word of mouse messages: the buttons held and the modifier keys.
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

/// Runs one message through the frame. True when the frame used it, so the window system's
/// default handling must not follow: for a wheel turn, when a view took it (a turn over no
/// control, or during a drag, is left to the window system, which may pass it to the host).
bool dispatchWindowMessage(CFrame* frame, Platform::Window* window, const WindowMessage& message);

/// The colours of the native text field the frame's focus view shows; false when the focus
/// view shows none (the text field keeps the window system's own colours).
bool textFieldColours(CFrame* frame, CColor& text, CColor& back);

}  // namespace VSTGUI
