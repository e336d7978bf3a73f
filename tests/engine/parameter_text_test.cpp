// The texts a host shows for parameters, and their limits.
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine_fixture.h"

namespace zynka::test {
namespace {

/// The host's text for `value`; the table's display rule, which the editor uses, must give the same.
std::string display(Plugin& plugin, int index, float value) {
  plugin.setParameter(index, value);
  char text[64], fromTable[64];
  std::memset(text, 'x', sizeof text);
  std::memset(fromTable, 'x', sizeof fromTable);
  plugin.getParameterDisplay(index, text);
  EXPECT_LE(std::strlen(text), 9u) << index << " " << value;
  EXPECT_TRUE(formatParameterDisplay(index, value, fromTable));
  EXPECT_STREQ(fromTable, text) << index << " " << value;
  EXPECT_EQ(fromTable[10], 'x') << "wrote past the 10-byte display buffer";
  return text;
}

TEST(ParameterText, ShowsUnitsAndEngineNumbers) {
  auto plugin = makePlugin();
  EXPECT_EQ(display(*plugin, kVibRate, 0.5f), "6.25 Hz");
  EXPECT_EQ(display(*plugin, kVibRate, 1.0f), "25.00 Hz");
  EXPECT_EQ(display(*plugin, kCoarse, 0.842f), "28");
  EXPECT_EQ(display(*plugin, kCoarse, 0.23f), "2");
  EXPECT_EQ(display(*plugin, kCoarse, 1.0f), "40");
  EXPECT_EQ(display(*plugin, kFine, 0.329f), "0.022");
  EXPECT_EQ(display(*plugin, kFine, 0.49f), "0.048");
  EXPECT_EQ(display(*plugin, kFine, 0.5f), "0.250");
  EXPECT_EQ(display(*plugin, kFine, 0.651f), "0.333");
  EXPECT_EQ(display(*plugin, kFine, 0.73f), "0.500");
  EXPECT_EQ(display(*plugin, kFine, 1.0f), "0.750");
  EXPECT_EQ(display(*plugin, kOctave, 0.5f), "0 oct");
  EXPECT_EQ(display(*plugin, kOctave, 0.2f), "-2 oct");
  EXPECT_EQ(display(*plugin, kOctave, 0.645f), "+1 oct");
  EXPECT_EQ(display(*plugin, kOctave, 0.0f), "-3 oct");
  EXPECT_EQ(display(*plugin, kOctave, 1.0f), "+3 oct");
  EXPECT_EQ(display(*plugin, kTuning, 0.5f), "0.0 ct");
  EXPECT_EQ(display(*plugin, kTuning, 0.507f), "+1.4 ct");
  EXPECT_EQ(display(*plugin, kTuning, 0.0f), "-100.0 ct");
  EXPECT_EQ(display(*plugin, kTuning, 1.0f), "+100.0 ct");
  EXPECT_EQ(display(*plugin, kAmpDec, 0.65f), "65.0");
  EXPECT_EQ(display(*plugin, kVolume, 1.0f), "100.0");
  EXPECT_EQ(display(*plugin, kVibAmt, 0.0f), "0.0");
}

TEST(ParameterText, OutOfRangeValuesNeverWriteMoreThanNineCharacters) {
  auto plugin = makePlugin();
  const float values[] = {1e30f, -1e30f, 1e10f, -7.0f, 2.5f, std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), std::nanf(""), 3.4e38f, -1e-30f};
  for (int index = 0; index < kNumParams; ++index)
    for (float value : values) {
      const std::string text = display(*plugin, index, value);
      EXPECT_FALSE(text.empty()) << index << " " << value;
    }
  EXPECT_EQ(display(*plugin, kVibRate, 1e30f), "3e+61 Hz");  // still tells the truth, shorter
}

TEST(ParameterText, IndependentOfTheProcessLocale) {
  auto plugin = makePlugin();
  // A host may have set a locale with a decimal comma; the texts must not follow it.
  // scripts/setup.sh installs the Linux ones; Windows knows its own by these names.
#if defined(_WIN32)
  const char* const commaLocales[] = {"German_Germany.1252", "French_France.1252"};
#else
  const char* const commaLocales[] = {"de_DE.UTF-8", "fr_FR.UTF-8"};
#endif
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  const char* comma = nullptr;
  for (const char* name : commaLocales)
    if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') {
      comma = name;
      break;
    }
  const std::string text = display(*plugin, kVibRate, 0.5f);
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!comma) GTEST_SKIP() << "no locale with a decimal comma (" << commaLocales[0] << ") to prove it against";
  EXPECT_EQ(text, "6.25 Hz") << "in " << comma;
}

}  // namespace
}  // namespace zynka::test
