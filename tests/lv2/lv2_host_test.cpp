// zynka.lv2 as an LV2 host meets it, through lilv: found by LV2_PATH, its ports and
// description, instances at 44.1 and 48 kHz whose samples equal zynka.so's through VST2
// bit for bit, every factory preset (values and program name), a saved state restored into
// a fresh instance, and a broken or foreign state refused and logged.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/factory_presets.h"
#include "engine/parameters.h"
#include "engine/program_state.h"
#include "tests/lv2/lv2_test_host.h"
#include "tools/hostkit/hostkit.h"

namespace {

using lv2_test::Midi;
using namespace zynka;

constexpr const char* kPresetClass = "http://lv2plug.in/ns/ext/presets#Preset";

/// A block of the test phrase: its length, its MIDI, and parameter values set before it.
struct Block {
  std::uint32_t frames;
  std::vector<Midi> midi;
  std::vector<std::pair<int, float>> parameters;
};

Midi message(std::uint32_t frame, int status, int data1, int data2, std::uint32_t size = 3) {
  return Midi{
      frame,
      {static_cast<unsigned char>(status), static_cast<unsigned char>(data1), static_cast<unsigned char>(data2)},
      size};
}

/// Chords, a melody over blocks of several sizes, the pedal, bend, wheel, volume, a program
/// change, and parameter values (one beyond 0..1, as a host may send).
std::vector<Block> phrase() {
  const std::uint32_t sizes[] = {512, 512, 128, 1000, 37, 512, 256};
  std::vector<Block> blocks;
  for (int b = 0; b < 120; ++b) {
    Block block{sizes[b % 7], {}, {}};
    const std::uint32_t f = block.frames;
    if (b == 0) {
      block.midi = {message(0, 0x90, 48, 100), message(10, 0x90, 52, 90), message(10, 0x90, 55, 80)};
    } else if (b % 4 == 0) {
      block.midi.push_back(message((b * 37) % f, 0x90 | (b % 16), 40 + (b * 7) % 40, 30 + (b * 13) % 97));
    } else if (b % 4 == 2) {
      block.midi.push_back(message((b * 11) % f, 0x80, 40 + ((b - 2) * 7) % 40, 0));
    }
    if (b == 20) block.midi.push_back(message(f / 2, 0xB0, 64, 127));
    if (b == 25) block.midi.push_back(message(5 % f, 0xE0, 0x10, 0x50));
    if (b == 30) block.midi.push_back(message(0, 0xB0, 1, 90));
    if (b == 35) block.midi.push_back(message(f - 1, 0xB0, 7, 70));
    if (b == 40) block.midi.push_back(message(3 % f, 0xB0, 64, 0));
    if (b == 60) block.midi.insert(block.midi.begin(), message(0, 0xC5, 10, 0, 2));  // program 11
    if (b == 10) block.parameters = {{kVibAmt, 0.6f}};
    if (b == 45) block.parameters = {{kCoarse, 0.1f}, {kFine, 0.77f}};
    if (b == 70) block.parameters = {{kVolume, 0.8f}};
    if (b == 80) block.parameters = {{kWave, 1.3f}};
    blocks.push_back(block);
  }
  return blocks;
}

struct Render {
  std::vector<float> left, right;
};

/// The phrase through the LV2 instance; the parameters through its ports.
Render renderLv2(lv2_test::Instance& instance, const std::vector<Block>& blocks) {
  Render out;
  for (const Block& block : blocks) {
    for (auto [index, value] : block.parameters) instance.controls[index] = value;
    instance.run(block.frames, block.midi);
    out.left.insert(out.left.end(), instance.left.begin(), instance.left.begin() + block.frames);
    out.right.insert(out.right.end(), instance.right.begin(), instance.right.begin() + block.frames);
  }
  return out;
}

/// The phrase through zynka.so as a VST2 host plays it: setParameter, processEvents, processReplacing.
Render renderVst2(float rate, const std::vector<Block>& blocks, std::string& error) {
  Render out;
  auto library = hostkit::PluginLibrary::load(ZYNKA_PLUGIN_PATH, error);
  if (!library) return out;
  hostkit::Host host;
  host.sampleRate = rate;
  host.blockSize = 4096;
  host.recordCalls = false;
  AEffect* effect = host.instantiate(*library, error);
  if (!effect) return out;
  host.start(effect);
  std::vector<float> left(4096), right(4096);
  float* outputs[2] = {left.data(), right.data()};
  for (const Block& block : blocks) {
    for (auto [index, value] : block.parameters) effect->setParameter(effect, index, value);
    if (!block.midi.empty()) {
      std::vector<VstMidiEvent> events(block.midi.size());
      std::vector<unsigned char> storage(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
      auto* list = reinterpret_cast<VstEvents*>(storage.data());
      list->numEvents = static_cast<VstInt32>(events.size());
      for (std::size_t e = 0; e < events.size(); ++e) {
        events[e] = VstMidiEvent{};
        events[e].type = kVstMidiType;
        events[e].byteSize = sizeof(VstMidiEvent);
        events[e].deltaFrames = static_cast<VstInt32>(block.midi[e].frame);
        for (std::uint32_t i = 0; i < block.midi[e].size; ++i)
          events[e].midiData[i] = static_cast<char>(block.midi[e].bytes[i]);
        list->events[e] = reinterpret_cast<VstEvent*>(&events[e]);
      }
      host.dispatch(effect, effProcessEvents, 0, 0, list);
    }
    effect->processReplacing(effect, nullptr, outputs, static_cast<VstInt32>(block.frames));
    out.left.insert(out.left.end(), left.begin(), left.begin() + block.frames);
    out.right.insert(out.right.end(), right.begin(), right.begin() + block.frames);
  }
  host.close(effect);
  return out;
}

/// The first sample whose bits differ, or -1.
long firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.size() != b.size()) return 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return static_cast<long>(i);
  return -1;
}

