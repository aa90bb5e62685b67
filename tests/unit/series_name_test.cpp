#include <gtest/gtest.h>

#include <climits>

#include "scan/series_name.h"

TEST(SeriesName, NumberGoesBeforeTheLastDot) {
  EXPECT_EQ(SeriesFilePath("D:\\scan\\page.bmp", 7), "D:\\scan\\page7.bmp");
  EXPECT_EQ(SeriesFilePath("D:\\scan\\scan.old.bmp", 7), "D:\\scan\\scan.old7.bmp");
  EXPECT_EQ(SeriesFilePath("page.", 3), "page3.");
  EXPECT_EQ(SeriesFilePath(".bmp", 3), "3.bmp");
}

TEST(SeriesName, WithoutADotTheNumberEndsThePath) {
  EXPECT_EQ(SeriesFilePath("D:\\scan\\page", 7), "D:\\scan\\page7");
  EXPECT_EQ(SeriesFilePath("page", 12), "page12");
}

TEST(SeriesName, DotsInFolderNamesAreNoExtension) {
  EXPECT_EQ(SeriesFilePath("D:\\scan.v2\\page", 7), "D:\\scan.v2\\page7");
  EXPECT_EQ(SeriesFilePath("D:\\scan.v2\\page.bmp", 7), "D:\\scan.v2\\page7.bmp");
}

TEST(SeriesName, PlainDecimalNumbers) {
  EXPECT_EQ(SeriesFilePath("p.bmp", 9), "p9.bmp");
  EXPECT_EQ(SeriesFilePath("p.bmp", 10), "p10.bmp");
  EXPECT_EQ(SeriesFilePath("p.bmp", 0), "p0.bmp");
  EXPECT_EQ(SeriesFilePath("p.bmp", -5), "p-5.bmp");
  EXPECT_EQ(SeriesFilePath("p.bmp", INT_MIN), "p-2147483648.bmp");
  EXPECT_EQ(SeriesFilePath("p.bmp", INT_MAX), "p2147483647.bmp");
}

TEST(SeriesName, DoubleByteNamesKeepTheirCharacters) {
  // "表" is 0x95 0x5C in code page 932: its second byte is not a folder separator.
  const std::string model = "D:\\x.y\\\x95\x5C.bmp";
  EXPECT_EQ(SeriesFilePath(model, 1),
            "D:\\x.y\\\x95\x5C"
            "1.bmp");
  EXPECT_EQ(SeriesFilePath("D:\\a.b\\\x95\x5C", 2),
            "D:\\a.b\\\x95\x5C"
            "2");
}
