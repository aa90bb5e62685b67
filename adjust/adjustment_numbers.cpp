#include "adjust/adjustment_numbers.h"

#include <algorithm>

namespace {

bool IsShiftAccepted(int32_t number) {
  return number > -kShiftNumberLimit && number < kShiftNumberLimit;
}

// Negative contrast (inverting) and gamma (no change) have a meaning; they are bounded like the
// positive ones so that the scaling cannot overflow.
bool IsPercentInRange(int32_t number) {
  return number >= -kMaxPercentNumber && number <= kMaxPercentNumber;
}

// Products first, quotients truncated toward zero: 1024 units per 60 degrees of hue (or per 60
// steps of brightness), 1024 for 100 %.
int32_t ScaleShift(int32_t number) { return number * 1024 / 60; }
int32_t ScalePercent(int32_t number) { return number * 1024 / 100; }

}  // namespace

bool AreHsvNumbersAccepted(int32_t hue, int32_t saturation, int32_t value) {
  return IsShiftAccepted(hue) && saturation <= kMaxPercentNumber && value <= kMaxPercentNumber;
}

HsvParameters ScaleHsvNumbers(int32_t hue, int32_t saturation, int32_t value) {
  return {ScaleShift(hue), ScalePercent(std::max(saturation, 0)), ScalePercent(std::max(value, 0))};
}

bool AreLevelNumbersAccepted(int32_t brightness, int32_t contrast, int32_t gamma) {
  return IsShiftAccepted(brightness) && IsPercentInRange(contrast) && IsPercentInRange(gamma);
}

LevelParameters ScaleLevelNumbers(int32_t brightness, int32_t contrast, int32_t gamma) {
  return {ScaleShift(brightness), ScalePercent(contrast), ScalePercent(gamma)};
}
