// One program: 17 normalised values and a name, and the commands the editor sends.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string_view>

#include "engine/config.h"
#include "engine/parameters.h"

namespace zynka {

/// Commands that the editor's controls send through setParameter.
inline constexpr int kTagSplash = 101;
inline constexpr int kTagProgramName = 102;
inline constexpr int kTagNextProgram = 103;
inline constexpr int kTagPrevProgram = 104;
inline constexpr int kTagProgramMenu = 105;

/// Positions in the program menu (the value of command 105): four file commands, a
/// separator, then programs 1 to 99.
enum MenuPosition : int {
  kMenuSavePreset = 0,
  kMenuLoadPreset = 1,
  kMenuSaveBank = 2,
  kMenuLoadBank = 3,
  kMenuFirstProgram = 5,
};

struct ProgramRecord {
  /// Normalised values by record slot, stored exactly as given (never clamped).
  float values[kNumParams];
  /// At most 24 characters, always terminated.
  char name[kProgramNameLength + 1];

  /// The "Empty" program.
  ProgramRecord() : name{"Empty"} { std::copy(kEmptyValues.begin(), kEmptyValues.end(), values); }

  float parameter(int index) const { return values[kRecordSlot[index]]; }
  void setParameter(int index, float value) { values[kRecordSlot[index]] = value; }
  /// Copies at most 24 characters of text, up to a NUL, and clears the rest of the name:
  /// every byte of it is defined, so whole names compare byte for byte.
  void setName(std::string_view text) {
    std::size_t length = 0;
    while (length < text.size() && length < static_cast<std::size_t>(kProgramNameLength) && text[length] != 0) ++length;
    std::fill(std::copy_n(text.data(), length, name), std::end(name), '\0');
  }
  void setName(const char* text) { setName(std::string_view(text ? text : "")); }
};

}  // namespace zynka
