// The plug-in as a host meets it: the library is loaded, its exported entry is
// called with a recording host callback, and everything is checked through the
// AEffect record and its dispatcher only. The library comes from ZYNKA_PLUGIN
// (default: the zynka.so of this build), so the same tests run against zynka.dll.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/parameters.h"
#include "tools/hostkit/hostkit.h"

namespace {

using hostkit::Host;
using hostkit::PluginLibrary;

std::string pluginPath() {
  const char* path = std::getenv("ZYNKA_PLUGIN");
  return path && *path ? path : ZYNKA_PLUGIN_PATH;
}

class HostInterface : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    library = PluginLibrary::load(pluginPath(), error);
    ASSERT_TRUE(library) << error;
    effect = host.instantiate(*library, error);
    ASSERT_TRUE(effect) << error;
  }
  void TearDown() override {
    if (effect) host.close(effect);
  }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
    return host.dispatch(effect, opcode, index, value, ptr, opt);
  }
  std::string programName() {
    char name[64];
    std::memset(name, 'x', sizeof name);
    dispatch(effGetProgramName, 0, 0, name);
    EXPECT_EQ(name[24], 0);
    return name;
  }
  /// Sends one MIDI message at a sample offset, as a host's list of one event.
  void sendMidi(int status, int data1, int data2, int offset = 0) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    event.deltaFrames = offset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    struct {
      VstInt32 numEvents;
      VstIntPtr reserved;
      VstEvent* events[1];
    } list{1, 0, {reinterpret_cast<VstEvent*>(&event)}};
    EXPECT_EQ(dispatch(effProcessEvents, 0, 0, &list), 1);
  }

  Host host;
  std::unique_ptr<PluginLibrary> library;
  AEffect* effect = nullptr;
};

TEST_F(HostInterface, RecordCarriesTheIdentity) {
  EXPECT_EQ(effect->magic, 0x56737450);
  EXPECT_EQ(effect->numPrograms, 99);
  EXPECT_EQ(effect->numParams, 17);
  EXPECT_EQ(effect->numInputs, 0);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->flags, 0x1111);  // editor, replacing, synth, double replacing
  EXPECT_EQ(effect->uniqueID, 0x2D535E31);
  EXPECT_EQ(effect->version, 1);
  EXPECT_EQ(effect->ioRatio, 1.0f);
  EXPECT_EQ(effect->initialDelay, 0);
  EXPECT_EQ(effect->resvd1, 0);
  EXPECT_EQ(effect->user, &host);  // the host's field, left to the host
  EXPECT_NE(effect->object, nullptr);
  EXPECT_NE(effect->processReplacing, nullptr);
  EXPECT_NE(effect->processDoubleReplacing, nullptr);
  EXPECT_NE(effect->process, nullptr);
  for (char byte : effect->future) EXPECT_EQ(byte, 0);
}

TEST_F(HostInterface, AsksForTheVersionFirstAndRefreshesTheDisplayWhileBuilt) {
  // The fixture's instantiate recorded the calls made before and during construction.
  Host fresh;
  std::string error;
  AEffect* second = fresh.instantiate(*library, error);
  ASSERT_TRUE(second) << error;
  ASSERT_GE(fresh.calls().size(), 2u);
  EXPECT_EQ(fresh.calls()[0].opcode, audioMasterVersion);
  EXPECT_TRUE(fresh.calls()[0].effectWasNull);
  EXPECT_EQ(fresh.calls()[1].opcode, audioMasterUpdateDisplay);
  EXPECT_FALSE(fresh.calls()[1].effectWasNull);
  fresh.close(second);
}

TEST_F(HostInterface, HostAnsweringNoVersionGetsNoPlugin) {
  Host refusing;
  refusing.versionAnswer = 0;
  std::string error;
  EXPECT_EQ(refusing.instantiate(*library, error), nullptr);
  ASSERT_EQ(refusing.calls().size(), 1u);
  EXPECT_EQ(refusing.calls()[0].opcode, audioMasterVersion);
}

TEST_F(HostInterface, BothEntryNamesCreateAPlugin) {
  auto* viaMain = reinterpret_cast<PluginLibrary::EntryProc>(library->symbol("main"));
  auto* viaVstMain = reinterpret_cast<PluginLibrary::EntryProc>(library->symbol("VSTPluginMain"));
  ASSERT_NE(viaMain, nullptr);
  ASSERT_NE(viaVstMain, nullptr);
  // Without a callback the entry cannot ask for the version and refuses.
  EXPECT_EQ(viaMain(nullptr), nullptr);
  EXPECT_EQ(viaVstMain(nullptr), nullptr);
}

