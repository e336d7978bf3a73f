// How each parameter's value is shown: the display rules of the parameter table.
#include "engine/parameters.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/formulas.h"

namespace zynka {

namespace {

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
  for (int precision = 3; length > kParameterDisplayLength && precision >= 1; --precision)
    length = compose(false, precision, true);
  if (length > kParameterDisplayLength) length = compose(false, 1, false);
  buffer[kParameterDisplayLength] = 0;  // never more than 9 characters into the caller's buffer
  std::memcpy(text, buffer, static_cast<std::size_t>(std::min(length, kParameterDisplayLength)) + 1);
}

}  // namespace

namespace display {

void vibratoRate(float value, char* text) {
  const double v = value;
  writeDisplay(text, v * 25.0 * v, 2, false, "Hz");
}

void percent(float value, char* text) { writeDisplay(text, double{value} * 100.0, 1, false, ""); }

void coarseRatio(float value, char* text) { writeDisplay(text, coarseRatioOf(value), 0, false, ""); }

void fineRatio(float value, char* text) { writeDisplay(text, fineRatioOf(value), 3, false, ""); }

void octave(float value, char* text) {
  // -3 - trunc(v * -6.9), kept in floating point so no value overflows an int.
  writeDisplay(text, -3.0 - std::trunc(double{value} * -6.9), 0, true, "oct");
}

void cents(float value, char* text) { writeDisplay(text, double{value} * 200.0 - 100.0, 1, true, "ct"); }

}  // namespace display

bool formatParameterDisplay(int index, float value, char* text) {
  if (index < 0 || index >= kNumParams || !text) return false;
  kParameters[index].display(value, text);
  return true;
}

}  // namespace zynka
