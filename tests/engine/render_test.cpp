// Rendering: the vectorised voice loop against a literal one-voice-at-a-time
// rendition (bit for bit, over random music, programs and block sizes), plus
// the block rules: sample-accurate segments, silence, mono on two channels,
// float against double, voice retirement.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "engine_fixture.h"
#include "engine/voice_kernel.h"
#include "reference_render.h"

namespace zynka::test {
namespace {

void expectSameVoices(const EngineState& a, const EngineState& b) {
  ASSERT_EQ(a.activeVoices, b.activeVoices);
  for (int v = 0; v < kNumVoices; ++v) {
    SCOPED_TRACE(v);
    EXPECT_EQ(std::memcmp(&a.voices[v], &b.voices[v], offsetof(Voice, note)), 0);
    EXPECT_EQ(a.voices[v].note, b.voices[v].note);
  }
  EXPECT_EQ(a.lfoSine, b.lfoSine);
  EXPECT_EQ(a.vibratoOffset, b.vibratoOffset);
  EXPECT_EQ(a.lfoCountdown, b.lfoCountdown);
}

TEST(Render, MatchesLiteralVoiceLoopBitForBit) {
  std::mt19937 random(20261208);
  long soundingSamples = 0;
  for (int round = 0; round < 24; ++round) {
    SCOPED_TRACE(round);
    auto plugin = makePlugin(round % 3 == 0 ? 48000.0f : 44100.0f);
    plugin->setProgram(round % kNumFactoryPresets);
    if (round >= 16)  // also arbitrary settings, beyond 0..1 too: they sound as written
      for (int p = 0; p < kNumParams; ++p)
        plugin->setParameter(p, std::uniform_real_distribution<float>(round < 20 ? 0.0f : -1.0f, round < 20 ? 1.0f : 2.0f)(random));

    const int blocks = 60;
    for (int block = 0; block < blocks; ++block) {
      const int frames = std::uniform_int_distribution<int>(1, 700)(random);
      MidiList list;
      const int events = std::uniform_int_distribution<int>(0, 6)(random);
      std::vector<int> offsets;
      for (int e = 0; e < events; ++e) offsets.push_back(std::uniform_int_distribution<int>(0, frames + 10)(random));
      std::sort(offsets.begin(), offsets.end());
      for (int offset : offsets) {
        const int kind = std::uniform_int_distribution<int>(0, 9)(random);
        const int note = std::uniform_int_distribution<int>(24, 100)(random);
        if (kind < 5) list.noteOn(offset, note, std::uniform_int_distribution<int>(1, 127)(random));
        else if (kind < 8) list.noteOff(offset, note);
        else if (kind == 8) list.cc(offset, 64, std::uniform_int_distribution<int>(0, 127)(random));
        else list.add(offset, 0xE0, random() & 0x7F, random() & 0x7F);
      }
      if (block % 7 == 3) list.cc(0, 1, 90);  // modulation wheel
      plugin->processEvents(list.events());

      EngineState expected = plugin->getEngineState();
      const ProgramRecord& program = *plugin->getProgramRecord(plugin->getProgram());
      std::vector<double> reference;
      referenceRenderBlock(expected, program.parameter(kTuning), program.parameter(kWave), reference, frames);

      const std::vector<double> rendered = renderDouble(*plugin, frames);
      ASSERT_EQ(rendered, reference) << "block " << block;
      for (double sample : rendered) soundingSamples += sample != 0.0;
      expectSameVoices(plugin->getEngineState(), expected);
    }
  }
  EXPECT_GT(soundingSamples, 100000);  // the comparison was made on real sound
}

// Renders `blocks` blocks of a few notes and compares each with the literal loop run on
// the engine's state with the coefficients that `adjust` sets.
void expectRendersAsLiteralLoop(Plugin& plugin, int blocks, void (*adjust)(Coefficients&)) {
  const int notes[] = {36, 55, 64, 71, 90};
  for (int block = 0; block < blocks; ++block) {
    MidiList list;
    if (block < 5) list.noteOn(block * 37, notes[block], 60 + block * 15);
    if (block == 9) list.noteOff(100, 55);
    plugin.processEvents(list.events());
    EngineState expected = plugin.getEngineState();
    adjust(expected.coef);
    const ProgramRecord& program = *plugin.getProgramRecord(plugin.getProgram());
    std::vector<double> reference;
    referenceRenderBlock(expected, program.parameter(kTuning), program.parameter(kWave), reference, 512);
    ASSERT_EQ(renderDouble(plugin, 512), reference) << "block " << block;
    expectSameVoices(plugin.getEngineState(), expected);
  }
}

TEST(Render, ValuesBeyondOneSoundAsTheirFormulasGive) {
  // Nothing is cut to 1: Volume 1.5 is a gain of 2.25, Wave 1.2 a wave coefficient of
  // 0.5 - 3 * 1.2^2 and notes at 1.5 - 1.2 of full amplitude, Thru 1.3 a level of 1.3^2 / 4.
  auto plugin = makePlugin();
  plugin->setProgram(10);  // "Space Pad"
  plugin->setParameter(kVolume, 1.5f);
  plugin->setParameter(kWave, 1.2f);
  plugin->setParameter(kThru, 1.3f);
  expectRendersAsLiteralLoop(*plugin, 12, [](Coefficients& c) {
    c.waveShape = -3.8200003433227607;  // of the stored floats 1.2 and 1.3, widened
    c.thruLevel = 0.4224999690055853;
    c.outputGain = 2.25;
  });
}

TEST(Render, EveryParameterSoundsAsWrittenFromMinusOneToTwo) {
  // The coefficients themselves are checked against worked values in programs_test.
  for (int index = 0; index < kNumParams; ++index)
    for (float value : {-1.0f, -0.3f, 1.2f, 2.0f}) {
      SCOPED_TRACE(testing::Message() << "parameter " << index << " = " << value);
      auto plugin = makePlugin();
      plugin->setProgram(index + 3);
      plugin->setParameter(index, value);
      expectRendersAsLiteralLoop(*plugin, 10, [](Coefficients&) {});
    }
}

// Each voice-loop kernel is a test of its own; one the processor lacks is reported skipped.
class Kernel : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    if (!voiceKernelAvailable(GetParam())) {
      std::printf("kernel %s: not on this processor\n", voiceKernelName(GetParam()));
      GTEST_SKIP() << "kernel " << voiceKernelName(GetParam()) << " is not on this processor";
    }
  }
};

