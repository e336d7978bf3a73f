// A plug-in-shaped DLL around the toolkit: the plug-in's own DllMain keeps the module
// handle, the background picture is one of the DLL's "DATA" resources, and a few C
// functions let a test program open and close a frame in a window it owns, as a host
// opens and closes an editor.
#include <windows.h>

#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"
#include "toolkit/platform/win32/win32types.h"

using namespace VSTGUI;

namespace {

CFrame* gFrame = nullptr;

}  // namespace

/// The module handle the toolkit uses (kept by DllMain).
extern "C" __declspec(dllexport) void* probeModule() { return hInstance; }

/// Loads "Background" from the module's resources and reports its size (0 x 0 when missing).
extern "C" __declspec(dllexport) void probeBitmapSize(int* width, int* height) {
  auto* background = new CBitmap(CResourceDescription("Background"));
  *width = static_cast<int>(background->getWidth());
  *height = static_cast<int>(background->getHeight());
  background->forget();
}

/// Opens a frame of the background's size inside parent, painted with that background;
/// returns the frame's window, or null when the picture or the window is missing.
extern "C" __declspec(dllexport) HWND probeOpenFrame(HWND parent) {
  if (gFrame != nullptr) return nullptr;
  auto* background = new CBitmap(CResourceDescription("Background"));
  const CCoord width = background->getWidth();
  const CCoord height = background->getHeight();
  if (width <= 0 || height <= 0) {
    background->forget();
    return nullptr;
  }
  gFrame = new CFrame(CRect(0, 0, width, height), parent, nullptr);
  gFrame->setBackground(background);
  background->forget();
  Platform::Window* window = gFrame->getPlatformWindow();
  return window != nullptr ? window->hwnd : nullptr;
}

/// Whether the open frame has painted itself through WM_PAINT.
extern "C" __declspec(dllexport) bool probeFramePainted() { return gFrame != nullptr && !gFrame->isFirstDraw(); }

/// Destroys the open frame and its window.
extern "C" __declspec(dllexport) void probeCloseFrame() {
  if (gFrame == nullptr) return;
  gFrame->forget();
  gFrame = nullptr;
}
