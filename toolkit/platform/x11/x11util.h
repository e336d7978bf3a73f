// Small pieces every X11 window of the toolkit needs: replies that free themselves,
// a 24-bit true-colour visual matching cairo's pixel layout, copying pixels of a cairo
// image into a window, and window properties. Only the toolkit's X11 sources include it.
#pragma once

#include <cairo.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "toolkit/vstguibase.h"

namespace VSTGUI::X11 {

/// A reply of xcb, freed with it.
template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T>
Reply<T> reply(T* p) {
  return Reply<T>(p, &std::free);
}

/// How pixels of a cairo ARGB32/RGB24 image go into windows of a visual.
struct PixelFormat {
  xcb_visualid_t visual = 0;
  std::uint8_t depth = 0;
  bool swapBytes = false;          // the server takes the other byte order
  std::uint32_t maxRequestBytes = 0;
};

/// A connection to the display named by DISPLAY; null when there is none or it refused.
xcb_connection_t* connect(int* screenNumber = nullptr);
/// The screen whose root window is root (null when none is).
xcb_screen_t* screenOfRoot(xcb_connection_t* connection, xcb_window_t root);
/// A visual of the screen with 8-bit red, green and blue at cairo's places, the preferred
/// one when it qualifies; false when the screen has none (or no 32-bit pixels for it).
bool findPixelFormat(xcb_connection_t* connection, xcb_screen_t* screen, xcb_visualid_t preferred,
                     PixelFormat& format);
/// Copies rect of the image (which has the window's size) into the window.
void putImage(xcb_connection_t* connection, xcb_drawable_t window, xcb_gcontext_t gc, const PixelFormat& format,
              cairo_surface_t* image, const CRect& rect, std::vector<std::uint32_t>& scratch);
/// The atom of a name (0 when the server did not answer).
xcb_atom_t atom(xcb_connection_t* connection, std::string_view name);
/// Sets a window's title in both the legacy and the UTF-8 property.
void setTitle(xcb_connection_t* connection, xcb_window_t window, std::string_view title);
/// Sets a window's WM size hints to one fixed size (minimum = maximum).
void setFixedSize(xcb_connection_t* connection, xcb_window_t window, int width, int height);
/// Milliseconds of a monotonic clock.
std::uint32_t monotonicMilliseconds();

}  // namespace VSTGUI::X11
