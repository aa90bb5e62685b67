// Turning, HSV and the level table: worked examples, and the vector loops against the plain
// ones on random pictures of awkward sizes.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "adjust/adjustment_numbers.h"
#include "adjust/hsv.h"
#include "adjust/level_table.h"
#include "adjust/rotation.h"
#include "tests/unit/vector_code_switch.h"

namespace {

using Rgb = std::array<int, 3>;

std::vector<uint8_t> Bytes(const ImageBuffer& image) {
  return {image.pixels, image.pixels + static_cast<size_t>(image.stride) * image.height};
}

void Random(ImageBuffer* image, int width, int height, uint32_t seed) {
  ASSERT_TRUE(CreateImageBuffer(image, width, 24, height));
  std::mt19937 random(seed);
  for (size_t i = 0; i < static_cast<size_t>(image->stride) * height; ++i)
    image->pixels[i] = static_cast<uint8_t>(random());
}

// The plain mapping: source (x, y) to row W-1-x, column y (right) or row x, column H-1-y (left).
std::vector<uint8_t> StraightforwardTurn(const ImageBuffer& image, int direction) {
  const int w = image.width, h = image.height, turnedStride = (h * 3 + 3) & ~3;
  std::vector<uint8_t> turned(static_cast<size_t>(turnedStride) * w, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int row = direction > 0 ? w - 1 - x : x, column = direction > 0 ? y : h - 1 - y;
      std::memcpy(&turned[static_cast<size_t>(row) * turnedStride + 3 * column],
                  image.pixels + static_cast<size_t>(y) * image.stride + 3 * x, 3);
    }
  }
  return turned;
}

// Sizes around the copy's block and tile edges, and a 600-dpi A4 page; random padding too.
TEST(RotateImage, MatchesThePlainMapping) {
  const int sizes[][2] = {{1, 1},    {1, 7}, {7, 1},    {5, 3},    {31, 33},    {65, 97},
                          {130, 67}, {8, 4}, {9, 1029}, {1041, 5}, {4960, 7016}};
  for (bool vector : {true, false}) {
    const VectorCodeSwitch vectorCode(vector);
    for (const auto& size : sizes) {
      const int direction = size[0] % 2 ? kTurnRight : kTurnLeft;
      ImageBuffer image;
      Random(&image, size[0], size[1], static_cast<uint32_t>(size[0] * 1000 + size[1]));
      const std::vector<uint8_t> expected = StraightforwardTurn(image, direction);
      RotateImage(&image, direction);
      EXPECT_TRUE(image.width == size[1] && image.height == size[0] && image.kind == kImage24);
      EXPECT_EQ(image.info.header.biSizeImage, expected.size());
      EXPECT_TRUE(Bytes(image) == expected) << size[0] << "x" << size[1] << " vector " << vector;
    }
  }
  ImageBuffer empty;
  RotateImage(&empty, kTurnRight);
  EXPECT_EQ(empty.kind, kImageEmpty);
}

// One pixel through AdjustHsv with the dialog's numbers (hue in degrees, percentages).
Rgb Adjusted(Rgb rgb, int hue, int saturation, int value) {
  ImageBuffer image;
  EXPECT_TRUE(CreateImageBuffer(&image, 1, 24, 1));
  for (int i = 0; i < 3; ++i) image.pixels[i] = static_cast<uint8_t>(rgb[2 - i]);
  const HsvParameters p = ScaleHsvNumbers(hue, saturation, value);
  AdjustHsv(&image, p.hueShift, p.saturationScale, p.valueScale);
  return {image.pixels[2], image.pixels[1], image.pixels[0]};
}

TEST(AdjustHsv, WorkedExamples) {
  const struct {
    Rgb in;
    int hue, saturation, value;
    Rgb out;
  } cases[] = {
      {{50, 100, 200}, 360, 100, 100, {50, 100, 200}},  // a full turn
      {{255, 0, 0}, -240, 100, 100, {0, 255, 0}},       // red to green the other way round
      {{255, 0, 0}, 120 + 360000, 100, 100, {0, 255, 0}},
      {{50, 100, 200}, 0, 0, 100, {200, 200, 200}},  // grey of the largest component
      {{30, 20, 10}, 0, 100, 50, {15, 10, 5}},
      {{100, 50, 0}, 0, 100, 65535, {255, 127, 0}},   // value stops at the top
      {{200, 100, 100}, 0, 65535, 100, {200, 0, 0}},  // saturation stops at full
      {{200, 100, 100}, 30, 100, 100, {200, 150, 100}},
      {{50, 100, 200}, 0, 100, -50, {0, 0, 0}},  // negative counts as 0
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Adjusted(c.in, c.hue, c.saturation, c.value), c.out)
        << c.hue << " " << c.saturation << " " << c.value;
  }
}

