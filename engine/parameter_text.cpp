// The parameter names and value texts the host shows.
#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/plugin.h"
#include "engine/sanitize.h"

namespace zynka {

namespace {

constexpr const char* kParameterNames[kNumParams] = {
    "Vib Rate", "Vib Amt", "Coarse", "Fine", "Mod Init", "Mod Dec", "Mod Sus", "Mod Rel", "Velocity",
    "Wave",     "Thru",    "Amp Att", "Amp Dec", "Amp Rel", "Octave", "Tuning", "Volume"};

/// The longest display text: "-100.0 ct" has 9 characters.
constexpr int kDisplayLength = 9;

/// A number and its unit, formatted without regard to the process locale.
/// Values from 0..1 give the fixed-point texts; anything that would not fit
/// in 9 characters falls back to fewer significant digits, then drops the unit.
void writeDisplay(char* text, double number, int decimals, bool plusSign, const char* unit) {
  char buffer[400];
  char* const end = buffer + sizeof buffer - 1;
  auto compose = [&](bool fixed, int precision, bool withUnit) {
    char* p = buffer;
    if (plusSign && number > 0.0) *p++ = '+';
    auto result = fixed ? std::to_chars(p, end - 16, number, std::chars_format::fixed, precision)
                        : std::to_chars(p, end - 16, number, std::chars_format::general, precision);
    p = result.ec == std::errc() ? result.ptr : p;
    if (withUnit && *unit) {
      *p++ = ' ';
      for (const char* u = unit; *u; ++u) *p++ = *u;
    }
    *p = 0;
    return static_cast<int>(p - buffer);
  };

  int length = compose(true, decimals, true);
  for (int precision = 3; length > kDisplayLength && precision >= 1; --precision)
    length = compose(false, precision, true);
  if (length > kDisplayLength) length = compose(false, 1, false);
  buffer[kDisplayLength] = 0;  // never more than 9 characters into the host's buffer
  std::memcpy(text, buffer, static_cast<std::size_t>(std::min(length, kDisplayLength)) + 1);
}

}  // namespace

void Plugin::getParameterName(VstInt32 index, char* text) {
  if (index < 0 || index >= kNumParams || !text) return;
  vst_strncpy(text, kParameterNames[index], kVstMaxParamStrLen);
}

void Plugin::getParameterLabel(VstInt32 /*index*/, char* label) {
  // Units are part of the display text.
  vst_strncpy(label, "", kVstMaxParamStrLen);
}

void Plugin::getParameterDisplay(VstInt32 index, char* text) {
  if (index < 0 || index >= kNumParams || !text) return;
  const double v = current().parameter(index);
  switch (index) {
    case kVibRate: writeDisplay(text, v * 25.0 * v, 2, false, "Hz"); break;
    case kCoarse: writeDisplay(text, std::floor(v * 40.1 * v), 0, false, ""); break;
    case kFine: writeDisplay(text, v < 0.5 ? v * 0.2 * v : fineRatioStep(v), 3, false, ""); break;
    case kOctave: {
      // -3 - trunc(v * -6.9), kept in floating point so no value overflows an int.
      const double octave = -3.0 - std::trunc(v * -6.9);
      writeDisplay(text, octave, 0, true, "oct");
      break;
    }
    case kTuning: writeDisplay(text, v * 200.0 - 100.0, 1, true, "ct"); break;
    default: writeDisplay(text, v * 100.0, 1, false, ""); break;
  }
}

}  // namespace zynka
