// Layout on screen and on paper: scroll bars, the fitted picture, print sizes.
#include <gtest/gtest.h>

#include "shell/print_geometry.h"
#include "shell/view_geometry.h"

namespace {

TEST(ViewGeometry, ScrollBarsTheFittedPictureAndPrintedSizes) {
  const struct {
    ViewSize image, client;
    bool barsNow;
    int width, height;
  } viewports[] = {
      {{1000, 490}, {500, 500}, false, 483, 483},  // one bar brings the other
      {{1000, 400}, {500, 500}, false, 500, 483},
      {{100, 100}, {483, 483}, true, 500, 500},  // bars present are taken away first
  };
  for (const auto& v : viewports) {
    const ViewSize size = ViewportForImage(v.image, v.client, v.barsNow, v.barsNow, {17, 17});
    EXPECT_TRUE(size.width == v.width && size.height == v.height) << v.image.width;
  }
  EXPECT_EQ(FittedPictureRect({3000, 10}, {300, 200}), (ViewRect{0, 99, 300, 1}));
  // A picture of 2^28 pixels on an A3 page at 600 dpi: no overflow.
  const ViewSize printed = PrintedSize({9921, 14031}, {16384, 16384});
  EXPECT_TRUE(printed.width == 9921 && printed.height == 9921);
}

}  // namespace
