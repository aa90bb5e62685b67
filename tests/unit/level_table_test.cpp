#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "adjust/adjustment_numbers.h"
#include "adjust/level_table.h"
#include "tests/unit/straightforward_adjustments.h"
#include "tests/unit/vector_code_switch.h"

namespace {

// The table for the dialog's numbers (brightness steps, contrast and gamma in percent).
std::array<uint8_t, 256> Table(int brightness, int contrast, int gamma) {
  const LevelParameters p = ScaleLevelNumbers(brightness, contrast, gamma);
  std::array<uint8_t, 256> table{};
  EXPECT_TRUE(BuildLevelTable(p.contrastScale, p.brightnessShift, p.gammaScale, table.data()));
  return table;
}

}  // namespace

TEST(LevelTable, WorkedExamples) {
  const struct {
    int brightness, contrast, gamma, level, expected;
  } cases[] = {
      {0, 200, 100, 120, 112}, {0, 200, 100, 128, 128}, {0, 200, 100, 136, 144},
      {0, 200, 100, 0, 0},     {0, 200, 100, 255, 255}, {0, 100, 200, 1, 15},
      {0, 100, 200, 128, 180}, {0, 100, 50, 128, 64},   {1, 100, 100, 0, 17},
      {-1, 100, 100, 17, 0},   {-1, 100, 100, 18, 1},   {0, -100, 100, 0, 255},
      {0, -100, 100, 255, 1},  // inverted: (-255 + 128) × -1 = 127 below 128
      {-5, 100, 200, 84, 0},   // a negative level under the exponent 1/2 has no real power
      {-5, 100, 200, 85, 0},   {-5, 100, 200, 86, 15},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Table(c.brightness, c.contrast, c.gamma)[c.level], c.expected)
        << c.brightness << " " << c.contrast << " " << c.gamma << " at " << c.level;
  }
  const auto identity = Table(0, 100, 100), flat = Table(0, 0, 100), white = Table(15, 100, 100);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(identity[i], i);
    EXPECT_EQ(flat[i], 128);
    EXPECT_EQ(white[i], 255);
  }
}

TEST(LevelTable, HugeTermsClampInsteadOfOverflowing) {
  std::array<uint8_t, 256> table{};
  const struct {
    int32_t contrast, brightness, gamma;
    uint8_t expected;
  } cases[] = {
      {1024, 1 << 30, 1, 255},  // exponent 1024 on levels far above 255: an infinite power
      {0, 1 << 30, 1, 128},
      {INT32_MIN, 1 << 30, 1, 0},
      {INT32_MAX, -(1 << 30), 1024, 0},  // far below zero under the exponent 1
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(BuildLevelTable(c.contrast, c.brightness, c.gamma, table.data()));
    for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], c.expected) << c.contrast << " " << i;
  }
}

TEST(LevelTable, GammaZeroOrBelowLeavesTheImage) {
  std::array<uint8_t, 256> table{};
  table[5] = 99;
  EXPECT_FALSE(BuildLevelTable(1024, 0, 0, table.data()));
  EXPECT_FALSE(BuildLevelTable(1024, 0, -1024, table.data()));
  EXPECT_EQ(table[5], 99);
  ImageBuffer image;
  ASSERT_TRUE(CreateImageBuffer(&image, 3, 24, 3));
  std::memset(image.pixels, 77, static_cast<size_t>(image.stride) * image.height);
  AdjustBrightnessContrastGamma(&image, 0, 0, 0);
  EXPECT_EQ(image.pixels[4], 77);
}

TEST(ApplyLevelTable, MapsEveryByteOfEveryRowWithThePadding) {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i * 7 + 3);
  for (bool vector : {true, false}) {
    const VectorCodeSwitch vectorCode(vector);
    for (int width : {1, 2, 3, 4, 5, 161}) {
      ImageBuffer image;
      ASSERT_TRUE(CreateImageBuffer(&image, width, 24, 7));
      FillRandom(&image, static_cast<uint32_t>(width));
      const size_t size = static_cast<size_t>(image.stride) * image.height;
      std::vector<uint8_t> expected(image.pixels, image.pixels + size);
      for (uint8_t& b : expected) b = table[b];
      ApplyLevelTable(&image, table.data());
      EXPECT_EQ(std::vector<uint8_t>(image.pixels, image.pixels + size), expected)
          << width << " vector " << vector;
    }
  }
}
