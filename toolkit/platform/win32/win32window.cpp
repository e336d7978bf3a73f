// The frame's child window: one window class per process registered against the
// plug-in module, the window procedure that hands messages to the frame, mouse
// capture and tracking, cursors, ticks and the window-size helpers.
#include <windowsx.h>

#include <cwchar>

#include "toolkit/cframe.h"
#include "toolkit/platform/win32/win32types.h"
#include "toolkit/platform/windowmessage.h"

namespace VSTGUI::Platform {

namespace {

// Windows of this module alive now; the class goes with the last one.
int gWindowClassUseCount = 0;
wchar_t gWindowClassName[64] = {};

/// The identifier of the window's own idle timer (startIdleTimer).
constexpr UINT_PTR kIdleTimerId = 0x5A4B;

// The key-state word of the toolkit's mouse messages is the window system's own.
static_assert(kKeyStateLButton == MK_LBUTTON && kKeyStateRButton == MK_RBUTTON && kKeyStateShift == MK_SHIFT &&
              kKeyStateControl == MK_CONTROL && kKeyStateMButton == MK_MBUTTON &&
              kKeyStateXButton1 == MK_XBUTTON1 && kKeyStateXButton2 == MK_XBUTTON2);

WindowMessage takeApart(Window* window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowMessage m;
  m.x = static_cast<std::int16_t>(GET_X_LPARAM(lParam));
  m.y = static_cast<std::int16_t>(GET_Y_LPARAM(lParam));
  m.keyState = GET_KEYSTATE_WPARAM(wParam);
  switch (message) {
    case WM_PAINT:
      m.kind = WindowMessage::kPaint;
      break;
    case WM_MOUSEMOVE:
      m.kind = WindowMessage::kMouseMove;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      m.kind = WindowMessage::kButtonDown;
      break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDBLCLK:
      m.kind = WindowMessage::kButtonDoubleClick;
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
      m.kind = WindowMessage::kButtonUp;
      break;
    case WM_MOUSEWHEEL: {
      m.kind = WindowMessage::kWheel;
      // The wheel's position is on the screen; whole notches of 120 only, so a smaller
      // delta turns nothing.
      const CPoint origin = getScreenOrigin(window);
      m.x = static_cast<std::int16_t>(GET_X_LPARAM(lParam) - origin.h);
      m.y = static_cast<std::int16_t>(GET_Y_LPARAM(lParam) - origin.v);
      m.wheelNotches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      break;
    }
    case WM_MOUSELEAVE:
      m.kind = WindowMessage::kMouseLeave;
      break;
    case WM_DESTROY:
      m.kind = WindowMessage::kDestroyed;
      break;
    case WM_TIMER:
      m.kind = wParam == kIdleTimerId ? WindowMessage::kIdleTimer : WindowMessage::kOther;
      break;
    default:
      m.kind = WindowMessage::kOther;
      break;
  }
  return m;
}

LRESULT CALLBACK frameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window || !window->frame) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_CTLCOLOREDIT: {
      CColor text, back;
      if (!textFieldColours(window->frame, text, back)) break;
      return colourEditBox(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), text, back);
    }
    default:
      // A message the frame used (a wheel turn over a control among them) goes no further.
      if (dispatchWindowMessage(window->frame, window, takeApart(window, message, wParam, lParam))) return 0;
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool registerWindowClass() {
  if (gWindowClassUseCount++ > 0) return true;
  std::swprintf(gWindowClassName, 64, L"Plugin%p", hInstance);
  WNDCLASSW windowClass = {};
  windowClass.style = CS_DBLCLKS | CS_GLOBALCLASS;
  windowClass.lpfnWndProc = frameWindowProc;
  windowClass.hInstance = moduleHandle();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = nullptr;
  windowClass.lpszClassName = gWindowClassName;
  if (RegisterClassW(&windowClass)) return true;
  --gWindowClassUseCount;
  return false;
}

void unregisterWindowClass() {
  if (gWindowClassUseCount > 0 && --gWindowClassUseCount == 0)
    UnregisterClassW(gWindowClassName, moduleHandle());
}