TEST_P(Kernel, MatchesTheLiteralLoopForEveryVoiceCount) {
  // Voices in every state the loop meets: attacking, decaying, released, about to fall
  // silent mid-chunk, a phase far outside the wrap range; 1 to 32 of them sounding.
  auto plugin = makePlugin();
  plugin->setProgram(3);
  MidiList list;
  for (int i = 0; i < 32; ++i) list.noteOn(i * 7, 30 + i * 2, 20 + i * 3);
  plugin->processEvents(list.events());
  renderDouble(*plugin, 400);
  plugin->processEvents(MidiList().noteOff(0, 34).noteOff(0, 60).events());
  renderDouble(*plugin, 300);
  std::vector<double> vibrato(128);
  for (int i = 0; i < 128; ++i) vibrato[i] = 1e-4 * std::sin(i * 0.1);

  for (int sounding : {1, 2, 3, 4, 5, 7, 8, 9, 16, 23, 32})
    for (int variant = 0; variant < 3; ++variant) {
      SCOPED_TRACE(testing::Message() << sounding << " voices, variant " << variant);
      EngineState state = plugin->getEngineState();
      for (int v = sounding; v < kNumVoices; ++v) state.voices[v].ampTarget = 0;  // idle
      if (variant >= 1) state.voices[sounding / 2].ampTarget = 0.000301;  // falls silent mid-chunk
      if (variant == 2) state.voices[sounding - 1].phase = 200.0;        // far outside the wrap range
      EngineState expected = state;
      std::vector<double> out(128, 0.0), reference(128);
      for (int i = 0; i < 128; ++i) reference[i] = referenceVoicesSample(expected.voices, vibrato[i], -1.2, 0.1);
      ASSERT_TRUE(renderVoicesWithKernel(GetParam(), state.voices, kNumVoices, vibrato.data(), 128, -1.2, 0.1, out.data()));
      ASSERT_EQ(out, reference);
      expectSameVoices(state, expected);
    }
}

