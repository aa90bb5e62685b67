#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/decoded_pixels.h"

namespace {

std::vector<uint8_t> Convert(DecodedPixels form, const std::vector<uint16_t>& samples) {
  std::vector<uint8_t> row(samples.size() * 2);
  std::memcpy(row.data(), samples.data(), row.size());
  const int32_t width = static_cast<int32_t>(row.size() / BytesPerDecodedPixel(form));
  std::vector<uint8_t> bgr(static_cast<size_t>(width) * 3);
  ConvertDecodedRow(form, row.data(), width, bgr.data());
  return bgr;
}

// Sixteen-bit samples round to the nearest eight-bit value, full white staying white; a
// transparent pixel is white, a half-transparent black one a middle grey.
TEST(DecodedPixels, SixteenBitsRoundAndTransparencyShowsWhite) {
  EXPECT_EQ(Convert(DecodedPixels::kGrey16, {65535, 0, 100 * 257, 100 * 257 + 128}),
            (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 100, 100, 100, 100, 100, 100}));
  EXPECT_EQ(Convert(DecodedPixels::kRgb48, {65535, 32896, 0}), (std::vector<uint8_t>{0, 128, 255}));
  EXPECT_EQ(Convert(DecodedPixels::kRgba64, {0, 0, 0, 0, 0, 0, 0, 32768}),
            (std::vector<uint8_t>{255, 255, 255, 127, 127, 127}));
}

}  // namespace
