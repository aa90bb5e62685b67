#include "adjust/hsv.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

// n × 1024 / d for 0 <= n <= d <= 255, d > 0, without a division: a multiplication by the
// rounded-up reciprocal 2^32 / d gives the truncated quotient exactly for every such n
// (the unit tests check all of them).
constexpr std::array<uint64_t, 256> MakeReciprocals() {
  std::array<uint64_t, 256> r{};
  for (uint64_t d = 1; d < 256; ++d) r[d] = ((uint64_t{1} << 32) + d - 1) / d;
  return r;
}
constexpr std::array<uint64_t, 256> kReciprocal = MakeReciprocals();

inline int32_t Ratio1024(int32_t n, int32_t d) {
  return static_cast<int32_t>((static_cast<uint64_t>(n) * 1024 * kReciprocal[d]) >> 32);
}

// Scales past these limits give the same bytes (S' reaches 1024 and V' 255 for any non-zero
// input), so clamping there keeps every product inside 32 bits.
constexpr int32_t kSaturationScaleLimit = 1 << 20;
constexpr int32_t kValueScaleLimit = 1 << 18;

struct Scales {
  std::array<int32_t, 1025> saturation;  // S -> S'
  std::array<int32_t, 256> value;        // max component -> V'
};

void FillScales(Scales* s, int32_t saturationScale, int32_t valueScale) {
  saturationScale = std::clamp(saturationScale, 0, kSaturationScaleLimit);
  valueScale = std::clamp(valueScale, 0, kValueScaleLimit);
  for (int32_t i = 0; i <= 1024; ++i)
    s->saturation[i] = std::min((i * saturationScale) >> 10, 1024);
  for (int32_t i = 0; i < 256; ++i) s->value[i] = std::min((i * valueScale) >> 10, 255);
}

inline void AdjustPixel(uint8_t* pixel, int32_t hueShift, const Scales& scales) {
  const int32_t b = pixel[0], g = pixel[1], r = pixel[2];
  const int32_t mx = std::max({r, g, b});
  const int32_t mn = std::min({r, g, b});
  const int32_t v = scales.value[mx];
  int32_t s = 0;
  int32_t hue = 0;
  if (mx != 0) {
    const int32_t d = mx - mn;
    const int32_t saturation = Ratio1024(d, mx);
    if (saturation != 0) {
      s = scales.saturation[saturation];
      // Each of cR, cG and cB truncates on its own, so they are not folded into one ratio.
      if (r > g && r > b) {
        hue = Ratio1024(mx - b, d) - Ratio1024(mx - g, d);
      } else if (g > b) {
        hue = Ratio1024(mx - r, d) - Ratio1024(mx - b, d) + 2048;
      } else {
        hue = Ratio1024(mx - g, d) - Ratio1024(mx - r, d) + 4096;
      }
    }
  }
  if (s == 0) {
    pixel[0] = pixel[1] = pixel[2] = static_cast<uint8_t>(v);
    return;
  }
  int32_t h = hue + hueShift;  // hue in [-1024, 5120], shift in [0, 6144)
  if (h < 0) h += kHueTurn;
  if (h >= kHueTurn) h -= kHueTurn;
  const int32_t sector = h >> 10;
  const int32_t f = h - (sector << 10);
  const int32_t p = ((1024 - s) * v) >> 10;
  const int32_t q = ((1048576 - f * s) * v) >> 20;
  const int32_t t = ((1048576 - (1024 - f) * s) * v) >> 20;
  int32_t nr, ng, nb;
  switch (sector) {
    case 0:
      nr = v, ng = t, nb = p;
      break;
    case 1:
      nr = q, ng = v, nb = p;
      break;
    case 2:
      nr = p, ng = v, nb = t;
      break;
    case 3:
      nr = p, ng = q, nb = v;
      break;
    case 4:
      nr = t, ng = p, nb = v;
      break;
    default:
      nr = v, ng = p, nb = q;
      break;
  }
  pixel[0] = static_cast<uint8_t>(nb);
  pixel[1] = static_cast<uint8_t>(ng);
  pixel[2] = static_cast<uint8_t>(nr);
}

}  // namespace

void AdjustHsv(ImageBuffer* image, int32_t hueShift, int32_t saturationScale, int32_t valueScale) {
  if (image->kind == kImageEmpty || image->bitsPerPixel != 24) return;
  Scales scales;
  FillScales(&scales, saturationScale, valueScale);
  // The hue only matters modulo a turn; reduced once here, one wrap per pixel suffices.
  const int32_t shift = ((hueShift % kHueTurn) + kHueTurn) % kHueTurn;
  for (int32_t y = 0; y < image->height; ++y) {
    uint8_t* pixel = image->pixels + static_cast<ptrdiff_t>(y) * image->stride;
    for (int32_t x = 0; x < image->width; ++x, pixel += 3) AdjustPixel(pixel, shift, scales);
  }
}
