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

namespace {

double clampUnit(double v) { return std::clamp(v, 0.0, 1.0); }

// Each display rule read backwards: from the number shown to a value that shows it. Where
// a rule shows whole steps, the value lies in the middle of the step's range, so rounding
// cannot carry it into the next one.
double vibratoRateValue(double hz) { return clampUnit(std::sqrt(std::max(hz, 0.0) / 25.0)); }
double percentValue(double percent) { return clampUnit(percent / 100.0); }
double centsValue(double cents) { return clampUnit((cents + 100.0) / 200.0); }

double coarseRatioValue(double ratio) {
  const double step = std::clamp(std::round(ratio), 0.0, 40.0);
  return step == 0.0 ? 0.0 : clampUnit(std::sqrt((step + 0.5) / 40.1));
}

double octaveValue(double octave) {
  const double step = std::clamp(std::round(octave), -3.0, 3.0) + 3.0;
  return step == 0.0 ? 0.0 : clampUnit((step + 0.5) / 6.9);
}

double fineRatioValue(double ratio) {
  // Below 0.05 the ratio grows with the square of Fine (Fine below 0.5); above, five steps.
  const double below = std::min(std::sqrt(std::clamp(ratio, 0.0, 0.05) / 0.2), std::nextafter(0.5, 0.0));
  double best = below;
  double distance = std::fabs(fineRatioOf(below) - ratio);
  for (int k = 4; k <= 8; ++k) {
    const double candidate = k == 8 ? 1.0 : (k + 0.5) / 8.9;
    const double d = std::fabs(fineRatioOf(candidate) - ratio);
    if (d < distance) {
      best = candidate;
      distance = d;
    }
  }
  return best;
}

struct DisplayReading {
  DisplayFunction display;
  const char* unit;
  double (*valueOf)(double number);
};

constexpr DisplayReading kReadings[] = {
    {display::vibratoRate, "Hz", vibratoRateValue}, {display::percent, "", percentValue},
    {display::coarseRatio, "", coarseRatioValue},   {display::fineRatio, "", fineRatioValue},
    {display::octave, "oct", octaveValue},          {display::cents, "ct", centsValue},
};

}  // namespace

bool readParameterDisplay(int index, const char* text, float& value) {
  if (index < 0 || index >= kNumParams || !text) return false;
  const DisplayReading* reading = nullptr;
  for (const DisplayReading& r : kReadings)
    if (r.display == kParameters[index].display) reading = &r;
  if (!reading) return false;

  const char* p = text;
  while (*p == ' ') ++p;
  if (*p == '+') ++p;
  const char* end = p + std::strlen(p);
  double number = 0;
  const auto result = std::from_chars(p, end, number);
  if (result.ec != std::errc() || !std::isfinite(number)) return false;
  p = result.ptr;
  while (*p == ' ') ++p;
  // The unit may follow the number; nothing else may.
  const std::size_t unitLength = std::strlen(reading->unit);
  if (*p && (unitLength == 0 || std::strncmp(p, reading->unit, unitLength) != 0)) return false;
  if (*p) p += unitLength;
  while (*p == ' ') ++p;
  if (*p) return false;

  value = static_cast<float>(reading->valueOf(number));
  return true;
}

}  // namespace zynka
