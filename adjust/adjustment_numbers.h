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

bool AreHsvNumbersAccepted(int32_t hue, int32_t saturation, int32_t value);
// The numbers must be accepted. Negative saturation and value count as 0.
HsvParameters ScaleHsvNumbers(int32_t hue, int32_t saturation, int32_t value);

bool AreLevelNumbersAccepted(int32_t brightness, int32_t contrast, int32_t gamma);
// The numbers must be accepted.
LevelParameters ScaleLevelNumbers(int32_t brightness, int32_t contrast, int32_t gamma);
