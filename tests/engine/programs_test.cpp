// Programs, parameters, commands and the coefficients they yield.
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#include "engine/factory_presets.h"
#include "engine_fixture.h"

namespace zynka::test {
namespace {

TEST(Programs, FreshInstanceHasTheFactoryBankAndEmptySlots) {
  auto plugin = makePlugin();  // (the names as a host reads them: host_interface_test)
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
  EXPECT_EQ(c.modFrequencyFactor, 2.0943950971573453);  // (1 + 1/3) pi / 2

  set(kAmpDec, 0.98f);  // as a float slightly above 0.98: no decay
  EXPECT_EQ(c.ampDecayFactor, 1.0);
  set(kAmpDec, 0.99f);
  EXPECT_EQ(c.ampDecayFactor, 1.0);
  set(kAmpDec, 0.97f);
  EXPECT_LT(c.ampDecayFactor, 1.0);

  set(kVolume, 0.7f);
  EXPECT_EQ(c.outputGain, 0.4899999797344208);  // the square formed in float

  // The vibrato oscillator holds its amplitude for steps below 2 only.
  set(kVibRate, 2.3f);  // a step of about 1.88: as written
  EXPECT_EQ(c.vibratoRate, 1.8841875635972105);
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

TEST(Coefficients, WorkedValuesOfThreeProgramsAtThreeRates) {
  // Worked out by hand from the coefficient formulas, apart from the engine, in double
  // precision; exp and pow come from different C libraries here and there, so equality is
  // within four units in the last place. The third sets values beyond 0..1, which count as written.
  struct Case {
    int program;
    float rate;
    std::vector<float> values;  // by parameter index; none: the program as it is
    Coefficients expected;
  };
  const Case cases[] = {
      {0, 44100.0f, {},  // "Bright E.Piano"
       {0.00037078453132172336, 28.0, 0.021648199497985843, 44.01630206251316, 0.0653614661069798,
        0.9999814348455945, 0.9996290341862154, 1.0580000383853917e-05, 5.000000149011613e-07,
        3.382764944559469e-05, 5.59175172265558e-06, 0.8999999761581421, 0.0, 0.06104768092779383,
        -0.09942699168729785, 0.0, 1.0}},
      {10, 48000.0f, {},  // "Space Pad"
       {0.0003406582881518333, 2.0, 0.00776179975576401, 3.153784860135673, 0.0602141900113391,
        0.9999885664885207, 0.9997703768376037, 5.407999603271492e-05, 1.5680000133514408e-05,
        5.4408852084186776e-05, 8.99392742015337e-06, 0.5, 6.25e-05, 0.08180989583333333,
        0.1613120091323852, 0.04579600066328049, 1.0}},
      {0, 22050.0f, {1.5f, -0.3f, 1.2f, 0.7f, 1.5f, -1.0f, 2.0f, 1.2f, -0.3f, 1.2f, 1.3f, -1.0f, 0.5f, 2.0f, 0.8f, 0.5f, 1.5f},
       {0.002966276250573787, 57.0, 0.5, 90.3207887907125, 1.0, 0.9998767295109727, 0.9999996944242191,
        0.00045000000000000004, 0.0008, 0.9999999980668198, 4.558652888508874e-07, -0.30000001192092896,
        9.000000715255751e-05, 1.6028061224489796, -3.8200003433227607, 0.4224999690055853, 2.25}},
  };
  constexpr double Coefficients::*kFields[] = {
      &Coefficients::basePitch,        &Coefficients::coarseRatio,         &Coefficients::fineRatio,
      &Coefficients::modFrequencyFactor, &Coefficients::ampAttackCoef,     &Coefficients::ampDecayFactor,
      &Coefficients::ampReleaseFactor, &Coefficients::modInitLevel,        &Coefficients::modSustainLevel,
      &Coefficients::modDecayCoef,     &Coefficients::modReleaseCoef,      &Coefficients::velocitySensitivity,
      &Coefficients::vibratoDepth,     &Coefficients::vibratoRate,         &Coefficients::waveShape,
      &Coefficients::thruLevel,        &Coefficients::outputGain};
  for (const Case& test : cases) {
    auto plugin = makePlugin(test.rate);
    plugin->setProgram(test.program);
    for (int index = 0; index < static_cast<int>(test.values.size()); ++index) plugin->setParameter(index, test.values[index]);
    for (std::size_t field = 0; field < std::size(kFields); ++field)
      EXPECT_DOUBLE_EQ(plugin->getEngineState().coef.*kFields[field], test.expected.*kFields[field])
          << "program " << test.program << " at " << test.rate << " Hz, quantity " << field;
  }
}

}  // namespace
}  // namespace zynka::test
