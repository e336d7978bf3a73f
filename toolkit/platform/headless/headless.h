// The headless platform window: an in-memory window for tests and for hosts without
// a display. It records what the frame asks of the window system (invalidated
// rectangles, capture, cursor, mouse-leave requests), takes injected window messages
// and paints on request into an image that can be read pixel by pixel.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/platform/platform.h"
#include "toolkit/platform/windowmessage.h"

namespace VSTGUI::Headless {

/// Runs one window message through the window's frame (what a window procedure does); true
/// when the frame used it.
bool send(Platform::Window* window, const WindowMessage& message);
/// A mouse message at (x, y) with a key-state word.
WindowMessage mouseMessage(WindowMessage::Kind kind, int x, int y, std::uint32_t keyState = 0);
/// A wheel turn of whole notches at (x, y).
WindowMessage wheelMessage(int x, int y, int notches, std::uint32_t keyState = 0);

/// Paints what was invalidated since the last paint; false when nothing was.
bool paint(Platform::Window* window);
/// Paints the given rectangle.
void paint(Platform::Window* window, const CRect& rect);

/// The rectangles invalidated since the last paint or clear.
const std::vector<CRect>& invalidRects(Platform::Window* window);
/// The bounding box of invalidRects (empty when none).
CRect invalidUnion(Platform::Window* window);
/// Forgets the invalidated rectangles.
void clearInvalidRects(Platform::Window* window);

/// True while the window holds the mouse capture.
bool hasCapture(Platform::Window* window);
/// Number of mouse-leave notifications asked for.
int mouseLeaveRequests(Platform::Window* window);
/// True while a drop target is registered.
bool isDropTargetRegistered(Platform::Window* window);
/// The host's parent window given at creation.
void* parentWindow(Platform::Window* window);

/// One pixel of the window as ARGB (alpha not premultiplied).
std::uint32_t pixel(Platform::Window* window, int x, int y);
/// One pixel of an image as ARGB (alpha not premultiplied).
std::uint32_t imagePixel(Platform::Image* image, int x, int y);
/// The window's pixels as a cairo image surface (owned by the window).
cairo_surface_t* surface(Platform::Window* window);
/// Writes the window's pixels as a PNG file.
bool savePng(Platform::Window* window, const char* path);

/// Sets the mouse position relative to the window.
void setMousePosition(Platform::Window* window, const CPoint& where);
/// Sets the window's position on the screen.
void setScreenOrigin(Platform::Window* window, const CPoint& origin);
/// Sets the physical buttons and modifier keys (kLButton, kShift, ...).
void setMouseButtons(CButton buttons);
/// Sets whether Alt is down.
void setAltDown(bool down);
/// Sets whether frames made from now on find the window system composited (the default) or
/// paint through a back buffer of their own.
void setComposited(bool composited);
/// The cursor shape shown now.
CCursorType currentCursor();
/// The number of live windows using the registered window class (0: class unregistered).
int windowClassUseCount();
/// How often the window class was registered since the process started.
int windowClassRegistrations();

// --- the native text field, as a test types into it ----------------------------------
/// What the window's open text field shows.
struct TextFieldState {
  Platform::TextFieldStyle style;  // as it was opened
  std::string text;                // what it holds now, UTF-8
  bool allSelected = false;        // the whole text is selected (typing replaces it)
};
/// True while a text field is open on the window; its state into *state.
bool textFieldShown(Platform::Window* window, TextFieldState* state = nullptr);
/// Types UTF-8 text into the open field, replacing the selection; the field takes at most 255 UTF-16 units.
void typeIntoTextField(Platform::Window* window, const std::string& text);
/// Keys the field knows: Return ends editing; Escape and Tab are the box's own and end nothing.
enum class TextFieldKey { kReturn, kEscape, kTab };
/// Presses a key in the open field.
void pressTextFieldKey(Platform::Window* window, TextFieldKey key);
/// The open field loses the keyboard focus (the user clicked into another window).
void textFieldLosesFocus(Platform::Window* window);

// --- the popup menu, as a test answers it -------------------------------------------
/// The next popup menu reports this identifier (-1: the user dismissed it). Unanswered menus are dismissed.
void queuePopupAnswer(int identifier);
/// Runs while the next popup menu is shown instead of a queued answer; its result is the choice.
void setPopupAction(std::function<int(const std::vector<Platform::PopupMenuItem>&)> action);
/// A popup menu as it was shown.
struct PopupRecord {
  std::vector<Platform::PopupMenuItem> items;
  CPoint where;
  bool rightButton = false;
};
/// The popup menus shown since the last reset, in order.
const std::vector<PopupRecord>& popupsShown();
/// How many popups were closed by their frame going away.
int popupsCancelled();
/// Forgets recorded popups, queued answers and the action.
void resetPopups();

}  // namespace VSTGUI::Headless
