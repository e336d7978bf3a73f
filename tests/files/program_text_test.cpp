// The program line and the preset and bank texts: what is written, how any line
// is read back, how lines are found in bytes, and that none of it depends on the
// locale the process runs in.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "engine/factory_presets.h"
#include "engine/program_text.h"
#include "program_text_checks.h"

namespace zynka {
namespace {

ProgramRecord factoryProgram(int index) {
  ProgramRecord record;
  for (int i = 0; i < kNumParams; ++i) record.setParameter(i, kFactoryPresets[index].values[i]);
  record.setName(kFactoryPresets[index].name);
  return record;
}

std::string lineOf(const ProgramRecord& record) {
  std::string text;
  writeProgramLine(record, text);
  return text;
}

/// A record that no line below could produce, to see whether reading touched it.
ProgramRecord untouched() {
  ProgramRecord record;
  for (float& value : record.values) value = 0.75f;
  record.setName("Untouched");
  return record;
}

const std::string kSixteenValues = "0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 1 0 0.25 0.5 0.75 0.125 0.375";

std::vector<std::string> lines(std::string_view text) {
  MemoryLineReader reader(text);
  std::vector<std::string> all;
  std::string line;
  while (reader.nextLine(line)) all.push_back(line);
  return all;
}

TEST(ProgramLine, WritesValuesInRecordSlotOrderThenTheName) {
  EXPECT_EQ(lineOf(factoryProgram(0)),
            "0 0.65 0.441 0.842 0.329 0.23 0.8 0.05 0.8 0.9 0 0.5 0.5 0.447 0 0.414 1 Bright E.Piano\r\n");
  EXPECT_EQ(lineOf(ProgramRecord()), "0 1 0 0 0 0 0 0.5 0 0 0 0.5 0.5 0 0 0 1 Empty\r\n");
  ProgramRecord unnamed;
  unnamed.setName("");
  EXPECT_EQ(lineOf(unnamed), "0 1 0 0 0 0 0 0.5 0 0 0 0.5 0.5 0 0 0 1 \r\n");
}

TEST(ProgramLine, SpacesInNamesComeBackAsWrittenExceptOneAtTheEnd) {
  ProgramRecord record;
  record.setName(" Lead  Sound");
  std::string text = lineOf(record);
  ProgramRecord reread = untouched();
  ASSERT_TRUE(readProgramLine(reread, text.substr(0, text.size() - 2)));
  EXPECT_STREQ(reread.name, " Lead  Sound");

  record.setName("Pad  ");
  text = lineOf(record);
  ASSERT_TRUE(readProgramLine(reread, text.substr(0, text.size() - 2)));
  EXPECT_STREQ(reread.name, "Pad ");
}

TEST(ProgramLine, ALineFeedInANameCannotSplitTheLine) {
  ProgramRecord record;
  record.setName("Two\nLines");
  EXPECT_EQ(lines(lineOf(record)).size(), 1u);
  EXPECT_EQ(lines(lineOf(record))[0].substr(lines(lineOf(record))[0].size() - 9), "Two Lines");
}

TEST(ProgramLine, PiecesBeyondTheSeventeenthAreTheName) {
  ProgramRecord record = untouched();
  ASSERT_TRUE(readProgramLine(record, kSixteenValues + " 0.5"));
  EXPECT_STREQ(record.name, "");
  EXPECT_FLOAT_EQ(record.values[16], 0.5f);

  ASSERT_TRUE(readProgramLine(record, kSixteenValues + " 0.5 7"));
  EXPECT_STREQ(record.name, "7");

  record = untouched();
  ASSERT_TRUE(readProgramLine(record, kSixteenValues + " Organ"));
  EXPECT_EQ(record.values[16], 0.0f);  // the word is the 17th value
  EXPECT_STREQ(record.name, "");

  ASSERT_TRUE(readProgramLine(record, kSixteenValues + " 1 "));
  EXPECT_STREQ(record.name, "");
  ASSERT_TRUE(readProgramLine(record, kSixteenValues + " 1   "));
  EXPECT_STREQ(record.name, " ");
}

TEST(ProgramLine, FewerThanSeventeenPiecesChangeNothing) {
  for (const std::string& line : {kSixteenValues, kSixteenValues + " ", std::string(), std::string(" "),
                                  std::string("ZYNKA Preset"), std::string(15, ' ')}) {
    ProgramRecord record = untouched();
    EXPECT_FALSE(readProgramLine(record, line)) << line;
    EXPECT_TRUE(test::sameRecord(record, untouched())) << line;
  }
  // Sixteen spaces make seventeen pieces, all empty: zeros and an empty name.
  ProgramRecord record = untouched();
  EXPECT_TRUE(readProgramLine(record, std::string(16, ' ') + "x"));
  EXPECT_TRUE(readProgramLine(record, std::string(17, ' ')));
  for (float value : record.values) EXPECT_EQ(value, 0.0f);
}

TEST(ProgramLine, ValuesReadLikeAtofAndAreNotClamped) {
  const std::vector<std::pair<std::string, float>> cases = {
      {"2.5", 2.5f},       {"abc", 0.0f},     {"-1.5", -1.5f},   {"+.25", 0.25f},  {"\t\v0.5", 0.5f},
      {"0.5xyz", 0.5f},    {"1e-2", 0.01f},   {"1E+2", 100.0f},  {"1e", 1.0f},     {"0x10", 16.0f},
      {"0x1.8p1", 3.0f},   {"0x", 0.0f},      {"--1", 0.0f},     {"+-1", 0.0f},    {".", 0.0f},
      {"1,5", 1.0f},       {"1e39", std::numeric_limits<float>::infinity()},
      {"1e400", std::numeric_limits<float>::infinity()},         {"-1e400", -std::numeric_limits<float>::infinity()},
      {"1e-400", 0.0f},    {"3.4028235e38", std::numeric_limits<float>::max()},
      {"0.123456789", 0.123456789f}};
  for (const auto& [piece, expected] : cases) {
    std::string line = piece;
    for (int i = 1; i < kNumParams; ++i) line += " 0";
    ProgramRecord record;
    ASSERT_TRUE(readProgramLine(record, line)) << piece;
    EXPECT_EQ(record.values[0], expected) << piece;
  }
  EXPECT_TRUE(std::isnan(readNumber("nan")));
  EXPECT_TRUE(std::isinf(readNumber("INFINITY")));
  EXPECT_EQ(readNumber("0x"), 0.0);
  EXPECT_EQ(readNumber("0xinf"), 0.0);
  EXPECT_EQ(readNumber(std::string("0.5\0" "9", 5)), 0.5);
  // A megabyte of digits is still one number.
  EXPECT_EQ(readNumber("0." + std::string(1 << 20, '0') + "1"), 0.0);
  EXPECT_EQ(readNumber(std::string(1 << 20, '0') + "1.5"), 1.5);
  EXPECT_TRUE(std::isinf(readNumber("1" + std::string(1 << 20, '0'))));
}

TEST(ProgramLine, NamesAreCutAt24CharactersAndEndAtAZeroByte) {
  ProgramRecord record;
  ASSERT_TRUE(readProgramLine(record, kSixteenValues + " 1 A name much longer than twenty-four"));
  EXPECT_STREQ(record.name, "A name much longer than ");
  EXPECT_EQ(record.name[24], 0);
  ASSERT_TRUE(readProgramLine(record, kSixteenValues + " 1 " + std::string("Nul\0Byte", 8)));
  EXPECT_STREQ(record.name, "Nul");
}

TEST(LineReader, SplitsAtLineFeedsAndDropsACarriageReturnBeforeThem) {
  EXPECT_EQ(lines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(lines("a\r\r\nb\rc\n\n"), (std::vector<std::string>{"a\r", "b\rc", ""}));
  EXPECT_EQ(lines("x"), (std::vector<std::string>{"x"}));
  EXPECT_EQ(lines("\n"), (std::vector<std::string>{""}));
  EXPECT_EQ(lines(""), (std::vector<std::string>{}));
  EXPECT_EQ(lines(std::string("a\0b\n\0", 5)), (std::vector<std::string>{std::string("a\0b", 3), std::string(1, '\0')}));
}

TEST(LineReader, ReadsLongLinesWhole) {
  const std::string huge(10 << 20, 'x');
  const auto all = lines("ZYNKA Preset\r\n" + huge + "\r\nend");
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[1].size(), huge.size());
  EXPECT_EQ(all[2], "end");
}

/// Bytes made up as they are read: `size` bytes of 'x' ending in "\r\nend", never held whole.
class EndlessLine : public LineReader {
 public:
  explicit EndlessLine(std::uint64_t size) : left(size) {}

