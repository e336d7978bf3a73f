// The checks shared by the randomized test and the fuzz target. The reference
// for reading a program line follows the format's own words: split at every
// space, 17 value pieces through strtod, the rest joined back into the name.
#include "program_text_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
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

/// A record whose every field is distinctive, to see whether a read touched it.
ProgramRecord sentinelRecord() {
  ProgramRecord record;
  for (int slot = 0; slot < kNumParams; ++slot) record.values[slot] = -7.25f - static_cast<float>(slot);
  std::memset(record.name, '#', sizeof record.name);
  record.name[kProgramNameLength] = 0;
  return record;
}

bool nameIsTerminated(const ProgramRecord& record) { return record.name[kProgramNameLength] == 0; }

/// The GNU C library's answers: strtod for number texts, "%g" for float values. The GNU C
/// library answers itself. Other C libraries differ from it and from each other in corners (the
/// sign of a zero from no number, the sign printed for a NaN), so the Windows build takes the
/// answers from a table that the Linux build wrote with the GNU C library: the DLL must read
/// and write files exactly as zynka.so does. Number texts are found in it by a hash of their
/// bytes, values by their bits. The table is these records as they lie in memory (x86-64 both).
class CLibraryAnswers {
 public:
  struct NumberAnswer {
    std::uint64_t key, bits;
  };
  struct ValueAnswer {
    std::uint32_t bits;
    char text[12];  // "-1.17549e-38", the longest "%g" of a float, is 12 characters; NUL-padded
  };
  static_assert(sizeof(NumberAnswer) == 16 && sizeof(ValueAnswer) == 16, "records without padding");

  static CLibraryAnswers& get() {
    static CLibraryAnswers answers;
    return answers;
  }
  bool available(std::string& why) const {
    why = problem;
    return problem.empty();
  }
  std::optional<double> number(std::string_view text) {
    std::uint64_t key = 14695981039346656037u;  // FNV-1a of the bytes, then of the length
    for (char c : text) key = (key ^ static_cast<unsigned char>(c)) * 1099511628211u;
    key = (key ^ text.size()) * 1099511628211u;
    double value;
#if defined(__GLIBC__)
    value = std::strtod(std::string(text).c_str(), nullptr);
    NumberAnswer answer{key, 0};
    std::memcpy(&answer.bits, &value, sizeof value);
    if (recording) numbers.push_back(answer);
#else
    const auto found = std::lower_bound(numbers.begin(), numbers.end(), key,
                                        [](const NumberAnswer& a, std::uint64_t k) { return a.key < k; });
    if (found == numbers.end() || found->key != key) return std::nullopt;
    std::memcpy(&value, &found->bits, sizeof value);
#endif
    return value;
  }
  std::optional<std::string> valueText(std::uint32_t bits) {
#if defined(__GLIBC__)
    float value;
    std::memcpy(&value, &bits, sizeof value);
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    ValueAnswer answer{bits, {}};
    std::memcpy(answer.text, text, std::min(std::strlen(text), sizeof answer.text));
    if (recording) values.push_back(answer);
    return std::string(text);
#else
    const auto found = std::lower_bound(values.begin(), values.end(), bits,
                                        [](const ValueAnswer& a, std::uint32_t b) { return a.bits < b; });
    if (found == values.end() || found->bits != bits) return std::nullopt;
    return std::string(found->text, strnlen(found->text, sizeof found->text));
#endif
  }

 private:
  static constexpr char kMagic[16] = "ZYNKA C answers";

