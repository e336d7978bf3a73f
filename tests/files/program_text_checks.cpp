// The checks shared by the randomized test and the fuzz target. The reference
// for reading a program line follows the format's own words: split at every
// space, 17 value pieces through strtod, the rest joined back into the name.
#include "program_text_checks.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/program_text.h"

namespace zynka::test {

namespace {

bool sameValue(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

bool sameValue(float a, float b) { return sameValue(static_cast<double>(a), static_cast<double>(b)); }

std::string printable(std::string_view text) {
  std::string out;
  for (char c : text.substr(0, 200)) {
    if (c >= 32 && c < 127) {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
      out += hex;
    }
  }
  return text.size() > 200 ? out + "..." : out;
}

/// A record whose every byte is distinctive, to see whether a read touched it.
ProgramRecord sentinelRecord() {
  ProgramRecord record;
  for (int slot = 0; slot < kNumParams; ++slot) record.values[slot] = -7.25f - static_cast<float>(slot);
  std::memset(record.name, '#', sizeof record.name);
  record.name[kProgramNameLength] = 0;
  return record;
}

bool nameIsTerminated(const ProgramRecord& record) { return record.name[kProgramNameLength] == 0; }

// The references are the GNU C library's strtod and printf. Other C libraries differ from it and
// from each other in corners (the sign of a zero from no number, the sign printed for a NaN),
// so elsewhere the reader and writer are compared with themselves only.
#if defined(__GLIBC__)
constexpr bool kHaveReference = true;
double referenceNumber(const std::string& text) { return std::strtod(text.c_str(), nullptr); }
#else
constexpr bool kHaveReference = false;
double referenceNumber(const std::string& text) { return readNumber(text); }
#endif

}  // namespace

std::string checkNumber(std::string_view text) {
  if (!kHaveReference) return {};
  const std::string terminated(text);
  const double expected = referenceNumber(terminated);
  const double got = readNumber(text);
  if (sameValue(expected, got)) return {};
  char message[160];
  std::snprintf(message, sizeof message, "readNumber gave %a, strtod %a for: ", got, expected);
  return message + printable(text);
}

std::string checkValueText(std::uint32_t bits) {
  if (!kHaveReference) return {};
  float value;
  std::memcpy(&value, &bits, sizeof value);
  char expected[64];
  std::snprintf(expected, sizeof expected, "%g", static_cast<double>(value));
  char got[kValueTextSize];
  formatProgramValue(value, got);
  if (std::strcmp(expected, got) == 0) return {};
  return "value 0x" + std::to_string(bits) + " written as " + got + ", printf gives " + expected;
}

std::string checkProgramLine(std::string_view line) {
  // The reference reading.
  std::vector<std::string> pieces;
  std::string piece;
  bool open = false;
  for (char c : line) {
    if (c == ' ') {
      pieces.push_back(piece);
      piece.clear();
      open = false;
    } else {
      piece += c;
      open = true;
    }
  }
  if (open) pieces.push_back(piece);
  const bool expectParsed = pieces.size() >= static_cast<std::size_t>(kNumParams);

  ProgramRecord record = sentinelRecord();
  const ProgramRecord before = record;
  const bool parsed = readProgramLine(record, line);
  if (parsed != expectParsed) return "parsed " + std::to_string(parsed) + " for: " + printable(line);
  if (!parsed) {
    if (std::memcmp(&record, &before, sizeof record) != 0) return "an unparsed line changed the record: " + printable(line);
    return {};
  }
  if (!nameIsTerminated(record)) return "name not terminated";
  for (int slot = 0; slot < kNumParams; ++slot) {
    const float expected = static_cast<float>(referenceNumber(pieces[slot]));
    if (!sameValue(expected, record.values[slot]))
      return "slot " + std::to_string(slot) + " differs from strtod for: " + printable(line);
  }
  std::string name;
  for (std::size_t i = kNumParams; i < pieces.size(); ++i) {
    if (i > static_cast<std::size_t>(kNumParams)) name += ' ';
    name += pieces[i];
  }
  if (std::string(record.name) != name.substr(0, std::strlen(name.c_str())).substr(0, kProgramNameLength))
    return "name \"" + printable(record.name) + "\" differs for: " + printable(line);

  // Written and read back: every value bit for bit where six digits can carry it, the name as
  // written (a line feed becomes a space, one final space is lost).
  std::string text;
  writeProgramLine(record, text);
  MemoryLineReader reader(text);
  std::string again;
  reader.nextLine(again);
  if (!reader.atEnd()) return "a written program line spans more than one line: " + printable(text);
  ProgramRecord reread = sentinelRecord();
  if (!readProgramLine(reread, again)) return "a written line does not read back: " + printable(text);
  for (int slot = 0; slot < kNumParams; ++slot) {
    char shortest[kValueTextSize];
    formatProgramValue(record.values[slot], shortest);
    const float expected = static_cast<float>(referenceNumber(shortest));
    if (!sameValue(expected, reread.values[slot])) return "slot " + std::to_string(slot) + " changed on the way back";
  }
  std::string expectedName = record.name;
  for (char& c : expectedName)
    if (c == '\n') c = ' ';
  if (!expectedName.empty() && expectedName.back() == ' ') expectedName.pop_back();
  if (expectedName != reread.name) return "name changed on the way back: " + printable(text);
  return {};
}

std::string checkFiles(std::string_view text) {
  const std::string_view firstLine = text.substr(0, text.find('\n'));
  std::string header(firstLine);
  if (!header.empty() && header.back() == '\r' && firstLine.size() < text.size()) header.pop_back();

  ProgramRecord preset = sentinelRecord();
  MemoryLineReader presetReader(text);
  const ReadResult presetResult = readPreset(presetReader, preset);
  if (presetResult == ReadResult::kReadFailed) return "memory reading failed";
  if ((presetResult == ReadResult::kRead) != (header == kPresetHeader)) return "preset header misjudged: " + printable(text);
  if (!nameIsTerminated(preset)) return "preset name not terminated";

  std::vector<ProgramRecord> bank(kNumPrograms, sentinelRecord());
  MemoryLineReader bankReader(text);
  const ReadResult bankResult = readBank(bankReader, bank.data());
  if (bankResult == ReadResult::kReadFailed) return "memory reading failed";
  if ((bankResult == ReadResult::kRead) != (header == kBankHeader)) return "bank header misjudged: " + printable(text);
  for (const ProgramRecord& record : bank)
    if (!nameIsTerminated(record)) return "bank name not terminated";
  return {};
}

std::string checkEverything(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string failure = checkNumber(text);
  if (failure.empty() && size >= 4) {
    std::uint32_t bits;
    std::memcpy(&bits, data, sizeof bits);
    failure = checkValueText(bits);
  }
  if (failure.empty()) failure = checkProgramLine(text);
  if (failure.empty()) failure = checkFiles(text);
  return failure;
}

}  // namespace zynka::test