TEST_P(Kernel, MatchesTheLiteralLoopOnRandomVoices) {
  // Voice states around the edges of what the kernels prove or check before a chunk:
  // phases that end up near 3, deep and slow modulators, decays that end mid-chunk.
  std::mt19937_64 random(99);
  auto uniform = [&](double from, double to) { return std::uniform_real_distribution<double>(from, to)(random); };
  for (int trial = 0; trial < 300; ++trial) {
    EngineState state{};
    const int sounding = 1 + trial % kNumVoices;
    for (int v = 0; v < sounding; ++v) {
      Voice& voice = state.voices[(v * 7 + trial) % kNumVoices];
      const double theta = trial % 5 == 0 ? uniform(0, 1e-3) : uniform(0, 3.2);
      const double amplitude = uniform(0, 1.5), start = uniform(-4, 4);
      voice.modOscCoef = std::cos(theta) * 2.0;
      voice.modOscY1 = amplitude * std::sin(start);
      voice.modOscY2 = amplitude * std::sin(start + theta);
      voice.modLevel = uniform(-1.2, 1.2);
      voice.modTarget = uniform(-1.2, 1.2);
      voice.modCoef = uniform(0, 1);
      voice.phase = trial % 7 == 0 ? uniform(-1.5, 1.5) : uniform(-1, 1);
      voice.phaseIncrement = uniform(0, trial % 3 == 0 ? 1.6 : 0.3);
      voice.ampTarget = uniform(0.0003, 1);
      voice.ampFactor = trial % 4 == 0 ? uniform(0.9, 1) : uniform(0.9999, 1);
      voice.ampLevel = uniform(0, 1);
      voice.ampCoef = uniform(0, 1);
    }
    std::vector<double> vibrato(128);
    const double depth = uniform(0, 0.4);
    for (int i = 0; i < 128; ++i) vibrato[i] = depth * std::sin(i * 0.05 + trial);
    const double a = uniform(-2.5, 0.5), b = uniform(0, 0.25);

    SCOPED_TRACE(testing::Message() << "trial " << trial);
    EngineState expected = state;
    std::vector<double> reference(128);
    for (int i = 0; i < 128; ++i) reference[i] = referenceVoicesSample(expected.voices, vibrato[i], a, b);
    std::vector<double> out(128, 0.0);
    ASSERT_TRUE(renderVoicesWithKernel(GetParam(), state.voices, kNumVoices, vibrato.data(), 128, a, b, out.data()));
    ASSERT_EQ(out, reference);
    expectSameVoices(state, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Render, Kernel, ::testing::Range(0, voiceKernelCount()),
                         [](const ::testing::TestParamInfo<int>& info) {
                           std::string name = voiceKernelName(info.param);  // "avx2 x4" becomes avx2_x4
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(Render, TheKernelForFewVoicesIsTheNarrowestThatHoldsThem) {
  for (int sounding = 1; sounding <= kNumVoices; ++sounding) {
    const int lanes = voiceKernelLanes(voiceKernelFor(sounding));
    for (int kernel = 0; kernel < voiceKernelCount(); ++kernel)
      if (voiceKernelAvailable(kernel) && voiceKernelLanes(kernel) >= sounding) {
        EXPECT_LE(lanes, voiceKernelLanes(kernel)) << sounding;
      }
    EXPECT_TRUE(voiceKernelAvailable(voiceKernelFor(sounding)));
  }
}

TEST(Render, SilenceWithNothingSoundingChangesNothing) {
  auto plugin = makePlugin();
  const EngineState before = plugin->getEngineState();
  for (double sample : renderDouble(*plugin, 256)) EXPECT_EQ(sample, 0.0);
  // Field by field: the state's padding holds whatever the heap held.
  const EngineState& after = plugin->getEngineState();
  expectSameVoices(after, before);
  // The coefficients are compared as bits, which holds only while they are doubles alone.
  static_assert(sizeof(Coefficients) == 17 * sizeof(double), "Coefficients gained a field or padding");
  EXPECT_EQ(std::memcmp(&after.coef, &before.coef, sizeof before.coef), 0);
  EXPECT_EQ(after.pitchBendFactor, before.pitchBendFactor);
  EXPECT_EQ(after.wheelDepth, before.wheelDepth);
  EXPECT_EQ(after.channelVolume, before.channelVolume);
  EXPECT_EQ(after.sustainPedal, before.sustainPedal);
  EXPECT_EQ(after.lfoCosine, before.lfoCosine);
  EXPECT_EQ(std::memcmp(after.eventQueue, before.eventQueue, sizeof before.eventQueue), 0);
}

TEST(Render, NoteActsFromItsSampleOffset) {
  auto plugin = makePlugin();
  plugin->processEvents(MidiList().noteOn(10, 60, 100).events());
  const std::vector<double> out = renderDouble(*plugin, 64);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], 0.0) << i;
  EXPECT_NE(out[11], 0.0);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 1);
}

TEST(Render, OffsetAtOrBeyondTheBlockIsNeverPlayed) {
  auto plugin = makePlugin();
  plugin->processEvents(MidiList().noteOn(64, 60, 100).events());
  for (double sample : renderDouble(*plugin, 64)) EXPECT_EQ(sample, 0.0);
  for (double sample : renderDouble(*plugin, 64)) EXPECT_EQ(sample, 0.0);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 0);
}

