#include <gtest/gtest.h>

#include "adjust/adjustment_numbers.h"
#include "adjust/number_text.h"
#include "adjust/resize_arithmetic.h"

TEST(AdjustmentNumbers, ScaleWithTruncatingDivisions) {
  const HsvParameters hsv = ScaleHsvNumbers(-1, 33, 100);
  EXPECT_EQ(hsv.hueShift, -17);  // -1024 / 60 truncates toward zero
  EXPECT_EQ(hsv.saturationScale, 337);
  EXPECT_EQ(hsv.valueScale, 1024);
  EXPECT_EQ(ScaleHsvNumbers(360, 0, 0).hueShift, 6144);
  const LevelParameters level = ScaleLevelNumbers(1, 200, 50);
  EXPECT_EQ(level.brightnessShift, 17);
  EXPECT_EQ(level.contrastScale, 2048);
  EXPECT_EQ(level.gammaScale, 512);
}

TEST(AdjustmentNumbers, NegativeSaturationAndValueCountAsZero) {
  const HsvParameters hsv = ScaleHsvNumbers(0, -5, -2000000000);
  EXPECT_EQ(hsv.saturationScale, 0);
  EXPECT_EQ(hsv.valueScale, 0);
}

TEST(AdjustmentNumbers, RefuseWhatWouldOverflow) {
  EXPECT_TRUE(AreHsvNumbersAccepted(0, 65535, 65535));
  EXPECT_FALSE(AreHsvNumbersAccepted(0, 65536, 100));
  EXPECT_FALSE(AreHsvNumbersAccepted(0, 100, 65536));
  EXPECT_TRUE(AreHsvNumbersAccepted(2097151, 100, 100));
  EXPECT_TRUE(AreHsvNumbersAccepted(-2097151, -2000000000, 100));
  EXPECT_FALSE(AreHsvNumbersAccepted(2097152, 100, 100));
  EXPECT_FALSE(AreHsvNumbersAccepted(-2097152, 100, 100));

  EXPECT_TRUE(AreLevelNumbersAccepted(2097151, 65535, 65535));
  EXPECT_TRUE(AreLevelNumbersAccepted(-2097151, -65535, -65535));
  EXPECT_FALSE(AreLevelNumbersAccepted(0, 65536, 100));
  EXPECT_FALSE(AreLevelNumbersAccepted(0, 100, 65536));
  EXPECT_FALSE(AreLevelNumbersAccepted(0, -65536, 100));
  EXPECT_FALSE(AreLevelNumbersAccepted(0, 100, -65536));
  EXPECT_FALSE(AreLevelNumbersAccepted(2097152, 100, 100));
  EXPECT_FALSE(AreLevelNumbersAccepted(-2097152, 100, 100));
}

TEST(ResizeArithmetic, KeepsTheAspectRatio) {
  const ResizeNumbers present = {640, 480};
  EXPECT_EQ(HeightForWidth(present, 320), 240u);
  EXPECT_EQ(WidthForHeight(present, 100), 133u);
  EXPECT_EQ(HeightForWidth(present, 0), 0u);
  // Large typed numbers do not wrap around.
  EXPECT_EQ(HeightForWidth({1, 65535}, 4000000000u), UINT32_MAX);
}

TEST(ResizeArithmetic, SwitchesUnits) {
  const ResizeNumbers present = {640, 480};
  const ResizeNumbers percent = ConvertResizeNumbers(present, {320, 240}, kResizePixels);
  EXPECT_EQ(percent.width, 50u);
  EXPECT_EQ(percent.height, 50u);
  const ResizeNumbers pixels = ConvertResizeNumbers(present, percent, kResizePercent);
  EXPECT_EQ(pixels.width, 320u);
  EXPECT_EQ(pixels.height, 240u);
  const ResizeNumbers odd = ConvertResizeNumbers({641, 481}, {50, 50}, kResizePercent);
  EXPECT_EQ(odd.width, 320u);
  EXPECT_EQ(odd.height, 240u);
}

TEST(ResizeArithmetic, NeverDividesByAnEmptySize) {
  EXPECT_EQ(HeightForWidth({0, 0}, 320), 0u);
  EXPECT_EQ(WidthForHeight({0, 0}, 240), 0u);
  const ResizeNumbers percent = ConvertResizeNumbers({0, 0}, {320, 240}, kResizePixels);
  EXPECT_EQ(percent.width, 0u);
  EXPECT_EQ(percent.height, 0u);
  ResizeNumbers target = {};
  EXPECT_FALSE(ResizeTarget({0, 0}, {50, 50}, kResizePercent, &target));
}

TEST(ResizeArithmetic, AcceptsSidesFromOneTo65535) {
  const ResizeNumbers present = {640, 480};
  ResizeNumbers target = {};
  EXPECT_TRUE(ResizeTarget(present, {65535, 1}, kResizePixels, &target));
  EXPECT_EQ(target.width, 65535u);
  EXPECT_EQ(target.height, 1u);
  EXPECT_FALSE(ResizeTarget(present, {65536, 10}, kResizePixels, &target));
  EXPECT_FALSE(ResizeTarget(present, {10, 0}, kResizePixels, &target));
  EXPECT_FALSE(ResizeTarget(present, {0, 10}, kResizePixels, &target));
  EXPECT_TRUE(ResizeTarget({641, 481}, {50, 50}, kResizePercent, &target));
  EXPECT_EQ(target.width, 320u);
  EXPECT_EQ(target.height, 240u);
  // Percentages that shrink a side to nothing, or beyond the limit, are refused too.
  EXPECT_FALSE(ResizeTarget({1, 1}, {50, 50}, kResizePercent, &target));
  EXPECT_FALSE(ResizeTarget(present, {10300, 100}, kResizePercent, &target));
  EXPECT_FALSE(ResizeTarget(present, {4000000000u, 100}, kResizePercent, &target));
}

TEST(NumberText, ReadsDecimalNumbersAndZeroForAnythingElse) {
  EXPECT_EQ(ReadNumberText("320", false), 320);
  EXPECT_EQ(ReadNumberText(" 42 ", false), 42);
  EXPECT_EQ(ReadNumberText("-240", true), -240);
  EXPECT_EQ(ReadNumberText("-240", false), 0);
  EXPECT_EQ(ReadNumberText("", true), 0);
  EXPECT_EQ(ReadNumberText("-", true), 0);
  EXPECT_EQ(ReadNumberText("12a", true), 0);
  EXPECT_EQ(ReadNumberText("1 2", true), 0);
}

TEST(NumberText, TooLargeNumbersStayTooLarge) {
  // A number past every field's range must not come back small, or as 0, and slip through.
  EXPECT_EQ(ReadNumberText("4294967296", false), 4294967296);
  EXPECT_EQ(ReadNumberText("99999999999999999999999", false), kNumberTextLimit);
  EXPECT_EQ(ReadNumberText("-99999999999999999999999", true), -kNumberTextLimit);
  EXPECT_FALSE(AreHsvNumbersAccepted(0, ReadNumberText("18446744073709551616", true), 100));
  EXPECT_FALSE(AreLevelNumbersAccepted(ReadNumberText("-4294967296", true), 100, 100));
}
