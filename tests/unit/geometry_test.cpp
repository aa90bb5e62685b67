// Layout on screen and on paper.
#include <gtest/gtest.h>

#include "shell/print_geometry.h"
#include "shell/view_geometry.h"

namespace {

// One scroll bar brings the other; bars present are taken away first.
TEST(ViewGeometry, ScrollBars) {
  const ViewSize both = ViewportForImage({1000, 490}, {500, 500}, false, false, {17, 17});
  const ViewSize one = ViewportForImage({1000, 400}, {500, 500}, false, false, {17, 17});
  const ViewSize none = ViewportForImage({100, 100}, {483, 483}, true, true, {17, 17});
  EXPECT_TRUE(both.width == 483 && both.height == 483 && one.width == 500 && one.height == 483);
  EXPECT_TRUE(none.width == 500 && none.height == 500);
}

// A smaller picture at 1:1 sits in the middle of the window.
TEST(ViewGeometry, ActualSizeCentres) {
  const ViewRect rect = ActualSizePictureRect({100, 50}, {300, 250});
  EXPECT_TRUE(rect.left == 100 && rect.top == 100 && rect.width == 100 && rect.height == 50);
}

// A huge picture printed on a large page: the arithmetic must not overflow; a picture one
// pixel wide still prints, and an empty one divides by nothing.
TEST(PrintGeometry, EveryPictureFitsThePage) {
  const ViewSize printed = PrintedSize({9921, 14031}, {16384, 16384});
  EXPECT_TRUE(printed.width == 9921 && printed.height == 9921);
  const ViewSize strip = PrintedSize({4000, 6000}, {1, 100});
  EXPECT_TRUE(strip.width == 60 && strip.height == 6000);
  const ViewSize none = PrintedSize({4000, 6000}, {0, 100});
  EXPECT_TRUE(none.width == 0 && none.height == 0);
}

}  // namespace
