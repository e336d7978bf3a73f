// zynka.clap as a CLAP host meets it: loaded through clap_entry, driven only through the
// records and extensions of the CLAP ABI (our test host, tools/hostkit/claphost.h), natively
// and, for the DLL, under Wine. The VST2 library of the same build (zynka.so / zynka.dll,
// through hostkit) is the reference for sound and texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/program_state.h"
#include "tools/hostkit/claphost.h"
#include "tools/hostkit/hostkit.h"

namespace {

using claphost::InputEvents;
using claphost::OutputEvents;

constexpr const char* kPluginId = "com.tarnwick.zynka";
constexpr std::uint32_t kBlock = 512;
constexpr double kRate = 44100.0;
constexpr clap_id kVolume = 16, kAmpDec = 12, kAmpRel = 13;

/// One MIDI message at an absolute sample time.
struct Timed {
  std::uint32_t time;
  std::uint8_t status, data1, data2;
};

/// A phrase: a program change, chords under the sustain pedal, a melody with a pitch bend,
/// the modulation wheel and channel volume, note-offs as note-ons of velocity 0 and as 0x80.
std::vector<Timed> phrase() {
  std::vector<Timed> events = {{0, 0xC0, 10, 0}};
  const std::uint8_t chord[] = {48, 55, 60, 64};
  for (int bar = 0; bar < 3; ++bar) {
    const std::uint32_t t = 100 + bar * 6000;
    events.push_back({t, 0xB0, 64, 127});
    for (int i = 0; i < 4; ++i) events.push_back({t + i * 7, 0x90, static_cast<std::uint8_t>(chord[i] + bar), 90});
    for (int i = 0; i < 4; ++i) events.push_back({t + 2500, 0x80, static_cast<std::uint8_t>(chord[i] + bar), 0});
    events.push_back({t + 4000, 0xB0, 64, 0});
  }
  const std::uint8_t melody[] = {72, 74, 76, 79, 77, 76, 74, 72};
  for (int i = 0; i < 8; ++i) {
    const std::uint32_t t = 1000 + i * 2100;
    events.push_back({t, 0x91, melody[i], static_cast<std::uint8_t>(60 + i * 8)});
    events.push_back({t + 1500, 0x91, melody[i], 0});
  }
  events.push_back({3000, 0xE1, 0, 0x50});
  events.push_back({5000, 0xE1, 0, 0x40});
  events.push_back({7000, 0xB0, 1, 90});
  events.push_back({12000, 0xB0, 7, 70});
  std::stable_sort(events.begin(), events.end(), [](const Timed& a, const Timed& b) { return a.time < b.time; });
  return events;
}

constexpr std::uint32_t kPhraseBlocks = 48;

/// Left then right channel, block after block.
template <typename Sample>
struct Render {
  std::vector<Sample> left, right;
  bool operator==(const Render& other) const { return left == other.left && right == other.right; }
  double peak() const {
    double p = 0;
    for (Sample s : left) p = std::max(p, std::fabs(static_cast<double>(s)));
    return p;
  }
};

/// The first sample where two renders differ, or -1.
template <typename Sample>
long firstDifference(const Render<Sample>& a, const Render<Sample>& b) {
  for (std::size_t i = 0; i < std::min(a.left.size(), b.left.size()); ++i)
    if (!(a.left[i] == b.left[i]) || !(a.right[i] == b.right[i])) return static_cast<long>(i);
  return a.left.size() == b.left.size() ? -1 : static_cast<long>(std::min(a.left.size(), b.left.size()));
}

/// zynka.so / zynka.dll, as a VST2 host renders MIDI: one event list and one process call a block.
class Vst2 {
 public:
  Vst2() {
    std::string error;
    library = hostkit::PluginLibrary::load(ZYNKA_PLUGIN_PATH, error);
    if (!library) return;
    host.blockSize = kBlock;
    host.recordCalls = false;
    effect = host.instantiate(*library, error);
    if (effect) host.start(effect);
  }
  ~Vst2() {
    if (effect) host.close(effect);
  }
  void events(const std::vector<Timed>& list, std::uint32_t from, std::uint32_t frames) {
    std::vector<VstMidiEvent> midi;
    for (const Timed& e : list)
      if (e.time >= from && e.time < from + frames) {
        VstMidiEvent m{};
        m.type = kVstMidiType;
        m.byteSize = sizeof m;
        m.deltaFrames = static_cast<VstInt32>(e.time - from);
        m.midiData[0] = static_cast<char>(e.status);
        m.midiData[1] = static_cast<char>(e.data1);
        m.midiData[2] = static_cast<char>(e.data2);
        midi.push_back(m);
      }
    std::vector<unsigned char> storage(sizeof(VstEvents) + midi.size() * sizeof(VstEvent*));
    auto* vstEvents = reinterpret_cast<VstEvents*>(storage.data());
    vstEvents->numEvents = static_cast<VstInt32>(midi.size());
    for (std::size_t i = 0; i < midi.size(); ++i) vstEvents->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    host.dispatch(effect, effProcessEvents, 0, 0, vstEvents);
  }
  template <typename Sample>
  void render(std::uint32_t frames, Render<Sample>& out) {
    std::vector<Sample> left(frames), right(frames);
    Sample* outputs[2] = {left.data(), right.data()};
    if constexpr (sizeof(Sample) == sizeof(float))
      effect->processReplacing(effect, nullptr, outputs, static_cast<VstInt32>(frames));
    else
      effect->processDoubleReplacing(effect, nullptr, outputs, static_cast<VstInt32>(frames));
    out.left.insert(out.left.end(), left.begin(), left.end());
    out.right.insert(out.right.end(), right.begin(), right.end());
  }
  template <typename Sample>
  Render<Sample> renderPhrase(const std::vector<Timed>& list) {
    Render<Sample> out;
    for (std::uint32_t b = 0; b < kPhraseBlocks; ++b) {
      events(list, b * kBlock, kBlock);
      render(kBlock, out);
    }
    return out;
  }
  std::string display(int index, float value) {
    effect->setParameter(effect, index, value);
    char text[64] = {}, label[64] = {};
    host.dispatch(effect, effGetParamDisplay, index, 0, text);
    host.dispatch(effect, effGetParamLabel, index, 0, label);
    return *label ? std::string(text) + " " + label : std::string(text);
  }

