// The editor as a host and a musician meet it: the plug-in made by its own factory
// and driven through its AEffect record (effEditGetRect, effEditOpen, effEditIdle,
// effEditClose, setParameter), the mouse reaching the in-memory window as window
// messages, and what the host hears back through its callback. The pictures are
// compared with golden images that zynka-snapshot draws; to draw them afresh after a
// deliberate change of the artwork or layout, run
//   ZYNKA_UPDATE_GOLDEN=1 build/linux/tests/editor/editor_tests --gtest_filter='*Golden*'
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "editor/editor.h"
#include "editor/layout.h"
#include "editor/panel_controls.h"
#include "editor/value_text.h"
#include "engine/plugin.h"
#include "toolkit/cbitmap.h"
#include "toolkit/csplashscreen.h"
#include "toolkit/platform/headless/file_dialogs_headless.h"
#include "toolkit/platform/headless/headless.h"
#include "tests/gesture_host.h"
#include "tools/zynka-snapshot/snapshot.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

namespace zynka {
namespace {

using namespace VSTGUI;

void* const kHostWindow = reinterpret_cast<void*>(0x2000);
using Lines = std::vector<std::string>;

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gesture_host::log().clear();
    Headless::resetPopups();
    Platform::Headless::resetFileDialogs();
    Headless::setMouseButtons(0);
    effect = createEffectInstance(gesture_host::callback)->getAeffect();
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 0, 1);
  }
  void TearDown() override {
    if (effect) dispatch(effClose);
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  Plugin& plugin() { return *static_cast<Plugin*>(effect->object); }
  Editor& editor() { return *static_cast<Editor*>(plugin().getEditor()); }
  Platform::Window* window() { return editor().getFrame()->getPlatformWindow(); }
  void open() {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, kHostWindow), 1);
    idle();
  }
  void idle() {
    dispatch(effEditIdle);
    Headless::paint(window());
  }
  void press(int x, int y, std::uint32_t keys = kKeyStateLButton) {
    Headless::send(window(), Headless::mouseMessage(WindowMessage::kButtonDown, x, y, keys));
  }
  void move(int x, int y) {
    Headless::send(window(), Headless::mouseMessage(WindowMessage::kMouseMove, x, y, kKeyStateLButton));
  }
  void release(int x, int y) { Headless::send(window(), Headless::mouseMessage(WindowMessage::kButtonUp, x, y, 0)); }
  void click(int x, int y) {
    press(x, y);
    release(x, y);
  }
  /// Clicks the middle of a view's place.
  void click(const layout::Rect& place) { click(layout::centre(place).x, layout::centre(place).y); }
  std::string label(TextLabel* view) { return view->getText() ? view->getText() : ""; }
  /// Plays notes and renders a block, so the voice count has something to show.
  void playNotes(int count) {
    std::vector<VstMidiEvent> notes(count);
    std::vector<unsigned char> storage(sizeof(VstEvents) + count * sizeof(VstEvent*));
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = count;
    for (int i = 0; i < count; ++i) {
      notes[i] = VstMidiEvent{};
      notes[i].type = kVstMidiType;
      notes[i].byteSize = sizeof(VstMidiEvent);
      notes[i].midiData[0] = static_cast<char>(0x90);
      notes[i].midiData[1] = static_cast<char>(30 + i);
      notes[i].midiData[2] = 100;
      list->events[i] = reinterpret_cast<VstEvent*>(&notes[i]);
    }
    dispatch(effProcessEvents, 0, 0, list);
    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(effect, nullptr, outputs, 256);
  }

  AEffect* effect = nullptr;
};

// --- pictures --------------------------------------------------------------------------