float peak(const std::vector<float>& samples) {
  float p = 0;
  for (float s : samples) p = std::max(p, std::fabs(s));
  return p;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

/// The program state inside a saved text.
PluginState stateOf(const std::string& text) {
  PluginState state;
  EXPECT_TRUE(readState(text, state)) << "the saved text is a whole state";
  return state;
}

class Lv2Host : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(world.plugin, nullptr) << "LV2_PATH=" << ZYNKA_LV2_PATH << " finds " << lv2::kPluginUri;
  }
  /// Every port's value in `instance` from a state snapshot.
  static void setPort(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type) {
    auto* self = static_cast<std::pair<Lv2Host*, lv2_test::Instance*>*>(user);
    ASSERT_EQ(type, self->first->features.map(LV2_ATOM__Float));
    ASSERT_EQ(size, sizeof(float));
    for (int i = 0; i < kNumParams; ++i)
      if (std::strcmp(symbol, lv2::parameterSymbol(i).data()) == 0)
        std::memcpy(&self->second->controls[i], value, sizeof(float));
  }
  void restore(const LilvState* state, lv2_test::Instance& instance) {
    std::pair<Lv2Host*, lv2_test::Instance*> user{this, &instance};
    lilv_state_restore(state, instance.instance, setPort, &user, 0, features.list());
  }

  lv2_test::World world{ZYNKA_LV2_PATH};
  lv2_test::Features features;
};

