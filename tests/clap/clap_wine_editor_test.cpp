// zynka.clap's editor under Wine as a Windows CLAP host embeds it: the gui extension with
// the host's HWND, the host's message loop (no idle calls: the editor's window runs its own
// timer), input posted to the editor's window, pixels against the headless snapshot.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "editor/layout.h"
#include "tests/wine/editor_pixels.h"
#include "tools/hostkit/claphost.h"

namespace {

namespace layout = zynka::layout;
using wine_editor::showsGolden;
constexpr clap_id kCoarse = 2;

class ClapWineEditor : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gdiplusToken = wine_editor::startHostSuite(L"ZynkaClapTestHost", DefWindowProcW); }
  static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(gdiplusToken); }

  void SetUp() override {
    std::string error;
    library = claphost::Library::load(ZYNKA_CLAP_PATH, error);
    ASSERT_TRUE(library) << error;
    instance = claphost::Instance::create(*library, host, "com.tarnwick.zynka", error);
    ASSERT_TRUE(instance) << error;
    plugin = instance->plugin();
    gui = instance->extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    ASSERT_NE(gui, nullptr);
    EXPECT_EQ(instance->extension<void>(CLAP_EXT_TIMER_SUPPORT), nullptr) << "Windows needs no host timer";
  }
  void TearDown() override {
    if (gui) gui->destroy(plugin);
    if (window) DestroyWindow(window);
  }

  /// The host's window, and the editor created, sized, embedded and shown in it.
  void embed() {
    EXPECT_TRUE(gui->is_api_supported(plugin, CLAP_WINDOW_API_WIN32, false));
    EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_WIN32, false));
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    ASSERT_EQ(width, 856u);
    ASSERT_EQ(height, 392u);
    RECT outer = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    window = CreateWindowExW(0, L"ZynkaClapTestHost", L"ZYNKA", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                             outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    clap_window_t parent{};
    parent.api = CLAP_WINDOW_API_WIN32;
    parent.win32 = window;
    ASSERT_TRUE(gui->set_parent(plugin, &parent));
    frame = GetWindow(window, GW_CHILD);
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame)) << "not shown before show()";
    ASSERT_TRUE(gui->show(plugin));
    EXPECT_TRUE(IsWindowVisible(frame));
  }

  /// The host's loop: its messages, and the plug-in's callback and flush requests.
  bool loopUntil(const std::function<bool()>& done) {
    return pumpUntil([&] {
      instance->serveRequests(events);
      return done();
    });
  }
  std::vector<std::string> heard() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < events.size(); ++i) lines.push_back(claphost::describeParameterEvent(events, i));
    return lines;
  }

  static ULONG_PTR gdiplusToken;
  claphost::Host host;
  std::unique_ptr<claphost::Library> library;
  std::unique_ptr<claphost::Instance> instance;
  const clap_plugin_t* plugin = nullptr;
  const clap_plugin_gui_t* gui = nullptr;
  HWND window = nullptr;
  HWND frame = nullptr;
  claphost::OutputEvents events;
};

ULONG_PTR ClapWineEditor::gdiplusToken = 0;

TEST_F(ClapWineEditor, TheEmbeddedEditorShowsTheSnapshotAndADragGivesAGestureOfEvents) {
  embed();
  loopUntil([&] { return static_cast<bool>(showsGolden(frame, "fresh")); });
  EXPECT_TRUE(showsGolden(frame, "fresh"));

  wine_editor::postCoarseDrag(frame);
  EXPECT_TRUE(loopUntil([&] { return !heard().empty() && heard().back() == "end 2"; }));
  EXPECT_EQ(heard(), (std::vector<std::string>{"begin 2", "value 2 1", "value 2 0", "end 2"}));
  EXPECT_EQ(instance->value(kCoarse), 0.0);

  // The host's value reaches the fader through the window's own idle timer: the snapshot again.
  claphost::InputEvents in;
  in.add(claphost::paramValueEvent(0, kCoarse, 0.842));
  instance->extension<clap_plugin_params_t>(CLAP_EXT_PARAMS)->flush(plugin, in.list(), events.list());
  loopUntil([&] { return static_cast<bool>(showsGolden(frame, "fresh")); });
  EXPECT_TRUE(showsGolden(frame, "fresh"));

  // Hidden, shown, and destroyed while shown.
  ASSERT_TRUE(gui->hide(plugin));
  EXPECT_FALSE(IsWindowVisible(frame));
  ASSERT_TRUE(gui->show(plugin));
  EXPECT_TRUE(IsWindowVisible(frame));
  gui->destroy(plugin);
  EXPECT_TRUE(loopUntil([&] { return GetWindow(window, GW_CHILD) == nullptr; }));
  gui->destroy(plugin);
  EXPECT_FALSE(gui->show(plugin));
}

}  // namespace
