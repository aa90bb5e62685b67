#include <gtest/gtest.h>

#include "adjust/adjustment_numbers.h"
#include "adjust/number_text.h"

namespace {

// The dialogs' numbers, scaled with truncating divisions and refused before the arithmetic of
// the adjustments could overflow; typed text never wraps into an accepted number.
TEST(AdjustmentNumbers, ScaledAndRefusedBeforeTheyOverflow) {
  const HsvParameters hsv = ScaleHsvNumbers(-1, 33, -2000000000);
  EXPECT_TRUE(hsv.hueShift == -17 && hsv.saturationScale == 337 && hsv.valueScale == 0);
  EXPECT_TRUE(AreHsvNumbersAccepted(2097151, 65535, -2000000000) &&
              AreLevelNumbersAccepted(-2097151, -65535, 65535));
  EXPECT_FALSE(AreHsvNumbersAccepted(2097152, 100, 100) || AreHsvNumbersAccepted(0, 100, 65536));
  EXPECT_FALSE(AreLevelNumbersAccepted(-2097152, 100, 100) ||
               AreLevelNumbersAccepted(0, 100, -65536) || AreLevelNumbersAccepted(0, 65536, 100));
  EXPECT_EQ(ReadNumberText("-99999999999999999999999", true), -kNumberTextLimit);
  EXPECT_FALSE(AreHsvNumbersAccepted(0, ReadNumberText("18446744073709551616", true), 100));
}

}  // namespace