  std::unique_ptr<hostkit::PluginLibrary> library;
  hostkit::Host host;
  AEffect* effect = nullptr;
};

class Clap : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    library = claphost::Library::load(ZYNKA_CLAP_PATH, error);
    ASSERT_TRUE(library) << error;
    instance = make(host);
    ASSERT_TRUE(instance);
  }
  std::unique_ptr<claphost::Instance> make(claphost::Host& withHost) {
    std::string error;
    auto made = claphost::Instance::create(*library, withHost, kPluginId, error);
    EXPECT_TRUE(made) << error;
    return made;
  }

  /// One block into the render (float or double), with its events.
  template <typename Sample>
  clap_process_status block(claphost::Instance& plugin, const InputEvents& in, Render<Sample>& out,
                            std::uint32_t frames = kBlock) {
    std::vector<Sample> left(frames, Sample(7)), right(frames, Sample(7));
    events.clear();
    const clap_process_status status = plugin.process(frames, in, events, left.data(), right.data());
    out.left.insert(out.left.end(), left.begin(), left.end());
    out.right.insert(out.right.end(), right.begin(), right.end());
    return status;
  }

  /// The phrase through zynka.clap, its notes as MIDI or as CLAP note events.
  template <typename Sample>
  Render<Sample> renderPhrase(claphost::Instance& plugin, const std::vector<Timed>& list, bool clapNotes) {
    Render<Sample> out;
    int nextId = 0;
    for (std::uint32_t b = 0; b < kPhraseBlocks; ++b) {
      InputEvents in;
      for (const Timed& e : list) {
        if (e.time < b * kBlock || e.time >= (b + 1) * kBlock) continue;
        const std::uint32_t t = e.time - b * kBlock;
        const int kind = e.status & 0xF0;
        const auto channel = static_cast<std::int16_t>(e.status & 0x0F);
        if (clapNotes && kind == 0x90 && e.data2 > 0)
          in.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, t, e.data1, e.data2 / 127.0, nextId++, channel));
        else if (clapNotes && (kind == 0x80 || kind == 0x90))
          in.add(claphost::noteEvent(CLAP_EVENT_NOTE_OFF, t, e.data1, 0.0, -1, channel));
        else
          in.add(claphost::midiEvent(t, e.status, e.data1, e.data2));
      }
      block(plugin, in, out);
    }
    return out;
  }

  /// The NOTE_END events of the last block.
  std::vector<clap_event_note_t> noteEnds() const {
    std::vector<clap_event_note_t> ends;
    for (std::size_t i = 0; i < events.size(); ++i)
      if (events.at(i).type == CLAP_EVENT_NOTE_END) ends.push_back(events.as<clap_event_note_t>(i));
    return ends;
  }

  std::unique_ptr<claphost::Library> library;
  claphost::Host host;
  std::unique_ptr<claphost::Instance> instance;
  OutputEvents events;
};

