#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "adjust/adjustment_numbers.h"
#include "adjust/level_table.h"
#include "tests/unit/straightforward_adjustments.h"

namespace {

// The table for the dialog's numbers (brightness steps, contrast and gamma in percent).
std::array<uint8_t, 256> Table(int brightness, int contrast, int gamma) {
  const LevelParameters p = ScaleLevelNumbers(brightness, contrast, gamma);
  std::array<uint8_t, 256> table{};
  EXPECT_TRUE(BuildLevelTable(p.contrastScale, p.brightnessShift, p.gammaScale, table.data()));
  return table;
}

}  // namespace

TEST(LevelTable, NeutralNumbersGiveTheIdentity) {
  const auto table = Table(0, 100, 100);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], i);
}

TEST(LevelTable, ContrastStretchesAroundTheMiddle) {
  const auto flat = Table(0, 0, 100);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(flat[i], 128) << i;
  const auto steep = Table(0, 200, 100);
  EXPECT_EQ(steep[120], 112);
  EXPECT_EQ(steep[128], 128);
  EXPECT_EQ(steep[136], 144);
  EXPECT_EQ(steep[0], 0);
  EXPECT_EQ(steep[255], 255);
  const auto inverted = Table(0, -100, 100);
  EXPECT_EQ(inverted[0], 255);
  EXPECT_EQ(inverted[255], 1);  // (-255 + 128) × -1 = 127 below 128
}

TEST(LevelTable, GammaBendsTheMiddleLevels) {
  const auto bright = Table(0, 100, 200);
  EXPECT_EQ(bright[1], 15);
  EXPECT_EQ(bright[128], 180);
  EXPECT_EQ(Table(0, 100, 50)[128], 64);
}

TEST(LevelTable, BrightnessShiftsTheInput) {
  EXPECT_EQ(Table(1, 100, 100)[0], 17);
  const auto white = Table(15, 100, 100);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(white[i], 255) << i;
  const auto dark = Table(-1, 100, 100);
  for (int i = 0; i <= 17; ++i) EXPECT_EQ(dark[i], 0) << i;
  EXPECT_EQ(dark[18], 1);
}

TEST(LevelTable, NegativeLevelsUnderAFractionalExponentBecomeZero) {
  const auto table = Table(-5, 100, 200);  // exponent 1/2; levels below 85 go negative
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[84], 0);
  EXPECT_EQ(table[85], 0);  // exactly zero
  EXPECT_GT(table[86], 0);
}

TEST(LevelTable, HugeTermsClampInsteadOfOverflowing) {
  // Exponent 1024 on levels far above 255: the power is infinite.
  std::array<uint8_t, 256> table{};
  ASSERT_TRUE(BuildLevelTable(1024, 1 << 30, 1, table.data()));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], 255);
  ASSERT_TRUE(BuildLevelTable(0, 1 << 30, 1, table.data()));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], 128);
  ASSERT_TRUE(BuildLevelTable(INT32_MIN, 1 << 30, 1, table.data()));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], 0);
  // Far below zero under the exponent 1 the formula applies as it stands.
  ASSERT_TRUE(BuildLevelTable(INT32_MAX, -(1 << 30), 1024, table.data()));
  EXPECT_EQ(table[0], 0);
  ASSERT_TRUE(BuildLevelTable(INT32_MIN, -(1 << 30), 1024, table.data()));
  EXPECT_EQ(table[255], 255);
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
  for (int width : {1, 2, 3, 4, 5, 161}) {
    ImageBuffer image;
    ASSERT_TRUE(CreateImageBuffer(&image, width, 24, 7));
    FillRandom(&image, static_cast<uint32_t>(width));
    const size_t size = static_cast<size_t>(image.stride) * image.height;
    std::vector<uint8_t> expected(image.pixels, image.pixels + size);
    for (uint8_t& b : expected) b = table[b];
    ApplyLevelTable(&image, table.data());
    EXPECT_EQ(std::vector<uint8_t>(image.pixels, image.pixels + size), expected) << width;
  }
  ImageBuffer empty;
  ApplyLevelTable(&empty, table.data());
  EXPECT_EQ(empty.kind, kImageEmpty);
}
