#include "adjust/level_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Beyond these bounds every level is clamped to 0 or 255 whatever else holds (or stays 128
// with a contrast of 0), so bounding the terms first keeps the arithmetic exact and finite.
constexpr double kCurveLimit = 1099511627776.0;  // 2^40
constexpr int64_t kContrastLimit = int64_t{1} << 20;

uint8_t Level(int64_t level, double exponent, int64_t contrast) {
  const double x = std::pow(static_cast<double>(level) / 255.0, exponent);
  // A negative level under a fractional exponent has no real power: such levels become 0.
  if (std::isnan(x)) return 0;
  const int64_t t = static_cast<int64_t>(std::clamp(x * -255.0, -kCurveLimit, kCurveLimit));
  const int64_t d = ((t + 128) * contrast) / 1024;
  return static_cast<uint8_t>(std::clamp<int64_t>(128 - d, 0, 255));
}

}  // namespace

bool BuildLevelTable(int32_t contrastScale, int32_t brightnessShift, int32_t gammaScale,
                     uint8_t table[256]) {
  if (gammaScale <= 0) return false;
  const double exponent = 1024.0 / gammaScale;
  const int64_t contrast = std::clamp<int64_t>(contrastScale, -kContrastLimit, kContrastLimit);
  for (int i = 0; i < 256; ++i) table[i] = Level(int64_t{i} + brightnessShift, exponent, contrast);
  return true;
}

void ApplyLevelTable(ImageBuffer* image, const uint8_t table[256]) {
  if (image->kind == kImageEmpty) return;
  // Rows are contiguous and their stride a multiple of 4: the whole pixel memory is mapped
  // four bytes per step.
  uint8_t* bytes = image->pixels;
  const size_t count = static_cast<size_t>(image->stride) * static_cast<size_t>(image->height);
  for (size_t i = 0; i < count; i += 4) {
    uint32_t word;
    std::memcpy(&word, bytes + i, 4);
    word = uint32_t{table[word & 0xFF]} | uint32_t{table[(word >> 8) & 0xFF]} << 8 |
           uint32_t{table[(word >> 16) & 0xFF]} << 16 | uint32_t{table[word >> 24]} << 24;
    std::memcpy(bytes + i, &word, 4);
  }
}

void AdjustBrightnessContrastGamma(ImageBuffer* image, int32_t contrastScale,
                                   int32_t brightnessShift, int32_t gammaScale) {
  uint8_t table[256];
  if (BuildLevelTable(contrastScale, brightnessShift, gammaScale, table)) {
    ApplyLevelTable(image, table);
  }
}
