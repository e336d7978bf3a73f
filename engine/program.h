// One program: 17 normalised values and a name.
#pragma once

#include <cstring>

#include "engine/config.h"

namespace zynka {

/// Parameter indices, in the host's order.
enum ParameterIndex : int {
  kVibRate = 0,
  kVibAmt,
  kCoarse,
  kFine,
  kModInit,
  kModDec,
  kModSus,
  kModRel,
  kVelocity,
  kWave,
  kThru,
  kAmpAtt,
  kAmpDec,
  kAmpRel,
  kOctave,
  kTuning,
  kVolume,
};

/// Record slot of each parameter index: the order values are stored in memory and in files.
inline constexpr int kRecordSlot[kNumParams] = {15, 10, 3, 4, 5, 6, 7, 8, 9, 13, 14, 0, 1, 2, 11, 12, 16};
/// Parameter index stored in each record slot (the inverse of kRecordSlot).
inline constexpr int kParameterOfSlot[kNumParams] = {11, 12, 13, 2, 3, 4, 5, 6, 7, 8, 1, 14, 15, 9, 10, 0, 16};

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
  ProgramRecord()
      : values{0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f},
        name{"Empty"} {}

  float parameter(int index) const { return values[kRecordSlot[index]]; }
  void setParameter(int index, float value) { values[kRecordSlot[index]] = value; }
  /// Copies at most 24 characters of text and terminates the name.
  void setName(const char* text) {
    std::strncpy(name, text ? text : "", kProgramNameLength);
    name[kProgramNameLength] = 0;
  }
};

}  // namespace zynka
