#include <gtest/gtest.h>

#include "shell/view_geometry.h"

namespace {

constexpr ScrollBarSizes kBars = {17, 17};

}  // namespace

TEST(ScrollBars, OneBarCanBringTheOther) {
  // Wide image: a horizontal bar, whose height then makes the image too tall as well.
  ViewSize v = ViewportForImage({1000, 490}, {500, 500}, false, false, kBars);
  EXPECT_EQ(v.width, 500 - 17);
  EXPECT_EQ(v.height, 500 - 17);
  v = ViewportForImage({1000, 400}, {500, 500}, false, false, kBars);
  EXPECT_EQ(v.width, 500);
  EXPECT_EQ(v.height, 483);
  v = ViewportForImage({490, 1000}, {500, 500}, false, false, kBars);
  EXPECT_EQ(v.width, 483);
  EXPECT_EQ(v.height, 483);
  // Bars present now are taken away before deciding again.
  v = ViewportForImage({100, 100}, {483, 483}, true, true, kBars);
  EXPECT_EQ(v.width, 500);
  EXPECT_EQ(v.height, 500);
}

TEST(ScrollBars, OriginStaysInsideTheImage) {
  EXPECT_EQ(ClampScrollOrigin(700, 1000, 500), 500);  // the last column stays visible
  EXPECT_EQ(ClampScrollOrigin(300, 1000, 500), 300);
  EXPECT_EQ(ClampScrollOrigin(300, 200, 500), 0);
  EXPECT_EQ(ClampScrollOrigin(-5, 1000, 500), 0);

  EXPECT_EQ(ClampScrollStep(80, 450, 500, 1000), 50);
  EXPECT_EQ(ClampScrollStep(-80, 30, 500, 1000), -30);
  EXPECT_EQ(ClampScrollStep(10, 0, 500, 400), 0);  // nothing to scroll
  EXPECT_EQ(ClampScrollStep(10, 0, 500, 500), 0);
}

TEST(ScrollBars, WheelNotchesAreSixteenPixels) {
  EXPECT_EQ(WheelScrollAmount(-120), 16);
  EXPECT_EQ(WheelScrollAmount(120), -16);
  EXPECT_EQ(WheelScrollAmount(240), -32);
  EXPECT_EQ(WheelScrollAmount(-7), 0);  // truncates toward zero
  EXPECT_EQ(WheelScrollAmount(-8), 1);
}

TEST(FittedPicture, ShrinksKeepingProportionsAndCentres) {
  EXPECT_EQ(FittedPictureRect({1000, 400}, {500, 500}), (ViewRect{0, 150, 500, 200}));
  EXPECT_EQ(FittedPictureRect({400, 1000}, {500, 500}), (ViewRect{150, 0, 200, 500}));
  EXPECT_EQ(FittedPictureRect({100, 100}, {500, 500}), (ViewRect{200, 200, 100, 100}));
  EXPECT_EQ(FittedPictureRect({320, 240}, {333, 111}), (ViewRect{92, 0, 148, 111}));
  EXPECT_EQ(FittedPictureRect({3000, 10}, {300, 200}), (ViewRect{0, 99, 300, 1}));
  EXPECT_EQ(FittedPictureRect({10, 10}, {0, 0}), (ViewRect{0, 0, 0, 0}));
}

TEST(FittedPicture, ActualSizeIsCentredOnlyWhenSmaller) {
  EXPECT_EQ(ActualSizePictureRect({320, 240}, {500, 400}), (ViewRect{90, 80, 320, 240}));
  EXPECT_EQ(ActualSizePictureRect({1000, 240}, {500, 400}), (ViewRect{0, 80, 1000, 240}));
}

TEST(WindowSize, CappedAndLimited) {
  EXPECT_EQ(CappedWindowSize({2016, 559}).width, 800);
  EXPECT_EQ(CappedWindowSize({2016, 559}).height, 559);
  EXPECT_EQ(CappedWindowSize({300, 5000}).height, 600);

  const ScreenRect limited = LimitDraggedFrame({10, 20, 2000, 2000}, {400, 300}, 22);
  EXPECT_EQ(limited.left, 10);
  EXPECT_EQ(limited.top, 20);
  EXPECT_EQ(limited.right, 410);
  EXPECT_EQ(limited.bottom, 342);
  const ScreenRect smaller = LimitDraggedFrame({10, 20, 100, 100}, {400, 300}, 0);
  EXPECT_EQ(smaller.right, 100);
  EXPECT_EQ(smaller.bottom, 100);
}