TEST(Render, DecreasingOrNegativeOffsetsActAtOnceAndNeverOverrun) {
  auto plugin = makePlugin();
  plugin->processEvents(MidiList().noteOn(40, 60, 100).noteOn(5, 64, 100).noteOn(-3, 67, 100).events());
  std::vector<double> left(64 + 16, 7.0), right(64 + 16, 7.0);
  double* outputs[2] = {left.data(), right.data()};
  plugin->processDoubleReplacing(nullptr, outputs, 64);
  for (int i = 64; i < 80; ++i) EXPECT_EQ(left[i], 7.0);  // nothing written past the block
  for (int i = 0; i < 40; ++i) EXPECT_EQ(left[i], 0.0);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 3);
}

TEST(Render, FloatIsDoubleConvertedAndBothChannelsAgree) {
  auto a = makePlugin();
  auto b = makePlugin();
  for (auto* p : {a.get(), b.get()}) {
    p->setProgram(2);
    p->processEvents(MidiList().noteOn(0, 48, 90).noteOn(3, 55, 70).noteOn(300, 72, 127).events());
  }
  const std::vector<double> precise = renderDouble(*a, 1024);
  const std::vector<float> single = renderFloat(*b, 1024);
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(single[i], static_cast<float>(precise[i])) << i;
}

TEST(Render, ReleasedVoiceRetiresAfterItsReleaseTime) {
  auto plugin = makePlugin();
  plugin->setParameter(kAmpRel, 0.0f);
  plugin->setParameter(kAmpDec, 1.0f);
  plugin->setParameter(kAmpAtt, 0.0f);
  plugin->processEvents(MidiList().noteOn(0, 60, 127).events());
  renderDouble(*plugin, 4096);
  const double level = plugin->getEngineState().voices[0].ampLevel;
  plugin->processEvents(MidiList().noteOff(0, 60).events());
  // A 0.7 level falls below the threshold after ln(0.7 / 0.0003) / (e^5 / fs) samples.
  const double expected = std::log(level / kSilenceThreshold) / (std::exp(5.0) / 44100.0);
  int rendered = 0;
  while (plugin->getActiveVoiceCount() == 1 && rendered < 20000) {
    renderDouble(*plugin, 64);
    rendered += 64;
  }
  EXPECT_EQ(plugin->getActiveVoiceCount(), 0);
  EXPECT_NEAR(rendered, expected, 64);
}

TEST(Render, HeldNoteWithoutDecaySoundsUntilReleased) {
  auto plugin = makePlugin();
  plugin->setParameter(kAmpDec, 0.99f);
  plugin->processEvents(MidiList().noteOn(0, 60, 100).events());
  for (int i = 0; i < 200; ++i) renderDouble(*plugin, 512);  // over two seconds
  EXPECT_EQ(plugin->getActiveVoiceCount(), 1);
  plugin->processEvents(MidiList().noteOff(0, 60).events());
  for (int i = 0; i < 200; ++i) renderDouble(*plugin, 512);
  EXPECT_EQ(plugin->getActiveVoiceCount(), 0);
}

// How the host cuts blocks must not change the sound, as long as nothing
// happens that is defined per block: no voice falls silent and is retired, no
// modulation level is cut at a block end, and no block is entirely silent.
TEST(Render, BlockSizeDoesNotChangeTheSound) {
  auto renderWith = [](const std::vector<int>& blocks) {
    auto plugin = makePlugin();
    plugin->setProgram(8);  // "Chiff Organ": held notes, vibrato, modulation that stays up
    std::vector<double> all;
    const int notes[][3] = {{0, 48, 100}, {700, 55, 90}, {1500, 60, 80}, {2300, 64, 120}};
    int position = 0;
    for (int frames : blocks) {
      MidiList list;
      for (const auto& n : notes)
        if (n[0] >= position && n[0] < position + frames) list.noteOn(n[0] - position, n[1], n[2]);
      if (position == 0) list.cc(0, 1, 64);
      plugin->processEvents(list.events());
      const std::vector<double> out = renderDouble(*plugin, frames);
      all.insert(all.end(), out.begin(), out.end());
      position += frames;
    }
    return all;
  };
  const int total = 8192;
  auto uniform = [&](int size) { return std::vector<int>(total / size, size); };
  std::vector<int> mixed;
  std::mt19937 random(11);
  for (int left = total; left > 0;) {
    const int frames = std::min(left, std::uniform_int_distribution<int>(1, 900)(random));
    mixed.push_back(frames);
    left -= frames;
  }
  const std::vector<double> reference = renderWith(uniform(1024));
  EXPECT_EQ(renderWith(uniform(1)), reference);
  EXPECT_EQ(renderWith(uniform(64)), reference);
  EXPECT_EQ(renderWith(mixed), reference);
}

}  // namespace
}  // namespace zynka::test
