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

// Gives blue, green and red in out[0..2]. (LumaDecoder gives the same, faster.)
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

// The inverse luma transform by table: the terms of yR and yB are looked up, and since
// (16Y − 5R′ − 3B′) >> 3 = Y + ((−5·(R′ − Y) − 3·(B′ − Y)) >> 3) for an arithmetic shift,
// green needs no multiplication by Y. Clamping is a look-up as well.
class LumaDecoder {
 public:
  LumaDecoder() {
    for (int v = 0; v < 256; ++v) {
      redTerm_[v] = static_cast<int16_t>((32 * v) / 23 - 178);
      blueTerm_[v] = static_cast<int16_t>(((13 * v) >> 3) - 208);
    }
    for (int v = 0; v < kClampSize; ++v) clamp_[v] = ClampToByte(v - kClampOffset);
  }

  void Decode(int y, int yR, int yB, uint8_t out[3]) const {
    const int red = redTerm_[yR];
    const int blue = blueTerm_[yB];
    const int green = (-5 * red - 3 * blue) >> 3;
    out[0] = clamp_[y + blue + kClampOffset];
    out[1] = clamp_[y + green + kClampOffset];
    out[2] = clamp_[y + red + kClampOffset];
  }

 private:
  // The sums lie within −208 … 455.
  static constexpr int kClampOffset = 256;
  static constexpr int kClampSize = 768;
  int16_t redTerm_[256];
  int16_t blueTerm_[256];
  uint8_t clamp_[kClampSize];
};
