// ZYNKA's LV2 UI as a host embeds it: zynka_ui.so found through lilv, instantiated in a
// host-like parent window (ui:parent) under the test run's Xvfb, pumped through its idle
// interface, driven with XTest and read back with XGetImage. With instance-access it shows
// the headless snapshot's pixels, a dragged fader writes its port bracketed by ui:touch, and
// the next-program button writes the new program's values; without, it still moves the
// parameters and follows the host's port events.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "editor/layout.h"
#include "engine/factory_presets.h"
#include "engine/program_state.h"
#include "tests/lv2/lv2_test_host.h"
#include "tests/x11/x11_test_util.h"

namespace {

namespace layout = zynka::layout;
using namespace zynka;

constexpr int kWidth = layout::kWindowWidth;
constexpr int kHeight = layout::kWindowHeight;


/// The UI as a host holds it, with the host's side of its features.
class HostedUi {
 public:
  HostedUi(lv2_test::World& world, lv2_test::Instance& dsp, x11_test::Host& window, bool instanceAccess) : dsp_(dsp) {
    LilvUIs* uis = lilv_plugin_get_uis(world.plugin);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
    library_ = dlopen(binary, RTLD_NOW | RTLD_LOCAL);
    auto entry = library_ ? reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library_, "lv2ui_descriptor"))
                          : nullptr;
    descriptor_ = entry ? entry(0) : nullptr;

    resize_ = {this, [](LV2UI_Feature_Handle h, int width, int height) {
                 static_cast<HostedUi*>(h)->size = {width, height};
                 return 0;
               }};
    touch_ = {
        this, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
          static_cast<HostedUi*>(h)->heard.push_back("touch " + std::to_string(port) + (grabbed ? " on" : " off"));
        }};
    features_ = {{LV2_UI__parent, window.parentHandle()},
                 {LV2_UI__resize, &resize_},
                 {LV2_UI__touch, &touch_},
                 {LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(dsp.instance)}};
    for (std::size_t i = 0; i < features_.size(); ++i)
      if (instanceAccess || i != 3) list_.push_back(&features_[i]);
    list_.push_back(nullptr);
    if (descriptor_) {
      handle_ = descriptor_->instantiate(descriptor_, lv2::kPluginUri, bundle, write, this, &widget, list_.data());
      idle_ = static_cast<const LV2UI_Idle_Interface*>(descriptor_->extension_data(LV2_UI__idleInterface));
    }
    lilv_free(binary);
    lilv_free(bundle);
    lilv_uis_free(uis);
    // Hosts tell a new UI every control port's value.
    if (handle_)
      for (int i = 0; i < kNumParams; ++i) portEvent(i, dsp.controls[i]);
  }
  ~HostedUi() {
    if (handle_) descriptor_->cleanup(handle_);
    if (library_) dlclose(library_);
  }
  HostedUi(const HostedUi&) = delete;
  HostedUi& operator=(const HostedUi&) = delete;

  bool ok() const { return handle_ && idle_; }
  void portEvent(uint32_t port, float value) { descriptor_->port_event(handle_, port, sizeof value, 0, &value); }

  /// The host's UI timer (every 15 ms), with a block of audio after each idle call, until
  /// done() or the deadline.
  bool idleUntil(const std::function<bool()>& done, int milliseconds = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      EXPECT_EQ(idle_->idle(handle_), 0);
      dsp_.run(256);
      if (done && done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    return !done || done();
  }
  /// Idles until the UI's last notice is `line`.
  bool heardLast(const std::string& line) {
    return idleUntil([&] { return !heard.empty() && heard.back() == line; });
  }

  LV2UI_Widget widget = nullptr;
  std::pair<int, int> size{0, 0};
  /// The UI's notices in order: "touch 2 on", "write 2 0.5", "touch 2 off".
  std::vector<std::string> heard;

 private:
  // The host's write function: the port takes the value, as the host's audio thread will see it.
  static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    auto* self = static_cast<HostedUi*>(controller);
    ASSERT_EQ(format, 0u);
    ASSERT_EQ(size, sizeof(float));
    float value;
    std::memcpy(&value, buffer, sizeof value);
    ASSERT_LT(port, static_cast<uint32_t>(kNumParams));
    self->dsp_.controls[port] = value;
    char line[64];
    std::snprintf(line, sizeof line, "write %u %g", port, static_cast<double>(value));
    self->heard.push_back(line);
  }

  lv2_test::Instance& dsp_;
  void* library_ = nullptr;
  const LV2UI_Descriptor* descriptor_ = nullptr;
  LV2UI_Handle handle_ = nullptr;
  const LV2UI_Idle_Interface* idle_ = nullptr;
  LV2UI_Resize resize_{};
  LV2UI_Touch touch_{};
  std::vector<LV2_Feature> features_;
  std::vector<const LV2_Feature*> list_;
};

