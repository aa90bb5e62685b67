#pragma once
// The adjustments written the plain way, one pixel and one division at a time, as the tests'
// yardstick for the fast loops of adjust/.

#include <cstdint>
#include <random>

#include "core/image_buffer.h"

// Pixel (x, y) of a 24-bit image, y counted in memory rows from the bottom.
inline uint8_t* PixelAt(const ImageBuffer& image, int x, int y) {
  return image.pixels + static_cast<ptrdiff_t>(y) * image.stride + 3 * x;
}

inline void FillRandom(ImageBuffer* image, uint32_t seed) {
  std::mt19937 random(seed);
  const size_t size = static_cast<size_t>(image->stride) * image->height;
  for (size_t i = 0; i < size; ++i) image->pixels[i] = static_cast<uint8_t>(random());
}

// One pixel through the hue/saturation/value arithmetic, with plain divisions and modulo.
inline void StraightforwardHsvPixel(uint8_t* bgr, int32_t hueShift, int32_t saturationScale,
                                    int32_t valueScale) {
  const int32_t B = bgr[0], G = bgr[1], R = bgr[2];
  const int32_t mx = R > G ? (R > B ? R : B) : (G > B ? G : B);
  const int32_t mn = R < G ? (R < B ? R : B) : (G < B ? G : B);
  int32_t H = 0, S = 0;
  if (mx != 0) {
    const int32_t d = mx - mn;
    S = d * 1024 / mx;
    if (S != 0) {
      const int32_t cR = (mx - R) * 1024 / d, cG = (mx - G) * 1024 / d, cB = (mx - B) * 1024 / d;
      if (R > G && R > B) {
        H = cB - cG;
      } else if (G > B) {
        H = cR - cB + 2048;
      } else {
        H = cG - cR + 4096;
      }
    }
  }
  int32_t S2 = (S * saturationScale) >> 10;
  if (S2 > 1024) S2 = 1024;
  int32_t V2 = (mx * valueScale) >> 10;
  if (V2 > 255) V2 = 255;
  const int32_t H2 = H + hueShift;
  int32_t r, g, b;
  if (S2 == 0) {
    r = g = b = V2;
  } else {
    const int32_t h = ((H2 % 6144) + 6144) % 6144;
    const int32_t i = h >> 10, f = h - 1024 * i;
    const int32_t p = ((1024 - S2) * V2) >> 10;
    const int32_t q = ((1048576 - f * S2) * V2) >> 20;
    const int32_t t = ((1048576 - (1024 - f) * S2) * V2) >> 20;
    const int32_t table[6][3] = {{V2, t, p}, {q, V2, p}, {p, V2, t},
                                 {p, q, V2}, {t, p, V2}, {V2, p, q}};
    r = table[i][0], g = table[i][1], b = table[i][2];
  }
  bgr[0] = static_cast<uint8_t>(b);
  bgr[1] = static_cast<uint8_t>(g);
  bgr[2] = static_cast<uint8_t>(r);
}
