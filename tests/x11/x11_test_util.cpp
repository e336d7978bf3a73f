#include "tests/x11/x11_test_util.h"

#include <X11/Xutil.h>
#include <cairo.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "editor/layout.h"

extern char** environ;

namespace x11_test {

std::string testDisplayName() {
  std::ifstream file(ZYNKA_X11_DISPLAY_FILE);
  std::string number;
  if (file >> number) return ":" + number;
  const char* display = std::getenv("DISPLAY");
  return display ? display : "";
}

std::vector<std::uint32_t> readPng(const std::string& path, int width, int height) {
  std::vector<std::uint32_t> pixels;
  cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS && cairo_image_surface_get_width(image) >= width &&
      cairo_image_surface_get_height(image) >= height) {
    for (int y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(image) +
                                                          y * cairo_image_surface_get_stride(image));
      for (int x = 0; x < width; ++x) pixels.push_back(row[x] & 0xFFFFFF);
    }
  }
  cairo_surface_destroy(image);
  return pixels;
}

const std::vector<std::uint32_t>& editorSnapshot(const std::string& tool, const std::string& name) {
  static std::map<std::string, std::vector<std::uint32_t>> drawn;
  std::vector<std::uint32_t>& pixels = drawn[name];
  if (!pixels.empty()) return pixels;
  const std::string options = name == "program-02" ? "--program 1" : name == "splash" ? "--splash" : "";
  const std::string path =
      (std::filesystem::temp_directory_path() / ("x11-snapshot-" + std::to_string(getpid()) + "-" + name + ".png")).string();
  if (std::system(("'" + tool + "' " + options + " '" + path + "'").c_str()) != 0) return pixels;
  pixels = readPng(path, zynka::layout::kWindowWidth, zynka::layout::kWindowHeight);
  std::remove(path.c_str());
  return pixels;
}

Host::Host(int width, int height) {
  // Xvfb on a busy machine now and then drops a new connection at once; try again.
  for (int attempt = 0; attempt < 10 && !dpy; ++attempt) {
    dpy = XOpenDisplay(testDisplayName().c_str());
    if (!dpy) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!dpy) return;
  const int screen = DefaultScreen(dpy);
  parent = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 20, 20, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), 0, BlackPixel(dpy, screen), WhitePixel(dpy, screen));
  XStoreName(dpy, parent, "host");
  XMapWindow(dpy, parent);
  XSync(dpy, False);
}

Host::~Host() {
  if (!dpy) return;
  XDestroyWindow(dpy, parent);
  XCloseDisplay(dpy);
}

Window Host::childWindow() const {
  Window root = 0, up = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(dpy, parent, &root, &up, &children, &count)) return 0;
  const Window child = count > 0 ? children[0] : 0;
  if (children) XFree(children);
  return child;
}

void Host::moveTo(int x, int y) {
  int rootX = 0, rootY = 0;
  Window unused = 0;
  XTranslateCoordinates(dpy, parent, DefaultRootWindow(dpy), x, y, &rootX, &rootY, &unused);
  XTestFakeMotionEvent(dpy, -1, rootX, rootY, 0);
  XSync(dpy, False);
}

void Host::button(int number, bool down) {
  XTestFakeButtonEvent(dpy, static_cast<unsigned>(number), down ? True : False, 0);
  XSync(dpy, False);
}

void Host::click(int x, int y, int number) {
  moveTo(x, y);
  button(number, true);
  button(number, false);
}

KeyCode Host::keycodeOf(KeySym keysym) {
  KeyCode code = XKeysymToKeycode(dpy, keysym);
  if (code) return code;
  // Not on the keyboard: put it on a key that has nothing, as xdotool does.
  int low = 0, high = 0, perCode = 0;
  XDisplayKeycodes(dpy, &low, &high);
  KeySym* map = XGetKeyboardMapping(dpy, static_cast<KeyCode>(low), high - low + 1, &perCode);
  for (int k = high; k >= low && !code; --k) {
    bool empty = true;
    for (int c = 0; c < perCode; ++c) empty = empty && map[(k - low) * perCode + c] == NoSymbol;
    if (empty) code = static_cast<KeyCode>(k);
  }
  XFree(map);
  if (!code) return 0;
  KeySym both[2] = {keysym, keysym};
  // Every client hears of the new mapping (MappingNotify) before the key events that follow.
  XChangeKeyboardMapping(dpy, code, 2, both, 1);
  XSync(dpy, False);
  return code;
}