/// Compares the window with a golden image: a few pixels may differ slightly (text
/// antialiasing), none by much. With ZYNKA_UPDATE_GOLDEN set it writes the image instead.
void expectLooksLike(cairo_surface_t* actual, const std::string& name) {
  const std::string path = std::string(EDITOR_GOLDEN_DIR) + "/" + name + ".png";
  if (std::getenv("ZYNKA_UPDATE_GOLDEN")) {
    ASSERT_EQ(cairo_surface_write_to_png(actual, path.c_str()), CAIRO_STATUS_SUCCESS);
    return;
  }
  cairo_surface_t* golden = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(golden), CAIRO_STATUS_SUCCESS) << path;
  ASSERT_EQ(cairo_image_surface_get_width(golden), layout::kWindowWidth);
  ASSERT_EQ(cairo_image_surface_get_height(golden), layout::kWindowHeight);
  cairo_surface_flush(actual);
  int differing = 0;
  int worst = 0;
  for (int y = 0; y < layout::kWindowHeight; ++y) {
    auto* a = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(actual) +
                                                      y * cairo_image_surface_get_stride(actual));
    auto* g = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(golden) +
                                                      y * cairo_image_surface_get_stride(golden));
    for (int x = 0; x < layout::kWindowWidth; ++x) {
      int largest = 0;
      for (int shift = 0; shift < 32; shift += 8)
        largest = std::max(largest, std::abs(int(a[x] >> shift & 0xFF) - int(g[x] >> shift & 0xFF)));
      if (largest > 2) ++differing;
      worst = std::max(worst, largest);
    }
  }
  cairo_surface_destroy(golden);
  EXPECT_LE(differing, 40) << name << ": pixels that differ from " << path;
  EXPECT_LE(worst, 96) << name;
}

TEST(EditorPictures, GoldenImagesOfTheEditor) {
  std::vector<std::pair<std::string, snapshot::Scene>> scenes(5);
  scenes[0].first = "fresh";
  scenes[1].first = "program-02";
  scenes[1].second.program = 1;
  scenes[2].first = "value-box-tuning";
  scenes[2].second.values = {{kTuning, 0.7f}};
  scenes[2].second.valueBox = kTuning;
  scenes[3].first = "menu-pressed";
  scenes[3].second.menuPressed = true;
  scenes[4].first = "splash";
  scenes[4].second.splash = true;
  for (const auto& [name, scene] : scenes) {
    std::string error;
    cairo_surface_t* pixels = snapshot::render(scene, error);
    ASSERT_NE(pixels, nullptr) << error;
    expectLooksLike(pixels, name);
    cairo_surface_destroy(pixels);
  }
}

TEST_F(EditorTest, NextShowsTheNextProgramOnEveryControlAsItsGoldenImage) {
  open();
  click(layout::kNextButton);
  idle();
  EXPECT_EQ(label(editor().getProgramNumberLabel()), "02");
  expectLooksLike(Headless::surface(window()), "program-02");
}

// --- controls and the host ------------------------------------------------------------------

TEST_F(EditorTest, EveryControlReachesTheHostAsAGestureAndResetsToItsDefault) {
  open();
  for (int tag = 0; tag < kNumParams; ++tag) {
    CControl* control = editor().getControl(tag);
    ASSERT_NE(control, nullptr);
    const CRect r = control->getViewSize();
    const int x = (r.left + r.right) / 2;
    const int y = (r.top + r.bottom) / 2;
    gesture_host::log().clear();
    if (r.width() == 64) {  // a knob: 40 pixels up is a fifth of the range
      effect->setParameter(effect, tag, 0.25f);
      press(x, y);
      move(x, y - 40);
      release(x, y - 40);
    } else {  // a slider: the handle's grip goes where it is clicked
      press(x, r.top + 40);
      release(x, r.top + 40);
    }
    const float value = plugin().getParameter(tag);
    EXPECT_EQ(control->getValue(), value) << tag;
    EXPECT_NEAR(value, r.width() == 64 ? 0.45f : 1.0f - 33.0f / 112.0f, 1e-6) << tag;
    char automate[64];
    std::snprintf(automate, sizeof automate, "automate %d %g", tag, value);
    ASSERT_GE(gesture_host::log().size(), 3u) << tag;
    EXPECT_EQ(gesture_host::log().front(), "begin " + std::to_string(tag));
    EXPECT_EQ(gesture_host::log()[gesture_host::log().size() - 2], automate);
    EXPECT_EQ(gesture_host::log().back(), "end " + std::to_string(tag));

    // Control + left click restores the default, inside a gesture of its own.
    gesture_host::log().clear();
    press(x, y, kKeyStateLButton | kKeyStateControl);
    release(x, y);
    const float expected = kParameters[tag].editorDefault;
    EXPECT_EQ(plugin().getParameter(tag), expected) << tag;
    std::snprintf(automate, sizeof automate, "automate %d %g", tag, expected);
    const std::string b = "begin " + std::to_string(tag), e = "end " + std::to_string(tag);
    EXPECT_EQ(gesture_host::log(), (Lines{b, b, automate, e, e})) << tag;
  }
  // The defaults, as a musician knows them.
  EXPECT_EQ(plugin().getParameter(kModSus), 0.5f);
  EXPECT_EQ(plugin().getParameter(kAmpDec), 1.0f);
  EXPECT_EQ(plugin().getParameter(kOctave), 0.5f);
  EXPECT_EQ(plugin().getParameter(kTuning), 0.5f);
  EXPECT_EQ(plugin().getParameter(kVolume), 1.0f);
  EXPECT_EQ(plugin().getParameter(kVibRate), 0.0f);

  // A host that wants circular knobs gets them in every editor.
  EXPECT_EQ(dispatch(effSetEditKnobMode, 0, kCircularMode), 1);
  const layout::Rect vibRate = layout::placeOf(kVibRate).rect;
  press(layout::centre(vibRate).x, vibRate.top + 1);  // straight above the knob's centre
  release(layout::centre(vibRate).x, vibRate.top + 1);
  EXPECT_NEAR(plugin().getParameter(kVibRate), 0.5f, 1e-6);
  dispatch(effSetEditKnobMode, 0, kLinearMode);
}

