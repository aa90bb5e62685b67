#include "adjust/adjustment_numbers.h"

#include <algorithm>

namespace {

bool IsShiftAccepted(int64_t number) {
  return number > -kShiftNumberLimit && number < kShiftNumberLimit;
}

// Negative contrast (inverting) and gamma (no change) have a meaning; they are bounded like the
// positive ones so that the scaling cannot overflow.
bool IsPercentInRange(int64_t number) {
  return number >= -kMaxPercentNumber && number <= kMaxPercentNumber;
}

// Products first, quotients truncated toward zero: 1024 units per 60 degrees of hue (or per 60
// steps of brightness), 1024 for 100 %.
int32_t ScaleShift(int64_t number) { return static_cast<int32_t>(number * 1024 / 60); }
int32_t ScalePercent(int64_t number) { return static_cast<int32_t>(number * 1024 / 100); }

}  // namespace

bool AreHsvNumbersAccepted(int64_t hue, int64_t saturation, int64_t value) {
  return IsShiftAccepted(hue) && saturation <= kMaxPercentNumber && value <= kMaxPercentNumber;
}

HsvParameters ScaleHsvNumbers(int64_t hue, int64_t saturation, int64_t value) {
  return {ScaleShift(hue), ScalePercent(std::max<int64_t>(saturation, 0)),
          ScalePercent(std::max<int64_t>(value, 0))};
}

bool AreLevelNumbersAccepted(int64_t brightness, int64_t contrast, int64_t gamma) {
  return IsShiftAccepted(brightness) && IsPercentInRange(contrast) && IsPercentInRange(gamma);
}

LevelParameters ScaleLevelNumbers(int64_t brightness, int64_t contrast, int64_t gamma) {
  return {ScaleShift(brightness), ScalePercent(contrast), ScalePercent(gamma)};
}
