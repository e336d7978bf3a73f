// The frame's window on X11: a child of the host's window on a connection of its own,
// opened by createWindow and closed by destroyWindow. The host runs no event loop for
// the plug-in, so the frame's idle pass (the editor's effEditIdle) takes the pending
// events without waiting, turns them into window messages in one place (takeApart),
// runs them through the shared dispatchWindowMessage as the win32 platform does, and
// paints what became invalid once, from an image surface of cairo's, so the window
// shows the pixels the headless platform draws.
//
// What an editor does with it: create a CFrame with the host's parent window (the X11
// Window id effEditOpen passes in ptr), fail effEditOpen when frame->getPlatformWindow()
// is null (no display, or a parent the server does not know), and call frame->idle()
// from effEditIdle. Nothing else: no thread, no timer, no process-wide setting.
//
// The connection is libxcb's: a failed request or a server that goes away shows on
// this connection only (errors come back as values, never through Xlib's process-wide
// handlers, which belong to the host), and a lost server turns into the window's
// destruction for the frame; later calls do nothing.
//
// Keys: the frame window never selects key events. A window that asks for them would
// receive the host's keystrokes whenever the pointer is over it; keys come from the
// host (effEditKeyDown) as on Windows, and only an open text field takes the keyboard
// focus, for as long as the user edits.
#include <pthread.h>

#include <algorithm>
#include <cstdlib>

#include "toolkit/cframe.h"
#include "toolkit/platform/x11/x11types.h"