class Lv2Ui : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(world.plugin, nullptr);
    ASSERT_NE(dsp.instance, nullptr);
    ASSERT_NE(window.display(), nullptr) << "the test run's X display";
  }
  bool shows(const char* name) { return window.pixels(window.childWindow(), kWidth, kHeight) == x11_test::editorSnapshot(ZYNKA_SNAPSHOT_PATH, name); }
  /// Drags the Coarse fader from its top (1) to its bottom (0), where its grip line is.
  void dragCoarse(HostedUi& ui) {
    const layout::Rect coarse = layout::placeOf(kCoarse).rect;
    const int x = layout::centre(coarse).x;
    window.moveTo(x, coarse.top + layout::kSliderHandleHeight / 2 - 1);
    window.button(1, true);
    EXPECT_TRUE(ui.heardLast("write 2 1"));
    window.moveTo(x, coarse.bottom - layout::kSliderHandleHeight / 2 - 1);
    EXPECT_TRUE(ui.heardLast("write 2 0"));
    window.button(1, false);
    EXPECT_TRUE(ui.heardLast("touch 2 off"));
  }

  lv2_test::World world{ZYNKA_LV2_PATH};
  lv2_test::Features features;
  lv2_test::Instance dsp{world, features, 44100.0};
  x11_test::Host window{kWidth, kHeight};
};

TEST_F(Lv2Ui, WithInstanceAccessTheEditorShowsTheSnapshotAndWritesThePorts) {
  HostedUi ui(world, dsp, window, /*instanceAccess=*/true);
  ASSERT_TRUE(ui.ok());
  EXPECT_EQ(ui.size, std::make_pair(kWidth, kHeight)) << "ui:resize told the fixed size";
  EXPECT_TRUE(ui.idleUntil([&] { return window.childWindow() != 0 && shows("fresh"); }))
      << "the editor shows the headless snapshot";
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ui.widget), window.childWindow()) << "the widget is the editor's window";

  dragCoarse(ui);
  EXPECT_EQ(ui.heard, (std::vector<std::string>{"touch 2 on", "write 2 1", "write 2 0", "touch 2 off"}));
  EXPECT_EQ(dsp.controls[kCoarse], 0.0f);

  // The next-program button: the plug-in's program 2, whose values the UI writes to the ports.
  ui.heard.clear();
  window.click(layout::centre(layout::kNextButton).x, layout::centre(layout::kNextButton).y);
  EXPECT_TRUE(ui.idleUntil([&] { return shows("program-02"); })) << "every control shows program 2";
  for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(dsp.controls[i], kFactoryPresets[1].values[i]) << "port " << i;
  for (const std::string& line : ui.heard) EXPECT_EQ(line.rfind("write ", 0), 0u) << line;
  EXPECT_FALSE(ui.heard.empty());
  PluginState state;
  ASSERT_TRUE(readState(dsp.savedText(), state));
  EXPECT_EQ(state.currentProgram, 1);
  EXPECT_EQ(state.programs[0].parameter(kCoarse), 0.0f) << "the drag reached the plug-in";
}

TEST_F(Lv2Ui, WithoutInstanceAccessTheEditorMovesAndFollowsTheParameters) {
  HostedUi ui(world, dsp, window, /*instanceAccess=*/false);
  ASSERT_TRUE(ui.ok());
  EXPECT_TRUE(ui.idleUntil([&] { return window.childWindow() != 0 && shows("fresh"); }));

  dragCoarse(ui);
  EXPECT_EQ(ui.heard, (std::vector<std::string>{"touch 2 on", "write 2 1", "write 2 0", "touch 2 off"}));
  EXPECT_FALSE(shows("fresh"));
  // The host moves the port back (automation, undo): the fader follows.
  dsp.controls[kCoarse] = kFactoryPresets[0].values[kCoarse];
  ui.portEvent(kCoarse, dsp.controls[kCoarse]);
  EXPECT_TRUE(ui.idleUntil([&] { return shows("fresh"); }));
}

TEST_F(Lv2Ui, NoParentWindowNoUi) {
  LilvUIs* uis = lilv_plugin_get_uis(world.plugin);
  const LilvUI* lilvUi = lilv_uis_get(uis, lilv_uis_begin(uis));
  char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(lilvUi)), nullptr);
  void* library = dlopen(binary, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr);
  auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
  const LV2UI_Descriptor* descriptor = entry(0);
  LV2UI_Widget widget = nullptr;
  const LV2_Feature* none[] = {nullptr};
  EXPECT_EQ(descriptor->instantiate(
                descriptor, lv2::kPluginUri, "/nowhere/", [](void*, uint32_t, uint32_t, uint32_t, const void*) {},
                nullptr, &widget, none),
            nullptr);
  dlclose(library);
  lilv_free(binary);
  lilv_uis_free(uis);
}

}  // namespace
