// zynka.clap's editor as a Linux CLAP host embeds it, under the test run's Xvfb: the gui
// extension with the host's X11 window, the host's main loop running the plug-in's timer and
// its X connection's descriptor (or only one of them, or neither), input through XTest,
// pixels read back against the headless snapshot.
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would meet gtest's names.
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/layout.h"
#include "tests/x11/x11_test_util.h"
#include "tools/hostkit/claphost.h"

namespace {

namespace layout = zynka::layout;
constexpr int kWidth = layout::kWindowWidth;
constexpr int kHeight = layout::kWindowHeight;
constexpr clap_id kCoarse = 2;

using Clock = std::chrono::steady_clock;

class ClapX11 : public ::testing::Test {
 protected:
  void start(claphost::Host::Offers offers) {
    host = std::make_unique<claphost::Host>(offers);
    std::string error;
    library = claphost::Library::load(ZYNKA_CLAP_PATH, error);
    ASSERT_TRUE(library) << error;
    instance = claphost::Instance::create(*library, *host, "com.tarnwick.zynka", error);
    ASSERT_TRUE(instance) << error;
    if (!window.display()) GTEST_SKIP() << "no X display (the test run's Xvfb starts one)";
    gui = instance->extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    ASSERT_NE(gui, nullptr);
    plugin = instance->plugin();
  }
  void TearDown() override {
    if (instance) gui->destroy(plugin);
  }

  /// The editor created, sized, embedded in the host's window and shown, as hosts do it.
  void embed() {
    EXPECT_TRUE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, true));
    EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_WAYLAND, false));
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->set_scale(plugin, 2.0));
    EXPECT_FALSE(gui->can_resize(plugin));
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 856u);
    EXPECT_EQ(height, 392u);
    EXPECT_FALSE(gui->set_size(plugin, 900, 400));
    EXPECT_TRUE(gui->set_size(plugin, 856, 392));
    clap_window_t parent{};
    parent.api = CLAP_WINDOW_API_X11;
    parent.x11 = window.parentWindow();
    ASSERT_TRUE(gui->set_parent(plugin, &parent));
    ASSERT_NE(window.childWindow(), 0u);
    EXPECT_FALSE(mapped()) << "not shown before show()";
    ASSERT_TRUE(gui->show(plugin));
  }

  bool mapped() {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(window.display(), window.childWindow(), &attributes) &&
           attributes.map_state != IsUnmapped;
  }

  /// The host's main loop until done() or the deadline: the plug-in's timers when due, its
  /// descriptors when readable, on_main_thread and flush when asked for.
  bool loop(const std::function<bool()>& done, int milliseconds = 5000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    const auto* timers = instance->extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
    const auto* fds = instance->extension<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
    auto nextTimer = Clock::now();
    while (Clock::now() < deadline) {
      std::vector<pollfd> watched;
      for (int fd : host->fds) watched.push_back({fd, POLLIN, 0});
      poll(watched.data(), watched.size(), 5);
      for (const pollfd& p : watched)
        if (p.revents) fds->on_fd(plugin, p.fd, CLAP_POSIX_FD_READ);
      if (Clock::now() >= nextTimer) {
        const std::vector<claphost::Host::Timer> due = host->timers;
        for (const auto& timer : due) timers->on_timer(plugin, timer.id);
        nextTimer = Clock::now() + std::chrono::milliseconds(16);
      }
      instance->serveRequests(events);
      if (done()) return true;
    }
    return done();
  }

  bool shows(const char* name) {
    return window.pixels(window.childWindow(), kWidth, kHeight) == x11_test::editorSnapshot(ZYNKA_SNAPSHOT_PATH, name);
  }
  std::vector<std::string> heard() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < events.size(); ++i) lines.push_back(claphost::describeParameterEvent(events, i));
    return lines;
  }

  x11_test::Host window;
  std::unique_ptr<claphost::Host> host;
  std::unique_ptr<claphost::Library> library;
  std::unique_ptr<claphost::Instance> instance;
  const clap_plugin_gui_t* gui = nullptr;
  const clap_plugin_t* plugin = nullptr;
  claphost::OutputEvents events;
};