SIZE windowSize(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

// A thread's set-up is OLE, which drag and drop and the common dialogs need; each frame
// and each editor initialise it for their lifetime. OLE belongs to the thread that starts
// it: a thread the host already runs in another COM apartment refuses, and uninitialising
// after such a refusal, or on another thread, would end the host's own COM there.
struct ThreadSetup {
  DWORD thread = 0;
};

ThreadSetup* setUpThread() {
  if (FAILED(OleInitialize(nullptr))) return nullptr;
  return new ThreadSetup{GetCurrentThreadId()};
}

void endThreadSetup(ThreadSetup* setup) {
  if (!setup) return;
  if (setup->thread == GetCurrentThreadId()) OleUninitialize();
  delete setup;
}

// Windows composes windows from version 6 (Vista) on.
bool isComposited() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwMajorVersion >= 6;
}

Window* createWindow(void* parentWindow, CFrame* frame, const CRect& size, bool composited) {
  if (!registerWindowClass()) return nullptr;
  HWND hwnd = CreateWindowExW(composited ? WS_EX_COMPOSITED : 0, gWindowClassName, L"Window",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                              size.width(), size.height(), static_cast<HWND>(parentWindow), nullptr,
                              moduleHandle(), nullptr);
  if (!hwnd) {
    unregisterWindowClass();
    return nullptr;
  }
  auto* window = new Window;
  window->hwnd = hwnd;
  window->frame = frame;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  return window;
}

void destroyWindow(Window* window) {
  if (!window) return;
  SetWindowLongPtrW(window->hwnd, GWLP_USERDATA, 0);
  DestroyWindow(window->hwnd);
  delete window;
  unregisterWindowClass();
}

void invalidateRect(Window* window, const CRect& rect) {
  if (!window) return;
  const RECT r = {rect.left, rect.top, rect.right, rect.bottom};
  InvalidateRect(window->hwnd, &r, TRUE);
}

void idleWindow(Window*) {}  // the host's message loop delivers the window's messages

