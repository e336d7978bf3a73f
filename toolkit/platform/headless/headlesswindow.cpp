#include <cairo.h>

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <vector>

#include "toolkit/cframe.h"
#include "toolkit/platform/cairo/cairotypes.h"
#include "toolkit/platform/headless/headless.h"
#include "toolkit/platform/platform.h"
#include "toolkit/textconvert.h"

namespace VSTGUI::Platform {

struct TextField {
  Window* window = nullptr;
  TextFieldClient* client = nullptr;
  TextFieldStyle style;
  std::u16string text;
  bool allSelected = true;
};

struct Window {
  CFrame* frame = nullptr;
  void* parent = nullptr;
  cairo_surface_t* surface = nullptr;
  Device device;
  std::vector<CRect> invalidRects;
  CRect paintRect;
  bool painting = false;
  bool captured = false;
  int mouseLeaveRequests = 0;
  CPoint mouse;
  CPoint screenOrigin;
  bool dropTarget = false;
  TextField* textField = nullptr;
};

struct Cursor {
  CCursorType type;
};

struct DropTarget {
  Window* window;
};

namespace {

struct HeadlessState {
  CButton buttons = 0;
  bool altDown = false;
  bool composited = true;
  CCursorType cursor = kCursorDefault;
  int classUseCount = 0;
  int classRegistrations = 0;
  std::deque<int> popupAnswers;
  std::function<int(const std::vector<PopupMenuItem>&)> popupAction;
  std::vector<Headless::PopupRecord> popups;
  int popupsCancelled = 0;
};

HeadlessState& state() {
  static HeadlessState s;
  return s;
}

Cursor* cursorFor(CCursorType type) {
  static Cursor cursors[] = {{kCursorDefault}, {kCursorWait},     {kCursorHSize},
                             {kCursorVSize},   {kCursorSizeAll},  {kCursorNESWSize},
                             {kCursorNWSESize}, {kCursorCopy},    {kCursorNotAllowed},
                             {kCursorHand}};
  const int index = static_cast<int>(type);
  return index >= 0 && index < 10 ? &cursors[index] : &cursors[0];
}

}  // namespace

ThreadSetup* setUpThread() { return nullptr; }  // an in-memory window needs nothing of a thread
void endThreadSetup(ThreadSetup*) {}
bool isComposited() { return state().composited; }

Window* createWindow(void* parentWindow, CFrame* frame, const CRect& size, bool) {
  if (size.width() <= 0 || size.height() <= 0) return nullptr;
  if (state().classUseCount++ == 0) ++state().classRegistrations;
  auto* window = new Window;
  window->frame = frame;
  window->parent = parentWindow;
  window->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.width(), size.height());
  window->device.surface = window->surface;
  return window;
}

void destroyWindow(Window* window) {
  if (!window) return;
  window->frame = nullptr;  // detached first: the frame hears nothing of its window's end
  if (window->textField) window->textField->window = nullptr;
  cairo_surface_destroy(window->surface);
  delete window;
  --state().classUseCount;
}

void invalidateRect(Window* window, const CRect& rect) {
  if (window) window->invalidRects.push_back(rect);
}

void idleWindow(Window*) {}  // tests paint when they choose
void showWindow(Window*, bool) {}  // the in-memory window is never on a screen
int getEventDescriptor(Window*) { return -1; }
bool startIdleTimer(Window*, std::uint32_t) { return false; }  // tests idle when they choose

bool beginPaint(Window* window, Device*& device, CRect& updateRect) {
  if (!window || !window->painting || window->paintRect.isEmpty()) return false;
  device = &window->device;
  updateRect = window->paintRect;
  return true;
}

void endPaint(Window* window) {
  if (window) window->painting = false;
}

Device* getWindowDevice(Window* window) { return window ? &window->device : nullptr; }
void releaseWindowDevice(Window*, Device*) {}
// The in-memory window has no name in any window system.
std::uintptr_t getNativeWindow(Window*) { return 0; }
CPoint getScreenOrigin(Window* window) { return window ? window->screenOrigin : CPoint(); }

