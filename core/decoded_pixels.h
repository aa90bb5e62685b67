#pragma once
// Rows of pixels as a picture decoder hands them over, turned into the image record's
// blue-green-red bytes: 16-bit samples rounded to 8 bits, transparent pixels shown over white.
// Platform-free.

#include <cstddef>
#include <cstdint>

// The pixel forms that are converted here. 16-bit samples are in the machine's byte order;
// alpha is straight (not multiplied into the colours).
enum class DecodedPixels {
  kBgr24,   // blue, green, red
  kBgra32,  // blue, green, red, alpha
  kGrey16,  // grey
  kRgb48,   // red, green, blue
  kRgba64,  // red, green, blue, alpha
};

size_t BytesPerDecodedPixel(DecodedPixels form);

// Writes `width` pixels of `row` as blue-green-red bytes to `bgr`.
void ConvertDecodedRow(DecodedPixels form, const uint8_t* row, int32_t width, uint8_t* bgr);
