// Layout on screen and on paper: scroll bars, the fitted picture, window sizes, print sizes.
#include <gtest/gtest.h>

#include "shell/print_geometry.h"
#include "shell/view_geometry.h"

namespace {

TEST(ViewGeometry, ScrollBarsAndOrigins) {
  constexpr ScrollBarSizes kBars = {17, 17};
  const struct {
    ViewSize image, client;
    bool barsNow;
    int width, height;
  } viewports[] = {
      {{1000, 490}, {500, 500}, false, 483, 483},  // one bar brings the other
      {{1000, 400}, {500, 500}, false, 500, 483},
      {{490, 1000}, {500, 500}, false, 483, 483},
      {{100, 100}, {483, 483}, true, 500, 500},  // bars present are taken away first
  };
  for (const auto& v : viewports) {
    const ViewSize size = ViewportForImage(v.image, v.client, v.barsNow, v.barsNow, kBars);
    EXPECT_TRUE(size.width == v.width && size.height == v.height) << v.image.width;
  }
  const int origins[][4] = {
      {700, 1000, 500, 500}, {300, 1000, 500, 300}, {300, 200, 500, 0}, {-5, 1000, 500, 0}};
  for (const auto& o : origins) EXPECT_EQ(ClampScrollOrigin(o[0], o[1], o[2]), o[3]) << o[0];
  const int steps[][5] = {{80, 450, 500, 1000, 50},
                          {-80, 30, 500, 1000, -30},
                          {10, 0, 500, 400, 0},
                          {10, 0, 500, 500, 0}};
  for (const auto& s : steps) EXPECT_EQ(ClampScrollStep(s[0], s[1], s[2], s[3]), s[4]) << s[0];
  const int wheel[][2] = {{-120, 16}, {120, -16}, {240, -32}, {-7, 0}, {-8, 1}};
  for (const auto& w : wheel) EXPECT_EQ(WheelScrollAmount(w[0]), w[1]) << w[0];
}

TEST(ViewGeometry, PictureRectsAndWindowSizes) {
  const struct {
    ViewSize image, client;
    ViewRect fitted;
  } fits[] = {
      {{1000, 400}, {500, 500}, {0, 150, 500, 200}},  {{400, 1000}, {500, 500}, {150, 0, 200, 500}},
      {{100, 100}, {500, 500}, {200, 200, 100, 100}}, {{320, 240}, {333, 111}, {92, 0, 148, 111}},
      {{3000, 10}, {300, 200}, {0, 99, 300, 1}},      {{10, 10}, {0, 0}, {0, 0, 0, 0}}};
  for (const auto& f : fits) EXPECT_EQ(FittedPictureRect(f.image, f.client), f.fitted);
  EXPECT_EQ(ActualSizePictureRect({320, 240}, {500, 400}), (ViewRect{90, 80, 320, 240}));
  EXPECT_EQ(ActualSizePictureRect({1000, 240}, {500, 400}), (ViewRect{0, 80, 1000, 240}));
  EXPECT_TRUE(CappedWindowSize({2016, 559}).width == 800 &&
              CappedWindowSize({2016, 559}).height == 559);
  EXPECT_EQ(CappedWindowSize({300, 5000}).height, 600);
  const ScreenRect limited = LimitDraggedFrame({10, 20, 2000, 2000}, {400, 300}, 22);
  EXPECT_TRUE(limited.left == 10 && limited.top == 20 && limited.right == 410 &&
              limited.bottom == 342);
  const ScreenRect smaller = LimitDraggedFrame({10, 20, 100, 100}, {400, 300}, 0);
  EXPECT_TRUE(smaller.right == 100 && smaller.bottom == 100);
}

// Fitted to the page's width unless the picture would leave no bottom band; large pictures
// must not overflow.
TEST(PrintGeometry, PrintedSizes) {
  const struct {
    ViewSize page, image, printed;
  } cases[] = {
      {{4800, 6600}, {1000, 500}, {4800, 2400}},     {{4800, 6600}, {500, 1000}, {3300, 6600}},
      {{4800, 6600}, {4800, 6580}, {4814, 6600}},  // the band test uses 64, the fit all
      {{4800, 6600}, {4800, 6536}, {4800, 6536}},  // exactly the band left
      {{9921, 14031}, {16384, 16384}, {9921, 9921}}, {{100, 100}, {0, 0}, {0, 0}}};
  for (const auto& c : cases) {
    const ViewSize printed = PrintedSize(c.page, c.image);
    EXPECT_TRUE(printed.width == c.printed.width && printed.height == c.printed.height)
        << c.image.width << "x" << c.image.height;
  }
}

}  // namespace