TEST_F(Clap, IdentityFactoriesAndExtensions) {
  const clap_plugin_entry_t* entry = library->entry();
  EXPECT_EQ(entry->clap_version.major, 1u);
  EXPECT_GE(entry->clap_version.minor, 2u);
  // init may come again before deinit; each is answered.
  EXPECT_TRUE(entry->init(ZYNKA_CLAP_PATH));
  entry->deinit();

  const auto* factory = library->factory<clap_plugin_factory_t>(CLAP_PLUGIN_FACTORY_ID);
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(library->factory<void>("clap.no-such-factory"), nullptr);
  EXPECT_NE(library->factory<void>(CLAP_PRESET_DISCOVERY_FACTORY_ID), nullptr);
  EXPECT_EQ(library->factory<void>(CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT),
            library->factory<void>(CLAP_PRESET_DISCOVERY_FACTORY_ID));
  ASSERT_EQ(factory->get_plugin_count(factory), 1u);
  EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);
  const clap_plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, 0);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(clap_version_is_compatible(d->clap_version));
  EXPECT_STREQ(d->id, kPluginId);
  EXPECT_STREQ(d->name, "ZYNKA");
  EXPECT_STREQ(d->vendor, "Tarnwick");
  EXPECT_STREQ(d->version, "1.0.0");
  std::vector<std::string> features;
  for (const char* const* f = d->features; *f; ++f) features.push_back(*f);
  EXPECT_EQ(features, (std::vector<std::string>{"instrument", "synthesizer", "stereo"}));
  EXPECT_EQ(factory->create_plugin(factory, host.record(), "com.tarnwick.other"), nullptr);
  EXPECT_EQ(instance->plugin()->desc, d);

  // Present: ports, params, state, gui, presets, latency 0, 32 voices, render. Absent: the rest.
  for (const char* id :
       {CLAP_EXT_AUDIO_PORTS, CLAP_EXT_NOTE_PORTS, CLAP_EXT_PARAMS, CLAP_EXT_STATE, CLAP_EXT_GUI, CLAP_EXT_PRESET_LOAD,
        CLAP_EXT_PRESET_LOAD_COMPAT, CLAP_EXT_LATENCY, CLAP_EXT_VOICE_INFO, CLAP_EXT_RENDER})
    EXPECT_NE(instance->extension<void>(id), nullptr) << id;
#ifndef _WIN32
  EXPECT_NE(instance->extension<void>(CLAP_EXT_TIMER_SUPPORT), nullptr);
  EXPECT_NE(instance->extension<void>(CLAP_EXT_POSIX_FD_SUPPORT), nullptr);
#endif
  EXPECT_EQ(instance->extension<void>(CLAP_EXT_NOTE_NAME), nullptr);
  EXPECT_EQ(instance->extension<void>("clap.no-such-extension"), nullptr);

  const auto* audio = instance->extension<clap_plugin_audio_ports_t>(CLAP_EXT_AUDIO_PORTS);
  EXPECT_EQ(audio->count(instance->plugin(), true), 0u);
  ASSERT_EQ(audio->count(instance->plugin(), false), 1u);
  clap_audio_port_info_t port{};
  ASSERT_TRUE(audio->get(instance->plugin(), 0, false, &port));
  EXPECT_EQ(port.id, 0u);
  EXPECT_EQ(port.channel_count, 2u);
  EXPECT_EQ(port.flags, CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS);
  EXPECT_STREQ(port.port_type, CLAP_PORT_STEREO);
  EXPECT_EQ(port.in_place_pair, CLAP_INVALID_ID);
  const auto* notes = instance->extension<clap_plugin_note_ports_t>(CLAP_EXT_NOTE_PORTS);
  EXPECT_EQ(notes->count(instance->plugin(), false), 0u);
  ASSERT_EQ(notes->count(instance->plugin(), true), 1u);
  clap_note_port_info_t notePort{};
  ASSERT_TRUE(notes->get(instance->plugin(), 0, true, &notePort));
  EXPECT_EQ(notePort.supported_dialects, CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI);
  EXPECT_EQ(notePort.preferred_dialect, CLAP_NOTE_DIALECT_CLAP);

  ASSERT_TRUE(instance->start(kRate, kBlock));
  EXPECT_EQ(instance->extension<clap_plugin_latency_t>(CLAP_EXT_LATENCY)->get(instance->plugin()), 0u);
  clap_voice_info_t voices{};
  ASSERT_TRUE(instance->extension<clap_plugin_voice_info_t>(CLAP_EXT_VOICE_INFO)->get(instance->plugin(), &voices));
  EXPECT_EQ(voices.voice_count, 32u);
  EXPECT_EQ(voices.voice_capacity, 32u);
  const auto* render = instance->extension<clap_plugin_render_t>(CLAP_EXT_RENDER);
  EXPECT_FALSE(render->has_hard_realtime_requirement(instance->plugin()));
  EXPECT_TRUE(render->set(instance->plugin(), CLAP_RENDER_OFFLINE));
}