namespace VSTGUI::Platform {

struct Cursor {
  CCursorType type;
  int shape;  // glyph of the X cursor font; -1: the parent's cursor
};

struct DropTarget {};

namespace {

// Glyphs of the standard X cursor font.
constexpr int kGlyphWatch = 150, kGlyphHDouble = 108, kGlyphVDouble = 116, kGlyphFleur = 52,
              kGlyphBottomLeft = 12, kGlyphBottomRight = 14, kGlyphCross = 0, kGlyphHand = 60;

/// Windows' double-click rules: 500 ms, within two pixels each way.
constexpr xcb_timestamp_t kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 2;

/// X11 button numbers of the wheel (a notch is a press and a release), and beyond it back and
/// forward (Windows' XBUTTON1 and 2).
constexpr int kButtonWheelUp = 4, kButtonWheelDown = 5, kButtonBack = 8, kButtonForward = 9;

std::vector<Window*>& openWindows() {
  static std::vector<Window*> windows;
  return windows;
}

/// The modifier state of the event being dispatched, which "now" means during it.
struct Dispatching {
  bool active = false;
  std::uint32_t keyState = 0;
  bool alt = false;
};
Dispatching gDispatching;

Cursor* cursorFor(CCursorType type) {
  static Cursor cursors[] = {{kCursorDefault, -1},           {kCursorWait, kGlyphWatch},
                             {kCursorHSize, kGlyphHDouble},  {kCursorVSize, kGlyphVDouble},
                             {kCursorSizeAll, kGlyphFleur},  {kCursorNESWSize, kGlyphBottomLeft},
                             {kCursorNWSESize, kGlyphBottomRight}, {kCursorCopy, -1},
                             {kCursorNotAllowed, kGlyphCross}, {kCursorHand, kGlyphHand}};
  const int index = static_cast<int>(type);
  return index >= 0 && index < 10 ? &cursors[index] : &cursors[0];
}
Cursor* gCursor = nullptr;

/// Key-state bits of an X modifier and button state, with a button pressed or released.
std::uint32_t keyStateOf(const Window* window, std::uint16_t state) {
  std::uint32_t bits = window->extraButtons;
  if (state & XCB_BUTTON_MASK_1) bits |= kKeyStateLButton;
  if (state & XCB_BUTTON_MASK_2) bits |= kKeyStateMButton;
  if (state & XCB_BUTTON_MASK_3) bits |= kKeyStateRButton;
  if (state & XCB_MOD_MASK_SHIFT) bits |= kKeyStateShift;
  if (state & XCB_MOD_MASK_CONTROL) bits |= kKeyStateControl;
  return bits;
}

std::uint32_t buttonBit(int button) {
  switch (button) {
    case 1: return kKeyStateLButton;
    case 2: return kKeyStateMButton;
    case 3: return kKeyStateRButton;
    case kButtonBack: return kKeyStateXButton1;
    case kButtonForward: return kKeyStateXButton2;
    default: return 0;
  }
}

WindowMessage pointerMessage(Window* window, WindowMessage::Kind kind, int x, int y, int rootX, int rootY,
                             std::uint32_t keyState) {
  WindowMessage m;
  m.kind = kind;
  m.x = static_cast<std::int16_t>(x);
  m.y = static_cast<std::int16_t>(y);
  m.keyState = keyState;
  window->origin = CPoint(rootX - x, rootY - y);
  window->originKnown = true;
  return m;
}

/// Turns an event of the frame window into a window message; false when the frame has no
/// message for it. The one place where X events become the frame's events.
bool takeApart(Window* window, const xcb_generic_event_t* event, WindowMessage& m, std::uint16_t& xState) {
  switch (event->response_type & 0x7F) {
    case XCB_BUTTON_PRESS: {
      const auto* e = reinterpret_cast<const xcb_button_press_event_t*>(event);
      window->time = e->time;
      xState = e->state;
      const int button = e->detail;
      if (button == kButtonWheelUp || button == kButtonWheelDown) {
        // One notch of the wheel; buttons 6 and 7 turn sideways, which the frame leaves alone.
        m = pointerMessage(window, WindowMessage::kWheel, e->event_x, e->event_y, e->root_x, e->root_y,
                           keyStateOf(window, e->state));
        m.wheelNotches = button == kButtonWheelUp ? 1 : -1;
        return true;
      }
      const std::uint32_t bit = buttonBit(button);
      if (!bit) return false;
      if (bit & (kKeyStateXButton1 | kKeyStateXButton2)) window->extraButtons |= bit;
      const bool doubleClick = button == window->lastPressButton &&
                               e->time - window->lastPressTime <= kDoubleClickTime &&
                               std::abs(e->event_x - window->lastPressX) <= kDoubleClickDistance &&
                               std::abs(e->event_y - window->lastPressY) <= kDoubleClickDistance;
      // A double click ends the pair: a third press starts a new one, as on Windows.
      window->lastPressButton = doubleClick ? 0 : button;
      window->lastPressTime = e->time;
      window->lastPressX = e->event_x;
      window->lastPressY = e->event_y;
      m = pointerMessage(window, doubleClick ? WindowMessage::kButtonDoubleClick : WindowMessage::kButtonDown,
                         e->event_x, e->event_y, e->root_x, e->root_y, keyStateOf(window, e->state) | bit);
      return true;
    }
    case XCB_BUTTON_RELEASE: {
      const auto* e = reinterpret_cast<const xcb_button_release_event_t*>(event);
      window->time = e->time;
      xState = e->state;
      const std::uint32_t bit = buttonBit(e->detail);
      if (!bit) return false;
      window->extraButtons &= ~bit;
      m = pointerMessage(window, WindowMessage::kButtonUp, e->event_x, e->event_y, e->root_x, e->root_y,
                         keyStateOf(window, e->state) & ~bit);
      return true;
    }
    case XCB_MOTION_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
      window->time = e->time;
      xState = e->state;
      m = pointerMessage(window, WindowMessage::kMouseMove, e->event_x, e->event_y, e->root_x, e->root_y,
                         keyStateOf(window, e->state));
      return true;
    }
    case XCB_ENTER_NOTIFY: {
      // Windows reports the arrival of the pointer as a move.
      const auto* e = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
      window->time = e->time;
      xState = e->state;
      if (e->mode == XCB_NOTIFY_MODE_GRAB || e->mode == XCB_NOTIFY_MODE_UNGRAB) return false;
      m = pointerMessage(window, WindowMessage::kMouseMove, e->event_x, e->event_y, e->root_x, e->root_y,
                         keyStateOf(window, e->state));
      return true;
    }
    case XCB_LEAVE_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_leave_notify_event_t*>(event);
      window->time = e->time;
      xState = e->state;
      // One notification per trackMouseLeave, as TrackMouseEvent gives; a grab starting is no leave.
      if (!window->leaveTracking || e->mode == XCB_NOTIFY_MODE_GRAB) return false;
      window->leaveTracking = false;
      m.kind = WindowMessage::kMouseLeave;
      return true;
    }
    case XCB_DESTROY_NOTIFY:
      m.kind = WindowMessage::kDestroyed;
      return true;
    default:
      return false;
  }
}