TEST_F(ClapX11, TheEmbeddedEditorShowsTheSnapshotAndADragGivesAGestureOfEvents) {
  start({});
  if (IsSkipped() || HasFatalFailure()) return;
  embed();
  EXPECT_EQ(host->timers.size(), 1u) << "a timer while the editor is open";
  EXPECT_EQ(host->fds.size(), 1u) << "and the X connection's descriptor";
  ASSERT_TRUE(loop([&] { return mapped() && shows("fresh"); })) << "the window shows the headless snapshot";

  // The Coarse fader from its top (1) to its bottom (0).
  const layout::Rect coarse = layout::placeOf(zynka::kCoarse).rect;
  const int x = layout::centre(coarse).x;
  window.moveTo(x, coarse.top + layout::kSliderHandleHeight / 2 - 1);
  window.button(1, true);
  ASSERT_TRUE(loop([&] { return heard().size() >= 2; }));
  window.moveTo(x, coarse.bottom - layout::kSliderHandleHeight / 2 - 1);
  ASSERT_TRUE(loop([&] { return heard().size() >= 3; }));
  window.button(1, false);
  ASSERT_TRUE(loop([&] { return !heard().empty() && heard().back() == "end 2"; }));
  EXPECT_EQ(heard(), (std::vector<std::string>{"begin 2", "value 2 1", "value 2 0", "end 2"}));
  EXPECT_EQ(instance->value(kCoarse), 0.0);

  // The host's value reaches the fader at the editor's next idle: the snapshot again.
  claphost::InputEvents in;
  in.add(claphost::paramValueEvent(0, kCoarse, 0.842));
  instance->extension<clap_plugin_params_t>(CLAP_EXT_PARAMS)->flush(plugin, in.list(), events.list());
  EXPECT_TRUE(loop([&] { return shows("fresh"); }));

  // Hidden and shown again; destroyed while shown: the window goes, and the timer and watch.
  ASSERT_TRUE(gui->hide(plugin));
  EXPECT_TRUE(loop([&] { return !mapped(); }));
  ASSERT_TRUE(gui->show(plugin));
  EXPECT_TRUE(loop([&] { return mapped() && shows("fresh"); }));
  gui->destroy(plugin);
  EXPECT_TRUE(loop([&] { return window.childWindow() == 0; }));
  EXPECT_TRUE(host->timers.empty());
  EXPECT_TRUE(host->fds.empty());
  gui->destroy(plugin);  // twice is harmless
  EXPECT_FALSE(gui->show(plugin)) << "nothing to show after destroy";
}

TEST_F(ClapX11, AHostWithOnlyTheDescriptorOrOnlyTheTimerOrNeitherDrivesTheEditor) {
  for (int offer = 0; offer < 3; ++offer) {
    SCOPED_TRACE(offer == 0 ? "descriptor only" : offer == 1 ? "timer only" : "neither");
    claphost::Host::Offers offers;
    offers.posixFdSupport = offer == 0;
    offers.timerSupport = offer == 1;
    if (instance) gui->destroy(plugin);
    instance.reset();
    start(offers);
    if (IsSkipped() || HasFatalFailure()) return;
    embed();
    EXPECT_EQ(host->fds.size(), offer == 0 ? 1u : 0u);
    EXPECT_EQ(host->timers.size(), offer == 1 ? 1u : 0u);
    if (offer == 2) {
      // Without either, the host's own main-thread calls run the editor's idle pass.
      ASSERT_TRUE(loop([&] {
        plugin->on_main_thread(plugin);
        return mapped() && shows("fresh");
      }));
    } else {
      ASSERT_TRUE(loop([&] { return mapped() && shows("fresh"); }));
    }
    // A click on the next-program button reaches the plug-in.
    events.clear();
    window.click(layout::centre(layout::kNextButton).x, layout::centre(layout::kNextButton).y);
    EXPECT_TRUE(loop([&] {
      if (offer == 2) plugin->on_main_thread(plugin);
      return shows("program-02");
    })) << "the editor shows program 2";
    EXPECT_TRUE(events.size() == 0) << "a program change is no parameter gesture";
  }
}

}  // namespace
