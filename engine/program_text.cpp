// The program line and the preset and bank texts built from it.
#include "engine/program_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace zynka {

namespace {

bool isClassicSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

/// Adds to a saturating exponent count, so a megabyte of digits cannot overflow it.
std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
  constexpr std::int64_t kLimit = std::int64_t{1} << 60;
  const std::int64_t sum = a + b;
  return sum > kLimit ? kLimit : sum < -kLimit ? -kLimit : sum;
}

/// For a number that lies outside the double range: true when it is too large (rather than too
/// small). `digitBits` is 1 for decimal text ([digits][.digits][e[sign]digits]), 4 for hexadecimal
/// text after "0x" ([hexdigits][.hexdigits][p[sign]digits]), whose exponent counts powers of two.
bool isBeyondLargest(const char* begin, const char* end, int digitBits) {
  const bool hex = digitBits == 4;
  const auto isMantissaDigit = hex ? isHexDigit : isDigit;
  const char exponentMark = hex ? 'p' : 'e';
  const char* p = begin;
  // The position of the leading non-zero digit, in digits relative to the point.
  std::int64_t scale = 0;
  bool found = false;
  for (; p < end && isMantissaDigit(*p); ++p) {
    if (found || *p != '0') {
      found = true;
      scale = saturatingAdd(scale, digitBits);
    }
  }
  if (p < end && *p == '.') {
    for (++p; p < end && isMantissaDigit(*p); ++p) {
      if (!found && *p == '0') scale = saturatingAdd(scale, -digitBits);
      else found = true;
    }
  }
  std::int64_t exponent = 0;
  if (p < end && (*p | 0x20) == exponentMark) {
    ++p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    constexpr std::int64_t kExponentLimit = std::int64_t{1} << 40;  // far beyond any double
    for (; p < end && isDigit(*p); ++p)
      if (exponent < kExponentLimit) exponent = exponent * 10 + (*p - '0');
    if (negative) exponent = -exponent;
  }
  return saturatingAdd(scale, exponent) > 0;
}

/// A double rounded to the nearest float, as the hardware rounds it, without the undefined
/// behaviour of converting a finite value beyond the float range.
float roundToFloat(double value) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  constexpr double kHalfwayToInfinity = 0x1.ffffffp127;  // rounds to even: infinity
  if (value > kLargest) return value >= kHalfwayToInfinity ? std::numeric_limits<float>::infinity() : std::numeric_limits<float>::max();
  if (value < -kLargest) return value <= -kHalfwayToInfinity ? -std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::max();
  return static_cast<float>(value);
}

}  // namespace

std::size_t formatProgramValue(float value, char (&text)[kValueTextSize]) {
  // to_chars with a format and a precision writes what printf writes in the "C" locale.
  const auto result = std::to_chars(text, text + kValueTextSize - 1, static_cast<double>(value),
                                    std::chars_format::general, 6);
  const std::size_t length = result.ec == std::errc{} ? static_cast<std::size_t>(result.ptr - text) : 0;
  text[length] = 0;
  return length;
}