 protected:
  std::size_t readBytes(char* buffer, std::size_t size, bool& /*error*/) override {
    const std::size_t count = left < size ? static_cast<std::size_t>(left) : size;
    for (std::size_t i = 0; i < count; ++i, --left) buffer[i] = left > 5 ? 'x' : "\r\nend"[5 - left];
    return count;
  }

 private:
  std::uint64_t left;
};

TEST(LineReader, AHugeLineKeepsItsStartAndTakesBoundedMemory) {
  // 256 MiB without a line end, as when a wrong file is picked in the dialog.
  EndlessLine reader((std::uint64_t{1} << 28) + 5);
  std::string line;
  ASSERT_TRUE(reader.nextLine(line));
  EXPECT_EQ(line.size(), LineReader::kMaxLineLength);
  EXPECT_LE(line.capacity(), 2 * LineReader::kMaxLineLength);
  EXPECT_EQ(line.find_first_not_of('x'), std::string::npos);  // the cut line keeps no CR
  ASSERT_TRUE(reader.nextLine(line));
  EXPECT_EQ(line, "end");

  // A line exactly as long as the limit is whole, and its CR is dropped as always.
  const std::string full(LineReader::kMaxLineLength, 'y');
  const auto all = lines(full + "\r\n" + full + "z\r\nlast");
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0], full);
  EXPECT_EQ(all[1], full);
  EXPECT_EQ(all[2], "last");
}