void invalidate(Window* window, CRect rect) {
  rect.bound(CRect(0, 0, window->width, window->height));
  if (rect.isEmpty()) return;
  if (window->invalid.isEmpty()) {
    window->invalid = rect;
    return;
  }
  window->invalid.left = std::min(window->invalid.left, rect.left);
  window->invalid.top = std::min(window->invalid.top, rect.top);
  window->invalid.right = std::max(window->invalid.right, rect.right);
  window->invalid.bottom = std::max(window->invalid.bottom, rect.bottom);
}

/// Hands a wheel button event the frame did not use to the host's window, as the server would
/// have had the frame window not taken wheel buttons: the host may scroll with it.
void passToParent(Window* window, const xcb_button_press_event_t& event) {
  auto position = X11::reply(xcb_translate_coordinates_reply(
      window->connection, xcb_translate_coordinates(window->connection, window->id, window->parent, event.event_x,
                                                    event.event_y),
      nullptr));
  if (!position) return;
  xcb_button_press_event_t passed = event;
  passed.event = window->parent;
  passed.child = window->id;
  passed.event_x = position->dst_x;
  passed.event_y = position->dst_y;
  const bool press = (event.response_type & 0x7F) == XCB_BUTTON_PRESS;
  xcb_send_event(window->connection, 1, window->parent,
                 press ? XCB_EVENT_MASK_BUTTON_PRESS : XCB_EVENT_MASK_BUTTON_RELEASE,
                 reinterpret_cast<const char*>(&passed));
}

/// Handles one event of the window's connection.
void handleEvent(Window* window, xcb_generic_event_t* event) {
  const std::uint8_t type = event->response_type & 0x7F;
  if (type == 0) return;  // an error of a request of ours (a window gone meanwhile): nothing to undo
  if (type == XCB_MAPPING_NOTIFY) {
    window->keyboard.load(window->connection);
    return;
  }
  if (type == XCB_EXPOSE) {
    const auto* e = reinterpret_cast<const xcb_expose_event_t*>(event);
    if (e->window == window->id) invalidate(window, CRect(e->x, e->y, e->x + e->width, e->y + e->height));
    else handleTextFieldEvent(window, event, e->window);
    return;
  }
  xcb_window_t target = 0;
  switch (type) {
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE:
    case XCB_MOTION_NOTIFY:
    case XCB_ENTER_NOTIFY:
    case XCB_LEAVE_NOTIFY:
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
      target = reinterpret_cast<const xcb_button_press_event_t*>(event)->event;
      break;
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT:
      target = reinterpret_cast<const xcb_focus_in_event_t*>(event)->event;
      break;
    case XCB_DESTROY_NOTIFY:
      target = reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window;
      break;
    default:
      return;
  }
  if (target != window->id) {
    handleTextFieldEvent(window, event, target);
    return;
  }
  const auto* button = reinterpret_cast<const xcb_button_press_event_t*>(event);
  if (type == XCB_BUTTON_RELEASE && button->detail == window->passedWheelButton) {
    window->passedWheelButton = 0;
    passToParent(window, *button);  // the release of a notch the host got the press of
    return;
  }
  WindowMessage m;
  std::uint16_t xState = 0;
  if (!takeApart(window, event, m, xState)) return;
  if (m.kind == WindowMessage::kDestroyed) {
    loseWindow(window, false);
    return;
  }
  Watch watch(window);
  const bool used = sendToFrame(window, m, xState);
  if (m.kind == WindowMessage::kWheel && !used && watch.alive && usable(window)) {
    window->passedWheelButton = button->detail;
    passToParent(window, *button);
  }
}

