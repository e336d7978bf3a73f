// The text form of programs: the program line, and the preset and bank files
// made of a header line and program lines. Numbers are written and read the
// same way whatever locale the process runs in.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "engine/config.h"
#include "engine/program.h"

namespace zynka {

/// First line of a preset file (one program).
inline constexpr std::string_view kPresetHeader = "ZYNKA Preset";
/// First line of a bank file (all 99 programs).
inline constexpr std::string_view kBankHeader = "ZYNKA Preset Bank";
/// Every written line ends in CR LF, so a file is byte for byte the same whichever platform wrote it.
inline constexpr std::string_view kLineEnd = "\r\n";

/// Room for any value text: "-1.23457e+308" is the longest.
inline constexpr std::size_t kValueTextSize = 16;

/// Writes `value` as printf's "%g" (precision 6) writes it in the classic locale; returns the length.
std::size_t formatProgramValue(float value, char (&text)[kValueTextSize]);

/// The number at the start of `text` as the classic locale's atof reads it: white space skipped,
/// decimal or hexadecimal forms, inf and nan; stops at the first character that does not fit; 0 if none.
double readNumber(std::string_view text);

/// How a program line writes its values: as preset and bank files have them (printf's "%g",
/// six significant digits), or exactly (the shortest text that reads back as the same float),
/// for a host's saved state, which must bring back the very same sound.
enum class ValueForm { kFile, kExact };

/// Appends the program line of `record` (17 values in record-slot order, the name) and its line end.
void writeProgramLine(const ProgramRecord& record, std::string& out, ValueForm form = ValueForm::kFile);

/// Parses one line (without its line end) into `record`; with fewer than 17 space-separated
/// pieces it returns false and leaves `record` untouched. kFile reads each value as atof does;
/// kExact also refuses the line unless each of the 17 pieces is exactly one float's text.
bool readProgramLine(ProgramRecord& record, std::string_view line, ValueForm form = ValueForm::kFile);

/// The whole preset file of one program.
std::string formatPreset(const ProgramRecord& record);
/// The whole bank file of `records[0]` to `records[kNumPrograms - 1]`.
std::string formatBank(const ProgramRecord* records);

/// Splits bytes into lines at LF; a CR directly before the LF is dropped. NUL bytes and a
/// missing final line end are fine. A line longer than kMaxLineLength keeps its first
/// kMaxLineLength bytes, so a huge file without line ends (a wrong file picked in the
/// dialog) cannot take the host's memory.
class LineReader {
 public:
  /// Far beyond any program line (17 numbers and a name of 24 characters).
  static constexpr std::size_t kMaxLineLength = std::size_t{16} << 20;

  virtual ~LineReader() = default;
  /// Reads the next line into `line` (empty at the end); false when no byte was left to read.
  bool nextLine(std::string& line);
  /// True when every byte has been read (or reading failed).
  bool atEnd();
  /// True when the underlying source reported an error rather than its end.
  bool failed() const { return bFailed; }

 protected:
  /// Copies up to `size` next bytes into `buffer`; 0 at the end, and 0 with `error` set on a failure.
  virtual std::size_t readBytes(char* buffer, std::size_t size, bool& error) = 0;

 private:
  bool fill();

  std::string chunk;
  std::size_t chunkPos = 0;
  bool bEnded = false;
  bool bFailed = false;
};

/// Lines of a text held in memory.
class MemoryLineReader : public LineReader {
 public:
  /// The text must outlive the reader.
  explicit MemoryLineReader(std::string_view text) : text(text) {}
  explicit MemoryLineReader(const char* text) : text(text) {}
  explicit MemoryLineReader(std::string&&) = delete;

 protected:
  std::size_t readBytes(char* buffer, std::size_t size, bool& error) override;

 private:
  std::string_view text;
};

/// Lines of an open file (binary mode); the caller keeps and closes the file.
class FileLineReader : public LineReader {
 public:
  explicit FileLineReader(std::FILE* file) : file(file) {}

 protected:
  std::size_t readBytes(char* buffer, std::size_t size, bool& error) override;

 private:
  std::FILE* file;
};

/// What reading a preset or bank came to.
enum class ReadResult {
  kRead,         // the header matched and the lines were applied
  kWrongHeader,  // the first line is not the expected header; nothing was applied
  kReadFailed,   // the source failed part-way; what was applied must be discarded
};

/// Reads a preset: the header, then one program line (none when the text ends) into `record`.
/// `*parsed`, if given, tells whether that line held a program.
ReadResult readPreset(LineReader& reader, ProgramRecord& record, bool* parsed = nullptr);
/// Reads a bank: the header, then up to 99 program lines into `records[0]`, `records[1]`, ...;
/// programs beyond the last line, and those whose line does not parse, keep their contents.
/// `parsed[i]`, if given (99 entries), tells whether program i got a line that held a program.
ReadResult readBank(LineReader& reader, ProgramRecord* records, bool* parsed = nullptr);

}  // namespace zynka