TEST_F(Clap, ParametersInfosValuesAndTextsBothWays) {
  Vst2 vst2;
  ASSERT_NE(vst2.effect, nullptr);
  const auto* params = instance->extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  const clap_plugin_t* plugin = instance->plugin();
  ASSERT_EQ(params->count(plugin), 17u);
  const char* names[] = {"Vib Rate", "Vib Amt", "Coarse",   "Fine",   "Mod Init", "Mod Dec",
                         "Mod Sus",  "Mod Rel", "Velocity", "Wave",   "Thru",     "Amp Att",
                         "Amp Dec",  "Amp Rel", "Octave",   "Tuning", "Volume"};
  const double defaults[] = {0, 0, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0, 1, 0, 0.5, 0.5, 1};
  for (std::uint32_t i = 0; i < 17; ++i) {
    clap_param_info_t info{};
    ASSERT_TRUE(params->get_info(plugin, i, &info));
    EXPECT_EQ(info.id, i);
    EXPECT_STREQ(info.name, names[i]);
    EXPECT_EQ(info.flags, CLAP_PARAM_IS_AUTOMATABLE);
    EXPECT_EQ(info.min_value, 0.0);
    EXPECT_EQ(info.max_value, 1.0);
    EXPECT_EQ(info.default_value, defaults[i]) << names[i];
    // The value is the VST2 build's (program 1, "Bright E.Piano").
    EXPECT_EQ(instance->value(i), vst2.effect->getParameter(vst2.effect, static_cast<VstInt32>(i))) << names[i];
  }
  clap_param_info_t info{};
  EXPECT_FALSE(params->get_info(plugin, 17, &info));
  double value = 0;
  EXPECT_FALSE(params->get_value(plugin, 17, &value));

  // Texts: the VST2 display with its label, and read back to a value that shows the same.
  for (int i = 0; i < 17; ++i)
    for (int step = 0; step <= 40; ++step) {
      const float v = static_cast<float>(std::max(0.0, step / 40.0 - (step % 3) * 0.0037));
      const std::string text = instance->text(i, v);
      EXPECT_EQ(text, vst2.display(i, v)) << names[i] << " " << v;
      ASSERT_TRUE(params->text_to_value(plugin, i, text.c_str(), &value)) << text;
      EXPECT_GE(value, 0.0);
      EXPECT_LE(value, 1.0);
      EXPECT_EQ(instance->text(i, value), text) << names[i] << " " << v;
    }
  EXPECT_EQ(instance->text(0, 0.5), "6.25 Hz");
  ASSERT_TRUE(params->text_to_value(plugin, 0, "6.25 Hz", &value));
  EXPECT_DOUBLE_EQ(value, 0.5);
  ASSERT_TRUE(params->text_to_value(plugin, 14, "+1 oct", &value));
  EXPECT_EQ(instance->text(14, value), "+1 oct");
  for (const char* bad : {"", "Hz", "abc", "6.25 kHz", "6.25 Hz x", "nan"})
    EXPECT_FALSE(params->text_to_value(plugin, 0, bad, &value)) << bad;
  char small[4] = {};
  EXPECT_FALSE(params->value_to_text(plugin, 0, 0.5, small, sizeof small)) << "6.25 Hz does not fit in 4 bytes";
}

TEST_F(Clap, MidiAndClapNotesRenderTheVst2SamplesBitForBit) {
  const std::vector<Timed> list = phrase();
  Vst2 vst2;
  ASSERT_NE(vst2.effect, nullptr);
  const Render<float> reference = vst2.renderPhrase<float>(list);
  ASSERT_GT(reference.peak(), 0.01) << "the phrase sounds";

  ASSERT_TRUE(instance->start(kRate, kBlock));
  const Render<float> midi = renderPhrase<float>(*instance, list, false);
  EXPECT_EQ(firstDifference(midi, reference), -1) << "MIDI dialect";

  auto second = make(host);
  ASSERT_TRUE(second->start(kRate, kBlock));
  const Render<float> notes = renderPhrase<float>(*second, list, true);
  EXPECT_EQ(firstDifference(notes, reference), -1) << "CLAP note events";

  // Double precision, as processDoubleReplacing.
  Vst2 vst2Double;
  const Render<double> referenceDouble = vst2Double.renderPhrase<double>(list);
  auto third = make(host);
  ASSERT_TRUE(third->start(kRate, kBlock));
  EXPECT_EQ(firstDifference(renderPhrase<double>(*third, list, true), referenceDouble), -1) << "64-bit buffers";
}

TEST_F(Clap, AParameterValueAtSample100ActsAtSample100) {
  // The same held chord twice; the second instance halves Volume (a quarter of the gain) at
  // sample 100 of the third block. Before it both are the same to the bit, from it on the
  // second is exactly a quarter of the first.
  auto plain = make(host);
  ASSERT_TRUE(instance->start(kRate, kBlock));
  ASSERT_TRUE(plain->start(kRate, kBlock));
  Render<float> automated, reference;
  for (std::uint32_t b = 0; b < 4; ++b) {
    InputEvents in, inPlain;
    if (b == 0)
      for (std::int16_t key : {57, 60, 64}) {
        in.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, 0, key, 0.8, key));
        inPlain.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, 0, key, 0.8, key));
      }
    if (b == 2) in.add(claphost::paramValueEvent(100, kVolume, 0.5));
    block(*instance, in, automated);
    block(*plain, inPlain, reference);
  }
  EXPECT_EQ(instance->value(kVolume), 0.5);
  const std::uint32_t change = 2 * kBlock + 100;
  std::uint32_t sounding = 0;
  for (std::uint32_t i = 0; i < automated.left.size(); ++i) {
    const float expected = i < change ? reference.left[i] : reference.left[i] * 0.25f;
    ASSERT_EQ(automated.left[i], expected) << "sample " << i;
    ASSERT_EQ(automated.right[i], automated.left[i]);
    if (i >= change && reference.left[i] != 0.0f) ++sounding;
  }
  EXPECT_GT(sounding, 800u) << "the chord sounds on after the change";
}