xcb_cursor_t cursorOn(Window* window, int shape) {
  if (shape < 0 || shape >= 154) return XCB_NONE;
  for (int i = 0; i < 10; ++i)
    if (cursorFor(static_cast<CCursorType>(i))->shape == shape) {
      if (!window->cursors[i]) {
        if (!window->cursorFont) {
          window->cursorFont = xcb_generate_id(window->connection);
          xcb_open_font(window->connection, window->cursorFont, 6, "cursor");
        }
        window->cursors[i] = xcb_generate_id(window->connection);
        xcb_create_glyph_cursor(window->connection, window->cursors[i], window->cursorFont, window->cursorFont,
                                static_cast<std::uint16_t>(shape), static_cast<std::uint16_t>(shape + 1), 0, 0, 0,
                                0xFFFF, 0xFFFF, 0xFFFF);
      }
      return window->cursors[i];
    }
  return XCB_NONE;
}

/// Any window whose connection still works, for questions that name no window.
Window* anyUsableWindow() {
  for (Window* window : openWindows())
    if (usable(window)) return window;
  return nullptr;
}

}  // namespace

Watch::Watch(Window* w) : window(w) {
  if (!window) return;
  next = window->watches;
  window->watches = this;
}

Watch::~Watch() {
  if (!alive || !window) return;
  for (Watch** link = &window->watches; *link; link = &(*link)->next)
    if (*link == this) {
      *link = next;
      break;
    }
}

bool sendToFrame(Window* window, const WindowMessage& message, std::uint16_t xState) {
  const Dispatching saved = gDispatching;
  gDispatching = {true, message.keyState, (xState & window->keyboard.altMask()) != 0};
  Watch watch(window);
  const bool used = dispatchWindowMessage(window->frame, window, message);
  gDispatching = saved;
  if (watch.alive) window->originKnown = false;
  return used;
}

void loseWindow(Window* window, bool broken) {
  if (window->broken || window->destroyed) return;
  if (broken) window->broken = true;
  else window->destroyed = true;
  WindowMessage m;
  m.kind = WindowMessage::kDestroyed;
  dispatchWindowMessage(window->frame, window, m);
}

void paintNow(Window* window) {
  if (!usable(window) || window->invalid.isEmpty() || window->painting) return;
  window->paintRect = window->invalid;
  window->invalid = CRect();
  window->painting = true;
  WindowMessage m;
  m.kind = WindowMessage::kPaint;
  Watch watch(window);
  sendToFrame(window, m, 0);
  if (watch.alive) window->painting = false;
}

// X needs nothing set up per thread: the window has a connection of its own.
ThreadSetup* setUpThread() { return nullptr; }
void endThreadSetup(ThreadSetup*) {}
// The window keeps its own back store, so the frame draws straight into it.
bool isComposited() { return true; }