  CLibraryAnswers() {
#if defined(__GLIBC__)
    // The Linux build runs the checks once with this set, to write the table for Windows.
    const char* path = std::getenv("ZYNKA_WRITE_C_ANSWERS");
    recording = path != nullptr;
    if (recording) recordPath = path;
#else
    problem = std::string("no table of the C library's answers at " ZYNKA_C_ANSWERS_PATH
                          " (the Linux build writes it: build the linux preset first)");
    std::FILE* file = std::fopen(ZYNKA_C_ANSWERS_PATH, "rb");
    if (file && readTable(file)) problem.clear();
    if (file) std::fclose(file);
#endif
  }
  ~CLibraryAnswers() {
    if (!recording) return;
    std::sort(numbers.begin(), numbers.end(), [](auto& a, auto& b) { return a.key < b.key; });
    numbers.erase(std::unique(numbers.begin(), numbers.end(), [](auto& a, auto& b) { return a.key == b.key; }), numbers.end());
    std::sort(values.begin(), values.end(), [](auto& a, auto& b) { return a.bits < b.bits; });
    values.erase(std::unique(values.begin(), values.end(), [](auto& a, auto& b) { return a.bits == b.bits; }), values.end());
    if (std::FILE* file = std::fopen(recordPath.c_str(), "wb")) {
      const std::uint64_t counts[2] = {numbers.size(), values.size()};
      std::fwrite(kMagic, 1, sizeof kMagic, file);
      std::fwrite(counts, sizeof counts, 1, file);
      std::fwrite(numbers.data(), sizeof(NumberAnswer), numbers.size(), file);
      std::fwrite(values.data(), sizeof(ValueAnswer), values.size(), file);
      std::fclose(file);
    }
  }
  bool readTable(std::FILE* file) {
    char magic[sizeof kMagic];
    std::uint64_t counts[2];
    if (std::fread(magic, sizeof magic, 1, file) != 1 || std::memcmp(magic, kMagic, sizeof magic) != 0 ||
        std::fread(counts, sizeof counts, 1, file) != 1 || counts[0] > (1u << 26) || counts[1] > (1u << 26))
      return false;
    numbers.resize(counts[0]);
    values.resize(counts[1]);
    return std::fread(numbers.data(), sizeof(NumberAnswer), numbers.size(), file) == numbers.size() &&
           std::fread(values.data(), sizeof(ValueAnswer), values.size(), file) == values.size();
  }

  std::string problem;
  bool recording = false;
  std::string recordPath;
  std::vector<NumberAnswer> numbers;  // sorted by key in the table
  std::vector<ValueAnswer> values;    // sorted by bits in the table
};

/// The C library's strtod for a number text, or a failure.
std::optional<double> referenceNumber(std::string_view text, std::string& failure) {
  const std::optional<double> value = CLibraryAnswers::get().number(text);
  if (!value) failure = "the table has no strtod answer for: " + printable(text);
  return value;
}

}  // namespace

bool sameRecord(const ProgramRecord& a, const ProgramRecord& b) {
  return std::memcmp(a.values, b.values, sizeof a.values) == 0 && std::memcmp(a.name, b.name, sizeof a.name) == 0;
}

bool haveCLibraryAnswers(std::string& why) { return CLibraryAnswers::get().available(why); }

std::string checkNumber(std::string_view text) {
  std::string failure;
  const std::optional<double> expected = referenceNumber(text, failure);
  if (!expected) return failure;
  const double got = readNumber(text);
  if (sameValue(*expected, got)) return {};
  char message[160];
  std::snprintf(message, sizeof message, "readNumber gave %a, strtod %a for: ", got, *expected);
  return message + printable(text);
}

std::string checkValueText(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  const std::optional<std::string> expected = CLibraryAnswers::get().valueText(bits);
  if (!expected) return "the table has no printf answer for value 0x" + std::to_string(bits);
  char got[kValueTextSize];
  formatProgramValue(value, got);
  if (*expected == got) return {};
  return "value 0x" + std::to_string(bits) + " written as " + got + ", printf gives " + *expected;
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
    if (!sameRecord(record, before)) return "an unparsed line changed the record: " + printable(line);
    return {};
  }
  if (!nameIsTerminated(record)) return "name not terminated";
  std::string failure;
  for (int slot = 0; slot < kNumParams; ++slot) {
    const std::optional<double> number = referenceNumber(pieces[slot], failure);
    if (!number) return failure;
    const float expected = static_cast<float>(*number);
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
    const std::optional<double> number = referenceNumber(shortest, failure);
    if (!number) return failure;
    const float expected = static_cast<float>(*number);
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
