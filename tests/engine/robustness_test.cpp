// Whatever is stored or arrives as MIDI, the audio thread never hangs and never
// emits a non-finite or subnormal sample; stored values stay as they were.
#include <cmath>
#include <limits>
#include <random>

#include "engine/voice_kernel.h"
#include "engine_fixture.h"

namespace zynka::test {
namespace {

bool clean(double sample) { return std::isfinite(sample) && (sample == 0.0 || std::fabs(sample) >= 2.2250738585072014e-308); }
bool clean(float sample) { return std::isfinite(sample) && (sample == 0.0f || std::fabs(sample) >= 1.17549435e-38f); }

void playEverything(Plugin& plugin) {
  MidiList list;
  for (int note : {0, 21, 60, 96, 127}) list.noteOn(0, note, 127);
  list.add(0, 0xE0, 0x7F, 0x7F).cc(0, 1, 127).cc(0, 7, 127).add(3, 0x90, 0xFF, 0xFF).add(4, 0xB0, 0x87, 0xFF);
  plugin.processEvents(list.events());
  for (int block = 0; block < 8; ++block) {
    for (double sample : renderDouble(plugin, 512)) ASSERT_TRUE(clean(sample)) << sample;
    for (float sample : renderFloat(plugin, 512)) ASSERT_TRUE(clean(sample)) << sample;
  }
  plugin.processEvents(MidiList().noteOff(0, 60).noteOff(0, 127).events());
  for (float sample : renderFloat(plugin, 4096)) ASSERT_TRUE(clean(sample)) << sample;
}

TEST(Robustness, AbsurdStoredValuesStayStoredAndPlayCleanly) {
  const float absurd[] = {1e10f, -7.0f, 1e30f, -1e30f, std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), std::nanf(""), 3.4e38f, 1.0000001f};
  for (int index = 0; index < kNumParams; ++index)
    for (float value : absurd) {
      SCOPED_TRACE(testing::Message() << "parameter " << index << " = " << value);
      auto plugin = makePlugin();
      plugin->setParameter(index, value);
      const float stored = plugin->getParameter(index);
      EXPECT_TRUE(stored == value || (std::isnan(stored) && std::isnan(value)));
      playEverything(*plugin);
    }
}

TEST(Robustness, EverySettingAtOnceAtOddSampleRates) {
  std::mt19937 random(7);
  for (float rate : {1.0f, 0.0f, -44100.0f, 8000.0f, 11025.0f, 384000.0f, 1e12f, std::nanf(""),
                     std::numeric_limits<float>::infinity()}) {
    SCOPED_TRACE(rate);
    for (int round = 0; round < 4; ++round) {
      auto plugin = makePlugin(rate);
      for (int i = 0; i < kNumParams; ++i) plugin->setParameter(i, round == 0 ? 1.0f : std::uniform_real_distribution<float>(-3, 4)(random));
      playEverything(*plugin);
    }
  }
}

TEST(Robustness, ExtremesTogetherOverflowNowhere) {
  // Huge Octave with huge Tuning overflows the pitch, huge Coarse on top the modulator's
  // angle, huge Wave, Thru and Volume the sum: each overflow is held finite.
  const float inf = std::numeric_limits<float>::infinity();
  const float extremes[] = {3.4e38f, -3.4e38f, inf, -inf, std::nanf(""), 1e10f, -7.0f, 1e19f, 2e19f, 160.0f};
  std::mt19937 random(5);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    auto plugin = makePlugin(round % 4 ? 44100.0f : 1.0f);
    for (int i = 0; i < kNumParams; ++i)
      if (random() % 3) plugin->setParameter(i, extremes[random() % std::size(extremes)]);
    playEverything(*plugin);
  }
}

TEST(Robustness, PhaseWrapMatchesRepeatedStepsAndNeverHangs) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 100000; ++i) {
    const double w = std::uniform_real_distribution<double>(-300.0, 300.0)(random);
    double stepped = w;
    while (stepped > 1.0) stepped -= 2.0;
    while (stepped < -1.0) stepped += 2.0;
    ASSERT_EQ(wrapPhase(w), stepped) << w;
  }
  for (double w : {1e300, -1e300, 0x1p60, std::numeric_limits<double>::infinity(), std::nan("")}) {
    const double wrapped = wrapPhase(w);
    EXPECT_TRUE(wrapped >= -1.0 && wrapped <= 1.0) << w;
  }
  EXPECT_EQ(wrapPhase(3.0), 1.0);
  EXPECT_EQ(wrapPhase(-3.0), -1.0);
}

TEST(Robustness, DirectNoteCallsOutOfRangeStayInRange) {
  auto plugin = makePlugin();
  plugin->noteOnOff(1000, 1000);
  plugin->noteOnOff(-50, 5);
  plugin->noteOnOff(60, -3);
  for (double sample : renderDouble(*plugin, 1024)) ASSERT_TRUE(clean(sample));
}

}  // namespace
}  // namespace zynka::test