TEST_F(Clap, AValueOnlyNotesReadActsForTheNotesAfterIt) {
  // Coarse (read when a note starts) at sample 100. With no note before it in the block it
  // acts from the block's start, as a VST2 host's setParameter before the block; with a note
  // before it, that note keeps the old value, as when the VST2 host cuts the block there.
  constexpr clap_id kCoarse = 2;
  Vst2 vst2;
  ASSERT_NE(vst2.effect, nullptr);
  ASSERT_TRUE(instance->start(kRate, kBlock));
  const std::vector<Timed> chord = {{0, 0x90, 48, 100}, {0, 0x90, 55, 100}};
  const std::vector<Timed> later = {{kBlock + 150, 0x90, 67, 100}};
  const std::vector<Timed> around = {{2 * kBlock + 50, 0x90, 72, 100}, {2 * kBlock + 300, 0x90, 76, 100}};

  Render<float> reference, clap;
  vst2.events(chord, 0, kBlock);
  vst2.render(kBlock, reference);
  vst2.effect->setParameter(vst2.effect, kCoarse, 0.3f);
  vst2.events(later, kBlock, kBlock);
  vst2.render(kBlock, reference);
  vst2.events(around, 2 * kBlock, 100);
  vst2.render(100, reference);
  vst2.effect->setParameter(vst2.effect, kCoarse, 0.7f);
  vst2.events(around, 2 * kBlock + 100, kBlock - 100);
  vst2.render(kBlock - 100, reference);

  InputEvents first, second, third;
  for (const Timed& e : chord) first.add(claphost::midiEvent(e.time, e.status, e.data1, e.data2));
  second.add(claphost::paramValueEvent(100, kCoarse, 0.3f));
  second.add(claphost::midiEvent(150, 0x90, 67, 100));
  third.add(claphost::midiEvent(50, 0x90, 72, 100));
  third.add(claphost::paramValueEvent(100, kCoarse, 0.7f));
  third.add(claphost::midiEvent(300, 0x90, 76, 100));
  block(*instance, first, clap);
  block(*instance, second, clap);
  block(*instance, third, clap);
  EXPECT_EQ(firstDifference(clap, reference), -1);
  EXPECT_GT(reference.peak(), 0.01);
}

TEST_F(Clap, NoteEndCarriesTheStartingNoteAlsoForChokedAndStolenVoices) {
  ASSERT_TRUE(instance->start(kRate, kBlock));
  Render<float> out;
  // A released CLAP note and a released MIDI note end with what started them.
  InputEvents start;
  start.add(claphost::paramValueEvent(0, kAmpRel, 0.0));
  start.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, 0, 60, 0.8, 7, 3));
  start.add(claphost::midiEvent(5, 0x95, 67, 100));
  block(*instance, start, out);
  EXPECT_TRUE(noteEnds().empty());
  InputEvents release;
  release.add(claphost::noteEvent(CLAP_EVENT_NOTE_OFF, 0, -1, 0.0, 7, 3));  // by its id alone
  release.add(claphost::midiEvent(0, 0x85, 67, 0));
  std::vector<clap_event_note_t> ends;
  for (int b = 0; b < 200 && ends.size() < 2; ++b) {
    block(*instance, b == 0 ? release : InputEvents(), out);
    for (const clap_event_note_t& e : noteEnds()) ends.push_back(e);
  }
  ASSERT_EQ(ends.size(), 2u) << "both notes ended";
  std::sort(ends.begin(), ends.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
  EXPECT_EQ(ends[0].note_id, 7);
  EXPECT_EQ(ends[0].channel, 3);
  EXPECT_EQ(ends[0].key, 60);
  EXPECT_EQ(ends[0].port_index, 0);
  EXPECT_EQ(ends[1].note_id, -1);
  EXPECT_EQ(ends[1].channel, 5);
  EXPECT_EQ(ends[1].key, 67);

  // A choke at sample 50 silences the note from there on and ends it.
  out = {};
  InputEvents on;
  on.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, 0, 64, 1.0, 9));
  block(*instance, on, out);
  InputEvents choke;
  choke.add(claphost::noteEvent(CLAP_EVENT_NOTE_CHOKE, 50, 64, 0.0, 9));
  out = {};
  block(*instance, choke, out);
  ASSERT_EQ(noteEnds().size(), 1u);
  EXPECT_EQ(noteEnds()[0].note_id, 9);
  EXPECT_TRUE(std::any_of(out.left.begin(), out.left.begin() + 50, [](float s) { return s != 0.0f; }))
      << "sounding before the choke";
  EXPECT_TRUE(std::all_of(out.left.begin() + 50, out.left.end(), [](float s) { return s == 0.0f; }));
  EXPECT_EQ(block(*instance, InputEvents(), out), CLAP_PROCESS_SLEEP);

  // 32 held notes, then a 33rd: the quietest (the softest, id 105) is stolen and ends.
  InputEvents held;
  held.add(claphost::paramValueEvent(0, kAmpDec, 1.0));  // no decay: every note holds its level
  for (int i = 0; i < 32; ++i)
    held.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, static_cast<std::uint32_t>(i), static_cast<std::int16_t>(40 + i),
                                 i == 5 ? 0.2 : 0.9, 100 + i));
  block(*instance, held, out);
  EXPECT_TRUE(noteEnds().empty());
  InputEvents thirtyThird;
  thirtyThird.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, 10, 90, 0.9, 200));
  block(*instance, thirtyThird, out);
  ASSERT_EQ(noteEnds().size(), 1u);
  EXPECT_EQ(noteEnds()[0].note_id, 105);
  EXPECT_EQ(noteEnds()[0].key, 45);
}