Window* createWindow(void* parentWindow, CFrame* frame, const CRect& size, bool) {
  const auto parent = static_cast<xcb_window_t>(reinterpret_cast<std::uintptr_t>(parentWindow));
  if (!parent || size.width() <= 0 || size.height() <= 0 || size.width() > 32767 || size.height() > 32767)
    return nullptr;
  // The display named by DISPLAY; without one, or when it refuses, there is no window.
  xcb_connection_t* connection = X11::connect();
  if (!connection) return nullptr;
  auto fail = [connection]() -> Window* {
    xcb_disconnect(connection);
    return nullptr;
  };
  // The parent must exist; its screen and visual decide ours.
  auto geometry = X11::reply(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, parent), nullptr));
  auto attributes = X11::reply(
      xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, parent), nullptr));
  if (!geometry || !attributes) return fail();
  xcb_screen_t* screen = X11::screenOfRoot(connection, geometry->root);
  X11::PixelFormat format;
  if (!screen || !X11::findPixelFormat(connection, screen, attributes->visual, format)) return fail();

  auto* window = new Window;
  window->connection = connection;
  window->parent = parent;
  window->root = geometry->root;
  window->screenWidth = screen->width_in_pixels;
  window->screenHeight = screen->height_in_pixels;
  window->format = format;
  window->frame = frame;
  window->width = size.width();
  window->height = size.height();
  window->id = xcb_generate_id(connection);

  std::uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK;
  std::uint32_t values[4] = {
      XCB_BACK_PIXMAP_NONE, 0,
      XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
          XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
          XCB_EVENT_MASK_STRUCTURE_NOTIFY,
      0};
  xcb_colormap_t ownColormap = 0;
  if (format.visual != attributes->visual) {
    ownColormap = xcb_generate_id(connection);
    xcb_create_colormap(connection, XCB_COLORMAP_ALLOC_NONE, ownColormap, geometry->root, format.visual);
    mask |= XCB_CW_COLORMAP;
    values[3] = ownColormap;
  }
  const xcb_void_cookie_t created = xcb_create_window_checked(
      connection, format.depth, window->id, parent, 0, 0, static_cast<std::uint16_t>(window->width),
      static_cast<std::uint16_t>(window->height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, format.visual, mask, values);
  if (auto error = X11::reply(xcb_request_check(connection, created))) {
    delete window;
    return fail();
  }
  // Windows on the root (popup menus) need a colormap of our visual unless the root has it.
  if (format.visual != screen->root_visual) {
    window->colormap = ownColormap ? ownColormap : xcb_generate_id(connection);
    if (!ownColormap)
      xcb_create_colormap(connection, XCB_COLORMAP_ALLOC_NONE, window->colormap, geometry->root, format.visual);
  }
  X11::setFixedSize(connection, window->id, window->width, window->height);
  window->gc = xcb_generate_id(connection);
  const std::uint32_t noExposures = 0;
  xcb_create_gc(connection, window->gc, window->id, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  window->keyboard.load(connection);
  xcb_map_window(connection, window->id);
  xcb_flush(connection);

  window->store = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, window->width, window->height);
  window->device.surface = window->store;
  window->invalid = CRect(0, 0, window->width, window->height);  // the first idle pass paints it all
  openWindows().push_back(window);
  return window;
}

void destroyWindow(Window* window) {
  if (!window) return;
  window->frame = nullptr;  // detached first: the frame hears nothing of its window's end
  for (Watch* watch = window->watches; watch; watch = watch->next) watch->alive = false;
  window->watches = nullptr;
  auto& windows = openWindows();
  windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
  xcb_connection_t* connection = window->connection;
  if (!xcb_connection_has_error(connection)) {
    xcb_destroy_window(connection, window->id);  // its text field goes with it
    for (xcb_cursor_t cursor : window->cursors)
      if (cursor) xcb_free_cursor(connection, cursor);
    if (window->cursorFont) xcb_close_font(connection, window->cursorFont);
    if (window->colormap) xcb_free_colormap(connection, window->colormap);
    xcb_free_gc(connection, window->gc);
    xcb_flush(connection);
  }
  xcb_disconnect(connection);
  detachTextField(window);  // its owner closes it later; nothing of X remains
  cairo_surface_destroy(window->store);
  delete window;
}

void invalidateRect(Window* window, const CRect& rect) {
  if (usable(window)) invalidate(window, rect);
}

void showWindow(Window* window, bool visible) {
  if (!usable(window)) return;
  if (visible)
    xcb_map_window(window->connection, window->id);
  else
    xcb_unmap_window(window->connection, window->id);
  xcb_flush(window->connection);
}

int getEventDescriptor(Window* window) { return usable(window) ? xcb_get_file_descriptor(window->connection) : -1; }

// No message loop of X's runs for the plug-in: the host's idle calls pump the window.
bool startIdleTimer(Window*, std::uint32_t) { return false; }

void idleWindow(Window* window) {
  if (!usable(window)) return;
  Watch watch(window);
  // Everything pending, without waiting; moves queued behind another move are merged into it.
  std::vector<xcb_generic_event_t*> events;
  while (xcb_generic_event_t* event = xcb_poll_for_event(window->connection)) events.push_back(event);
  for (std::size_t i = 0; i < events.size(); ++i) {
    xcb_generic_event_t* event = events[i];
    const bool superseded = watch.alive && i + 1 < events.size() &&
                            (event->response_type & 0x7F) == XCB_MOTION_NOTIFY &&
                            (events[i + 1]->response_type & 0x7F) == XCB_MOTION_NOTIFY &&
                            reinterpret_cast<xcb_motion_notify_event_t*>(event)->event ==
                                reinterpret_cast<xcb_motion_notify_event_t*>(events[i + 1])->event;
    if (watch.alive && !superseded && usable(window)) handleEvent(window, event);
    std::free(event);
  }
  if (!watch.alive) return;
  if (xcb_connection_has_error(window->connection)) {
    loseWindow(window, true);
    return;
  }
  if (!usable(window)) return;
  idleTextField(window);
  if (!watch.alive || !usable(window)) return;
  paintNow(window);
  if (watch.alive && usable(window)) xcb_flush(window->connection);
}