TEST_F(EditorTest, HostAutomationFromAnotherThreadReachesTheControlsAtTheNextIdle) {
  open();
  std::thread([this] { effect->setParameter(effect, kVolume, 0.25f); }).join();
  EXPECT_EQ(plugin().getParameter(kVolume), 0.25f);
  EXPECT_EQ(editor().getControl(kVolume)->getValue(), 1.0f) << "not touched from the other thread";
  Headless::clearInvalidRects(window());
  dispatch(effEditIdle);
  EXPECT_EQ(editor().getControl(kVolume)->getValue(), 0.25f);
  EXPECT_EQ(editor().getValueDisplay(kVolume)->getValue(), 0.25f);
  const layout::Rect volume = layout::placeOf(kVolume).rect;
  EXPECT_EQ(Headless::invalidUnion(window()), CRect(volume.left, volume.top, volume.right, volume.bottom))
      << "the knob is redrawn, nothing else";

  // On the editor's own thread the value is there at once; after close nothing breaks.
  effect->setParameter(effect, kVolume, 0.5f);
  EXPECT_EQ(editor().getControl(kVolume)->getValue(), 0.5f);
  dispatch(effEditClose);
  effect->setParameter(effect, kVolume, 0.75f);
  std::thread([this] { effect->setParameter(effect, kVolume, 0.8f); }).join();
  EXPECT_EQ(editor().getControl(kVolume), nullptr);
}

// --- the display panel ------------------------------------------------------------------------

