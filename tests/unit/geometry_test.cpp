// Layout on screen and on paper: scroll bars, the fitted picture, print sizes.
#include <gtest/gtest.h>

#include "shell/print_geometry.h"
#include "shell/view_geometry.h"

namespace {

TEST(ViewGeometry, ScrollBarsAndTheFittedPicture) {
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
  EXPECT_EQ(FittedPictureRect({320, 240}, {333, 111}), (ViewRect{92, 0, 148, 111}));
  EXPECT_EQ(FittedPictureRect({3000, 10}, {300, 200}), (ViewRect{0, 99, 300, 1}));
}

// Fitted to the page's width unless the picture would leave no bottom band; large pictures
// must not overflow.
TEST(PrintGeometry, PrintedSizes) {
  const struct {
    ViewSize page, image, printed;
  } cases[] = {{{4800, 6600}, {4800, 6580}, {4814, 6600}},  // the band test uses 64, the fit all
               {{4800, 6600}, {4800, 6536}, {4800, 6536}},  // exactly the band left
               {{9921, 14031}, {16384, 16384}, {9921, 9921}}};
  for (const auto& c : cases) {
    const ViewSize printed = PrintedSize(c.page, c.image);
    EXPECT_TRUE(printed.width == c.printed.width && printed.height == c.printed.height)
        << c.image.width << "x" << c.image.height;
  }
}

}  // namespace