bool beginPaint(Window* window, Device*& device, CRect& updateRect) {
  if (!usable(window) || !window->painting || window->paintRect.isEmpty()) return false;
  device = &window->device;
  updateRect = window->paintRect;
  return true;
}

void endPaint(Window* window) {
  if (!window || !window->painting) return;
  window->painting = false;
  if (!usable(window)) return;
  X11::putImage(window->connection, window->id, window->gc, window->format, window->store, window->paintRect,
                window->scratch);
  xcb_flush(window->connection);
}

Device* getWindowDevice(Window* window) { return usable(window) ? &window->device : nullptr; }

void releaseWindowDevice(Window* window, Device* device) {
  // What was drawn outside a paint reaches the screen at once, as on a window's device.
  if (!usable(window) || device != &window->device || window->painting) return;
  X11::putImage(window->connection, window->id, window->gc, window->format, window->store,
                CRect(0, 0, window->width, window->height), window->scratch);
  xcb_flush(window->connection);
}

std::uintptr_t getNativeWindow(Window* window) { return window ? window->id : 0; }

CPoint getScreenOrigin(Window* window) {
  if (!usable(window)) return CPoint();
  if (window->originKnown) return window->origin;
  auto answer = X11::reply(xcb_translate_coordinates_reply(
      window->connection, xcb_translate_coordinates(window->connection, window->id, window->root, 0, 0), nullptr));
  return answer ? CPoint(answer->dst_x, answer->dst_y) : CPoint();
}

void captureMouse(Window* window) {
  if (!usable(window)) return;
  // The press already holds the pointer for this window; the grab keeps it until the release.
  const xcb_grab_pointer_cookie_t cookie = xcb_grab_pointer(
      window->connection, 0, window->id,
      XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION,
      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME);
  xcb_discard_reply(window->connection, cookie.sequence);
  xcb_flush(window->connection);
}

void releaseMouse(Window* window) {
  if (!usable(window)) return;
  xcb_ungrab_pointer(window->connection, XCB_CURRENT_TIME);
  xcb_flush(window->connection);
}

void trackMouseLeave(Window* window) {
  if (usable(window)) window->leaveTracking = true;
}

namespace {

/// The pointer as the server sees it now, through any usable window.
X11::Reply<xcb_query_pointer_reply_t> queryPointer(Window* window) {
  if (!usable(window)) return X11::reply<xcb_query_pointer_reply_t>(nullptr);
  return X11::reply(
      xcb_query_pointer_reply(window->connection, xcb_query_pointer(window->connection, window->id), nullptr));
}

}  // namespace

CPoint getMousePosition(Window* window) {
  auto pointer = queryPointer(window);
  return pointer ? CPoint(pointer->win_x, pointer->win_y) : CPoint();
}

CButton getMouseButtons() {
  std::uint32_t keyState = 0;
  bool alt = false;
  if (gDispatching.active) {
    keyState = gDispatching.keyState;
    alt = gDispatching.alt;
  } else if (Window* window = anyUsableWindow()) {
    if (auto pointer = queryPointer(window)) {
      keyState = keyStateOf(window, pointer->mask);
      alt = (pointer->mask & window->keyboard.altMask()) != 0;
    }
  }
  // X's button 1 is already the primary button of a user who swapped them.
  CButton buttons = 0;
  if (keyState & kKeyStateLButton) buttons |= kLButton;
  if (keyState & kKeyStateRButton) buttons |= kRButton;
  if (keyState & kKeyStateMButton) buttons |= kMButton;
  if (keyState & kKeyStateShift) buttons |= kShift;
  if (keyState & kKeyStateControl) buttons |= kControl;
  if (alt) buttons |= kAlt;
  return buttons;
}

