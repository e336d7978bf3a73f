// A host's window for the editor benchmarks to embed into, on a connection of the
// benchmark's own, as a host's main window would be.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>

#include "editor/layout.h"

namespace bench {

struct X11Parent {
  X11Parent() {
    for (int attempt = 0; attempt < 10; ++attempt) {  // a busy Xvfb now and then drops a new client
      connection = xcb_connect(nullptr, nullptr);
      if (!xcb_connection_has_error(connection)) break;
      xcb_disconnect(connection);
      connection = nullptr;
    }
    if (!connection) return;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, zynka::layout::kWindowWidth,
                      zynka::layout::kWindowHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(connection, window);
    roundTrip();
  }
  ~X11Parent() {
    if (connection) xcb_disconnect(connection);
  }
  X11Parent(const X11Parent&) = delete;
  X11Parent& operator=(const X11Parent&) = delete;

  bool ok() const { return window != 0; }
  void* handle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }
  /// Returns once the server has handled everything sent before it.
  void roundTrip() { std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr)); }

  xcb_connection_t* connection = nullptr;
  xcb_window_t window = 0;
};

}  // namespace bench