TEST_F(Clap, MoreThanFortyNoteEventsInABlockAllPlay) {
  // 45 note-ons in one block sound as a VST2 host's two blocks split at the 41st would: the
  // plug-in's list holds 40, the adaptor hands over the rest from the 41st's sample.
  std::vector<Timed> list;
  for (int i = 0; i < 45; ++i)
    list.push_back({static_cast<std::uint32_t>(i * 10), 0x90, static_cast<std::uint8_t>(30 + i), 100});
  Vst2 vst2;
  Render<float> reference;
  vst2.events(list, 0, 400);
  vst2.render(400, reference);
  vst2.events(list, 400, kBlock - 400);
  vst2.render(kBlock - 400, reference);

  ASSERT_TRUE(instance->start(kRate, kBlock));
  InputEvents in;
  for (const Timed& e : list) in.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, e.time, e.data1, 100 / 127.0, e.data1));
  Render<float> out;
  block(*instance, in, out);
  EXPECT_EQ(firstDifference(out, reference), -1);
  EXPECT_EQ(noteEnds().size(), 13u) << "45 notes on 32 voices: 13 stolen";

  // All at one sample: the same as 45 note-ons at sample 0 of a VST2 host's... 40, then 5.
  auto same = make(host);
  ASSERT_TRUE(same->start(kRate, kBlock));
  InputEvents together;
  for (const Timed& e : list) together.add(claphost::noteEvent(CLAP_EVENT_NOTE_ON, 0, e.data1, 0.5, e.data1));
  Render<float> all;
  block(*same, together, all);
  EXPECT_EQ(noteEnds().size(), 13u);
  EXPECT_GT(all.peak(), 0.01);
}

