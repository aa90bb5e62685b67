#include "adjust/level_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/vector_code.h"

#if PELORA_HAS_VECTOR_CODE
#include <immintrin.h>
#endif

namespace {

// Beyond these bounds every level is clamped to 0 or 255 whatever else holds (or stays 128
// with a contrast of 0), so bounding the terms first keeps the arithmetic exact and finite.
constexpr double kCurveLimit = 1099511627776.0;  // 2^40
constexpr int64_t kContrastLimit = int64_t{1} << 20;

// The 32-bit build's x87 unit keeps wider intermediates: rounded to a double each step, as
// in every other build, 120 / 255 * 255 is 120 and not just below it (a level of 119).
double RoundedToDouble(double value) {
  volatile double stored = value;
  return stored;
}

uint8_t Level(int64_t level, double exponent, int64_t contrast) {
  const double x = RoundedToDouble(std::pow(RoundedToDouble(level / 255.0), exponent));
  // A negative level under a fractional exponent has no real power: such levels become 0.
  if (std::isnan(x)) return 0;
  const int64_t t = static_cast<int64_t>(std::clamp(RoundedToDouble(x * -255.0), -kCurveLimit, kCurveLimit));
  const int64_t d = ((t + 128) * contrast) / 1024;
  return static_cast<uint8_t>(std::clamp<int64_t>(128 - d, 0, 255));
}

#if PELORA_HAS_VECTOR_CODE
// 64 bytes per step: the table lies in four registers, and two permutes pick from its low
// and high halves; the top bit of each byte chooses between them. Gives the bytes done.
PELORA_AVX512_VBMI size_t MapBytesAvx512(uint8_t* bytes, size_t count, const uint8_t table[256]) {
  const __m512i t0 = _mm512_loadu_si512(table);
  const __m512i t1 = _mm512_loadu_si512(table + 64);
  const __m512i t2 = _mm512_loadu_si512(table + 128);
  const __m512i t3 = _mm512_loadu_si512(table + 192);
  size_t i = 0;
  for (; i + 64 <= count; i += 64) {
    const __m512i x = _mm512_loadu_si512(bytes + i);
    const __m512i low = _mm512_permutex2var_epi8(t0, x, t1);
    const __m512i high = _mm512_permutex2var_epi8(t2, x, t3);
    _mm512_storeu_si512(bytes + i, _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high));
  }
  return i;
}
#endif

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
  // at once, padding included.
  uint8_t* bytes = image->pixels;
  const size_t count = static_cast<size_t>(image->stride) * static_cast<size_t>(image->height);
  size_t i = 0;
#if PELORA_HAS_VECTOR_CODE
  if (UseAvx512Vbmi()) i = MapBytesAvx512(bytes, count, table);
#endif
  for (; i < count; i += 4) {
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
