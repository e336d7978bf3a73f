// What every platform must provide to the toolkit: the graphics library, the
// module's resources and the frame's window. Each platform defines the opaque
// structs below in its own folder; nothing else of the toolkit sees native types.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/vstguibase.h"

namespace VSTGUI {
class CFrame;
class ResourceStream;
}  // namespace VSTGUI

namespace VSTGUI::Platform {

struct Device;      // a paint device (window or paint-session surface)
struct Graphics;    // a drawing surface bound to a device or an image
struct Pen;         // outline colour, width and dash
struct Brush;       // solid fill colour
struct Font;        // a font family at a pixel size and style
struct Image;       // a 32-bit ARGB image
struct Window;      // the frame's own child window
struct Cursor;      // a mouse cursor shape
struct DropTarget;  // the frame window's registered drop target
struct TextField;   // a native one-line edit box over a view of the frame
struct ThreadSetup;  // a thread's set-up for the toolkit's windows and dialogs

// --- graphics library ---------------------------------------------------------
/// Starts the graphics library; false when it would not start (nothing to stop then).
bool startGraphics();
/// Shuts down the graphics library a successful startGraphics started.
void stopGraphics();

/// Creates a surface on a device: low-quality interpolation, pixel units, no pixel offset, no smoothing.
Graphics* createGraphics(Device* device);
/// Creates a surface drawing into an image, with the same settings.
Graphics* createImageGraphics(Image* image);
/// Destroys a surface.
void deleteGraphics(Graphics* graphics);
/// Switches smoothing (anti-aliasing) of lines and fills.
void setSmoothing(Graphics* graphics, bool on);
/// Replaces the clip with a rectangle in device pixels.
void setClip(Graphics* graphics, const CRect& rect);
/// Fills x, y, w, h exactly.
void fillRect(Graphics* graphics, Brush* brush, float x, float y, float w, float h);
/// Outlines the rectangle: its pixels run from x to x + w and y to y + h inclusive.
void strokeRect(Graphics* graphics, Pen* pen, float x, float y, float w, float h);
/// Draws an integer line including both end points.
void drawLine(Graphics* graphics, Pen* pen, int x1, int y1, int x2, int y2);

/// Creates a solid pen.
Pen* createPen(std::uint32_t argb, float width);
/// Sets a pen's colour.
void setPenColor(Pen* pen, std::uint32_t argb);
/// Sets a pen's width.
void setPenWidth(Pen* pen, float width);
/// Sets a pen dashed (true) or solid.
void setPenDashed(Pen* pen, bool dashed);
/// Destroys a pen.
void deletePen(Pen* pen);
/// Creates a solid brush.
Brush* createBrush(std::uint32_t argb);
/// Sets a brush's colour.
void setBrushColor(Brush* brush, std::uint32_t argb);
/// Destroys a brush.
void deleteBrush(Brush* brush);

/// Creates a font (style: 0 regular, 1 bold, 2 italic, 4 underline), falling back to a sans-serif family.
Font* createFont(const char16_t* family, float pixelSize, int style);
/// Destroys a font.
void deleteFont(Font* font);
/// The font's line height in pixels on this surface.
float getFontLineHeight(Font* font, Graphics* graphics);
/// Measures the width of a UTF-16 text; false when measuring failed.
bool measureString(Graphics* graphics, Font* font, const char16_t* text, int length, float& width);
/// Draws a UTF-16 text whose line box starts at (x, y); antialias asks for grid-fitted smooth text.
void drawString(Graphics* graphics, Font* font, Brush* brush, const char16_t* text, int length,
                float x, float y, bool antialias);

/// Decodes an image (PNG) from a resource stream; null when it cannot.
Image* decodeImage(ResourceStream* stream);
/// Loads the module's standard bitmap resource of that name (or identifier when name is null).
Image* loadBitmapResource(const char* name, int id);
/// Creates a fully transparent 32-bit premultiplied ARGB image.
Image* createImage(int width, int height);
/// True when the image is 32-bit premultiplied ARGB.
bool isPremultipliedArgb(Image* image);
/// The image's size in pixels.
void getImageSize(Image* image, int& width, int& height);
/// Destroys an image.
void deleteImage(Image* image);
/// Draws the image area at src of dest's size onto dest, one to one, with its alpha times alpha (0..1).
void drawImage(Graphics* graphics, Image* image, const CRect& dest, const CPoint& src, float alpha);

/// Finds a module resource by name (case-insensitive) or, when name is null, by identifier.
bool findResource(const char* name, int id, const char* type, const void*& data, std::uint32_t& size);

// --- window -------------------------------------------------------------------
/// Sets the calling thread up for the toolkit's windows, drag and drop and dialogs, for as long
/// as the set-up is kept; null when there is nothing to undo (the window system needs nothing,
/// or the thread's owner set it up in a way that does not allow ours).
ThreadSetup* setUpThread();
/// Undoes a set-up on the thread that made it; on any other thread nothing is undone.
void endThreadSetup(ThreadSetup* setup);
/// True when the window system keeps a window's pixels and composes them, so painting straight
/// into the window shows no flicker; false when a paint should go through a back buffer.
bool isComposited();
/// Registers the window class if needed and creates the frame's visible child window, composited
/// by the window system when asked and possible.
Window* createWindow(void* parentWindow, CFrame* frame, const CRect& size, bool composited);
/// Detaches the frame, destroys the window and unregisters the class after the last one.
void destroyWindow(Window* window);
/// Asks for the rectangle to be repainted (with erase).
void invalidateRect(Window* window, const CRect& rect);
/// Shows or hides the window without destroying it (a host that embeds the frame may show
/// its window later than it gives it a parent).
void showWindow(Window* window, bool visible);
/// A file descriptor that turns readable when the window has events for idleWindow, for a host
/// that watches descriptors on its own loop; -1 where the window system delivers them itself.
int getEventDescriptor(Window* window);
/// Starts the window's own timer: about every periodMs the window system's message loop hands
/// the frame a WindowMessage::kIdleTimer. False where the plug-in's windows have no message loop
/// of the window system (the host's idle calls drive the frame there); the timer ends with the
/// window.
bool startIdleTimer(Window* window, std::uint32_t periodMs);
/// The frame's idle pass, after it invalidated what changed: a window system whose host runs
/// no event loop for the plug-in handles the window's pending events here without waiting and
/// paints what became invalid; elsewhere nothing happens.
void idleWindow(Window* window);
/// Starts a paint: the device to draw on and the update rectangle; false when nothing needs painting.
bool beginPaint(Window* window, Device*& device, CRect& updateRect);
/// Ends the paint begun by beginPaint.
void endPaint(Window* window);
/// A device on the window for drawing outside a paint.
Device* getWindowDevice(Window* window);
/// Gives back a device from getWindowDevice.
void releaseWindowDevice(Window* window, Device* device);
/// The window system's own name of the window (X11: its window id; Win32: its HWND), for a
/// host that embeds the window and asks for it; 0 when there is none.
std::uintptr_t getNativeWindow(Window* window);
/// The window's top-left corner on the screen.
CPoint getScreenOrigin(Window* window);
/// Captures the mouse to the window.
void captureMouse(Window* window);
/// Releases the mouse capture.
void releaseMouse(Window* window);
/// Asks for one notification when the mouse leaves the window.
void trackMouseLeave(Window* window);
/// The cursor position relative to the window's top-left corner.
CPoint getMousePosition(Window* window);
/// Physical mouse buttons and modifier keys now (kLButton, kRButton swapped when the user swapped them).
CButton getMouseButtons();
/// True while the Alt key is down.
bool isAltDown();
/// The cursor shown now.
Cursor* getCursor();
/// The platform's cursor for a shape.
Cursor* getSystemCursor(CCursorType type);
/// Shows a cursor.
void setCursor(Cursor* cursor);
/// Millisecond tick count.
std::uint32_t getTicks();
/// Registers the frame's drop target on the window.
DropTarget* registerDropTarget(Window* window, CFrame* frame);
/// Revokes and releases a drop target.
void revokeDropTarget(Window* window, DropTarget* target);
/// Top-left of the first ancestor window that is the editor's outer window, relative to its parent.
bool getOuterPosition(Window* window, CCoord& x, CCoord& y);
/// Rectangle of the window's parent, relative to the parent's parent.
bool getParentRect(Window* window, CRect& rect);
/// Grows the window and its ancestors by (dw, dh).
bool growWindows(Window* window, CCoord dw, CCoord dh);
/// An identifier of the calling thread; reading it never allocates, locks or calls the system.
std::uintptr_t currentThreadId();

// --- native text field ----------------------------------------------------------
/// What a text field tells the view it edits, on the window's thread.
class TextFieldClient {
 public:
  /// Return was pressed in the field.
  virtual void textFieldReturnPressed() = 0;
  /// The field lost the keyboard focus.
  virtual void textFieldFocusLost() = 0;