void captureMouse(Window* window) {
  if (window) window->captured = true;
}
void releaseMouse(Window* window) {
  if (window) window->captured = false;
}
void trackMouseLeave(Window* window) {
  if (window) ++window->mouseLeaveRequests;
}
CPoint getMousePosition(Window* window) { return window ? window->mouse : CPoint(); }
CButton getMouseButtons() { return state().buttons; }
bool isAltDown() { return state().altDown; }
Cursor* getCursor() { return cursorFor(state().cursor); }
Cursor* getSystemCursor(CCursorType type) { return cursorFor(type); }
void setCursor(Cursor* cursor) { state().cursor = cursor ? cursor->type : kCursorDefault; }

std::uint32_t getTicks() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

DropTarget* registerDropTarget(Window* window, CFrame*) {
  if (!window) return nullptr;
  window->dropTarget = true;
  return new DropTarget{window};
}

void revokeDropTarget(Window* window, DropTarget* target) {
  if (window) window->dropTarget = false;
  delete target;
}

bool getOuterPosition(Window*, CCoord& x, CCoord& y) {
  x = 0;
  y = 0;
  return true;
}

bool getParentRect(Window* window, CRect& rect) {
  if (!window) return false;
  rect = CRect(0, 0, cairo_image_surface_get_width(window->surface),
               cairo_image_surface_get_height(window->surface));
  return true;
}

bool growWindows(Window* window, CCoord dw, CCoord dh) {
  if (!window) return false;
  const int w = cairo_image_surface_get_width(window->surface) + dw;
  const int h = cairo_image_surface_get_height(window->surface) + dh;
  if (w <= 0 || h <= 0) return false;
  cairo_surface_destroy(window->surface);
  window->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  window->device.surface = window->surface;
  return true;
}

std::uintptr_t currentThreadId() { return static_cast<std::uintptr_t>(pthread_self()); }

// --- text field -------------------------------------------------------------------------

/// An edit box holds at most this many UTF-16 units, as the native one is limited.
constexpr std::size_t kTextFieldLimit = 255;

TextField* openTextField(Window* window, const TextFieldStyle& style, TextFieldClient* client) {
  if (!window || window->textField) return nullptr;
  auto* field = new TextField;
  field->window = window;
  field->client = client;
  field->style = style;
  field->text = utf8ToUtf16Lossy(style.text);
  window->textField = field;
  return field;
}

std::string getTextFieldText(TextField* field) {
  if (!field) return {};
  return utf16ToUtf8(std::u16string_view(field->text).substr(0, kTextFieldLimit));
}

void closeTextField(TextField* field) {
  if (!field) return;
  if (field->window && field->window->textField == field) field->window->textField = nullptr;
  delete field;
}

// --- popup menu ------------------------------------------------------------------------

int runPopupMenu(Window* window, const std::vector<PopupMenuItem>& items, const CPoint& where,
                 bool rightButton) {
  if (!window) return -1;
  state().popups.push_back({items, where, rightButton});
  if (auto action = std::move(state().popupAction)) {
    state().popupAction = nullptr;
    return action(items);  // may close the frame and its window
  }
  if (state().popupAnswers.empty()) return -1;
  const int answer = state().popupAnswers.front();
  state().popupAnswers.pop_front();
  return answer;
}

void cancelPopupMenu(Window*) { ++state().popupsCancelled; }

}  // namespace VSTGUI::Platform

