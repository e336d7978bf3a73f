#include "engine/program_state.h"

#include <charconv>

#include "engine/program_text.h"

namespace zynka {

namespace {

constexpr std::string_view kProgramKey = "Program ";

/// A whole decimal number from "0" on, no sign, no other character; false when it is not one
/// or does not fit.
bool readWholeNumber(std::string_view text, int& number) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
  return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

}  // namespace

std::string formatState(const PluginState& state) {
  std::string text;
  text.reserve(kNumPrograms * 160 + 64);
  text += kStateHeader;
  text += ' ';
  text += std::to_string(kStateVersion);
  text += kLineEnd;
  text += kProgramKey;
  text += std::to_string(state.currentProgram);
  text += kLineEnd;
  for (const ProgramRecord& record : state.programs) writeProgramLine(record, text, ValueForm::kExact);
  return text;
}

bool readState(std::string_view text, PluginState& state) {
  // The last program line ends in a line feed like every other: a text cut anywhere, even
  // inside the last name, is not a whole state.
  if (text.size() > kMaxStateSize || text.empty() || text.back() != '\n') return false;
  MemoryLineReader reader(text);
  std::string line;

  // "ZYNKA State <version>", of a version this build knows.
  if (!reader.nextLine(line) || line.size() <= kStateHeader.size() + 1 ||
      std::string_view(line).substr(0, kStateHeader.size()) != kStateHeader || line[kStateHeader.size()] != ' ')
    return false;
  int version = 0;
  if (!readWholeNumber(std::string_view(line).substr(kStateHeader.size() + 1), version) || version < 1 ||
      version > kStateVersion)
    return false;

  PluginState read;
  if (!reader.nextLine(line) || std::string_view(line).substr(0, kProgramKey.size()) != kProgramKey ||
      !readWholeNumber(std::string_view(line).substr(kProgramKey.size()), read.currentProgram) ||
      read.currentProgram >= kNumPrograms)
    return false;

  for (ProgramRecord& record : read.programs)
    if (!reader.nextLine(line) || !readProgramLine(record, line, ValueForm::kExact)) return false;
  // Nothing but empty lines may follow.
  while (reader.nextLine(line))
    if (!line.empty()) return false;

  state = read;
  return true;
}

}  // namespace zynka