TEST_F(EditorTest, PanelShowsProgramAndVoicesAndItsCommandsWork) {
  open();
  EXPECT_EQ(label(editor().getProgramNumberLabel()), "01");
  EXPECT_STREQ(editor().getProgramNameField()->getText(), "Bright E.Piano");
  EXPECT_EQ(label(editor().getVoiceCountLabel()), "Voices 00");
  playNotes(40);
  idle();
  EXPECT_EQ(label(editor().getVoiceCountLabel()), "Voices 32");

  // The menu's 30th item (index 29) is program 25; every control takes its values.
  gesture_host::log().clear();
  Headless::queuePopupAnswer(29);
  click(layout::kProgramMenu);
  idle();
  EXPECT_EQ(plugin().getProgram(), 24);
  EXPECT_EQ(label(editor().getProgramNumberLabel()), "25");
  for (int tag = 0; tag < kNumParams; ++tag)
    EXPECT_EQ(editor().getControl(tag)->getValue(), plugin().getParameter(tag)) << tag;
  EXPECT_EQ(gesture_host::log(), (Lines{"begin 105", "automate 105 29", "end 105"}));
  const auto& menu = Headless::popupsShown().back().items;
  ASSERT_EQ(menu.size(), 104u);
  EXPECT_EQ(menu[0].title, "Save Preset...");
  EXPECT_TRUE(menu[4].separator);
  EXPECT_EQ(menu[5].title, "Bright E.Piano");
  EXPECT_EQ(menu[103].title, "Empty");
  EXPECT_TRUE(menu[26].columnBreak && menu[52].columnBreak && menu[78].columnBreak);

  // Next on program 99 wraps to 01; Prev goes back.
  dispatch(effSetProgram, 0, 98);
  idle();
  EXPECT_EQ(label(editor().getProgramNumberLabel()), "99");
  click(layout::kNextButton);
  idle();
  EXPECT_EQ(label(editor().getProgramNumberLabel()), "01");
  click(layout::kPrevButton);
  idle();
  EXPECT_EQ(label(editor().getProgramNumberLabel()), "99");

  // Renaming: 30 characters typed, 24 stored and shown; Return without a change sends nothing.
  click(layout::kProgramName);
  Headless::typeIntoTextField(window(), "A rather long program title!!!");
  Headless::pressTextFieldKey(window(), Headless::TextFieldKey::kReturn);
  idle();
  char name[32] = {};
  dispatch(effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "A rather long program ti");
  EXPECT_STREQ(editor().getProgramNameField()->getText(), "A rather long program ti");
  gesture_host::log().clear();
  click(layout::kProgramName);
  Headless::pressTextFieldKey(window(), Headless::TextFieldKey::kReturn);
  EXPECT_EQ(gesture_host::log(), (Lines{"begin 102", "end 102"}));
}

TEST_F(EditorTest, NamesThatAreNotUtf8ShowWithReplacementCharacters) {
  plugin().getProgramRecord(0)->setName("Bad\xC3 name\xFF");
  open();
  Headless::queuePopupAnswer(-1);
  click(layout::kProgramMenu);
  EXPECT_EQ(Headless::popupsShown().back().items[5].title, "Bad\xEF\xBF\xBD name\xEF\xBF\xBD");
  // The name field draws the text (with its replacement characters) over the panel.
  std::string error;
  snapshot::Scene scene;
  scene.names = {{0, "Bad\xC3 name\xFF"}};
  cairo_surface_t* pixels = snapshot::render(scene, error);
  ASSERT_NE(pixels, nullptr);
  int teal = 0;
  for (int x = layout::kProgramName.left; x < layout::kProgramName.right; ++x)
    for (int y = layout::kProgramName.top; y < layout::kProgramName.bottom; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(pixels) +
                                                                y * cairo_image_surface_get_stride(pixels));
      if ((row[x] >> 8 & 0xFF) > 120) ++teal;  // the text's green
    }
  cairo_surface_destroy(pixels);
  EXPECT_GT(teal, 20) << "the name is drawn";
}

TEST_F(EditorTest, FileCommandsAndRenamingRunOnlyInTheOpenEditorOnItsThread) {
  // Closed: the file commands show no dialog, the name stays; choosing programs still works.
  for (float command : {0.0f, 1.0f, 2.0f, 3.0f}) effect->setParameter(effect, kTagProgramMenu, command);
  effect->setParameter(effect, kTagProgramName, 1.0f);
  EXPECT_TRUE(Platform::Headless::fileDialogRequests().empty());
  EXPECT_STREQ(plugin().getProgramRecord(0)->name, "Bright E.Piano");
  effect->setParameter(effect, kTagProgramMenu, 7.0f);
  EXPECT_EQ(plugin().getProgram(), 2);

  // Open, from another thread (a host's automation): still no dialog.
  open();
  std::thread([this] { effect->setParameter(effect, kTagProgramMenu, 0.0f); }).join();
  EXPECT_TRUE(Platform::Headless::fileDialogRequests().empty());

  // Open, chosen in the menu: the dialog belongs to the host's window.
  Headless::queuePopupAnswer(0);
  click(layout::kProgramMenu);
  ASSERT_EQ(Platform::Headless::fileDialogRequests().size(), 1u);
  EXPECT_EQ(Platform::Headless::fileDialogRequests()[0].title, "Save Preset");
  EXPECT_EQ(Platform::Headless::fileDialogRequests()[0].owner, kHostWindow);
}

// --- value boxes ------------------------------------------------------------------------------

