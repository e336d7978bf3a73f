// MIDI intake: the queue's limits, the pedal, controllers, bend, program
// changes and voice allocation.
#include <cmath>

#include "engine_fixture.h"

namespace zynka::test {
namespace {

int soundingVoices(const Plugin& plugin) {
  int count = 0;
  for (const Voice& v : plugin.getEngineState().voices) count += v.ampTarget > kSilenceThreshold;
  return count;
}

TEST(Midi, QueueKeepsTheFirstFortyNoteEvents) {
  auto plugin = makePlugin();
  MidiList list;
  for (int i = 0; i < 50; ++i) list.noteOn(i, 30 + i, 100);
  plugin->processEvents(list.events());
  const int* queue = plugin->getEngineState().eventQueue;
  EXPECT_EQ(queue[117], 39);
  EXPECT_EQ(queue[118], 30 + 39);
  EXPECT_EQ(queue[120], kEventQueueEnd);
  renderDouble(*plugin, 256);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 32);  // 40 notes on 32 voices
  for (const Voice& v : plugin->getEngineState().voices) EXPECT_LT(v.note, 30 + 40);
}

TEST(Midi, EachListReplacesTheLast) {
  auto plugin = makePlugin();
  plugin->processEvents(MidiList().noteOn(0, 60, 100).events());
  plugin->processEvents(MidiList().events());
  renderDouble(*plugin, 64);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 0);
}

TEST(Midi, VelocityZeroReleasesLikeNoteOff) {
  for (bool useNoteOff : {false, true}) {
    auto plugin = makePlugin();
    plugin->processEvents(MidiList().noteOn(0, 60, 100).events());
    renderDouble(*plugin, 64);
    MidiList release;
    if (useNoteOff) release.noteOff(0, 60); else release.noteOn(0, 60, 0);
    plugin->processEvents(release.events());
    renderDouble(*plugin, 64);
    EXPECT_EQ(plugin->getEngineState().voices[0].ampCoef, 1.0) << useNoteOff;
    EXPECT_EQ(plugin->getEngineState().voices[0].ampFactor, plugin->getEngineState().coef.ampReleaseFactor);
  }
}

TEST(Midi, PedalHoldsReleasesUntilItGoesUp) {
  auto plugin = makePlugin();
  plugin->processEvents(MidiList().cc(0, 64, 127).events());
  renderDouble(*plugin, 64);
  plugin->processEvents(MidiList().noteOn(0, 60, 100).events());
  renderDouble(*plugin, 64);
  plugin->processEvents(MidiList().noteOff(0, 60).events());
  renderDouble(*plugin, 64);
  const Voice& voice = plugin->getEngineState().voices[0];
  EXPECT_EQ(voice.note, kSustainNote);
  EXPECT_NE(voice.ampCoef, 1.0);  // still held
  plugin->processEvents(MidiList().cc(20, 64, 0).events());
  renderDouble(*plugin, 64);
  EXPECT_EQ(voice.ampCoef, 1.0);  // released at the pedal-up
}

TEST(Midi, PedalStateAtPerformanceTimeDecides) {
  {  // all four in one list: the pedal is up when the note-off is performed
    auto plugin = makePlugin();
    plugin->processEvents(MidiList().cc(0, 64, 127).noteOn(1, 60, 100).noteOff(10, 60).cc(20, 64, 0).events());
    renderDouble(*plugin, 64);
    EXPECT_EQ(plugin->getEngineState().voices[0].note, 60);
    EXPECT_EQ(plugin->getEngineState().voices[0].ampCoef, 1.0);
  }
  {  // up and down again in one list: the held voice stays held
    auto plugin = makePlugin();
    plugin->processEvents(MidiList().cc(0, 64, 127).noteOn(0, 60, 100).noteOff(2, 60).events());
    renderDouble(*plugin, 64);
    plugin->processEvents(MidiList().cc(5, 64, 0).cc(6, 64, 100).events());
    renderDouble(*plugin, 64);
    EXPECT_EQ(plugin->getEngineState().voices[0].note, kSustainNote);
    EXPECT_NE(plugin->getEngineState().voices[0].ampCoef, 1.0);
  }
}

TEST(Midi, AllSoundOffFadesEveryVoiceOtherControllersDoNothing) {
  auto plugin = makePlugin();
  plugin->setParameter(kAmpDec, 1.0f);
  MidiList notes;
  for (int i = 0; i < 32; ++i) notes.noteOn(0, 40 + i, 100);
  plugin->processEvents(notes.events());
  renderDouble(*plugin, 64);
  plugin->processEvents(MidiList().cc(0, 120, 0).events());
  renderDouble(*plugin, 2000);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 32);
  plugin->processEvents(MidiList().cc(0, 123, 0).events());
  for (const Voice& v : plugin->getEngineState().voices) EXPECT_EQ(v.ampFactor, 0.99);
  renderDouble(*plugin, 1000);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 0);
}

