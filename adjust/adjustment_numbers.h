#pragma once
// The numbers of the HSV and image adjustment dialogs: which are accepted, and the fixed-point
// parameters they become.

#include <cstdint>

// Saturation, value, contrast and gamma are percentages up to this (contrast and gamma down
// to its negative).
inline constexpr int32_t kMaxPercentNumber = 65535;
// Hue and brightness must be smaller than this in size, so that number × 1024 fits 32 bits.
inline constexpr int32_t kShiftNumberLimit = int32_t{1} << 21;

struct HsvParameters {
  int32_t hueShift;
  int32_t saturationScale;
  int32_t valueScale;
};

struct LevelParameters {
  int32_t brightnessShift;
  int32_t contrastScale;
  int32_t gammaScale;
};

bool AreHsvNumbersAccepted(int64_t hue, int64_t saturation, int64_t value);
// The numbers must be accepted (so they fit 32 bits). Negative saturation and value count as 0.
HsvParameters ScaleHsvNumbers(int64_t hue, int64_t saturation, int64_t value);

bool AreLevelNumbersAccepted(int64_t brightness, int64_t contrast, int64_t gamma);
// The numbers must be accepted (so they fit 32 bits).
LevelParameters ScaleLevelNumbers(int64_t brightness, int64_t contrast, int64_t gamma);
