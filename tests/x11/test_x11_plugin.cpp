// zynka.so's editor as a Linux DAW opens it: the library loaded with dlopen and
// driven through its AEffect record, effEditGetRect for the size of an 856 x 392
// parent window, effEditOpen with that window's id and effEditIdle every 15 ms.
// Input comes through XTest, pixels come back through XGetImage. Checked: the window
// shows the headless snapshot's pixels; clicks and drags reach the host callback; the
// name field takes typed text; the program menu chooses a program; the splash screen
// shows and hides; closing and opening again; the X server going away; no display.
#include <X11/keysym.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <xcb/xcb.h>

#include "editor/layout.h"
#include "host/aeffect.h"
#include "host/opcodes.h"
#include "tests/gesture_host.h"
#include "tests/x11/golden.h"
#include "tests/x11/x11_test_util.h"

using namespace x11_test;

namespace {

namespace layout = zynka::layout;
constexpr int kWidth = layout::kWindowWidth;
constexpr int kHeight = layout::kWindowHeight;

/// The plug-in loaded as a host loads it.
struct Plugin {
  Plugin() {
    library = dlopen(ZYNKA_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library) return;
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, "VSTPluginMain"));
    effect = entry ? entry(gesture_host::callback) : nullptr;
    if (!effect) return;
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 0, 1);
  }
  ~Plugin() {
    if (effect) dispatch(effClose);
    if (library) dlclose(library);
  }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  /// The host's idle timer: effEditIdle every 15 ms for a while, or until done().
  bool idle(int milliseconds, const std::function<bool()>& done = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      dispatch(effEditIdle);
      if (done && done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    return !done || done();
  }
  std::string programName() {
    char name[32] = {};
    dispatch(effGetProgramName, 0, 0, name);
    return name;
  }
  /// Plays a note for a block; true when it sounded.
  bool plays() {
    VstMidiEvent note{};
    note.type = kVstMidiType;
    note.byteSize = sizeof note;
    note.midiData[0] = static_cast<char>(0x90);
    note.midiData[1] = 60;
    note.midiData[2] = 100;
    std::vector<unsigned char> storage(sizeof(VstEvents) + sizeof(VstEvent*));
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = 1;
    list->events[0] = reinterpret_cast<VstEvent*>(&note);
    dispatch(effProcessEvents, 0, 0, list);
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(effect, nullptr, outputs, 512);
    float peak = 0;
    for (float s : left) peak = std::max(peak, std::fabs(s));
    return peak > 0.001f;
  }

  void* library = nullptr;
  AEffect* effect = nullptr;
};

class X11Plugin : public ::testing::Test {
 protected:
  void SetUp() override {
    gesture_host::log().clear();
    ASSERT_NE(plugin.effect, nullptr) << dlerror();
    ASSERT_NE(host.display(), nullptr);
    setenv("DISPLAY", testDisplayName().c_str(), 1);
    ERect* rect = nullptr;
    ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_EQ(rect->right - rect->left, kWidth);
    ASSERT_EQ(rect->bottom - rect->top, kHeight);
    open();
  }
  void TearDown() override { plugin.dispatch(effEditClose); }
  void open() {
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, host.parentHandle()), 1);
    ASSERT_TRUE(plugin.idle(2000, [&] { return host.childWindow() != 0 && shows("fresh"); }))
        << "the editor's window shows the headless snapshot";
  }
  bool shows(const char* name) {
    return host.pixels(host.childWindow(), kWidth, kHeight) == goldenEditorPixels(name);
  }
  /// Clicks, then lets the host's idle timer run until the plug-in answered.
  void click(int x, int y) {
    const std::size_t heard = gesture_host::log().size();
    host.click(x, y);
    plugin.idle(3000, [&] { return gesture_host::log().size() > heard; });
    plugin.idle(100);
  }
  /// Clicks the middle of a view's place.
  void click(const layout::Rect& place) { click(layout::centre(place).x, layout::centre(place).y); }
  /// Idles until the host heard `line` last.
  bool heard(const std::string& line) {
    return plugin.idle(3000, [&] { return !gesture_host::log().empty() && gesture_host::log().back() == line; });
  }

  Plugin plugin;
  Host host;
};

}  // namespace

TEST_F(X11Plugin, TheWindowShowsTheSnapshotAndClicksAndDragsReachTheHost) {
  click(layout::kNextButton);
  EXPECT_EQ(gesture_host::log(), (std::vector<std::string>{"begin 103", "automate 103 1", "automate 103 0", "end 103"}));
  EXPECT_EQ(plugin.programName(), "Jazz E.Piano");
  EXPECT_TRUE(plugin.idle(3000, [&] { return shows("program-02"); })) << "every control shows program 2";

  gesture_host::log().clear();
  // The Coarse slider's top (1), then its bottom (0): where the handle's grip line is there.
  const layout::Rect coarse = layout::placeOf(zynka::kCoarse).rect;
  const int x = layout::centre(coarse).x;
  host.moveTo(x, coarse.top + layout::kSliderHandleHeight / 2 - 1);
  host.button(1, true);
  EXPECT_TRUE(heard("automate 2 1"));
  host.moveTo(x, coarse.bottom - layout::kSliderHandleHeight / 2 - 1);
  EXPECT_TRUE(heard("automate 2 0"));
  host.button(1, false);
  EXPECT_TRUE(heard("end 2"));
  EXPECT_EQ(gesture_host::log(), (std::vector<std::string>{"begin 2", "automate 2 1", "automate 2 0", "end 2"}));
}

