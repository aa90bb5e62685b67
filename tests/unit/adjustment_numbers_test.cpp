#include <gtest/gtest.h>

#include "adjust/adjustment_numbers.h"
#include "adjust/number_text.h"
#include "adjust/resize_arithmetic.h"

namespace {

TEST(AdjustmentNumbers, ScaledWithTruncatingDivisionsAndRefusedBeforeTheyOverflow) {
  const HsvParameters hsv = ScaleHsvNumbers(-1, 33, -2000000000);
  EXPECT_EQ(hsv.hueShift, -17);  // -1024 / 60 truncates toward zero
  EXPECT_EQ(hsv.saturationScale, 337);
  EXPECT_EQ(hsv.valueScale, 0);  // negative counts as 0
  const LevelParameters level = ScaleLevelNumbers(1, 200, 50);
  EXPECT_TRUE(level.brightnessShift == 17 && level.contrastScale == 2048 &&
              level.gammaScale == 512);
  const int64_t hsvCases[][4] = {{2097151, 65535, 65535, 1}, {-2097151, -2000000000, 100, 1},
                                 {0, 65536, 100, 0},         {0, 100, 65536, 0},
                                 {2097152, 100, 100, 0},     {-2097152, 100, 100, 0}};
  for (const auto& c : hsvCases)
    EXPECT_EQ(AreHsvNumbersAccepted(c[0], c[1], c[2]), c[3] == 1) << c[0];
  const int64_t levelCases[][4] = {{2097151, 65535, 65535, 1},
                                   {-2097151, -65535, -65535, 1},
                                   {0, 65536, 100, 0},
                                   {0, 100, -65536, 0},
                                   {-2097152, 100, 100, 0}};
  for (const auto& c : levelCases) {
    EXPECT_EQ(AreLevelNumbersAccepted(c[0], c[1], c[2]), c[3] == 1) << c[0] << " " << c[1];
  }
  // Typed text: decimal numbers, 0 for other text, and never a wrap that would slip through.
  EXPECT_EQ(ReadNumberText(" 320 ", false), 320);
  EXPECT_EQ(ReadNumberText("-240", true), -240);
  for (const char* text : {"-240", "", "12a", "1 2"}) EXPECT_EQ(ReadNumberText(text, false), 0);
  EXPECT_EQ(ReadNumberText("4294967296", false), 4294967296);
  EXPECT_EQ(ReadNumberText("-99999999999999999999999", true), -kNumberTextLimit);
  EXPECT_FALSE(AreHsvNumbersAccepted(0, ReadNumberText("18446744073709551616", true), 100));
}

TEST(ResizeArithmetic, KeepsTheRatioSwitchesUnitsAndTakesSidesFromOneTo65535) {
  const ResizeNumbers present = {640, 480};
  EXPECT_EQ(HeightForWidth(present, 320), 240u);
  EXPECT_EQ(WidthForHeight(present, 100), 133u);
  EXPECT_EQ(HeightForWidth({1, 65535}, 4000000000u), UINT32_MAX);  // no wrapping around
  EXPECT_TRUE(HeightForWidth({0, 0}, 320) == 0 && WidthForHeight({0, 0}, 240) == 0);
  const ResizeNumbers percent = ConvertResizeNumbers(present, {320, 240}, kResizePixels);
  EXPECT_TRUE(percent.width == 50 && percent.height == 50);
  const ResizeNumbers pixels = ConvertResizeNumbers(present, percent, kResizePercent);
  EXPECT_TRUE(pixels.width == 320 && pixels.height == 240);
  EXPECT_EQ(ConvertResizeNumbers({0, 0}, {320, 240}, kResizePixels).width, 0u);
  ResizeNumbers target = {};
  EXPECT_TRUE(ResizeTarget(present, {65535, 1}, kResizePixels, &target));
  EXPECT_EQ(target.width, 65535u);
  EXPECT_TRUE(ResizeTarget({641, 481}, {50, 50}, kResizePercent, &target));
  EXPECT_TRUE(target.width == 320 && target.height == 240);
  const struct {
    ResizeNumbers present, typed;
    SizeUnit unit;
  } refused[] = {
      {present, {65536, 10}, kResizePixels},   {present, {10, 0}, kResizePixels},
      {{1, 1}, {50, 50}, kResizePercent},      {{0, 0}, {50, 50}, kResizePercent},
      {present, {10300, 100}, kResizePercent}, {present, {4000000000u, 100}, kResizePercent}};
  for (const auto& r : refused) {
    EXPECT_FALSE(ResizeTarget(r.present, r.typed, r.unit, &target)) << r.typed.width;
  }
}

}  // namespace