bool isAltDown() { return (getMouseButtons() & kAlt) != 0; }

Cursor* getCursor() { return gCursor ? gCursor : cursorFor(kCursorDefault); }

Cursor* getSystemCursor(CCursorType type) { return cursorFor(type); }

void setCursor(Cursor* cursor) {
  gCursor = cursor ? cursor : cursorFor(kCursorDefault);
  for (Window* window : openWindows()) {
    if (!usable(window)) continue;
    const std::uint32_t value = cursorOn(window, gCursor->shape);
    xcb_change_window_attributes(window->connection, window->id, XCB_CW_CURSOR, &value);
    xcb_flush(window->connection);
  }
}

std::uint32_t getTicks() { return X11::monotonicMilliseconds(); }

DropTarget* registerDropTarget(Window*, CFrame*) { return nullptr; }  // no view accepts drops
void revokeDropTarget(Window*, DropTarget*) {}

namespace {

struct Geometry {
  xcb_window_t parent = 0;
  int x = 0, y = 0, width = 0, height = 0;
};

/// A window's place in its parent and the parent; false when the server does not know it.
bool geometryOf(Window* window, xcb_window_t id, Geometry& g) {
  auto tree = X11::reply(xcb_query_tree_reply(window->connection, xcb_query_tree(window->connection, id), nullptr));
  auto geometry = X11::reply(xcb_get_geometry_reply(window->connection, xcb_get_geometry(window->connection, id), nullptr));
  if (!tree || !geometry) return false;
  g.parent = tree->parent;
  g.x = geometry->x;
  g.y = geometry->y;
  g.width = geometry->width;
  g.height = geometry->height;
  return true;
}

}  // namespace

bool getOuterPosition(Window* window, CCoord& x, CCoord& y) {
  if (!usable(window)) return false;
  // Climb to the host's outer editor window: top-level, or clearly smaller than its parent.
  Geometry own;
  if (!geometryOf(window, window->parent, own)) return false;
  while (own.parent && own.parent != window->root) {
    Geometry outer;
    if (!geometryOf(window, own.parent, outer)) break;
    if (outer.width - own.width > 60 || outer.height - own.height > 60) break;
    own = outer;
  }
  x = own.x;
  y = own.y;
  return true;
}

bool getParentRect(Window* window, CRect& rect) {
  Geometry parent;
  if (!usable(window) || !geometryOf(window, window->parent, parent)) return false;
  rect = CRect(parent.x, parent.y, parent.x + parent.width, parent.y + parent.height);
  return true;
}

bool growWindows(Window* window, CCoord dw, CCoord dh) {
  if (!usable(window)) return false;
  const int width = window->width + static_cast<int>(dw);
  const int height = window->height + static_cast<int>(dh);
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
  const std::uint32_t size[2] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  xcb_configure_window(window->connection, window->id, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  X11::setFixedSize(window->connection, window->id, width, height);
  // The host's windows around it grow along while they hug it.
  int childWidth = window->width, childHeight = window->height;
  for (xcb_window_t w = window->parent; w && w != window->root;) {
    Geometry g;
    if (!geometryOf(window, w, g)) break;
    if (g.width - childWidth > 80 || g.height - childHeight > 80) break;
    const std::uint32_t grown[2] = {static_cast<std::uint32_t>(std::max(1, g.width + static_cast<int>(dw))),
                                    static_cast<std::uint32_t>(std::max(1, g.height + static_cast<int>(dh)))};
    xcb_configure_window(window->connection, w, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, grown);
    childWidth = g.width;
    childHeight = g.height;
    w = g.parent;
  }
  cairo_surface_t* grown = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_surface_destroy(window->store);
  window->store = grown;
  window->device.surface = grown;
  window->width = width;
  window->height = height;
  window->invalid = CRect(0, 0, width, height);
  xcb_flush(window->connection);
  return true;
}

std::uintptr_t currentThreadId() { return static_cast<std::uintptr_t>(pthread_self()); }

}  // namespace VSTGUI::Platform
