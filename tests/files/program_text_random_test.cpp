// Randomized checks of the number reader and writer and of the line and file
// readers, with a fixed seed so a failure repeats. The libFuzzer target
// (fuzz_program_text.cpp, run_fuzz.sh) runs the same checks on guided inputs.
// The inputs come from the generator's raw numbers only (no distributions, whose
// results the standard leaves to each library), so the Windows build meets the
// same texts as the Linux build that wrote the C library's answers for it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/factory_presets.h"
#include "engine/program_text.h"
#include "program_text_checks.h"

namespace zynka::test {
namespace {

constexpr unsigned kSeed = 20240611;

/// Number-like text from pieces that the reader treats specially.
std::string numberLike(std::mt19937& random) {
  static const std::vector<std::string> tokens = {
      " ",  "\t", "\n", "\v", "+",   "-",     "0",       "1",    "5",    "9",   ".",     "e",  "E", "e-",
      "e+", "x",  "X",  "0x", "0X",  "p",     "P",       "p-",   "a",    "f",   "F",     "inf", "INF",
      "infinity", "nan", "NaN", "nan(", "nan(12)", ")", "(", "_", ",", "308", "309", "324", "325", "4000",
      "1.7976931348623157e308", "2.4703282292062328e-324", "0x1.fffffffffffffp1023", "0x1p-1074",
      "3.4028235e38", "3.40282357e38", "1.4e-45", "00000000000000000000", "99999999999999999999",
      std::string(1, '\0'), "\xff"};
  std::string text;
  for (auto n = 1 + random() % 10; n > 0; --n) text += tokens[random() % tokens.size()];
  return text;
}

/// Program lines and files near the real ones, then damaged in random places.
std::string damagedFile(std::mt19937& random) {
  std::string text = random() % 2 ? "ZYNKA Preset Bank\r\n" : "ZYNKA Preset\n";
  std::vector<ProgramRecord> bank(kNumPrograms);
  for (int p = 0; p < kNumFactoryPresets; ++p) {
    for (int i = 0; i < kNumParams; ++i) bank[p].setParameter(i, kFactoryPresets[p].values[i]);
    bank[p].setName(kFactoryPresets[p].name);
  }
  const int programs = static_cast<int>(random() % 110);
  for (int p = 0; p < programs; ++p) writeProgramLine(bank[p % kNumPrograms], text);
  const int damages = static_cast<int>(random() % 12);
  for (int d = 0; d < damages && !text.empty(); ++d) {
    const std::size_t at = random() % text.size();
    switch (random() % 4) {
      case 0: text[at] = static_cast<char>(random()); break;
      case 1: text.erase(at, random() % 40); break;
      case 2: {
        const auto count = random() % 5;
        text.insert(at, std::string(count, " \r\n\0x"[random() % 5]));
        break;
      }
      default: text.resize(at); break;
    }
  }
  return text;
}

/// Skips a check that has no C library answers to compare with.
#define REQUIRE_C_LIBRARY_ANSWERS()                   \
  do {                                                \
    std::string why;                                  \
    if (!haveCLibraryAnswers(why)) GTEST_SKIP() << why; \
  } while (false)

TEST(ProgramTextRandom, NumbersReadLikeStrtod) {
  REQUIRE_C_LIBRARY_ANSWERS();
  std::mt19937 random(kSeed);
  for (int n = 0; n < 300000; ++n) {
    const std::string failure = checkNumber(numberLike(random));
    ASSERT_TRUE(failure.empty()) << failure;
  }
}

TEST(ProgramTextRandom, ValuesWriteLikePrintf) {
  REQUIRE_C_LIBRARY_ANSWERS();
  std::mt19937 random(kSeed);
  for (int n = 0; n < 1000000; ++n) {
    const std::string failure = checkValueText(static_cast<std::uint32_t>(random()));
    ASSERT_TRUE(failure.empty()) << failure;
  }
  for (float v : {0.0f, -0.0f, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                  std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min()}) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    EXPECT_EQ(checkValueText(bits), "");
  }
  // Around every power of ten, where rounding and the switch to exponent form happen.
  for (int e = -45; e <= 38; ++e) {
    // 10^e in plain IEEE steps, not pow, which C libraries round differently.
    double power = 1.0;
    for (int i = 0; i < std::abs(e); ++i) power = e > 0 ? power * 10.0 : power / 10.0;
    const float value = static_cast<float>(power);
    for (float v : {value, std::nextafter(value, 0.0f), std::nextafter(value, std::numeric_limits<float>::infinity()), value * 0.9999995f, value * 0.99999949f}) {
      std::uint32_t bits;
      std::memcpy(&bits, &v, sizeof bits);
      const std::string failure = checkValueText(bits);
      EXPECT_TRUE(failure.empty()) << failure;
    }
  }
}

TEST(ProgramTextRandom, AnyBytesLoadWithoutHarm) {
  REQUIRE_C_LIBRARY_ANSWERS();
  std::mt19937 random(kSeed);
  for (int n = 0; n < 3000; ++n) {
    std::string bytes(random() % 600, '\0');
    for (char& c : bytes) c = static_cast<char>(random() % 4 ? " 0123456789.e-+abc\r\n"[random() % 20] : random());
    const std::string failure = checkEverything(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ASSERT_TRUE(failure.empty()) << failure;
  }
  for (int n = 0; n < 1500; ++n) {
    const std::string text = damagedFile(random);
    const std::string failure = checkEverything(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    ASSERT_TRUE(failure.empty()) << failure;
    // Every line of it on its own, as the bank reader meets it.
    MemoryLineReader reader(text);
    std::string line;
    while (reader.nextLine(line)) {
      const std::string lineFailure = checkProgramLine(line);
      ASSERT_TRUE(lineFailure.empty()) << lineFailure;
    }
  }
}

}  // namespace
}  // namespace zynka::test