void showWindow(Window* window, bool visible) {
  if (window && window->hwnd) ShowWindow(window->hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

int getEventDescriptor(Window*) { return -1; }

bool startIdleTimer(Window* window, std::uint32_t periodMs) {
  // WM_TIMER reaches the window through the host's message loop on the window's thread.
  return window && window->hwnd && SetTimer(window->hwnd, kIdleTimerId, periodMs, nullptr) != 0;
}

bool beginPaint(Window* window, Device*& device, CRect& updateRect) {
  if (!window) return false;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetUpdateRgn(window->hwnd, region, FALSE);
  DeleteObject(region);
  if (kind == NULLREGION || kind == ERROR) return false;
  window->paintDevice.dc = BeginPaint(window->hwnd, &window->paint);
  if (!window->paintDevice.dc) return false;
  device = &window->paintDevice;
  const RECT& r = window->paint.rcPaint;
  updateRect = CRect(r.left, r.top, r.right, r.bottom);
  return true;
}

void endPaint(Window* window) {
  if (!window) return;
  EndPaint(window->hwnd, &window->paint);
  window->paintDevice.dc = nullptr;
}

Device* getWindowDevice(Window* window) {
  if (!window) return nullptr;
  HDC dc = GetDC(window->hwnd);
  return dc ? new Device{dc} : nullptr;
}

void releaseWindowDevice(Window* window, Device* device) {
  if (!device) return;
  if (window) ReleaseDC(window->hwnd, device->dc);
  delete device;
}

std::uintptr_t getNativeWindow(Window* window) {
  return window ? reinterpret_cast<std::uintptr_t>(window->hwnd) : 0;
}

CPoint getScreenOrigin(Window* window) {
  RECT r = {};
  if (window) GetWindowRect(window->hwnd, &r);
  return CPoint(r.left, r.top);
}

void captureMouse(Window* window) {
  if (window) SetCapture(window->hwnd);
}

void releaseMouse(Window*) { ReleaseCapture(); }

void trackMouseLeave(Window* window) {
  if (!window) return;
  TRACKMOUSEEVENT track = {};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window->hwnd;
  TrackMouseEvent(&track);
}

CPoint getMousePosition(Window* window) {
  POINT p = {};
  GetCursorPos(&p);
  const CPoint origin = getScreenOrigin(window);
  return CPoint(p.x - origin.h, p.y - origin.v);
}

CButton getMouseButtons() {
  CButton buttons = 0;
  const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
  if (GetAsyncKeyState(VK_LBUTTON) < 0) buttons |= swapped ? kRButton : kLButton;
  if (GetAsyncKeyState(VK_RBUTTON) < 0) buttons |= swapped ? kLButton : kRButton;
  if (GetAsyncKeyState(VK_MBUTTON) < 0) buttons |= kMButton;
  if (GetAsyncKeyState(VK_SHIFT) < 0) buttons |= kShift;
  if (GetAsyncKeyState(VK_CONTROL) < 0) buttons |= kControl;
  if (GetAsyncKeyState(VK_MENU) < 0) buttons |= kAlt;
  return buttons;
}

bool isAltDown() { return GetAsyncKeyState(VK_MENU) < 0; }

Cursor* getCursor() { return reinterpret_cast<Cursor*>(GetCursor()); }

Cursor* getSystemCursor(CCursorType type) {
  LPCWSTR shape = nullptr;
  switch (type) {
    case kCursorWait: shape = reinterpret_cast<LPCWSTR>(IDC_WAIT); break;
    case kCursorHSize: shape = reinterpret_cast<LPCWSTR>(IDC_SIZEWE); break;
    case kCursorVSize: shape = reinterpret_cast<LPCWSTR>(IDC_SIZENS); break;
    case kCursorSizeAll: shape = reinterpret_cast<LPCWSTR>(IDC_SIZEALL); break;
    case kCursorNESWSize: shape = reinterpret_cast<LPCWSTR>(IDC_SIZENESW); break;
    case kCursorNWSESize: shape = reinterpret_cast<LPCWSTR>(IDC_SIZENWSE); break;
    case kCursorNotAllowed: shape = reinterpret_cast<LPCWSTR>(IDC_NO); break;
    case kCursorHand: shape = reinterpret_cast<LPCWSTR>(IDC_HAND); break;
    default: shape = reinterpret_cast<LPCWSTR>(IDC_ARROW); break;
  }
  return reinterpret_cast<Cursor*>(LoadCursorW(nullptr, shape));
}

void setCursor(Cursor* cursor) { SetCursor(reinterpret_cast<HCURSOR>(cursor)); }

std::uint32_t getTicks() { return static_cast<std::uint32_t>(GetTickCount()); }

bool getOuterPosition(Window* window, CCoord& x, CCoord& y) {
  if (!window) return false;
  HWND w = GetParent(window->hwnd);
  if (!w) return false;
  // Climb to the host's outer editor window: captioned, top-level, or clearly smaller than its parent.
  for (;;) {
    HWND parent = GetParent(w);
    if (!parent || (GetWindowLongW(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) break;
    const SIZE own = windowSize(w);
    const SIZE outer = windowSize(parent);
    if (outer.cx - own.cx > 60 || outer.cy - own.cy > 60) break;
    w = parent;
  }
  RECT r = {};
  GetWindowRect(w, &r);
  POINT topLeft = {r.left, r.top};
  if (HWND parent = GetParent(w)) ScreenToClient(parent, &topLeft);
  x = topLeft.x;
  y = topLeft.y;
  return true;
}

bool getParentRect(Window* window, CRect& rect) {
  if (!window) return false;
  HWND parent = GetParent(window->hwnd);
  if (!parent) return false;
  RECT r = {};
  GetWindowRect(parent, &r);
  MapWindowPoints(nullptr, GetParent(parent), reinterpret_cast<POINT*>(&r), 2);
  rect = CRect(r.left, r.top, r.right, r.bottom);
  return true;
}

bool growWindows(Window* window, CCoord dw, CCoord dh) {
  if (!window) return false;
  HWND w = window->hwnd;
  SIZE size = windowSize(w);
  SetWindowPos(w, nullptr, 0, 0, size.cx + dw, size.cy + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (HWND parent = GetParent(w); parent; w = parent, parent = GetParent(parent)) {
    wchar_t className[32] = {};
    GetClassNameW(parent, className, 32);
    if (std::wcscmp(className, L"MDIClient") == 0) break;
    const SIZE parentSize = windowSize(parent);
    if (parentSize.cx - size.cx > 80 || parentSize.cy - size.cy > 80) break;
    size = parentSize;
    SetWindowPos(parent, nullptr, 0, 0, parentSize.cx + dw, parentSize.cy + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

std::uintptr_t currentThreadId() { return GetCurrentThreadId(); }

}  // namespace VSTGUI::Platform