TEST(PresetText, OnlyTheExactHeaderIsAccepted) {
  const std::string line = lineOf(factoryProgram(3));
  for (const char* header : {"ZYNKA Preset ", "zynka preset", "ZYNKA Preset Bank", " ZYNKA Preset", "",
                                    "ZYNKA Presets", "ZYNKA Prese"}) {
    ProgramRecord record = untouched();
    const std::string text = std::string(header) + "\r\n" + line;
    MemoryLineReader reader(text);
    EXPECT_EQ(readPreset(reader, record), ReadResult::kWrongHeader) << header;
    EXPECT_STREQ(record.name, "Untouched");
  }
  ProgramRecord record = untouched();
  MemoryLineReader empty("");
  EXPECT_EQ(readPreset(empty, record), ReadResult::kWrongHeader);
  // A header alone, without a line end: read, and the missing program line changes nothing.
  MemoryLineReader headerOnly("ZYNKA Preset");
  EXPECT_EQ(readPreset(headerOnly, record), ReadResult::kRead);
  EXPECT_STREQ(record.name, "Untouched");
}

TEST(BankText, ShortBanksFillTheFirstProgramsAndLongOnesStopAt99) {
  std::string text = "ZYNKA Preset Bank\n";
  for (int p = 0; p < 10; ++p) text += lineOf(factoryProgram(p + 5));
  std::vector<ProgramRecord> bank(kNumPrograms, untouched());
  MemoryLineReader reader(text);
  bool parsed[kNumPrograms];
  ASSERT_EQ(readBank(reader, bank.data(), parsed), ReadResult::kRead);
  for (int p = 0; p < 10; ++p) EXPECT_STREQ(bank[p].name, kFactoryPresets[p + 5].name);
  for (int p = 10; p < kNumPrograms; ++p) EXPECT_STREQ(bank[p].name, "Untouched");
  for (int p = 0; p < kNumPrograms; ++p) EXPECT_EQ(parsed[p], p < 10) << p;

  // A bad line uses up its program; lines after the 99th are ignored.
  text = "ZYNKA Preset Bank\r\nnot a program\r\n";
  for (int p = 1; p < 120; ++p) text += lineOf(factoryProgram(p % kNumFactoryPresets));
  std::fill(bank.begin(), bank.end(), untouched());
  MemoryLineReader longReader(text);
  ASSERT_EQ(readBank(longReader, bank.data(), parsed), ReadResult::kRead);
  EXPECT_FALSE(parsed[0]);
  EXPECT_TRUE(parsed[1]);
  EXPECT_STREQ(bank[0].name, "Untouched");
  EXPECT_STREQ(bank[1].name, kFactoryPresets[1].name);
  EXPECT_STREQ(bank[98].name, kFactoryPresets[98 % kNumFactoryPresets].name);
}

TEST(BankText, PresetAndBankHeadersAreNotInterchangeable) {
  std::vector<ProgramRecord> bank(kNumPrograms, untouched());
  const std::string presetText = formatPreset(factoryProgram(0));
  MemoryLineReader presetReader(presetText);
  EXPECT_EQ(readBank(presetReader, bank.data()), ReadResult::kWrongHeader);
  for (const ProgramRecord& record : bank) EXPECT_STREQ(record.name, "Untouched");
  ProgramRecord record = untouched();
  const std::string bankText = formatBank(bank.data());
  MemoryLineReader bankReader(bankText);
  EXPECT_EQ(readPreset(bankReader, record), ReadResult::kWrongHeader);
}

/// Decimal comma and digit grouping, as in many European locales.
struct CommaNumbers : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(ProgramTextLocale, NumbersIgnoreTheProcessLocale) {
  const std::string expected = lineOf(factoryProgram(0)) + lineOf(ProgramRecord());
  const std::locale previousGlobal = std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
  // The C library's locale too, where one with a decimal comma is installed.
  const std::string previousC = std::setlocale(LC_ALL, nullptr);
  // scripts/setup.sh installs the Linux ones; Windows knows its own by these names.
#if defined(_WIN32)
  const char* const commaLocales[] = {"German_Germany.1252", "French_France.1252"};
#else
  const char* const commaLocales[] = {"de_DE.UTF-8", "fr_FR.UTF-8"};
#endif
  const char* comma = nullptr;
  for (const char* name : commaLocales)
    if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
      comma = name;
      break;
    }

  const std::string written = lineOf(factoryProgram(0)) + lineOf(ProgramRecord());
  ProgramRecord record;
  const bool read = readProgramLine(record, kSixteenValues + " 0.625 Name");
  const double number = readNumber("1234.5");

  std::setlocale(LC_ALL, previousC.c_str());
  std::locale::global(previousGlobal);

  EXPECT_EQ(written, expected);
  ASSERT_TRUE(read);
  EXPECT_EQ(record.values[0], 0.1f);
  EXPECT_EQ(record.values[16], 0.625f);
  EXPECT_EQ(number, 1234.5);
  if (!comma) GTEST_SKIP() << "no C locale with a decimal comma (" << commaLocales[0] << "): only the C++ global locale was tried";
}

}  // namespace
}  // namespace zynka
