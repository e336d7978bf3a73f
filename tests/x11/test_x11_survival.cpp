// The X server going away while a frame is open: a private Xvfb is killed under it.
// The process goes on, the frame hears of its window's end, and every later call does
// nothing and reports failure.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <fcntl.h>

#include <cstdlib>
#include <string>

#include "tests/x11/scene.h"
#include "tests/x11/x11_test_util.h"
#include "toolkit/platform/platform.h"

extern char** environ;

using namespace VSTGUI;
using namespace x11_test;


TEST(X11Survival, ServerGoingAwayClosesTheFramesSideAndLaterCallsFail) {
  PrivateServer server;
  ASSERT_FALSE(server.name.empty()) << "a private Xvfb started";
  // The host's side on that server, through xcb so that its end cannot reach Xlib's handlers.
  xcb_connection_t* hostSide = nullptr;
  int lastError = 0;
  for (int attempt = 0; attempt < 10; ++attempt) {  // a busy machine may drop a first client
    hostSide = xcb_connect(server.name.c_str(), nullptr);
    lastError = xcb_connection_has_error(hostSide);
    if (!lastError) break;
    xcb_disconnect(hostSide);
    hostSide = nullptr;
    usleep(20000);
  }
  ASSERT_NE(hostSide, nullptr) << server.name << " error " << lastError;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(hostSide)).data;
  const xcb_window_t parent = xcb_generate_id(hostSide);
  xcb_create_window(hostSide, XCB_COPY_FROM_PARENT, parent, screen->root, 0, 0, 856, 392, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_map_window(hostSide, parent);
  free(xcb_get_input_focus_reply(hostSide, xcb_get_input_focus(hostSide), nullptr));

  const std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  setenv("DISPLAY", server.name.c_str(), 1);
  Scene scene = buildScene(reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)), nullptr, nullptr);
  setenv("DISPLAY", saved.c_str(), 1);
  Platform::Window* window = scene.frame->getPlatformWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(idleUntil(scene.frame, [&] {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(hostSide, xcb_query_tree(hostSide, parent), nullptr);
    const bool shown = tree && tree->children_len > 0;
    free(tree);
    return shown;
  })) << "the frame's window is in the parent";
  EXPECT_TRUE(scene.frame->isOpen());

  server.kill();
  EXPECT_TRUE(idleUntil(scene.frame, [&] { return !scene.frame->isOpen(); }))
      << "the frame was told its window is gone";
  EXPECT_EQ(scene.frame->getSystemWindow(), nullptr);

  // Everything afterwards does nothing and reports failure.
  scene.frame->invalid();
  scene.frame->idle();
  Platform::idleWindow(window);
  CRect rect;
  EXPECT_FALSE(Platform::getParentRect(window, rect));
  Platform::PopupMenuItem item;
  item.title = "x";
  item.id = 0;
  EXPECT_EQ(Platform::runPopupMenu(window, {item}, CPoint(0, 0), false), -1);
  EXPECT_EQ(Platform::openTextField(window, Platform::TextFieldStyle{}, nullptr), nullptr);
  Platform::Device* device = nullptr;
  EXPECT_FALSE(Platform::beginPaint(window, device, rect));
  scene.frame->setCursor(kCursorHand);
  scene.frame->forget();
  xcb_disconnect(hostSide);
}