TEST_F(Clap, StateSavedAndLoadedIntoAFreshInstanceSoundsTheSame) {
  ASSERT_TRUE(instance->start(kRate, kBlock));
  InputEvents edits;
  edits.add(claphost::midiEvent(0, 0xC0, 12, 0));  // program 13, "Harp"
  edits.add(claphost::paramValueEvent(1, 2, 0.61));
  edits.add(claphost::paramValueEvent(2, 15, 0.5301));
  Render<float> ignored;
  block(*instance, edits, ignored);
  const auto* state = instance->extension<clap_plugin_state_t>(CLAP_EXT_STATE);

  // Written and read a byte per call, as a host's streams may move them.
  claphost::MemoryStreams saved;
  clap_ostream_t out = saved.out();
  ASSERT_TRUE(state->save(instance->plugin(), &out));
  EXPECT_EQ(saved.bytes.rfind("ZYNKA State 1\r\nProgram 12\r\n", 0), 0u);

  auto fresh = make(host);
  clap_istream_t in = saved.in();
  ASSERT_TRUE(state->load(fresh->plugin(), &in));
  for (clap_id i = 0; i < 17; ++i) EXPECT_EQ(fresh->value(i), instance->value(i)) << i;
  claphost::MemoryStreams again;
  again.chunk = 1000;
  out = again.out();
  ASSERT_TRUE(state->save(fresh->plugin(), &out));
  EXPECT_EQ(again.bytes, saved.bytes);

  // Both from a fresh start of their audio: the same samples.
  instance->stop();
  ASSERT_TRUE(instance->start(kRate, kBlock));
  ASSERT_TRUE(fresh->start(kRate, kBlock));
  std::vector<Timed> list = phrase();
  list.erase(list.begin());  // without the program change
  const Render<float> a = renderPhrase<float>(*instance, list, true);
  const Render<float> b = renderPhrase<float>(*fresh, list, true);
  EXPECT_GT(a.peak(), 0.01);
  EXPECT_EQ(firstDifference(a, b), -1);

  // A stream cut short anywhere, one that fails, or another text: refused, nothing changed.
  auto other = make(host);
  claphost::MemoryStreams before;
  before.chunk = 4096;
  out = before.out();
  ASSERT_TRUE(state->save(other->plugin(), &out));
  for (std::size_t cut : {std::size_t{0}, std::size_t{10}, saved.bytes.size() / 2, saved.bytes.size() - 1}) {
    claphost::MemoryStreams truncated;
    truncated.bytes = saved.bytes.substr(0, cut);
    truncated.chunk = 7;
    in = truncated.in();
    EXPECT_FALSE(state->load(other->plugin(), &in)) << "cut at " << cut;
  }
  claphost::MemoryStreams failing;
  failing.bytes = saved.bytes;
  failing.chunk = 64;
  failing.failAfter = 640;
  in = failing.in();
  EXPECT_FALSE(state->load(other->plugin(), &in));
  claphost::MemoryStreams foreign;
  foreign.bytes = "ZYNKA Preset Bank\r\n";
  in = foreign.in();
  EXPECT_FALSE(state->load(other->plugin(), &in));
  claphost::MemoryStreams after;
  after.chunk = 4096;
  out = after.out();
  ASSERT_TRUE(state->save(other->plugin(), &out));
  EXPECT_EQ(after.bytes, before.bytes);
  claphost::MemoryStreams full;
  full.failAfter = 100;
  out = full.out();
  EXPECT_FALSE(state->save(other->plugin(), &out)) << "a stream that fails";

  // Loaded while processing: the audio thread takes it at its next block.
  ASSERT_TRUE(other->start(kRate, kBlock));
  in = saved.in();
  saved.readPosition = 0;
  ASSERT_TRUE(state->load(other->plugin(), &in));
  block(*other, InputEvents(), ignored);
  for (clap_id i = 0; i < 17; ++i) EXPECT_EQ(other->value(i), instance->value(i)) << i;
  other->serveRequests(events);
  EXPECT_GT(host.valueRescans.load(), 0) << "the host reads the values again";
}

/// The host's side of preset discovery: records what the provider declares and reports.
struct Indexer {
  Indexer() {
    record = clap_preset_discovery_indexer_t{};
    record.clap_version = CLAP_VERSION;
    record.name = "ZYNKA test host";
    record.indexer_data = this;
    record.declare_filetype = [](const clap_preset_discovery_indexer_t*, const clap_preset_discovery_filetype_t*) {
      return true;
    };
    record.declare_location = [](const clap_preset_discovery_indexer_t* i, const clap_preset_discovery_location_t* l) {
      static_cast<Indexer*>(i->indexer_data)->locations.push_back(*l);
      return true;
    };
    record.declare_soundpack = [](const clap_preset_discovery_indexer_t*, const clap_preset_discovery_soundpack_t*) {
      return true;
    };
    record.get_extension = [](const clap_preset_discovery_indexer_t*, const char*) -> const void* { return nullptr; };
  }
  clap_preset_discovery_indexer_t record;
  std::vector<clap_preset_discovery_location_t> locations;
};

struct Receiver {
  Receiver() {
    record = clap_preset_discovery_metadata_receiver_t{};
    record.receiver_data = this;
    record.on_error = [](const clap_preset_discovery_metadata_receiver_t*, std::int32_t, const char*) {};
    record.begin_preset = [](const clap_preset_discovery_metadata_receiver_t* r, const char* name, const char* key) {
      auto* self = static_cast<Receiver*>(r->receiver_data);
      self->presets.push_back({name, key, ""});
      return self->presets.size() < self->stopAfter;
    };
    record.add_plugin_id = [](const clap_preset_discovery_metadata_receiver_t* r,
                              const clap_universal_plugin_id_t* id) {
      auto* self = static_cast<Receiver*>(r->receiver_data);
      self->presets.back().plugin += std::string(id->abi) + ":" + id->id;
    };
    record.set_soundpack_id = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
    record.set_flags = [](const clap_preset_discovery_metadata_receiver_t*, std::uint32_t) {};
    record.add_creator = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
    record.set_description = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
    record.set_timestamps = [](const clap_preset_discovery_metadata_receiver_t*, clap_timestamp, clap_timestamp) {};
    record.add_feature = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
    record.add_extra_info = [](const clap_preset_discovery_metadata_receiver_t*, const char*, const char*) {};
  }
  struct Preset {
    std::string name, key, plugin;
  };
  clap_preset_discovery_metadata_receiver_t record;
  std::vector<Preset> presets;
  std::size_t stopAfter = SIZE_MAX;
};

