// Properties every input must keep, checked by the randomized test and by the
// libFuzzer target alike. Each check returns an empty text, or what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zynka::test {

/// readNumber agrees with the GNU C library's strtod (the process must be in the "C" locale).
std::string checkNumber(std::string_view text);
/// formatProgramValue agrees with the GNU C library's "%g" for the float with these bits ("C" locale).
std::string checkValueText(std::uint32_t bits);
/// A line parses without harm, and what it parsed into writes and reads back unchanged.
std::string checkProgramLine(std::string_view line);
/// Preset and bank texts (any bytes) load without harm into terminated records.
std::string checkFiles(std::string_view text);

/// All of the above on one input, as the fuzz target runs them.
std::string checkEverything(const std::uint8_t* data, std::size_t size);

}  // namespace zynka::test