TEST_F(Lv2Host, TheBundleDescribesAnInstrumentWithItsPortsAndEditor) {
  const LilvPlugin* plugin = world.plugin;
  LilvNode* name = lilv_plugin_get_name(plugin);
  EXPECT_STREQ(lilv_node_as_string(name), "ZYNKA");
  lilv_node_free(name);
  LilvNode* author = lilv_plugin_get_author_name(plugin);
  ASSERT_NE(author, nullptr);
  EXPECT_STREQ(lilv_node_as_string(author), "Tarnwick");
  lilv_node_free(author);
  EXPECT_STREQ(lilv_node_as_uri(lilv_plugin_class_get_uri(lilv_plugin_get_class(plugin))),
               "http://lv2plug.in/ns/lv2core#InstrumentPlugin");
  LilvNode* project = lilv_plugin_get_project(plugin);
  ASSERT_NE(project, nullptr);
  EXPECT_STREQ(lilv_node_as_uri(project), lv2::kProjectUri);
  lilv_node_free(project);
  LilvNode* minor = world.newUri("http://lv2plug.in/ns/lv2core#minorVersion");
  LilvNodes* minors = lilv_plugin_get_value(plugin, minor);
  EXPECT_EQ(lilv_nodes_size(minors), 1u) << "a version";
  lilv_nodes_free(minors);
  lilv_node_free(minor);

  // The ports, pinned: a saved session refers to them by symbol.
  std::ifstream list(ZYNKA_PORT_SYMBOLS);
  std::vector<std::string> pinned;
  for (std::string line; std::getline(list, line);) pinned.push_back(line);
  ASSERT_EQ(lilv_plugin_get_num_ports(plugin), pinned.size());
  ASSERT_EQ(pinned.size(), static_cast<std::size_t>(lv2::kNumPorts));
  LilvNode* input = world.newUri(LILV_URI_INPUT_PORT);
  LilvNode* output = world.newUri(LILV_URI_OUTPUT_PORT);
  LilvNode* control = world.newUri(LILV_URI_CONTROL_PORT);
  LilvNode* audio = world.newUri(LILV_URI_AUDIO_PORT);
  LilvNode* atomPort = world.newUri(LV2_ATOM__AtomPort);
  LilvNode* midiEvent = world.newUri(LV2_MIDI__MidiEvent);
  for (uint32_t i = 0; i < pinned.size(); ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    EXPECT_EQ(lilv_node_as_string(lilv_port_get_symbol(plugin, port)), pinned[i]) << "port " << i;
    if (i < static_cast<uint32_t>(kNumParams)) {
      EXPECT_TRUE(lilv_port_is_a(plugin, port, input) && lilv_port_is_a(plugin, port, control));
      LilvNode* portName = lilv_port_get_name(plugin, port);
      EXPECT_STREQ(lilv_node_as_string(portName), kParameters[i].name);
      lilv_node_free(portName);
      LilvNode *def, *min, *max;
      lilv_port_get_range(plugin, port, &def, &min, &max);
      ASSERT_TRUE(def && min && max);
      EXPECT_EQ(lilv_node_as_float(min), 0.0f);
      EXPECT_EQ(lilv_node_as_float(max), 1.0f);
      EXPECT_TRUE(sameBits(lilv_node_as_float(def), kFactoryPresets[0].values[i]))
          << "the default of " << pinned[i] << " is program 1's value";
      lilv_node_free(def);
      lilv_node_free(min);
      lilv_node_free(max);
    }
  }
  const LilvPort* midi = lilv_plugin_get_port_by_index(plugin, lv2::kMidiInPort);
  EXPECT_TRUE(lilv_port_is_a(plugin, midi, input) && lilv_port_is_a(plugin, midi, atomPort));
  EXPECT_TRUE(lilv_port_supports_event(plugin, midi, midiEvent));
  for (int i : {lv2::kLeftOutPort, lv2::kRightOutPort}) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    EXPECT_TRUE(lilv_port_is_a(plugin, port, output) && lilv_port_is_a(plugin, port, audio));
  }
  const LilvPort* voices = lilv_plugin_get_port_by_index(plugin, lv2::kVoicesPort);
  EXPECT_TRUE(lilv_port_is_a(plugin, voices, output) && lilv_port_is_a(plugin, voices, control));
  for (LilvNode* node : {input, output, control, audio, atomPort, midiEvent}) lilv_node_free(node);

  // The editor, an X11 UI in its own library of the bundle.
  LilvUIs* uis = lilv_plugin_get_uis(plugin);
  ASSERT_EQ(lilv_uis_size(uis), 1u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  EXPECT_STREQ(lilv_node_as_uri(lilv_ui_get_uri(ui)), lv2::kUiUri);
  LilvNode* x11 = world.newUri("http://lv2plug.in/ns/extensions/ui#X11UI");
  EXPECT_TRUE(lilv_ui_is_a(ui, x11));
  lilv_node_free(x11);
  lilv_uis_free(uis);
}

