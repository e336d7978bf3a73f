// The X11 forms of the platform's window objects, shared by the X11 sources of the
// toolkit only. Drawing objects are cairo's (cairotypes.h).
#pragma once

#include <cairo.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

#include "toolkit/platform/cairo/cairotypes.h"
#include "toolkit/platform/platform.h"
#include "toolkit/platform/windowmessage.h"
#include "toolkit/platform/x11/x11keys.h"
#include "toolkit/platform/x11/x11util.h"

namespace VSTGUI::Platform {

/// Tells a loop that runs the frame's code whether its window still exists afterwards.
struct Watch {
  explicit Watch(Window* window);
  ~Watch();
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;
  bool alive = true;
  Window* window;
  Watch* next = nullptr;
};

struct Window {
  xcb_connection_t* connection = nullptr;
  xcb_window_t id = 0;
  xcb_window_t parent = 0;
  xcb_window_t root = 0;
  int screenWidth = 0;
  int screenHeight = 0;
  xcb_gcontext_t gc = 0;
  xcb_colormap_t colormap = 0;  // for windows on the root when its visual is not ours (0: none needed)
  X11::PixelFormat format;
  X11::Keyboard keyboard;
  CFrame* frame = nullptr;
  int width = 0;
  int height = 0;

  // Painting: the window's pixels live in an image of cairo's, as on the headless platform.
  cairo_surface_t* store = nullptr;
  Device device;
  CRect invalid;       // merged until the next paint; empty when nothing is invalid
  CRect paintRect;
  bool painting = false;
  std::vector<std::uint32_t> scratch;

  bool broken = false;     // the connection to the server failed
  bool destroyed = false;  // the window is gone; the frame was told

  // The mouse, as the window's events showed it.
  xcb_timestamp_t time = 0;          // of the last event with a time
  std::uint32_t extraButtons = 0;    // key-state bits of buttons 8 and 9, which X keeps no state for
  int lastPressButton = 0;
  xcb_timestamp_t lastPressTime = 0;
  int lastPressX = 0;
  int lastPressY = 0;
  bool leaveTracking = false;
  int passedWheelButton = 0;  // the wheel button whose unused press went to the parent window
  bool originKnown = false;  // while one pointer event is dispatched
  CPoint origin;
  xcb_font_t cursorFont = 0;
  xcb_cursor_t cursors[10] = {};

  TextField* textField = nullptr;
  bool popupOpen = false;
  bool popupCancelled = false;
  Watch* watches = nullptr;
};

/// True while the window can take requests.
inline bool usable(const Window* window) { return window && !window->broken && !window->destroyed; }

/// Runs one message through the window's frame with the modifier state of the X event behind it;
/// true when the frame used it.
bool sendToFrame(Window* window, const WindowMessage& message, std::uint16_t xState);
/// Marks the window broken or destroyed and tells the frame once.
void loseWindow(Window* window, bool broken);
/// Paints what is invalid in the frame window now.
void paintNow(Window* window);

// --- the text field and the popup menu (x11textfield.cpp, x11popupmenu.cpp) -----------
/// Handles an event of the window's text field; false when it was not the field's.
bool handleTextFieldEvent(Window* window, xcb_generic_event_t* event, xcb_window_t target);
/// The field's idle work: caret blinking and painting.
void idleTextField(Window* window);
/// Detaches the window's text field from a window that goes away (its owner closes it later).
void detachTextField(Window* window);

}  // namespace VSTGUI::Platform
