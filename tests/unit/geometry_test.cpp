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

// A picture sits in the middle of the window, at 1:1 or shrunk to fit by its taller or its
// wider side.
TEST(ViewGeometry, PictureIsCentred) {
  const ViewRect actual = ActualSizePictureRect({100, 50}, {300, 250});
  EXPECT_TRUE(actual.left == 100 && actual.top == 100 && actual.width == 100 && actual.height == 50);
  const ViewRect tall = FittedPictureRect({100, 400}, {200, 200});
  EXPECT_TRUE(tall.left == 75 && tall.top == 0 && tall.width == 50 && tall.height == 200);
  const ViewRect wide = FittedPictureRect({400, 100}, {200, 200});
  EXPECT_TRUE(wide.left == 0 && wide.top == 75 && wide.width == 200 && wide.height == 50);
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
