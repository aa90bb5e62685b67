#include "core/decoded_pixels.h"

#include <cstring>

namespace {

// v × 255 / 65535, rounded to the nearest.
uint8_t EightBits(uint32_t sample) { return static_cast<uint8_t>((sample * 255 + 32767) / 65535); }

// A colour sample of opacity `alpha` drawn over white, rounded to the nearest; `full` is the
// largest sample. The sum stays below 2^32 for 16-bit samples too.
uint32_t OverWhite(uint32_t sample, uint32_t alpha, uint32_t full) {
  return (sample * alpha + full * (full - alpha) + full / 2) / full;
}

uint32_t Sample16(const uint8_t* at) {
  uint16_t sample;
  std::memcpy(&sample, at, 2);
  return sample;
}

}  // namespace

size_t BytesPerDecodedPixel(DecodedPixels form) {
  switch (form) {
    case DecodedPixels::kBgr24:
      return 3;
    case DecodedPixels::kBgra32:
      return 4;
    case DecodedPixels::kGrey16:
      return 2;
    case DecodedPixels::kRgb48:
      return 6;
    case DecodedPixels::kRgba64:
      return 8;
  }
  return 0;
}

void ConvertDecodedRow(DecodedPixels form, const uint8_t* row, int32_t width, uint8_t* bgr) {
  const size_t step = BytesPerDecodedPixel(form);
  const uint8_t* const end = row + step * static_cast<size_t>(width);
  switch (form) {
    case DecodedPixels::kBgr24:
      std::memcpy(bgr, row, 3 * static_cast<size_t>(width));
      break;
    case DecodedPixels::kBgra32:
      for (; row < end; row += step, bgr += 3) {
        for (int c = 0; c < 3; ++c) bgr[c] = static_cast<uint8_t>(OverWhite(row[c], row[3], 255));
      }
      break;
    case DecodedPixels::kGrey16:
      for (; row < end; row += step, bgr += 3) bgr[0] = bgr[1] = bgr[2] = EightBits(Sample16(row));
      break;
    case DecodedPixels::kRgb48:
      for (; row < end; row += step, bgr += 3) {
        for (int c = 0; c < 3; ++c) bgr[c] = EightBits(Sample16(row + 4 - 2 * c));
      }
      break;
    case DecodedPixels::kRgba64:
      for (; row < end; row += step, bgr += 3) {
        for (int c = 0; c < 3; ++c) {
          bgr[c] = EightBits(OverWhite(Sample16(row + 4 - 2 * c), Sample16(row + 6), 65535));
        }
      }
      break;
  }
}
