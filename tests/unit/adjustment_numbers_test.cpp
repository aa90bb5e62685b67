#include <gtest/gtest.h>

#include "adjust/adjustment_numbers.h"
#include "adjust/number_text.h"
#include "adjust/resize_arithmetic.h"

TEST(AdjustmentNumbers, ScaleWithTruncatingDivisions) {
  const HsvParameters hsv = ScaleHsvNumbers(-1, 33, -2000000000);
  EXPECT_EQ(hsv.hueShift, -17);  // -1024 / 60 truncates toward zero
  EXPECT_EQ(hsv.saturationScale, 337);
  EXPECT_EQ(hsv.valueScale, 0);  // negative counts as 0
  const LevelParameters level = ScaleLevelNumbers(1, 200, 50);
  EXPECT_EQ(level.brightnessShift, 17);
  EXPECT_EQ(level.contrastScale, 2048);
  EXPECT_EQ(level.gammaScale, 512);
}

TEST(AdjustmentNumbers, RefuseWhatWouldOverflow) {
  EXPECT_TRUE(AreHsvNumbersAccepted(2097151, 65535, 65535));
  EXPECT_TRUE(AreHsvNumbersAccepted(-2097151, -2000000000, 100));
  EXPECT_FALSE(AreHsvNumbersAccepted(0, 65536, 100));
  EXPECT_FALSE(AreHsvNumbersAccepted(0, 100, 65536));
  EXPECT_FALSE(AreHsvNumbersAccepted(2097152, 100, 100));
  EXPECT_FALSE(AreHsvNumbersAccepted(-2097152, 100, 100));

  EXPECT_TRUE(AreLevelNumbersAccepted(2097151, 65535, 65535));
  EXPECT_TRUE(AreLevelNumbersAccepted(-2097151, -65535, -65535));
  EXPECT_FALSE(AreLevelNumbersAccepted(0, 65536, 100));
  EXPECT_FALSE(AreLevelNumbersAccepted(0, 100, -65536));
  EXPECT_FALSE(AreLevelNumbersAccepted(-2097152, 100, 100));
}

TEST(NumberText, ReadsDecimalNumbersZeroForOtherTextAndNeverWraps) {
  EXPECT_EQ(ReadNumberText(" 320 ", false), 320);
  EXPECT_EQ(ReadNumberText("-240", true), -240);
  for (const char* text : {"-240", "", "12a", "1 2"}) EXPECT_EQ(ReadNumberText(text, false), 0);
  // A number past every field's range must not come back small, or as 0, and slip through.
  EXPECT_EQ(ReadNumberText("4294967296", false), 4294967296);
  EXPECT_EQ(ReadNumberText("-99999999999999999999999", true), -kNumberTextLimit);
  EXPECT_FALSE(AreHsvNumbersAccepted(0, ReadNumberText("18446744073709551616", true), 100));
}

TEST(ResizeArithmetic, KeepsTheRatioAndSwitchesUnits) {
  const ResizeNumbers present = {640, 480};
  EXPECT_EQ(HeightForWidth(present, 320), 240u);
  EXPECT_EQ(WidthForHeight(present, 100), 133u);
  EXPECT_EQ(HeightForWidth({1, 65535}, 4000000000u), UINT32_MAX);  // no wrapping around
  const ResizeNumbers percent = ConvertResizeNumbers(present, {320, 240}, kResizePixels);
  EXPECT_EQ(percent.width, 50u);
  EXPECT_EQ(percent.height, 50u);
  const ResizeNumbers pixels = ConvertResizeNumbers(present, percent, kResizePercent);
  EXPECT_EQ(pixels.width, 320u);
  EXPECT_EQ(pixels.height, 240u);
}

TEST(ResizeArithmetic, NeverDividesByAnEmptySize) {
  EXPECT_EQ(HeightForWidth({0, 0}, 320), 0u);
  EXPECT_EQ(WidthForHeight({0, 0}, 240), 0u);
  EXPECT_EQ(ConvertResizeNumbers({0, 0}, {320, 240}, kResizePixels).width, 0u);
  ResizeNumbers target = {};
  EXPECT_FALSE(ResizeTarget({0, 0}, {50, 50}, kResizePercent, &target));
}

TEST(ResizeArithmetic, AcceptsSidesFromOneTo65535) {
  const ResizeNumbers present = {640, 480};
  ResizeNumbers target = {};
  EXPECT_TRUE(ResizeTarget(present, {65535, 1}, kResizePixels, &target));
  EXPECT_EQ(target.width, 65535u);
  EXPECT_TRUE(ResizeTarget({641, 481}, {50, 50}, kResizePercent, &target));
  EXPECT_EQ(target.width, 320u);
  EXPECT_EQ(target.height, 240u);
  const struct {
    ResizeNumbers present, typed;
    SizeUnit unit;
  } refused[] = {{present, {65536, 10}, kResizePixels},
                 {present, {10, 0}, kResizePixels},
                 {{1, 1}, {50, 50}, kResizePercent},
                 {present, {10300, 100}, kResizePercent},
                 {present, {4000000000u, 100}, kResizePercent}};
  for (const auto& r : refused) {
    EXPECT_FALSE(ResizeTarget(r.present, r.typed, r.unit, &target)) << r.typed.width;
  }
}