TEST_F(EditorTest, ValueBoxesShowWhileAControlIsHandled) {
  open();
  auto shown = [this](int tag) { return editor().getValueDisplay(tag)->isAttached(); };
  const layout::Point vibRate = layout::centre(layout::placeOf(kVibRate).rect);
  const layout::Point tuning = layout::centre(layout::placeOf(kTuning).rect);
  const layout::Point volume = layout::centre(layout::placeOf(kVolume).rect);
  const layout::Point modSus = layout::centre(layout::placeOf(kModSus).rect);
  press(vibRate.x, vibRate.y);
  EXPECT_TRUE(shown(kVibRate));
  release(vibRate.x, vibRate.y);
  EXPECT_FALSE(shown(kVibRate));

  Headless::send(window(), Headless::wheelMessage(tuning.x, tuning.y, 1));
  Headless::send(window(), Headless::wheelMessage(volume.x, volume.y, -1));
  EXPECT_TRUE(shown(kTuning));
  EXPECT_TRUE(shown(kVolume));
  click(tuning.x, tuning.y);
  EXPECT_FALSE(shown(kTuning)) << "a click and release hides the box";
  EXPECT_TRUE(shown(kVolume)) << "the other box stays";

  press(modSus.x, modSus.y, kKeyStateLButton | kKeyStateControl);  // the reset click shows no box
  EXPECT_FALSE(shown(kModSus));
  release(modSus.x, modSus.y);
  EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP, nullptr, 0), 1) << "Mod Sus has the keyboard";
  EXPECT_TRUE(shown(kModSus));
  idle();
  char text[16] = {};
  formatPercent(plugin().getParameter(kModSus), text);
  EXPECT_STREQ(text, "60.0");
}

// --- lifecycle --------------------------------------------------------------------------------

TEST_F(EditorTest, OpenCloseAndOpenAgainBuildCompleteTreesOfTheRightSize) {
  ERect* rect = nullptr;
  ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ((std::vector<int>{rect->top, rect->left, rect->bottom, rect->right}), (std::vector<int>{0, 0, layout::kWindowHeight, layout::kWindowWidth}))
      << "known before the first open";
  open();
  EXPECT_EQ(editor().getFrame()->getViewSize(), CRect(0, 0, layout::kWindowWidth, layout::kWindowHeight));
  EXPECT_EQ(Headless::windowClassUseCount(), 1);
  ASSERT_EQ(dispatch(effEditOpen, 0, 0, kHostWindow), 1);  // again, without a close
  EXPECT_EQ(Headless::windowClassUseCount(), 1) << "one frame, one window";
  dispatch(effEditClose);
  EXPECT_EQ(Headless::windowClassUseCount(), 0);
  EXPECT_EQ(editor().getFrame(), nullptr);
  effect->setParameter(effect, kFine, 0.3f);
  open();
  EXPECT_EQ(editor().getFrame()->getNbViews(), 24) << "splash, 17 controls, 6 panel views";
  EXPECT_EQ(editor().getControl(kFine)->getValue(), 0.3f) << "read from the plug-in";
  EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0) << "no window to open in";
  EXPECT_EQ(editor().getFrame(), nullptr);

  AEffect* second = createEffectInstance(gesture_host::callback)->getAeffect();
  second->dispatcher(second, effEditOpen, 0, 0, kHostWindow, 0.0f);
  second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);  // closed with its editor open
  EXPECT_EQ(Headless::windowClassUseCount(), 0);
}

TEST_F(EditorTest, OpeningAndClosingAThousandTimesWhileTheHostAutomates) {
  std::atomic<bool> done{false};
  std::thread automation([this, &done] {
    for (int round = 0; !done.load(); ++round)
      for (int tag = 0; tag < kNumParams; ++tag) effect->setParameter(effect, tag, float((round + tag) % 100) / 100.0f);
  });
  for (int round = 0; round < 1000; ++round) {
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, kHostWindow), 1);
    dispatch(effEditIdle);
    if (round % 2) editor().showValueBoxForTag(round % kNumParams, true);
    dispatch(effEditClose);
  }
  done = true;
  automation.join();
  EXPECT_EQ(Headless::windowClassUseCount(), 0);
  EXPECT_EQ(GDIPlusGlobals::get(), nullptr) << "every bitmap and frame is gone";
}

}  // namespace
}  // namespace zynka
