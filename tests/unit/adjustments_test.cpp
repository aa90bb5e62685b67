// Turning, resolutions, HSV and the level table: worked examples, and the vector loops against the
// plain ones on random pictures of awkward sizes.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "adjust/adjustment_numbers.h"
#include "adjust/hsv.h"
#include "adjust/level_table.h"
#include "core/resolution.h"
#include "core/rotation.h"
#include "scan/twain_protocol.h"
#include "tests/unit/vector_code_switch.h"

namespace {

std::vector<uint8_t> Bytes(const ImageBuffer& image) {
  return {image.pixels, image.pixels + static_cast<size_t>(image.stride) * image.height};
}

void Random(ImageBuffer* image, int width, int height, uint32_t seed) {
  ASSERT_TRUE(CreateImageBuffer(image, width, 24, height));
  std::mt19937 random(seed);
  for (size_t i = 0; i < static_cast<size_t>(image->stride) * height; ++i)
    image->pixels[i] = static_cast<uint8_t>(random());
}

// Against the plain mapping, source (x, y) to row W-1-x, column y (right) or row x, column
// H-1-y (left): sizes around the copy's block and tile edges, and a 600-dpi A4 page, with
// random padding.
TEST(RotateImage, MatchesThePlainMapping) {
  const int sizes[][2] = {{1, 7}, {7, 1}, {31, 33}, {130, 67}, {9, 1029}, {1041, 5}, {4960, 7016}};
  for (bool vector : {true, false}) {
    const VectorCodeSwitch vectorCode(vector);
    for (const auto& size : sizes) {
      const int w = size[0], h = size[1], right = w % 2, stride = (h * 3 + 3) & ~3;
      ImageBuffer image;
      Random(&image, w, h, static_cast<uint32_t>(w * 1000 + h));
      image.dpiX = 300;
      image.dpiY = w;
      std::vector<uint8_t> expected(static_cast<size_t>(stride) * w, 0);
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const int row = right ? w - 1 - x : x, column = right ? y : h - 1 - y;
          std::memcpy(&expected[static_cast<size_t>(row) * stride + 3 * column],
                      image.pixels + static_cast<size_t>(y) * image.stride + 3 * x, 3);
        }
      }
      RotateImage(&image, right ? kTurnRight : kTurnLeft);
      EXPECT_TRUE(image.width == h && image.height == w && image.kind == kImage24);
      EXPECT_TRUE(image.dpiX == w && image.dpiY == 300);
      EXPECT_EQ(image.info.header.biSizeImage, expected.size());
      EXPECT_TRUE(Bytes(image) == expected) << w << "x" << h << " vector " << vector;
    }
  }
}

// A bitmap header's pixels per metre, rounded to dots per inch; a resized side keeps its printed
// size; what is unknown or senseless stays unknown.
TEST(Resolution, FromPixelsPerMetreAndThroughResizing) {
  const int32_t fromMetres[][2] = {{11811, 300}, {23622, 600}, {3780, 96},  {19, 0},
                                   {20, 1},      {0, 0},       {-11811, 0}, {INT32_MAX, 54546085}};
  for (const auto& c : fromMetres) EXPECT_EQ(DotsPerInchFromPelsPerMeter(c[0]), c[1]) << c[0];
  const int32_t resized[][4] = {{600, 4960, 2480, 300}, {300, 100, 150, 450}, {300, 3, 2, 200},
                                {300, 3, 1, 100},       {0, 100, 50, 0},      {300, 0, 50, 0},
                                {300, 100, 0, 0},       {1, 65535, 1, 0},     {INT32_MAX, 1, 2, 0},
                                {300, 1, 2, 600},       {1, 1, 3, 3}};
  for (const auto& c : resized) EXPECT_EQ(ResizedDotsPerInch(c[0], c[1], c[2]), c[3]) << c[0];
  // A scanner's answer: whole dots and 1/65536ths, rounded; nothing but a positive TW_FIX32.
  const std::pair<TwOneValue, int32_t> answers[] = {{{TWTY_FIX32, 300}, 300},
                                                    {{TWTY_FIX32, 0x7FFF0000 | 300}, 300},
                                                    {{TWTY_FIX32, 0x80000000 | 300}, 301},
                                                    {{4, 300}, 0},
                                                    {{TWTY_FIX32, 0x80000000}, 0},
                                                    {{TWTY_FIX32, 0xFFFF}, 0}};
  for (const auto& [value, dpi] : answers)
    EXPECT_EQ(DotsPerInchFromOneValue(value), dpi) << value.Item;
}

