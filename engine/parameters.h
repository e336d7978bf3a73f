// The 17 parameters, each described once: index, name, label, record slot, value in
// an "Empty" program, the editor's default and how a value is shown. Programs, the
// parameter texts, the editor and the tests all read this table.
#pragma once

#include <array>

#include "engine/config.h"

namespace zynka {

/// Parameter indices, in the host's order (also the tags of the editor's controls).
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

/// The longest display text has 9 characters ("-100.0 ct"); buffers hold one more.
inline constexpr int kParameterDisplayLength = 9;

/// Writes the display text of a stored value: at most kParameterDisplayLength
/// characters and a terminating zero, the same whatever the process locale.
using DisplayFunction = void (*)(float value, char* text);

/// The display rules; each shows the number the engine works with.
namespace display {
void vibratoRate(float value, char* text);  // "6.25 Hz": the nominal vibrato frequency
void percent(float value, char* text);      // "65.0"
void coarseRatio(float value, char* text);  // "28": the integer part of the modulator ratio
void fineRatio(float value, char* text);    // "0.250": its fractional part
void octave(float value, char* text);       // "+1 oct", "0 oct", "-2 oct"
void cents(float value, char* text);        // "+1.4 ct", "0.0 ct"
}  // namespace display

struct Parameter {
  ParameterIndex index;
  const char* name;         // as the host gets it: at most 8 characters
  const char* label;        // as the host gets it: empty, as units are part of the display text
  int slot;                 // where a program (and a preset file) keeps the value
  float emptyValue;         // in an "Empty" program
  float editorDefault;      // what the editor's control returns to
  DisplayFunction display;  // the host's display text, which the editor shows too
};

inline constexpr Parameter kParameters[kNumParams] = {
    {kVibRate, "Vib Rate", "", 15, 0.0f, 0.0f, display::vibratoRate},
    {kVibAmt, "Vib Amt", "", 10, 0.0f, 0.0f, display::percent},
    {kCoarse, "Coarse", "", 3, 0.0f, 0.0f, display::coarseRatio},
    {kFine, "Fine", "", 4, 0.0f, 0.0f, display::fineRatio},
    {kModInit, "Mod Init", "", 5, 0.0f, 0.0f, display::percent},
    {kModDec, "Mod Dec", "", 6, 0.0f, 0.0f, display::percent},
    {kModSus, "Mod Sus", "", 7, 0.5f, 0.5f, display::percent},
    {kModRel, "Mod Rel", "", 8, 0.0f, 0.0f, display::percent},
    {kVelocity, "Velocity", "", 9, 0.0f, 0.0f, display::percent},
    {kWave, "Wave", "", 13, 0.0f, 0.0f, display::percent},
    {kThru, "Thru", "", 14, 0.0f, 0.0f, display::percent},
    {kAmpAtt, "Amp Att", "", 0, 0.0f, 0.0f, display::percent},
    {kAmpDec, "Amp Dec", "", 1, 1.0f, 1.0f, display::percent},
    {kAmpRel, "Amp Rel", "", 2, 0.0f, 0.0f, display::percent},
    {kOctave, "Octave", "", 11, 0.5f, 0.5f, display::octave},
    {kTuning, "Tuning", "", 12, 0.5f, 0.5f, display::cents},
    {kVolume, "Volume", "", 16, 1.0f, 1.0f, display::percent},
};

/// Writes the display text of `value` for parameter `index` into `text` (room for
/// kParameterDisplayLength + 1 bytes), as the host's getParameterDisplay shows it.
/// Outside 0..16 it writes nothing and returns false.
bool formatParameterDisplay(int index, float value, char* text);

/// Reads a display text of parameter `index` back: its number, optionally followed by the
/// display's unit ("6.25 Hz" or "6.25"), whatever the process locale. `value` gets a value
/// from 0 to 1 that shows the same text (the nearest one the rule can show when the number
/// lies between two texts or beyond the ends). False, with `value` untouched, when the text
/// is not such a number or the index is outside 0..16.
bool readParameterDisplay(int index, const char* text, float& value);

namespace detail {
constexpr std::array<int, kNumParams> recordSlots() {
  std::array<int, kNumParams> slots{};
  for (int i = 0; i < kNumParams; ++i) slots[i] = kParameters[i].slot;
  return slots;
}
constexpr std::array<int, kNumParams> parametersOfSlots() {
  std::array<int, kNumParams> parameters{};
  for (int i = 0; i < kNumParams; ++i) parameters[kParameters[i].slot] = i;
  return parameters;
}
constexpr std::array<float, kNumParams> emptyValues() {
  std::array<float, kNumParams> values{};
  for (const Parameter& p : kParameters) values[p.slot] = p.emptyValue;
  return values;
}
constexpr bool isValidTable() {
  bool slotTaken[kNumParams] = {};
  for (int i = 0; i < kNumParams; ++i) {
    const Parameter& p = kParameters[i];
    int length = 0;
    while (p.name[length]) ++length;
    if (p.index != i || length < 1 || length > 8 || p.slot < 0 || p.slot >= kNumParams || slotTaken[p.slot] ||
        p.label[0] != 0)
      return false;
    slotTaken[p.slot] = true;
  }
  return true;
}
}  // namespace detail

static_assert(detail::isValidTable(), "rows in index order, names of 1 to 8 characters, every slot once");

/// Record slot of each parameter index.
inline constexpr std::array<int, kNumParams> kRecordSlot = detail::recordSlots();
/// Parameter index kept in each record slot (the inverse of kRecordSlot).
inline constexpr std::array<int, kNumParams> kParameterOfSlot = detail::parametersOfSlots();
/// The values of an "Empty" program, by record slot.
inline constexpr std::array<float, kNumParams> kEmptyValues = detail::emptyValues();

}  // namespace zynka
