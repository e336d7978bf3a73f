// The Windows forms of the platform's objects: GDI+ through its flat API, and the
// frame's child window. Only the win32 sources include this header.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "toolkit/platform/platform.h"

/// The plug-in module's instance handle, set by DllMain (test programs define their own).
extern void* hInstance;

namespace VSTGUI::Platform {

namespace Gdip = Gdiplus::DllExports;

struct Device {
  HDC dc = nullptr;
};

struct Graphics {
  Gdiplus::GpGraphics* graphics = nullptr;
};

struct Pen {
  Gdiplus::GpPen* pen = nullptr;
};

struct Brush {
  Gdiplus::GpSolidFill* brush = nullptr;
};

struct Font {
  Gdiplus::GpFont* font = nullptr;
};

struct Image {
  Gdiplus::GpBitmap* bitmap = nullptr;
};

struct Window {
  HWND hwnd = nullptr;
  CFrame* frame = nullptr;
  PAINTSTRUCT paint{};
  Device paintDevice;
};

struct DropTarget {
  IDropTarget* target = nullptr;
};

/// The module handle as the window system takes it.
inline HINSTANCE moduleHandle() { return static_cast<HINSTANCE>(hInstance); }

/// Answers an edit box's WM_CTLCOLOREDIT: sets the colours on its device context and returns
/// a solid brush of the back colour, which lives until the box's next request.
LRESULT colourEditBox(HDC dc, HWND box, const CColor& text, const CColor& back);

}  // namespace VSTGUI::Platform