TEST_F(HostInterface, FixedAnswers) {
  EXPECT_EQ(dispatch(effGetPlugCategory), 2);
  EXPECT_EQ(dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(dispatch(effGetVendorVersion), 1000);
  EXPECT_EQ(dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(dispatch(effGetCurrentMidiProgram), -1);
  EXPECT_EQ(dispatch(effSetTotalSampleToProcess, 0, 777), 777);
  EXPECT_EQ(dispatch(effGetTailSize), 0);
  EXPECT_EQ(dispatch(effGetChunk, 0, 0, nullptr), 0);
  EXPECT_EQ(dispatch(effGetNumMidiInputChannels), 0);
  // Editor opcodes with no window given or none open, unknown and legacy opcodes: 0, nothing happens.
  for (VstInt32 opcode : {13, 14, 15, 16, 17, 18, 19, 20, 21, 59, 60, 9, 28, 30, 46, 80, 1000, -5})
    EXPECT_EQ(dispatch(opcode, 1, 1, nullptr, 1.0f), 0) << opcode;
  EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 1);
}

TEST_F(HostInterface, NamesAreCopiedWithZerosUpToTheLimit) {
  struct Case {
    VstInt32 opcode;
    int limit;
    const char* text;
  };
  for (Case c : {Case{effGetEffectName, 32, "ZYNKA"}, Case{effGetVendorString, 64, "Tarnwick"},
                 Case{effGetProductString, 64, "ZYNKA"}}) {
    char buffer[80];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(dispatch(c.opcode, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, c.text);
    for (int i = static_cast<int>(std::strlen(c.text)); i <= c.limit; ++i) EXPECT_EQ(buffer[i], 0) << i;
    EXPECT_EQ(buffer[c.limit + 1], 'x');  // nothing beyond the limit and its terminator
  }
}

TEST_F(HostInterface, CanDoIsExact) {
  char events[] = "receiveVstEvents";
  char midi[] = "receiveVstMidiEvent";
  char longer[] = "receiveVstMidiEventX";
  char empty[] = "";
  char other[] = "sendVstEvents";
  EXPECT_EQ(dispatch(effCanDo, 0, 0, events), 1);
  EXPECT_EQ(dispatch(effCanDo, 0, 0, midi), 1);
  EXPECT_EQ(dispatch(effCanDo, 0, 0, longer), -1);
  EXPECT_EQ(dispatch(effCanDo, 0, 0, empty), -1);
  EXPECT_EQ(dispatch(effCanDo, 0, 0, other), -1);
  EXPECT_EQ(dispatch(effCanDo, 0, 0, nullptr), -1);
}

TEST_F(HostInterface, OutputPinsAreActiveStereoWithTheHostsLabel) {
  for (int index = 0; index < 2; ++index) {
    VstPinProperties pin;
    std::memset(&pin, 0, sizeof pin);
    std::strcpy(pin.label, "host label");
    EXPECT_EQ(dispatch(effGetOutputProperties, index, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 3);
    EXPECT_STREQ(pin.label, "host label");
  }
  VstPinProperties pin{};
  EXPECT_EQ(dispatch(effGetOutputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(dispatch(effGetInputProperties, 0, 0, &pin), 0);
  EXPECT_EQ(dispatch(effGetOutputProperties, 0, 0, nullptr), 0);
}

TEST_F(HostInterface, ProgramsThroughTheDispatcher) {
  EXPECT_EQ(dispatch(effGetProgram), 0);
  EXPECT_EQ(programName(), "Bright E.Piano");
  dispatch(effSetProgram, 0, 99);  // out of range: nothing happens
  EXPECT_EQ(dispatch(effGetProgram), 0);
  dispatch(effSetProgram, 0, -1);  // a negative value wraps to the last program
  EXPECT_EQ(dispatch(effGetProgram), 98);
  EXPECT_EQ(programName(), "Empty");
  dispatch(effSetProgram, 0, 31);
  EXPECT_EQ(programName(), "Syn Tom");

  char longName[] = "A name that is far longer than twenty-four";
  dispatch(effSetProgramName, 0, 0, longName);
  EXPECT_EQ(programName(), std::string(longName, 24));

  char text[64];
  EXPECT_EQ(dispatch(effGetProgramNameIndexed, 0, 0, text), 1);
  EXPECT_STREQ(text, "Bright E.Piano");
  EXPECT_EQ(dispatch(effGetProgramNameIndexed, 32, 7, text), 1);  // the category is ignored
  EXPECT_STREQ(text, "Empty");
  std::strcpy(text, "untouched");
  EXPECT_EQ(dispatch(effGetProgramNameIndexed, 99, 0, text), 0);
  EXPECT_EQ(dispatch(effGetProgramNameIndexed, -1, 0, text), 0);
  EXPECT_STREQ(text, "untouched");
}

TEST_F(HostInterface, ProgramChangeTellsTheHostToRefresh) {
  host.clearCalls();
  dispatch(effSetProgram, 0, 5);
  EXPECT_EQ(host.countCalls(audioMasterUpdateDisplay), 1u);
  dispatch(effMainsChanged, 0, 2);  // any non-zero value resumes, which re-selects the program
  EXPECT_EQ(host.countCalls(audioMasterUpdateDisplay), 2u);
  dispatch(effMainsChanged, 0, 0);
  EXPECT_EQ(host.countCalls(audioMasterUpdateDisplay), 2u);
  EXPECT_EQ(dispatch(effGetProgram), 5);
}

TEST_F(HostInterface, ParametersThroughTheRecord) {
  for (int i = 0; i < 17; ++i) {
    char name[32];
    std::memset(name, 'x', sizeof name);
    dispatch(effGetParamName, i, 0, name);
    EXPECT_STREQ(name, zynka::kParameters[i].name);
    EXPECT_EQ(name[9], 'x') << "wrote past the 9-byte name buffer";
    char label[32];
    std::memset(label, 'x', sizeof label);
    dispatch(effGetParamLabel, i, 0, label);
    EXPECT_STREQ(label, "");
    EXPECT_EQ(dispatch(effCanBeAutomated, i), 1);
  }
  EXPECT_EQ(dispatch(effCanBeAutomated, 17), 0);
  EXPECT_EQ(dispatch(effCanBeAutomated, -1), 0);

  char untouched[16] = "untouched";
  dispatch(effGetParamName, 17, 0, untouched);
  EXPECT_STREQ(untouched, "untouched");

  effect->setParameter(effect, 0, 0.5f);
  EXPECT_EQ(effect->getParameter(effect, 0), 0.5f);
  char display[32];
  dispatch(effGetParamDisplay, 0, 0, display);
  EXPECT_STREQ(display, "6.25 Hz");
  effect->setParameter(effect, 3, 7.5f);  // stored unchanged, never clamped
  EXPECT_EQ(effect->getParameter(effect, 3), 7.5f);
  EXPECT_EQ(effect->getParameter(effect, 17), 0.0f);
  EXPECT_EQ(effect->getParameter(effect, -3), 0.0f);

  // The editor shows its values with the table's display rule: the host's text, always.
  for (int i = 0; i < 17; ++i)
    for (float value : {0.0f, 0.2f, 0.5f, 0.645f, 0.98f, 1.0f, -0.4f, 1.7f, 1e10f}) {
      effect->setParameter(effect, i, value);
      char fromHost[32], fromTable[32];
      dispatch(effGetParamDisplay, i, 0, fromHost);
      ASSERT_TRUE(zynka::formatParameterDisplay(i, value, fromTable));
      EXPECT_STREQ(fromHost, fromTable) << i << " " << value;
    }
}

TEST_F(HostInterface, PlaysANoteInBothPrecisions) {
  host.start(effect);
  sendMidi(0x93, 60, 100, 5);  // any channel plays

  std::vector<float> left(512, 9.0f), right(512, 9.0f);
  float* outputs[2] = {left.data(), right.data()};
  effect->processReplacing(effect, nullptr, outputs, 512);
  EXPECT_EQ(left, right);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(left[i], 0.0f);
  float peak = 0;
  for (float s : left) peak = std::max(peak, std::fabs(s));
  EXPECT_GT(peak, 0.01f);

  std::vector<double> dleft(512, 9.0), dright(512, 9.0);
  double* doutputs[2] = {dleft.data(), dright.data()};
  effect->processDoubleReplacing(effect, nullptr, doutputs, 512);
  EXPECT_EQ(dleft, dright);
  EXPECT_NE(dleft[100], 0.0);

  // The legacy accumulating entry does nothing.
  std::vector<float> untouched(64, 3.0f);
  float* legacy[2] = {untouched.data(), untouched.data()};
  effect->process(effect, nullptr, legacy, 64);
  EXPECT_EQ(untouched[0], 3.0f);
}

TEST_F(HostInterface, VolumeBeyondOneIsItsSquareNotCutToOne) {
  host.start(effect);
  auto play = [&](float volume) {
    effect->setParameter(effect, 16, volume);
    dispatch(effSetProgram, 0, 2);  // a fresh start: every voice and the vibrato reset
    sendMidi(0x90, 57, 110);
    std::vector<double> left(4096), right(4096);
    double* outputs[2] = {left.data(), right.data()};
    effect->processDoubleReplacing(effect, nullptr, outputs, 4096);
    return left;
  };
  const std::vector<double> unity = play(1.0f);
  const std::vector<double> louder = play(1.5f);  // gain 1.5 * 1.5
  double peak = 0;
  for (int i = 0; i < 4096; ++i) {
    ASSERT_EQ(louder[i], unity[i] * 2.25) << i;
    peak = std::max(peak, std::fabs(unity[i]));
  }
  EXPECT_GT(peak, 0.01);
}

TEST_F(HostInterface, SampleRateTakesEffectAtResume) {
  // A4 at 44.1 kHz, then the host switches to 48 kHz: the pitch must stay A4.
  for (float rate : {44100.0f, 48000.0f}) {
    host.sampleRate = rate;
    host.start(effect);
    dispatch(effSetProgram, 0, 25);
    effect->setParameter(effect, 14, 0.5f);  // Octave: standard MIDI pitch
    effect->setParameter(effect, 12, 1.0f);  // no decay
    sendMidi(0x90, 69, 100);
    const int frames = static_cast<int>(rate);
    std::vector<double> out(frames), right(frames);
    double* outputs[2] = {out.data(), right.data()};
    effect->processDoubleReplacing(effect, nullptr, outputs, frames);
    int crossings = 0;
    for (int i = frames / 2; i + 1 < frames; ++i) crossings += out[i] <= 0.0 && out[i + 1] > 0.0;
    EXPECT_NEAR(crossings, 220, 2) << rate;
    dispatch(effMainsChanged, 0, 0);
  }
}

TEST_F(HostInterface, NonsenseFromTheHostIsSurvived) {
  // Null and malformed arguments: no crash, nothing written.
  for (VstInt32 opcode : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
                          effGetParamName, effGetEffectName, effGetVendorString, effGetProductString,
                          effGetProgramNameIndexed, effGetSpeakerArrangement, effProcessEvents})
    dispatch(opcode, 0, 0, nullptr);
  std::vector<unsigned char> storage(sizeof(VstEvents));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = -5;
  EXPECT_EQ(dispatch(effProcessEvents, 0, 0, list), 1);
  list->numEvents = 2;
  list->events[0] = nullptr;
  list->events[1] = nullptr;
  EXPECT_EQ(dispatch(effProcessEvents, 0, 0, list), 1);
  effect->processReplacing(effect, nullptr, nullptr, 64);
  float* noChannels[2] = {nullptr, nullptr};
  effect->processReplacing(effect, nullptr, noChannels, 64);
  effect->processReplacing(effect, nullptr, noChannels, -64);
  effect->setParameter(effect, -1, 0.5f);
  effect->setParameter(effect, 1 << 30, 0.5f);
  dispatch(effSetSampleRate, 0, 0, nullptr, std::nanf(""));
  dispatch(effMainsChanged, 0, 1);
  dispatch(effEditKeyDown, 0, 0, nullptr, 1e30f);

  VstSpeakerArrangement* in = reinterpret_cast<VstSpeakerArrangement*>(1);
  VstSpeakerArrangement* out = reinterpret_cast<VstSpeakerArrangement*>(1);
  EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(out, nullptr);
}

TEST(HostInterfaceClose, CloseReturnsOneAndTheObjectIsGone) {
  std::string error;
  auto library = PluginLibrary::load(pluginPath(), error);
  ASSERT_TRUE(library) << error;
  Host host;
  for (int round = 0; round < 50; ++round) {  // build and close repeatedly: nothing may be left behind
    AEffect* effect = host.instantiate(*library, error);
    ASSERT_TRUE(effect) << error;
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
  }
}

}  // namespace
