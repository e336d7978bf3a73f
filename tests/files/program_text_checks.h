// Properties every input must keep, checked by the randomized test and by the
// libFuzzer target alike. Each check returns an empty text, or what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/program_text.h"

namespace zynka::test {

/// Every value bit for bit and every byte of the name (a name is cleared to its end); never
/// the record's padding.
bool sameRecord(const ProgramRecord& a, const ProgramRecord& b);

/// Whether this build has the C library's answers to compare with; when not, `why` says so.
/// The GNU C library answers itself (the process must be in the "C" locale); elsewhere the
/// answers come from the table the Linux build writes (build/linux/tests/files).
bool haveCLibraryAnswers(std::string& why);

/// readNumber agrees with the GNU C library's strtod.
std::string checkNumber(std::string_view text);
/// formatProgramValue agrees with the GNU C library's "%g" for the float with these bits.
std::string checkValueText(std::uint32_t bits);
/// A line parses without harm, and what it parsed into writes and reads back unchanged.
std::string checkProgramLine(std::string_view line);
/// Preset and bank texts (any bytes) load without harm into terminated records.
std::string checkFiles(std::string_view text);

/// All of the above on one input, as the fuzz target runs them.
std::string checkEverything(const std::uint8_t* data, std::size_t size);

}  // namespace zynka::test