TEST(Midi, ProgramChangeActsAtOnceAndSilences) {
  auto plugin = makePlugin();
  plugin->processEvents(MidiList().noteOn(0, 60, 100).events());
  renderDouble(*plugin, 64);
  plugin->processEvents(MidiList().add(30, 0xC0, 99).events());
  EXPECT_EQ(plugin->getProgram(), 0);
  plugin->processEvents(MidiList().add(30, 0xC5, 3).events());
  EXPECT_EQ(plugin->getProgram(), 3);
  EXPECT_EQ(soundingVoices(*plugin), 0);
  // Notes queued before a program change in the same list are lost; those after it play.
  plugin->processEvents(MidiList().noteOn(0, 60, 100).add(1, 0xC0, 4).events());
  renderDouble(*plugin, 64);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 0);
  plugin->processEvents(MidiList().add(0, 0xC0, 5).noteOn(1, 60, 100).events());
  renderDouble(*plugin, 64);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 1);
}

TEST(Midi, PitchBendRangeAndControllers) {
  auto plugin = makePlugin();
  const EngineState& s = plugin->getEngineState();
  plugin->processEvents(MidiList().add(0, 0xE0, 0x7F, 0x7F).events());
  EXPECT_NEAR(s.pitchBendFactor, 1.12246, 1e-5);
  plugin->processEvents(MidiList().add(0, 0xE0, 0x00, 0x00).events());
  EXPECT_NEAR(s.pitchBendFactor, 0.89090, 1e-5);
  plugin->processEvents(MidiList().add(0, 0xE0, 0x00, 0x40).events());
  EXPECT_EQ(s.pitchBendFactor, 1.0);
  plugin->processEvents(MidiList().cc(0, 7, 100).cc(0, 1, 127).events());
  EXPECT_EQ(s.channelVolume, static_cast<double>(10000.0f) * 3.5e-7);
  EXPECT_EQ(s.wheelDepth, static_cast<double>(16129.0f) * 5e-8);
}

TEST(Midi, StealingTakesTheQuietestVoiceLowerNumberOnATie) {
  auto plugin = makePlugin();
  plugin->setParameter(kAmpDec, 1.0f);
  MidiList notes;
  for (int i = 0; i < 32; ++i) notes.noteOn(0, 40 + i, i == 5 || i == 9 ? 20 : 100);
  plugin->processEvents(notes.events());
  renderDouble(*plugin, 64);
  plugin->processEvents(MidiList().noteOn(0, 100, 100).events());
  renderDouble(*plugin, 64);
  EXPECT_EQ(plugin->getEngineState().voices[5].note, 100);
  EXPECT_EQ(plugin->getEngineState().voices[9].note, 40 + 9);
}

TEST(Midi, RepeatedNoteTakesASecondVoiceOneReleaseFreesBoth) {
  auto plugin = makePlugin();
  plugin->processEvents(MidiList().noteOn(0, 60, 100).noteOn(10, 60, 100).events());
  renderDouble(*plugin, 64);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 2);
  plugin->processEvents(MidiList().noteOff(0, 60).events());
  renderDouble(*plugin, 64);
  EXPECT_EQ(plugin->getEngineState().voices[0].ampCoef, 1.0);
  EXPECT_EQ(plugin->getEngineState().voices[1].ampCoef, 1.0);
}

TEST(Midi, DataBytesWithTheTopBitSetAreSignedNumbers) {
  auto plugin = makePlugin();
  const EngineState& s = plugin->getEngineState();
  // Note numbers and velocities are masked to 7 bits.
  plugin->processEvents(MidiList().add(3, 0x90, 0x80 | 60, 0x80 | 100).events());
  EXPECT_EQ(s.eventQueue[0], 3);
  EXPECT_EQ(s.eventQueue[1], 60);
  EXPECT_EQ(s.eventQueue[2], 100);
  // Controller values: -128 squared for the wheel, -64 has the pedal bit.
  plugin->processEvents(MidiList().cc(0, 1, 0x80).cc(0, 7, 0xF6).cc(0, 64, 0xC0).events());
  EXPECT_EQ(s.wheelDepth, static_cast<double>(16384.0f) * 5e-8);
  EXPECT_EQ(s.channelVolume, static_cast<double>(100.0f) * 3.5e-7);
  EXPECT_EQ(s.sustainPedal, 0x40);
  EXPECT_EQ(s.eventQueue[0], kEventQueueEnd);  // pressing queues nothing
  // Controller numbers from 0x80 up are negative: none of them fades the voices.
  plugin->processEvents(MidiList().noteOn(0, 60, 100).events());
  renderDouble(*plugin, 16);
  const double heldFactor = s.voices[0].ampFactor;
  plugin->processEvents(MidiList().cc(0, 0xFB, 0).events());
  EXPECT_EQ(s.voices[0].ampFactor, heldFactor);
  EXPECT_EQ(s.sustainPedal, 0x40);
  // Pitch bend from signed bytes: (-1 - 64) * 128 + (-1).
  plugin->processEvents(MidiList().add(0, 0xE0, 0xFF, 0xFF).events());
  EXPECT_EQ(s.pitchBendFactor, 1.0 + -8321.0 * 1.3318e-5);
  // A program number from 0x80 up is negative and wraps to the last program.
  plugin->processEvents(MidiList().add(0, 0xC0, 0x85).events());
  EXPECT_EQ(plugin->getProgram(), 98);
}

}  // namespace
}  // namespace zynka::test