 protected:
  ~TextFieldClient() = default;
};

/// How a text field is placed and drawn.
struct TextFieldStyle {
  CRect rect;             // in the window's client coordinates
  std::string text;       // UTF-8
  int align = 0;          // 0 left, 1 centre, 2 right
  std::string fontName;   // UTF-8 family name
  int fontHeight = 12;    // pixels
  CColor fontColor;
  CColor backColor;
};

/// Opens a text field holding the text, all of it selected, with the keyboard focus; null when it cannot.
TextField* openTextField(Window* window, const TextFieldStyle& style, TextFieldClient* client);
/// The field's text in UTF-8 (at most 255 UTF-16 units of it).
std::string getTextFieldText(TextField* field);
/// Closes the field and frees it; its client hears nothing more.
void closeTextField(TextField* field);

// --- popup menu -------------------------------------------------------------------
/// One entry of a popup menu as the window system shows it.
struct PopupMenuItem {
  std::string title;                    // UTF-8, already numbered when the menu numbers its items
  int id = -1;                          // reported when chosen; -1: cannot be chosen
  bool separator = false;
  bool grayed = false;                  // shown greyed out, cannot be chosen
  bool disabled = false;                // a title: shown plainly, cannot be chosen
  bool checked = false;
  bool columnBreak = false;             // starts a new column
  Image* icon = nullptr;                // shown beside the title (not owned)
  std::vector<PopupMenuItem> submenu;   // a popup entry when not empty
};

/// Shows a popup menu with its top-left at `where` (the window's client coordinates) and waits
/// for the user; the chosen entry's identifier, or -1 when the menu was dismissed.
int runPopupMenu(Window* window, const std::vector<PopupMenuItem>& items, const CPoint& where,
                 bool rightButton);
/// Closes a popup menu of the window that is being shown (the frame is going away).
void cancelPopupMenu(Window* window);

}  // namespace VSTGUI::Platform