TEST_F(Lv2Host, TheSamplesAreThoseOfTheVst2PluginBitForBitAt44100And48000) {
  const std::vector<Block> blocks = phrase();
  for (double rate : {44100.0, 48000.0}) {
    SCOPED_TRACE(rate);
    lv2_test::Instance instance(world, features, rate);
    ASSERT_NE(instance.instance, nullptr);
    const Render lv2 = renderLv2(instance, blocks);
    std::string error;
    const Render vst2 = renderVst2(static_cast<float>(rate), blocks, error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_GT(peak(lv2.left), 0.05f) << "the phrase sounds";
    EXPECT_EQ(firstDifference(lv2.left, vst2.left), -1);
    EXPECT_EQ(firstDifference(lv2.right, vst2.right), -1);
  }

  // The voices output counts what sounds: a three-note chord, then silence after all sound off.
  lv2_test::Instance instance(world, features, 48000.0);
  instance.run(256, {message(0, 0x90, 60, 100), message(1, 0x90, 64, 100), message(2, 0x90, 67, 100)});
  EXPECT_EQ(instance.voices, 3.0f);
  instance.run(256,
               {message(0, 0xB0, 120, 0), message(0, 0x80, 60, 0), message(0, 0x80, 64, 0), message(0, 0x80, 67, 0)});
  for (int i = 0; i < 400 && instance.voices != 0.0f; ++i) instance.run(512);
  EXPECT_EQ(instance.voices, 0.0f);
}

TEST_F(Lv2Host, EveryFactoryPresetSetsTheValuesAndTheProgramName) {
  lv2_test::Instance instance(world, features, 44100.0);
  ASSERT_NE(instance.instance, nullptr);
  LilvNode* presetClass = world.newUri(kPresetClass);
  LilvNodes* presets = lilv_plugin_get_related(world.plugin, presetClass);
  EXPECT_EQ(lilv_nodes_size(presets), static_cast<unsigned>(kNumFactoryPresets));
  std::vector<bool> seen(kNumFactoryPresets);
  LILV_FOREACH(nodes, it, presets) {
    const LilvNode* preset = lilv_nodes_get(presets, it);
    lilv_world_load_resource(world.world, preset);
    LilvState* state = lilv_state_new_from_world(world.world, features.mapFeature(), preset);
    ASSERT_NE(state, nullptr);
    const std::string label = lilv_state_get_label(state);
    int program = -1;
    for (int p = 0; p < kNumFactoryPresets; ++p)
      if (label == kFactoryPresets[p].name) program = p;
    ASSERT_GE(program, 0) << label << " is a factory program";
    seen[program] = true;

    restore(state, instance);
    instance.run(64);
    const PluginState saved = stateOf(instance.savedText());
    EXPECT_EQ(saved.currentProgram, 0) << "a preset sets the current program";
    const ProgramRecord& current = saved.programs[0];
    EXPECT_STREQ(current.name, kFactoryPresets[program].name);
    for (int i = 0; i < kNumParams; ++i) {
      EXPECT_TRUE(sameBits(instance.controls[i], kFactoryPresets[program].values[i])) << label << " port " << i;
      EXPECT_TRUE(sameBits(current.parameter(i), kFactoryPresets[program].values[i])) << label << " value " << i;
    }
    lilv_state_free(state);
  }
  for (int p = 0; p < kNumFactoryPresets; ++p) EXPECT_TRUE(seen[p]) << kFactoryPresets[p].name;
  lilv_nodes_free(presets);
  lilv_node_free(presetClass);
}

TEST_F(Lv2Host, ASavedStateRestoresIntoAFreshInstanceWithTheSameSound) {
  lv2_test::Instance first(world, features, 44100.0);
  ASSERT_NE(first.instance, nullptr);
  // A preset, a value of the user's, then a program chosen by MIDI and a value changed there.
  LilvNode* presetUri = world.newUri((std::string(lv2::kPresetUriPrefix) + "11").c_str());
  lilv_world_load_resource(world.world, presetUri);
  LilvState* preset = lilv_state_new_from_world(world.world, features.mapFeature(), presetUri);
  ASSERT_NE(preset, nullptr);
  restore(preset, first);
  lilv_state_free(preset);
  lilv_node_free(presetUri);
  first.controls[kVibAmt] = 0.3f;
  first.run(128);
  first.run(128, {message(0, 0xC0, 6, 0, 2)});
  first.controls[kVolume] = 0.7f;
  first.run(128);
  const std::string text = first.savedText();
  EXPECT_EQ(stateOf(text).currentProgram, 6);
  EXPECT_STREQ(stateOf(text).programs[0].name, "Space Pad");

  // Saved and read back as a host keeps it: Turtle text with the ports' values.
  struct Ports {
    float values[kNumParams];
    static const void* get(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
      auto* self = static_cast<std::pair<Ports*, lv2_test::Features*>*>(user);
      for (int i = 0; i < kNumParams; ++i)
        if (std::strcmp(symbol, lv2::parameterSymbol(i).data()) == 0) {
          *size = sizeof(float);
          *type = self->second->map(LV2_ATOM__Float);
          return &self->first->values[i];
        }
      return nullptr;
    }
  } ports;
  std::memcpy(ports.values, first.controls, sizeof ports.values);
  std::pair<Ports*, lv2_test::Features*> user{&ports, &features};
  LilvState* saved = lilv_state_new_from_instance(world.plugin, first.instance, features.mapFeature(), nullptr, nullptr,
                                                  nullptr, nullptr, Ports::get, &user,
                                                  LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features.list());
  ASSERT_NE(saved, nullptr);
  char* turtle = lilv_state_to_string(world.world, features.mapFeature(), features.unmapFeature(), saved,
                                      "urn:test:session", nullptr);
  ASSERT_NE(turtle, nullptr);
  LilvState* reread = lilv_state_new_from_string(world.world, features.mapFeature(), turtle);
  ASSERT_NE(reread, nullptr) << turtle;

  lv2_test::Instance second(world, features, 44100.0);
  ASSERT_NE(second.instance, nullptr);
  restore(reread, second);
  EXPECT_EQ(second.savedText(), text) << "the bank, the names and the current program";
  for (int i = 0; i < kNumParams; ++i) EXPECT_TRUE(sameBits(second.controls[i], first.controls[i])) << i;

  // Both from silence: the first switched off and on, as the restore left the second.
  lilv_instance_deactivate(first.instance);
  lilv_instance_activate(first.instance);
  const std::vector<Block> whole = phrase();
  const std::vector<Block> blocks(whole.begin(), whole.begin() + 50);
  const Render a = renderLv2(first, blocks);
  const Render b = renderLv2(second, blocks);
  EXPECT_GT(peak(a.left), 0.05f);
  EXPECT_EQ(firstDifference(a.left, b.left), -1);
  EXPECT_EQ(firstDifference(a.right, b.right), -1);
  EXPECT_EQ(second.savedText(), first.savedText());

  lilv_free(turtle);
  lilv_state_free(reread);
  lilv_state_free(saved);
}

TEST_F(Lv2Host, ABrokenOrForeignStateChangesNothingAndIsLogged) {
  lv2_test::Instance instance(world, features, 44100.0);
  lv2_test::Instance quiet(world, features, 44100.0, /*withoutLog=*/true);
  ASSERT_NE(instance.instance, nullptr);
  ASSERT_NE(quiet.instance, nullptr);
  instance.run(64, {message(0, 0xC0, 3, 0, 2)});
  const std::string before = instance.savedText();
  std::string whole = before;
  std::string cut = before.substr(0, before.size() / 2);
  std::string newer = before;
  newer.replace(newer.find("State 1"), 7, "State 9");

  struct Value {
    const void* data;
    size_t size;
    uint32_t type;
    LV2_URID key;
  };
  const auto retrieve = [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
    auto* value = static_cast<Value*>(h);
    if (key != value->key) return static_cast<const void*>(nullptr);
    *size = value->size;
    *type = value->type;
    *flags = LV2_STATE_IS_POD;
    return value->data;
  };
  const int32_t number = 7;
  const LV2_URID key = features.map(lv2::kStateKeyUri);
  const LV2_URID string = features.map(LV2_ATOM__String);
  const Value broken[] = {{cut.c_str(), cut.size() + 1, string, key},
                          {newer.c_str(), newer.size() + 1, string, key},
                          {"", 1, string, key},
                          {&number, sizeof number, features.map(LV2_ATOM__Int), key},
                          {whole.c_str(), whole.size() + 1, features.map(LV2_ATOM__Path), key}};
  for (lv2_test::Instance* target : {&instance, &quiet}) {
    const auto* state = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(target->instance, LV2_STATE__interface));
    ASSERT_NE(state, nullptr);
    const std::string own = target->savedText();
    for (const Value& value : broken) {
      const std::size_t logged = features.logged.size();
      Value copy = value;
      EXPECT_NE(state->restore(lilv_instance_get_handle(target->instance), retrieve, &copy, 0, nullptr),
                LV2_STATE_SUCCESS);
      EXPECT_EQ(target->savedText(), own) << "nothing changed";
      if (target == &instance) {
        ASSERT_EQ(features.logged.size(), logged + 1) << "the refusal is logged";
        EXPECT_EQ(features.logged.back().rfind(LV2_LOG__Error, 0), 0u) << features.logged.back();
      } else {
        EXPECT_EQ(features.logged.size(), logged) << "no log, no message";
      }
    }
  }
  EXPECT_EQ(instance.savedText(), before);
}

}  // namespace
