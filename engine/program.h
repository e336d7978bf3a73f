// One program: 17 normalised values and a name, and the commands the editor sends.
#pragma once

#include <algorithm>
#include <cstring>

#include "engine/config.h"
#include "engine/parameters.h"

namespace zynka {

/// Commands that the editor's controls send through setParameter.
inline constexpr int kTagSplash = 101;
inline constexpr int kTagProgramName = 102;
inline constexpr int kTagNextProgram = 103;
inline constexpr int kTagPrevProgram = 104;
inline constexpr int kTagProgramMenu = 105;

struct ProgramRecord {
  /// Normalised values by record slot, stored exactly as given (never clamped).
  float values[kNumParams];
  /// At most 24 characters, always terminated.
  char name[kProgramNameLength + 1];

  /// The "Empty" program.
  ProgramRecord() : name{"Empty"} { std::copy(kEmptyValues.begin(), kEmptyValues.end(), values); }

  float parameter(int index) const { return values[kRecordSlot[index]]; }
  void setParameter(int index, float value) { values[kRecordSlot[index]] = value; }
  /// Copies at most 24 characters of text and terminates the name.
  void setName(const char* text) {
    std::strncpy(name, text ? text : "", kProgramNameLength);
    name[kProgramNameLength] = 0;
  }
};

}  // namespace zynka