// The colours with R >= G >= B form every pair (d, max) and (max - G, d) that the vector loop
// turns into a quotient; random pictures add the other orders, the padding and odd widths.
// (Worked colours are the adjustment road's.)
TEST(AdjustHsv, VectorLoopAgainstThePlainOne) {
  std::vector<uint8_t> colours;
  for (int r = 0; r < 256; ++r) {
    for (int g = 0; g <= r; ++g) {
      for (int b = 0; b <= g; ++b)
        colours.insert(colours.end(), {uint8_t(b), uint8_t(g), uint8_t(r)});
    }
  }
  const int numbers[][3] = {{37, 150, 90},  {120, 100, 100}, {-240, 0, 100},     {240, 200, 200},
                            {17, 65535, 1}, {-1, 3, 65535},  {-2097151, 99, 101}};
  for (const auto& c : numbers) {
    const HsvParameters p = ScaleHsvNumbers(c[0], c[1], c[2]);
    ImageBuffer images[2];
    for (bool vector : {true, false}) {
      const VectorCodeSwitch vectorCode(vector);
      if (&c == numbers) {
        ASSERT_TRUE(CreateImageBuffer(&images[vector], int(colours.size() / 3), 24, 1));
        std::memcpy(images[vector].pixels, colours.data(), colours.size());
      } else {
        Random(&images[vector], 97, 61, static_cast<uint32_t>(&c - numbers));
      }
      AdjustHsv(&images[vector], p.hueShift, p.saturationScale, p.valueScale);
    }
    ASSERT_TRUE(Bytes(images[0]) == Bytes(images[1])) << c[0];
  }
}

// Worked levels with the dialog's numbers (brightness steps, contrast and gamma in percent);
// the table goes to every byte of every row, padding included.
TEST(LevelTable, WorkedLevelsClampedExtremesAndEveryByte) {
  const struct {
    int brightness, contrast, gamma, level, expected;
  } cases[] = {
      {0, 100, 50, 128, 64},
      {0, -100, 100, 255, 1},  // inverted: (-255 + 128) × -1 = 127 below 128
      {-5, 100, 200, 85, 0},   // a negative level under the exponent 1/2 has no real power
  };
  std::array<uint8_t, 256> table{};
  for (const auto& c : cases) {
    const LevelParameters p = ScaleLevelNumbers(c.brightness, c.contrast, c.gamma);
    ASSERT_TRUE(BuildLevelTable(p.contrastScale, p.brightnessShift, p.gammaScale, table.data()));
    EXPECT_EQ(table[c.level], c.expected) << c.brightness << " " << c.contrast << " " << c.gamma;
  }
  // Huge terms clamp instead of overflowing; a gamma of zero is refused.
  ASSERT_TRUE(BuildLevelTable(1024, 1 << 30, 1, table.data()));  // an infinite power
  EXPECT_TRUE(table[0] == 255 && table[128] == 255);
  EXPECT_FALSE(BuildLevelTable(1024, 0, 0, table.data()));
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i * 7 + 3);
  for (bool vector : {true, false}) {
    const VectorCodeSwitch vectorCode(vector);
    for (int width : {1, 2, 3, 5, 161}) {
      ImageBuffer image;
      Random(&image, width, 7, static_cast<uint32_t>(width));
      std::vector<uint8_t> expected = Bytes(image);
      for (uint8_t& b : expected) b = table[b];
      ApplyLevelTable(&image, table.data());
      EXPECT_TRUE(Bytes(image) == expected) << width << " vector " << vector;
    }
  }
}

}  // namespace