namespace VSTGUI::Headless {

using Platform::state;

bool send(Platform::Window* window, const WindowMessage& message) {
  return window && dispatchWindowMessage(window->frame, window, message);
}

WindowMessage mouseMessage(WindowMessage::Kind kind, int x, int y, std::uint32_t keyState) {
  WindowMessage message;
  message.kind = kind;
  message.x = static_cast<std::int16_t>(x);
  message.y = static_cast<std::int16_t>(y);
  message.keyState = keyState;
  return message;
}

WindowMessage wheelMessage(int x, int y, int notches, std::uint32_t keyState) {
  WindowMessage message = mouseMessage(WindowMessage::kWheel, x, y, keyState);
  message.wheelNotches = notches;
  return message;
}

bool paint(Platform::Window* window) {
  const CRect r = invalidUnion(window);
  if (r.isEmpty()) return false;
  paint(window, r);
  return true;
}

void paint(Platform::Window* window, const CRect& rect) {
  if (!window) return;
  const CRect bounds(0, 0, cairo_image_surface_get_width(window->surface),
                     cairo_image_surface_get_height(window->surface));
  window->paintRect = rect;
  window->paintRect.bound(bounds);
  window->painting = true;
  window->invalidRects.clear();
  WindowMessage message;
  message.kind = WindowMessage::kPaint;
  send(window, message);
  window->painting = false;
}

const std::vector<CRect>& invalidRects(Platform::Window* window) {
  static const std::vector<CRect> none;
  return window ? window->invalidRects : none;
}

CRect invalidUnion(Platform::Window* window) {
  if (!window || window->invalidRects.empty()) return CRect();
  CRect u = window->invalidRects.front();
  for (const CRect& r : window->invalidRects) {
    u.left = std::min(u.left, r.left);
    u.top = std::min(u.top, r.top);
    u.right = std::max(u.right, r.right);
    u.bottom = std::max(u.bottom, r.bottom);
  }
  return u;
}

void clearInvalidRects(Platform::Window* window) {
  if (window) window->invalidRects.clear();
}

bool hasCapture(Platform::Window* window) { return window && window->captured; }
int mouseLeaveRequests(Platform::Window* window) { return window ? window->mouseLeaveRequests : 0; }
bool isDropTargetRegistered(Platform::Window* window) { return window && window->dropTarget; }
void* parentWindow(Platform::Window* window) { return window ? window->parent : nullptr; }

std::uint32_t pixel(Platform::Window* window, int x, int y) {
  return window ? Platform::readPixel(window->surface, x, y) : 0;
}

std::uint32_t imagePixel(Platform::Image* image, int x, int y) {
  return image ? Platform::readPixel(image->surface, x, y) : 0;
}

cairo_surface_t* surface(Platform::Window* window) { return window ? window->surface : nullptr; }

bool savePng(Platform::Window* window, const char* path) {
  return window && cairo_surface_write_to_png(window->surface, path) == CAIRO_STATUS_SUCCESS;
}

void setMousePosition(Platform::Window* window, const CPoint& where) {
  if (window) window->mouse = where;
}
void setScreenOrigin(Platform::Window* window, const CPoint& origin) {
  if (window) window->screenOrigin = origin;
}
void setMouseButtons(CButton buttons) { state().buttons = buttons; }
void setAltDown(bool down) { state().altDown = down; }
void setComposited(bool composited) { state().composited = composited; }
CCursorType currentCursor() { return state().cursor; }
int windowClassUseCount() { return state().classUseCount; }
int windowClassRegistrations() { return state().classRegistrations; }

bool textFieldShown(Platform::Window* window, TextFieldState* fieldState) {
  Platform::TextField* field = window ? window->textField : nullptr;
  if (!field) return false;
  if (fieldState) {
    fieldState->style = field->style;
    fieldState->text = utf16ToUtf8(field->text);
    fieldState->allSelected = field->allSelected;
  }
  return true;
}

void typeIntoTextField(Platform::Window* window, const std::string& text) {
  Platform::TextField* field = window ? window->textField : nullptr;
  if (!field) return;
  if (field->allSelected) field->text.clear();
  field->allSelected = false;
  for (char16_t unit : utf8ToUtf16Lossy(text)) {
    if (field->text.size() >= Platform::kTextFieldLimit) break;
    field->text.push_back(unit);
  }
}

void pressTextFieldKey(Platform::Window* window, TextFieldKey key) {
  Platform::TextField* field = window ? window->textField : nullptr;
  if (field && key == TextFieldKey::kReturn) field->client->textFieldReturnPressed();
}

void textFieldLosesFocus(Platform::Window* window) {
  if (Platform::TextField* field = window ? window->textField : nullptr) field->client->textFieldFocusLost();
}

void queuePopupAnswer(int identifier) { state().popupAnswers.push_back(identifier); }

void setPopupAction(std::function<int(const std::vector<Platform::PopupMenuItem>&)> action) {
  state().popupAction = std::move(action);
}

const std::vector<PopupRecord>& popupsShown() { return state().popups; }
int popupsCancelled() { return state().popupsCancelled; }

void resetPopups() {
  state().popups.clear();
  state().popupAnswers.clear();
  state().popupAction = nullptr;
  state().popupsCancelled = 0;
}

}  // namespace VSTGUI::Headless