void Host::type(KeySym keysym, bool shift) {
  const KeyCode code = keycodeOf(keysym);
  const KeyCode shiftCode = XKeysymToKeycode(dpy, XK_Shift_L);
  if (shift) XTestFakeKeyEvent(dpy, shiftCode, True, 0);
  XTestFakeKeyEvent(dpy, code, True, 0);
  XTestFakeKeyEvent(dpy, code, False, 0);
  if (shift) XTestFakeKeyEvent(dpy, shiftCode, False, 0);
  XSync(dpy, False);
}

void Host::typeText(const std::string& ascii) {
  for (char c : ascii) {
    const bool upper = c >= 'A' && c <= 'Z';
    type(upper ? static_cast<KeySym>(c - 'A' + 'a') : static_cast<KeySym>(static_cast<unsigned char>(c)), upper);
  }
}

std::vector<std::uint32_t> Host::pixels(Window window, int width, int height) {
  std::vector<std::uint32_t> out;
  XImage* image =
      XGetImage(dpy, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return out;
  out.reserve(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
  XDestroyImage(image);
  return out;
}

Window Host::focus() {
  Window focused = 0;
  int revert = 0;
  XGetInputFocus(dpy, &focused, &revert);
  return focused;
}

std::vector<Window> viewableTitled(Display* dpy, const std::string& title) {
  Window root = 0, up = 0, *children = nullptr;
  unsigned count = 0;
  std::vector<Window> found;
  if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &up, &children, &count)) return found;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes a{};
    char* name = nullptr;
    if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable &&
        XFetchName(dpy, children[i], &name) && name && title == name)
      found.push_back(children[i]);
    if (name) XFree(name);
  }
  if (children) XFree(children);
  return found;
}

PopupHand::PopupHand(std::function<void(Host&, Window)> act) {
  // The hand's window holds the keyboard focus before the menu opens, so the menu's keyboard
  // grab takes it away with a FocusOut of mode NotifyGrab: then typed keys reach the menu.
  Display* dpy = hand.display();
  if (dpy) {
    XSelectInput(dpy, hand.parentWindow(), FocusChangeMask);
    XSetInputFocus(dpy, hand.parentWindow(), RevertToPointerRoot, CurrentTime);
    XSync(dpy, False);
  }
  thread = std::thread([this, act, dpy] {
    if (!dpy) return;
    bool grabbed = false;
    waitUntil([&] {
      while (XPending(dpy)) {
        XEvent event;
        XNextEvent(dpy, &event);
        if (event.type == FocusOut && event.xfocus.mode == NotifyGrab) grabbed = true;
      }
      if (!popup && !viewableTitled(dpy, "popup menu").empty()) popup = viewableTitled(dpy, "popup menu")[0];
      return popup && grabbed;
    });
    if (popup && grabbed) act(hand, popup);
  });
}

PrivateServer::PrivateServer() {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string fd = std::to_string(fds[1]);
  const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "1024x768x24", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  // -displayfd writes the number and then a newline once the server takes clients; the
  // pipe stays open until the server ends, since a write into a closed pipe ends it.
  readEnd = fds[0];
  std::string number;
  char c = 0;
  while (pid > 0 && read(readEnd, &c, 1) == 1 && c != '\n') number += c;
  if (!number.empty()) name = ":" + number;
}

void PrivateServer::kill() {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);  // as a server shut down; it removes its socket, so the next test run finds a clean place
  waitpid(pid, nullptr, 0);
  pid = -1;
  close(readEnd);
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool isViewable(Display* dpy, Window window) {
  XWindowAttributes a{};
  return window != 0 && XGetWindowAttributes(dpy, window, &a) && a.map_state == IsViewable;
}

bool idleUntil(VSTGUI::CFrame* frame, const std::function<bool()>& done, int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return done();
    frame->idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace x11_test
