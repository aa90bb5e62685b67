#include <gtest/gtest.h>

#include "shell/print_geometry.h"

TEST(PrintGeometry, WidthFitUnlessTheBottomBandIsMissing) {
  const ViewSize page = {4800, 6600};
  ViewSize printed = PrintedSize(page, {1000, 500});
  EXPECT_EQ(printed.width, 4800);
  EXPECT_EQ(printed.height, 2400);
  printed = PrintedSize(page, {500, 1000});
  EXPECT_EQ(printed.width, 3300);
  EXPECT_EQ(printed.height, 6600);
  printed = PrintedSize(page, {4800, 6580});  // the band test uses 64, the fit the full height
  EXPECT_EQ(printed.width, 4814);
  EXPECT_EQ(printed.height, 6600);
  printed = PrintedSize(page, {4800, 6536});  // exactly the band left: still the width fit
  EXPECT_EQ(printed.width, 4800);
  EXPECT_EQ(printed.height, 6536);
}

TEST(PrintGeometry, LargeImagesDoNotOverflow) {
  const ViewSize printed = PrintedSize({9921, 14031}, {16384, 16384});
  EXPECT_EQ(printed.width, 9921);
  EXPECT_EQ(printed.height, 9921);
  EXPECT_EQ(PrintedSize({100, 100}, {0, 0}).width, 0);
}