// The colours with R >= G >= B form every pair (d, max) and (max - G, d) that the vector loop
// turns into a quotient; random pictures add the other orders, the padding and odd widths.
TEST(AdjustHsv, VectorLoopEqualsThePlainOne) {
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
        ASSERT_TRUE(
            CreateImageBuffer(&images[vector], static_cast<int>(colours.size() / 3), 24, 1));
        std::memcpy(images[vector].pixels, colours.data(), colours.size());
      } else {
        Random(&images[vector], 97, 61, static_cast<uint32_t>(&c - numbers));
      }
      AdjustHsv(&images[vector], p.hueShift, p.saturationScale, p.valueScale);
    }
    ASSERT_TRUE(Bytes(images[0]) == Bytes(images[1])) << c[0];
  }
}

// The table for the dialog's numbers (brightness steps, contrast and gamma in percent).
std::array<uint8_t, 256> Table(int brightness, int contrast, int gamma) {
  const LevelParameters p = ScaleLevelNumbers(brightness, contrast, gamma);
  std::array<uint8_t, 256> table{};
  EXPECT_TRUE(BuildLevelTable(p.contrastScale, p.brightnessShift, p.gammaScale, table.data()));
  return table;
}

TEST(LevelTable, WorkedExamplesAndClampedExtremes) {
  const struct {
    int brightness, contrast, gamma, level, expected;
  } cases[] = {
      {0, 200, 100, 120, 112}, {0, 200, 100, 255, 255}, {0, 100, 200, 1, 15},
      {0, 100, 50, 128, 64},   {-1, 100, 100, 18, 1},   {0, -100, 100, 0, 255},
      {0, -100, 100, 255, 1},  // inverted: (-255 + 128) × -1 = 127 below 128
      {-5, 100, 200, 85, 0},   // a negative level under the exponent 1/2 has no real power
      {-5, 100, 200, 86, 15},  {15, 100, 100, 0, 255},  {0, 0, 100, 255, 128},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Table(c.brightness, c.contrast, c.gamma)[c.level], c.expected)
        << c.brightness << " " << c.contrast << " " << c.gamma << " at " << c.level;
  }
  // Huge terms clamp instead of overflowing; gamma zero or below is refused.
  const int32_t huge[][4] = {{1024, 1 << 30, 1, 255},  // an infinite power
                             {INT32_MIN, 1 << 30, 1, 0},
                             {INT32_MAX, -(1 << 30), 1024, 0}};
  std::array<uint8_t, 256> table{};
  for (const auto& c : huge) {
    ASSERT_TRUE(BuildLevelTable(c[0], c[1], c[2], table.data()));
    EXPECT_TRUE(table[0] == c[3] && table[255] == c[3]) << c[0];
  }
  EXPECT_FALSE(BuildLevelTable(1024, 0, 0, table.data()));
}

// Every byte of every row, padding included; a gamma of zero leaves the picture.
TEST(LevelTable, AppliedToEveryByte) {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i * 7 + 3);
  const LevelParameters p = ScaleLevelNumbers(3, 150, 80);
  std::array<uint8_t, 256> levels{};
  ASSERT_TRUE(BuildLevelTable(p.contrastScale, p.brightnessShift, p.gammaScale, levels.data()));
  for (bool vector : {true, false}) {
    const VectorCodeSwitch vectorCode(vector);
    for (int width : {1, 2, 3, 4, 5, 161}) {
      ImageBuffer image;
      Random(&image, width, 7, static_cast<uint32_t>(width));
      std::vector<uint8_t> expected = Bytes(image);
      for (uint8_t& b : expected) b = table[b];
      ApplyLevelTable(&image, table.data());
      EXPECT_TRUE(Bytes(image) == expected) << width << " vector " << vector;
      for (uint8_t& b : expected) b = levels[b];
      AdjustBrightnessContrastGamma(&image, p.contrastScale, p.brightnessShift, p.gammaScale);
      EXPECT_TRUE(Bytes(image) == expected) << width << " vector " << vector;
      AdjustBrightnessContrastGamma(&image, 0, 0, 0);
      EXPECT_TRUE(Bytes(image) == expected) << width;
    }
  }
}

}  // namespace
