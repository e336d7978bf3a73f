// Programs, parameters, commands and the coefficients they yield.
#include <cmath>
#include <cstring>
#include <random>

#include "engine/factory_presets.h"
#include "engine_fixture.h"

namespace zynka::test {
namespace {

TEST(Programs, FreshInstanceHasTheFactoryBankAndEmptySlots) {
  auto plugin = makePlugin();
  char name[40];
  plugin->getProgramName(name);
  EXPECT_STREQ(name, "Bright E.Piano");
  EXPECT_TRUE(plugin->getProgramNameIndexed(0, 31, name));
  EXPECT_STREQ(name, "Syn Tom");
  EXPECT_TRUE(plugin->getProgramNameIndexed(0, 32, name));
  EXPECT_STREQ(name, "Empty");
  EXPECT_FALSE(plugin->getProgramNameIndexed(0, 99, name));
  // Every factory value is stored at its record slot, as the nearest float.
  for (int p = 0; p < kNumFactoryPresets; ++p)
    for (int i = 0; i < kNumParams; ++i)
      EXPECT_EQ(plugin->getProgramRecord(p)->values[kRecordSlot[i]], kFactoryPresets[p].values[i]);
  for (int p = 32; p < kNumPrograms; ++p) {
    plugin->setProgram(p);
    for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(plugin->getParameter(i), kParameters[i].emptyValue) << p << " " << i;
  }
  plugin->setProgram(0);
  // Bright E.Piano in record-slot order, as a preset file lists it.
  const float first[kNumParams] = {0, 0.65f, 0.441f, 0.842f, 0.329f, 0.23f, 0.8f, 0.05f, 0.8f,
                                   0.9f, 0, 0.5f, 0.5f, 0.447f, 0, 0.414f, 1};
  EXPECT_EQ(std::memcmp(plugin->getProgramRecord(0)->values, first, sizeof first), 0);
}

TEST(Programs, SelectionWrapsBothWays) {
  auto plugin = makePlugin();
  plugin->setProgram(99);
  EXPECT_EQ(plugin->getProgram(), 0);
  plugin->setProgram(-1);
  EXPECT_EQ(plugin->getProgram(), 98);
  plugin->nextProgram();
  EXPECT_EQ(plugin->getProgram(), 0);
  plugin->previousProgram();
  EXPECT_EQ(plugin->getProgram(), 98);
  plugin->setProgram(1 << 30);
  EXPECT_EQ(plugin->getProgram(), 0);
}

TEST(Programs, MenuAndStepCommands) {
  auto plugin = makePlugin();
  plugin->setParameter(kTagProgramMenu, 4.0f);
  EXPECT_EQ(plugin->getProgram(), 98);
  plugin->setParameter(kTagProgramMenu, 5.0f);
  EXPECT_EQ(plugin->getProgram(), 0);
  plugin->setParameter(kTagProgramMenu, 7.9f);
  EXPECT_EQ(plugin->getProgram(), 2);
  plugin->setParameter(kTagProgramMenu, 1e20f);  // far beyond: a program past the end wraps to 0
  EXPECT_EQ(plugin->getProgram(), 0);
  plugin->setParameter(kTagProgramMenu, std::nanf(""));  // names nothing
  EXPECT_EQ(plugin->getProgram(), 0);
  plugin->setParameter(kTagNextProgram, 1.0f);
  EXPECT_EQ(plugin->getProgram(), 1);
  plugin->setParameter(kTagNextProgram, std::nanf(""));  // NaN is not equal to 0
  EXPECT_EQ(plugin->getProgram(), 2);
  plugin->setParameter(kTagPrevProgram, 0.5f);
  EXPECT_EQ(plugin->getProgram(), 1);
  // Without an editor the file commands do nothing at all.
  for (float command : {0.0f, 1.0f, 2.0f, 3.0f}) plugin->setParameter(kTagProgramMenu, command);
  EXPECT_EQ(plugin->getProgram(), 1);
}

TEST(Programs, EveryCallRefreshesTheEditorsSeventeenControls) {
  giveNextPluginAnEditor = true;
  auto plugin = makePlugin();
  giveNextPluginAnEditor = false;
  FakeEditor& editor = *lastFakeEditor;
  EXPECT_EQ(plugin->getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);

  for (int command : {kTagNextProgram, kTagPrevProgram, 50}) {
    editor.parameterCalls.clear();
    const int program = plugin->getProgram();
    const Coefficients before = plugin->getEngineState().coef;
    plugin->setParameter(command, 0.0f);
    EXPECT_EQ(plugin->getProgram(), program);
    EXPECT_EQ(std::memcmp(&before, &plugin->getEngineState().coef, sizeof before), 0);
    ASSERT_EQ(editor.parameterCalls.size(), 17u);
    for (int i = 0; i < 17; ++i) {
      EXPECT_EQ(editor.parameterCalls[i].first, i);
      EXPECT_EQ(editor.parameterCalls[i].second, plugin->getParameter(i));
    }
  }

  // The file commands reach the editor with the current program, then the program is re-selected.
  plugin->setProgram(7);
  for (float command : {0.0f, 1.0f, 2.0f, 3.0f}) plugin->setParameter(kTagProgramMenu, command);
  EXPECT_EQ(editor.fileCalls, (std::vector<std::string>{"savePreset 7", "loadPreset 7", "saveBank", "loadBank"}));
  EXPECT_EQ(plugin->getProgram(), 0);  // load bank selects program 0

  // The program name comes from the editor's field, cut at 24 characters, and the host is told.
  editor.programNameText = "A very long program name indeed";
  hostCalls().clear();
  plugin->setParameter(kTagProgramName, 0.0f);
  char name[40];
  plugin->getProgramName(name);
  EXPECT_STREQ(name, "A very long program name");
  ASSERT_FALSE(hostCalls().empty());
  EXPECT_EQ(hostCalls()[0].opcode, audioMasterUpdateDisplay);
}

TEST(Programs, EditsLiveInTheProgramAndAreNeverClamped) {
  auto plugin = makePlugin();
  plugin->setParameter(kFine, 0.3f);
  plugin->setProgram(5);
  EXPECT_EQ(plugin->getParameter(kFine), 0.0f);
  plugin->setProgram(0);
  EXPECT_EQ(plugin->getParameter(kFine), 0.3f);
  for (float value : {-7.0f, 1e10f, 2.5f}) {
    plugin->setParameter(kOctave, value);
    EXPECT_EQ(plugin->getParameter(kOctave), value);
  }
  EXPECT_EQ(plugin->getParameter(17), 0.0f);
  EXPECT_EQ(plugin->getParameter(-1), 0.0f);
  char name[40];
  char renamed[] = "Renamed by the host, longer than it may be";
  plugin->setProgramName(renamed);
  plugin->getProgramName(name);
  EXPECT_STREQ(name, "Renamed by the host, lon");
}

TEST(Coefficients, RatiosAndThresholds) {
  auto plugin = makePlugin();
  const Coefficients& c = plugin->getEngineState().coef;
  auto set = [&](int index, float value) { plugin->setParameter(index, value); };

  set(kFine, 0.5f);
  EXPECT_EQ(c.fineRatio, 0.25);
  set(kFine, 1.0f);
  EXPECT_EQ(c.fineRatio, 0.75);
  set(kFine, 0.49f);
  EXPECT_NEAR(c.fineRatio, 0.04802, 1e-7);
  set(kFine, 0.651f);
  EXPECT_EQ(c.fineRatio, 0.33333333);
  set(kCoarse, 1.0f);
  EXPECT_EQ(c.coarseRatio, 40);
  set(kCoarse, 0.16f);
  EXPECT_EQ(c.coarseRatio, 1);
  EXPECT_EQ(c.modFrequencyFactor, (0.33333333 + 1.0) * 1.570796326795);

  set(kAmpDec, 0.98f);  // as a float slightly above 0.98: no decay
  EXPECT_EQ(c.ampDecayFactor, 1.0);
  set(kAmpDec, 0.99f);
  EXPECT_EQ(c.ampDecayFactor, 1.0);
  set(kAmpDec, 0.97f);
  EXPECT_LT(c.ampDecayFactor, 1.0);

  set(kOctave, 0.5f);
  EXPECT_EQ(c.basePitch, 2.0 * (1.0 / 44100.0 * 8.175798915644));
  set(kOctave, 1.0f);
  EXPECT_EQ(c.basePitch, 16.0 * (1.0 / 44100.0 * 8.175798915644));

  set(kVolume, 0.7f);
  EXPECT_EQ(c.outputGain, static_cast<double>(0.7f * 0.7f));
  set(kVolume, 1.5f);
  EXPECT_EQ(c.outputGain, 2.25);

  // The vibrato oscillator holds its amplitude for steps below 2 only.
  set(kVibRate, 2.3f);  // a step of about 1.88: as written
  EXPECT_EQ(c.vibratoRate, 1.0 / 44100.0 * 628.3 * 25.0 * double{2.3f} * double{2.3f});
  set(kVibRate, 2.5f);  // about 2.23: held
  EXPECT_EQ(c.vibratoRate, 1.9);
}

TEST(Coefficients, FollowTheSampleRateOnlyAtTheNextUpdate) {
  auto plugin = makePlugin();
  const Coefficients before = plugin->getEngineState().coef;
  plugin->setSampleRate(96000.0f);
  EXPECT_EQ(std::memcmp(&before, &plugin->getEngineState().coef, sizeof before), 0);
  plugin->resume();
  EXPECT_EQ(plugin->getEngineState().coef.basePitch, before.basePitch * 44100.0 / 96000.0);

  plugin->suspend();
  const Coefficients zero{};
  EXPECT_EQ(std::memcmp(&zero, &plugin->getEngineState().coef, sizeof zero), 0);
  plugin->resume();
  EXPECT_NE(plugin->getEngineState().coef.basePitch, 0.0);
}

TEST(Coefficients, EveryQuantityFromItsFormula) {
  // The factory programs, then values beyond 0..1, which are computed with as written.
  std::mt19937 random(7);
  const float beyond[] = {-1.0f, -0.3f, 1.2f, 1.5f, 2.0f};
  for (int round = 0; round < 48; ++round) {
    const float rate = round % 2 ? 48000.0f : 22050.0f + 1000.0f * round;
    auto plugin = makePlugin(rate);
    plugin->setProgram(round % kNumFactoryPresets);
    if (round >= kNumFactoryPresets)
      for (int p = 0; p < kNumParams; ++p)
        plugin->setParameter(p, round < 40 ? std::uniform_real_distribution<float>(-1, 2)(random) : beyond[(p + round) % 5]);
    plugin->setParameter(kFine, round % 3 ? plugin->getParameter(kFine) : 0.5f + round * 0.0125f);
    const Coefficients& c = plugin->getEngineState().coef;
    auto v = [&](int index) { return static_cast<double>(plugin->getParameter(index)); };
    const double T = 1.0 / static_cast<double>(rate);
    SCOPED_TRACE(round);

    EXPECT_EQ(c.basePitch, std::pow(2.0, std::floor(v(kOctave) * 6.9) - 2.0) * (T * 8.175798915644));
    EXPECT_EQ(c.coarseRatio, std::floor(v(kCoarse) * 40.1 * v(kCoarse)));
    double fine = v(kFine) * 0.2 * v(kFine);
    if (v(kFine) >= 0.5) {
      const int k = static_cast<int>(v(kFine) * 8.9);
      fine = k == 4 ? 0.25 : k == 5 ? 0.33333333 : k == 6 ? 0.5 : k == 7 ? 0.66666667 : 0.75;
    }
    EXPECT_EQ(c.fineRatio, fine);
    EXPECT_EQ(c.modFrequencyFactor, (fine + c.coarseRatio) * 1.570796326795);
    EXPECT_EQ(c.modInitLevel, v(kModInit) * 0.0002 * v(kModInit));
    EXPECT_EQ(c.modSustainLevel, v(kModSus) * 0.0002 * v(kModSus));
    EXPECT_EQ(c.velocitySensitivity, v(kVelocity));
    EXPECT_EQ(c.vibratoDepth, v(kVibAmt) * 0.001 * v(kVibAmt));
    EXPECT_EQ(c.ampAttackCoef, 1.0 - std::exp(-(std::exp(8.0 - v(kAmpAtt) * 8.0) * T)));
    EXPECT_EQ(c.ampDecayFactor, v(kAmpDec) > 0.98 ? 1.0 : std::exp(-(std::exp(5.0 - v(kAmpDec) * 8.0) * T)));
    EXPECT_EQ(c.ampReleaseFactor, std::exp(-(std::exp(5.0 - v(kAmpRel) * 5.0) * T)));
    EXPECT_EQ(c.modDecayCoef, 1.0 - std::exp(-(std::exp(6.0 - v(kModDec) * 7.0) * T)));
    EXPECT_EQ(c.modReleaseCoef, 1.0 - std::exp(-(std::exp(5.0 - v(kModRel) * 8.0) * T)));
    EXPECT_EQ(c.waveShape, 0.5 - v(kWave) * 3.0 * v(kWave));
    EXPECT_EQ(c.thruLevel, v(kThru) * 0.25 * v(kThru));
    // From a step of 2 on, the vibrato oscillator would grow without bound: held at 1.9.
    const double vibratoRate = T * 628.3 * 25.0 * v(kVibRate) * v(kVibRate);
    EXPECT_EQ(c.vibratoRate, vibratoRate < 2.0 ? vibratoRate : 1.9);
    const float volume = plugin->getParameter(kVolume);
    EXPECT_EQ(c.outputGain, static_cast<double>(volume * volume));
  }
}

}  // namespace
}  // namespace zynka::test
