#pragma once
// The colour arithmetic of VQI pixels: the luma model (a luma byte and two colour-difference
// bytes) and the blending of alpha planes, in integer arithmetic that every build shares.

#include <cstdint>

struct LumaPixel {
  uint8_t y;
  uint8_t yR;
  uint8_t yB;
};

inline LumaPixel LumaFromRgb(int red, int green, int blue) {
  const int y = (5 * red + 8 * green + 3 * blue) >> 4;
  const int yR = ((red - y + 178) * 23) >> 5;
  const int yB = ((blue - y) * 8 + 1664) / 13;
  return {static_cast<uint8_t>(y), static_cast<uint8_t>(yR),
          static_cast<uint8_t>(yB > 255 ? 255 : yB)};
}

inline uint8_t ClampToByte(int value) {
  return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// Gives blue, green and red in out[0..2].
inline void RgbFromLuma(int y, int yR, int yB, uint8_t out[3]) {
  const int red = y + (32 * yR) / 23 - 178;
  const int blue = y + ((13 * yB) >> 3) - 208;
  // An arithmetic shift: rounds toward minus infinity, also for negative values.
  const int green = (16 * y - 5 * red - 3 * blue) >> 3;
  out[0] = ClampToByte(blue);
  out[1] = ClampToByte(green);
  out[2] = ClampToByte(red);
}

// Lays colour c over d under alpha a (0 opaque, 255 transparent).
inline uint8_t BlendUnderAlpha(uint8_t d, uint8_t c, uint8_t a) {
  const int weight = a > 127 ? a + 1 : a;
  return static_cast<uint8_t>((d * weight + c * (256 - weight)) >> 8);
}
