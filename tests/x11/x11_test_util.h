// The test's side of the X server: its own Xlib connection, a plain parent window as a
// host makes one, input sent with XTest and pixels read back with XGetImage; and the
// frame's idle pass run as a host's effEditIdle timer runs it.
#pragma once

#include <X11/Xlib.h>

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "toolkit/cframe.h"

namespace x11_test {

/// The test run's display, from the Xvfb of the ctest fixture (or DISPLAY when run by hand).
std::string testDisplayName();

/// A connection of the test's own and a host-like parent window on it.
class Host {
 public:
  explicit Host(int width = 856, int height = 392);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  Display* display() const { return dpy; }
  /// The parent window as effEditOpen passes it.
  void* parentHandle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)); }
  Window parentWindow() const { return parent; }
  /// The plug-in's window inside the parent (0 when there is none).
  Window childWindow() const;

  /// Moves the pointer to (x, y) of the parent window.
  void moveTo(int x, int y);
  void button(int number, bool down);
  void click(int x, int y, int number = 1);
  /// Presses and releases the key of a keysym (remapping a spare key for keysyms the keyboard lacks).
  void type(KeySym keysym, bool shift = false);
  void typeText(const std::string& ascii);
  /// The window's pixels as 0xRRGGBB, row by row.
  std::vector<std::uint32_t> pixels(Window window, int width, int height);
  /// The keyboard focus now.
  Window focus();

 private:
  KeyCode keycodeOf(KeySym keysym);
  Display* dpy = nullptr;
  Window parent = 0;
};

/// The viewable top-level windows of that title ("popup menu": a menu and its open submenus).
std::vector<Window> viewableTitled(Display* dpy, const std::string& title);

/// A PNG's top-left width x height pixels as 0xRRGGBB, row by row (empty when it cannot be read).
std::vector<std::uint32_t> readPng(const std::string& path, int width, int height);

/// The headless editor as the zynka-snapshot program at `tool` draws it in this run ("fresh",
/// "program-02" or "splash"), as 0xRRGGBB; kept once drawn. An editor's window must show exactly
/// these pixels. (The committed golden images are these pictures as drawn with the fonts of
/// tests/fonts; the editor tests compare them within a stated tolerance.)
const std::vector<std::uint32_t>& editorSnapshot(const std::string& tool, const std::string& name);

/// Answers the next popup menu from another thread, as the user's hand: waits for the menu
/// to take the keyboard, then acts.
class PopupHand {
 public:
  explicit PopupHand(std::function<void(Host&, Window)> act);
  ~PopupHand() { thread.join(); }
  std::atomic<Window> popup{0};

 private:
  Host hand{1, 1};
  std::thread thread;
};

/// An Xvfb of the test's own; its display name, or empty when it did not start.
struct PrivateServer {
  PrivateServer();
  ~PrivateServer() { kill(); }
  /// Ends the server, as a server shut down.
  void kill();
  pid_t pid = -1;
  int readEnd = -1;
  std::string name;
};

/// Polls done() every few milliseconds until it holds or `seconds` have passed; done()'s
/// answer. The time only bounds a failure: a busy machine makes the wait longer, never wrong.
bool waitUntil(const std::function<bool()>& done, double seconds = 10.0);
/// Runs the frame's idle pass every 2 ms, as a host's idle timer, until done() holds or
/// the time is up; the answer of done() at the end.
bool idleUntil(VSTGUI::CFrame* frame, const std::function<bool()>& done, int milliseconds = 10000);
/// True when the window exists and is viewable (mapped, with its ancestors).
bool isViewable(Display* dpy, Window window);

}  // namespace x11_test