double readNumber(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end && isClassicSpace(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  // from_chars takes no '+' and would take a second sign; atof takes neither after the first.
  if (p == end || *p == '+' || *p == '-') return 0.0;

  double value = 0.0;
  if (end - p >= 2 && p[0] == '0' && (p[1] | 0x20) == 'x') {
    const char* digits = p + 2;
    const bool hasDigits = digits < end && (isHexDigit(*digits) || (*digits == '.' && digits + 1 < end && isHexDigit(digits[1])));
    if (!hasDigits) return negative ? -0.0 : 0.0;  // just the "0" before the x
    const auto result = std::from_chars(digits, end, value, std::chars_format::hex);
    if (result.ec == std::errc::result_out_of_range)
      value = isBeyondLargest(digits, result.ptr, 4) ? std::numeric_limits<double>::infinity() : 0.0;
    else if (result.ec != std::errc{})
      value = 0.0;
    return negative ? -value : value;
  }

  const auto result = std::from_chars(p, end, value, std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return 0.0;
  if (result.ec == std::errc::result_out_of_range)
    value = isBeyondLargest(p, result.ptr, 1) ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -value : value;
}

void writeProgramLine(const ProgramRecord& record, std::string& out, ValueForm form) {
  char text[kValueTextSize];
  for (int slot = 0; slot < kNumParams; ++slot) {
    if (form == ValueForm::kExact) {
      // The shortest text from which the float reads back unchanged ("-nan" for a NaN with its sign set).
      const auto result = std::to_chars(text, text + kValueTextSize, record.values[slot]);
      out.append(text, result.ec == std::errc{} ? static_cast<std::size_t>(result.ptr - text) : 0);
    } else {
      out.append(text, formatProgramValue(record.values[slot], text));
    }
    out += ' ';
  }
  // A line feed inside a name would split the line and shift every later program of a bank
  // by one; it is written as a space.
  const std::size_t nameLength = strnlen(record.name, kProgramNameLength);
  for (std::size_t i = 0; i < nameLength; ++i) out += record.name[i] == '\n' ? ' ' : record.name[i];
  out += kLineEnd;
}

bool readProgramLine(ProgramRecord& record, std::string_view line, ValueForm form) {
  // Every space ends a piece; text after the last space is a final piece.
  std::string_view pieces[kNumParams];
  int count = 0;
  std::size_t start = 0;
  while (count < kNumParams && start < line.size()) {
    const std::size_t space = line.find(' ', start);
    if (space == std::string_view::npos) {
      pieces[count++] = line.substr(start);
      start = line.size();
    } else {
      pieces[count++] = line.substr(start, space - start);
      start = space + 1;
    }
  }
  if (count < kNumParams) return false;

  // The remaining pieces joined by single spaces are the rest of the line, less the space that
  // ended its last piece. An exact line keeps the name as written, trailing space included.
  std::string_view name = line.substr(start);
  if (form == ValueForm::kFile && !name.empty() && name.back() == ' ') name.remove_suffix(1);

  float values[kNumParams];
  for (int slot = 0; slot < kNumParams; ++slot) {
    const std::string_view piece = pieces[slot];
    if (form == ValueForm::kExact) {
      const char* end = piece.data() + piece.size();
      const auto result = std::from_chars(piece.data(), end, values[slot]);
      if (piece.empty() || result.ec != std::errc{} || result.ptr != end) return false;
    } else {
      values[slot] = roundToFloat(readNumber(piece));
    }
  }
  std::memcpy(record.values, values, sizeof values);
  // The name is a zero-terminated text: it ends at a NUL byte as well.
  record.setName(name);
  return true;
}

std::string formatPreset(const ProgramRecord& record) {
  std::string text;
  text.reserve(256);
  text += kPresetHeader;
  text += kLineEnd;
  writeProgramLine(record, text);
  return text;
}

std::string formatBank(const ProgramRecord* records) {
  std::string text;
  text.reserve(kNumPrograms * 160);
  text += kBankHeader;
  text += kLineEnd;
  for (int i = 0; i < kNumPrograms; ++i) writeProgramLine(records[i], text);
  return text;
}

bool LineReader::fill() {
  if (bEnded) return false;
  constexpr std::size_t kChunkSize = 64 * 1024;
  chunk.resize(kChunkSize);
  bool error = false;
  const std::size_t count = readBytes(chunk.data(), kChunkSize, error);
  chunkPos = 0;
  if (count == 0) {
    chunk.clear();
    bEnded = true;
    bFailed = error;
    return false;
  }
  chunk.resize(count);
  return true;
}

bool LineReader::atEnd() { return chunkPos >= chunk.size() && !fill(); }

bool LineReader::nextLine(std::string& line) {
  line.clear();
  bool readAny = false;
  bool cut = false;  // bytes beyond kMaxLineLength were skipped
  for (;;) {
    if (chunkPos >= chunk.size() && !fill()) return readAny;
    readAny = true;
    const std::size_t feed = chunk.find('\n', chunkPos);
    const std::size_t end = feed == std::string::npos ? chunk.size() : feed;
    const std::size_t room = kMaxLineLength - line.size();
    if (end - chunkPos > room) cut = true;
    line.append(chunk, chunkPos, std::min(end - chunkPos, room));
    if (feed == std::string::npos) {
      chunkPos = chunk.size();
      continue;
    }
    chunkPos = feed + 1;
    if (!cut && !line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }
}

std::size_t MemoryLineReader::readBytes(char* buffer, std::size_t size, bool& /*error*/) {
  const std::size_t count = text.size() < size ? text.size() : size;
  std::memcpy(buffer, text.data(), count);
  text.remove_prefix(count);
  return count;
}

std::size_t FileLineReader::readBytes(char* buffer, std::size_t size, bool& error) {
  const std::size_t count = std::fread(buffer, 1, size, file);
  if (count == 0) error = std::ferror(file) != 0;
  return count;
}

ReadResult readPreset(LineReader& reader, ProgramRecord& record, bool* parsed) {
  if (parsed) *parsed = false;
  std::string line;
  reader.nextLine(line);
  if (reader.failed()) return ReadResult::kReadFailed;
  if (line != kPresetHeader) return ReadResult::kWrongHeader;
  reader.nextLine(line);
  if (reader.failed()) return ReadResult::kReadFailed;
  const bool held = readProgramLine(record, line);
  if (parsed) *parsed = held;
  return ReadResult::kRead;
}

ReadResult readBank(LineReader& reader, ProgramRecord* records, bool* parsed) {
  if (parsed) std::fill(parsed, parsed + kNumPrograms, false);
  std::string line;
  reader.nextLine(line);
  if (reader.failed()) return ReadResult::kReadFailed;
  if (line != kBankHeader) return ReadResult::kWrongHeader;
  // A line that does not parse still uses up its program; lines after the 99th are not read.
  for (int i = 0; i < kNumPrograms && !reader.atEnd(); ++i) {
    reader.nextLine(line);
    if (reader.failed()) return ReadResult::kReadFailed;
    const bool held = readProgramLine(records[i], line);
    if (parsed) parsed[i] = held;
  }
  return reader.failed() ? ReadResult::kReadFailed : ReadResult::kRead;
}

}  // namespace zynka