TEST_F(X11Plugin, NameFieldMenuAndSplashScreen) {
  click(layout::kProgramName);
  host.typeText("Glass Bells");
  host.type(XK_Return);
  EXPECT_TRUE(plugin.idle(3000, [&] { return plugin.programName() == "Glass Bells"; }));

  // The menu: the sixth entry down is program 2 (the separator is skipped).
  gesture_host::log().clear();
  {
    PopupHand hand([](Host& h, Window) {
      std::this_thread::sleep_for(std::chrono::milliseconds(150));  // the menu takes the keyboard once mapped
      for (int i = 0; i < 6; ++i) {
        h.type(XK_Down);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      h.type(XK_Return);
    });
    host.click(layout::centre(layout::kProgramMenu).x, layout::centre(layout::kProgramMenu).y);
    heard("end 105");
    EXPECT_NE(hand.popup, 0u) << "the popup menu appeared";
  }
  EXPECT_EQ(gesture_host::log(), (std::vector<std::string>{"begin 105", "automate 105 6", "end 105"}));
  EXPECT_EQ(plugin.programName(), "Jazz E.Piano");

  // The splash screen shows over everything and hides at the next click. (Program 1 as it
  // was: a host's program change reaches the controls with the next parameter it sets.)
  plugin.dispatch(effSetProgram, 0, 0);
  plugin.dispatch(effSetProgramName, 0, 0, const_cast<char*>("Bright E.Piano"));
  plugin.effect->setParameter(plugin.effect, 2, 0.842f);
  click(layout::kSplashArea);
  EXPECT_TRUE(plugin.idle(3000, [&] { return shows("splash"); }));
  click(400, 300);
  EXPECT_TRUE(plugin.idle(3000, [&] { return shows("fresh"); }));
}

TEST_F(X11Plugin, ClosingAndOpeningAgain) {
  plugin.dispatch(effEditClose);
  plugin.idle(50);
  EXPECT_EQ(host.childWindow(), 0u) << "the editor's window is gone";
  open();
  plugin.dispatch(effEditClose);
  open();
}

TEST_F(X11Plugin, AWheelNotchTheEditorUsedStaysWithItAndAnUnusedOneGoesToTheHostsWindow) {
  Display* dpy = host.display();
  XSelectInput(dpy, host.parentWindow(), ButtonPressMask | ButtonReleaseMask);
  XSync(dpy, False);
  auto notch = [&](int x, int y) {
    host.moveTo(x, y);
    host.button(4, true);
    host.button(4, false);
  };

  const layout::Point tuning = layout::centre(layout::placeOf(zynka::kTuning).rect);
  notch(tuning.x, tuning.y);  // the Tuning knob (0.5): one step
  EXPECT_TRUE(heard("end 15"));
  EXPECT_EQ(gesture_host::log(), (std::vector<std::string>{"begin 15", "automate 15 0.6", "end 15"}));

  // Over no control the notch goes on to the host's window, as if the editor's window did
  // not take the wheel: a press and a release, sent by the editor after the first notch's
  // turn, so a passed first notch would have come before them.
  notch(20, 20);
  std::vector<XButtonEvent> got;
  EXPECT_TRUE(plugin.idle(3000, [&] {
    XEvent event;
    while (XCheckWindowEvent(dpy, host.parentWindow(), ButtonPressMask | ButtonReleaseMask, &event))
      got.push_back(event.xbutton);
    return got.size() >= 2;
  }));
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].type, ButtonPress);
  EXPECT_EQ(got[0].button, 4u);
  EXPECT_EQ(got[0].x, 20);
  EXPECT_EQ(got[0].y, 20);
  EXPECT_TRUE(got[0].send_event);
  EXPECT_EQ(got[1].type, ButtonRelease);
  EXPECT_EQ(gesture_host::log().size(), 3u) << "the unused notch turned nothing";
}

TEST(X11PluginWithoutServer, NoDisplayMeansNoEditorAndThePlugInPlays) {
  Plugin plugin;
  ASSERT_NE(plugin.effect, nullptr);
  const std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x400001)), 0);
  plugin.dispatch(effEditIdle);
  plugin.dispatch(effEditClose);
  EXPECT_TRUE(plugin.plays());
  if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
}

TEST(X11PluginWithoutServer, TheServerGoingAwayClosesTheEditorsSideAndThePlugInPlays) {
  PrivateServer server;
  ASSERT_FALSE(server.name.empty()) << "a private Xvfb started";
  xcb_connection_t* hostSide = nullptr;
  for (int attempt = 0; attempt < 10 && !hostSide; ++attempt) {  // a busy machine may drop a first client
    hostSide = xcb_connect(server.name.c_str(), nullptr);
    if (xcb_connection_has_error(hostSide)) {
      xcb_disconnect(hostSide);
      hostSide = nullptr;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  ASSERT_NE(hostSide, nullptr);
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(hostSide)).data;
  const xcb_window_t parent = xcb_generate_id(hostSide);
  xcb_create_window(hostSide, XCB_COPY_FROM_PARENT, parent, screen->root, 0, 0, kWidth, kHeight, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_map_window(hostSide, parent);
  free(xcb_get_input_focus_reply(hostSide, xcb_get_input_focus(hostSide), nullptr));

  Plugin plugin;
  ASSERT_NE(plugin.effect, nullptr);
  const std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  setenv("DISPLAY", server.name.c_str(), 1);
  ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent))), 1);
  plugin.idle(60);
  server.kill();
  plugin.idle(60);  // the editor hears that its window is gone
  EXPECT_TRUE(plugin.plays());
  EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent))), 0)
      << "no server to open on";
  plugin.dispatch(effEditIdle);
  plugin.dispatch(effEditClose);
  EXPECT_TRUE(plugin.plays());
  setenv("DISPLAY", saved.c_str(), 1);
  xcb_disconnect(hostSide);
}