TEST_F(Clap, FactoryProgramsAreDiscoveredAndLoaded) {
  Vst2 vst2;
  ASSERT_NE(vst2.effect, nullptr);
  const auto* factory = library->factory<clap_preset_discovery_factory_t>(CLAP_PRESET_DISCOVERY_FACTORY_ID);
  ASSERT_NE(factory, nullptr);
  ASSERT_EQ(factory->count(factory), 1u);
  const clap_preset_discovery_provider_descriptor_t* d = factory->get_descriptor(factory, 0);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->id, "com.tarnwick.zynka.factory-presets");
  Indexer indexer;
  EXPECT_EQ(factory->create(factory, &indexer.record, "com.tarnwick.other"), nullptr);
  const clap_preset_discovery_provider_t* provider = factory->create(factory, &indexer.record, d->id);
  ASSERT_NE(provider, nullptr);
  EXPECT_TRUE(indexer.locations.empty()) << "nothing declared before init";
  ASSERT_TRUE(provider->init(provider));
  ASSERT_EQ(indexer.locations.size(), 1u);
  EXPECT_EQ(indexer.locations[0].flags, CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
  EXPECT_EQ(indexer.locations[0].kind, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN);
  EXPECT_EQ(indexer.locations[0].location, nullptr);

  Receiver receiver;
  ASSERT_TRUE(provider->get_metadata(provider, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, &receiver.record));
  ASSERT_EQ(receiver.presets.size(), 32u);
  for (int p = 0; p < 32; ++p) {
    char name[64] = {};
    vst2.host.dispatch(vst2.effect, effGetProgramNameIndexed, p, 0, name);
    EXPECT_EQ(receiver.presets[p].name, name);
    EXPECT_EQ(receiver.presets[p].key, std::to_string(p));
    EXPECT_EQ(receiver.presets[p].plugin, std::string("clap:") + kPluginId);
  }
  Receiver stopping;
  stopping.stopAfter = 3;
  ASSERT_TRUE(provider->get_metadata(provider, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, &stopping.record));
  EXPECT_EQ(stopping.presets.size(), 3u);
  EXPECT_EQ(stopping.presets.back().plugin, "") << "nothing after a refused begin_preset";
  Receiver elsewhere;
  EXPECT_FALSE(provider->get_metadata(provider, CLAP_PRESET_DISCOVERY_LOCATION_FILE, "/tmp", &elsewhere.record));
  EXPECT_TRUE(elsewhere.presets.empty());
  provider->destroy(provider);

  // Loaded: "Space Pad" (10) into the current program, here the empty slot 41, while running.
  ASSERT_TRUE(instance->start(kRate, kBlock));
  InputEvents select;
  select.add(claphost::midiEvent(0, 0xC0, 40, 0));
  select.add(claphost::paramValueEvent(1, 0, 0.9));
  Render<float> ignored;
  block(*instance, select, ignored);
  instance->serveRequests(events);
  host.valueRescans = 0;
  const auto* load = instance->extension<clap_plugin_preset_load_t>(CLAP_EXT_PRESET_LOAD);
  ASSERT_EQ(load, instance->extension<clap_plugin_preset_load_t>(CLAP_EXT_PRESET_LOAD_COMPAT));
  ASSERT_TRUE(load->from_location(instance->plugin(), CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, "10"));
  block(*instance, InputEvents(), ignored);
  instance->serveRequests(events);
  EXPECT_GT(host.valueRescans.load(), 0);
  vst2.host.dispatch(vst2.effect, effSetProgram, 0, 10);
  for (clap_id i = 0; i < 17; ++i)
    EXPECT_EQ(instance->value(i), vst2.effect->getParameter(vst2.effect, static_cast<VstInt32>(i))) << i;
  claphost::MemoryStreams saved;
  saved.chunk = 1 << 20;
  clap_ostream_t out = saved.out();
  ASSERT_TRUE(instance->extension<clap_plugin_state_t>(CLAP_EXT_STATE)->save(instance->plugin(), &out));
  zynka::PluginState state;
  ASSERT_TRUE(zynka::readState(saved.bytes, state));
  EXPECT_EQ(state.currentProgram, 40);
  EXPECT_STREQ(state.programs[40].name, "Space Pad");
  EXPECT_TRUE(host.loadedPresets.empty()) << "the host chose it; it is not told back";

  for (const char* key : {"32", "-1", "abc", "010", ""})
    EXPECT_FALSE(load->from_location(instance->plugin(), CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, key));
  EXPECT_FALSE(load->from_location(instance->plugin(), CLAP_PRESET_DISCOVERY_LOCATION_FILE, "/tmp/x", "1"));
  EXPECT_EQ(host.presetErrors.size(), 6u);

  // A program change of the plug-in's own (here MIDI) to a factory program tells the browser.
  InputEvents change;
  change.add(claphost::midiEvent(0, 0xC0, 3, 0));
  block(*instance, change, ignored);
  instance->serveRequests(events);
  EXPECT_EQ(host.loadedPresets, (std::vector<std::string>{"3"}));
}

}  // namespace
